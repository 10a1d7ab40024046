<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>BlockText</name>
    <message>
        <source>Workspace credits used up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Workspace out of credits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Workspace usage limit reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Workspace-wide usage limit reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage limit reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Spending limit reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage blocked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Workspace credits are available again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The spending limit no longer blocks your usage.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The block on your usage has lifted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>until %1</source>
        <extracomment>When a block lifts: &quot;until Jan 1, 09:00&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>A block and when it lifts: &quot;Workspace credits used up · until Jan 1, 09:00&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CardText</name>
    <message>
        <source>Codex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Claude</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Limit reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unavailable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 usage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Collapse usage details</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Expand usage details</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage data unavailable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Binding limit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weekly limit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Monthly limit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 plan</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n resets available</source>
        <translation>
            <numerusform>%n reset available</numerusform>
            <numerusform>%n resets available</numerusform>
        </translation>
    </message>
    <message>
        <source>Not started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset unavailable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset time passed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On pace: lasts until the reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>At this pace: runs out in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>At this pace: runs out at %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, reset time passed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, resets %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n% left</source>
        <translation>
            <numerusform>%n% left</numerusform>
            <numerusform>%n% left</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n percent used</source>
        <translation>
            <numerusform>%n percent used</numerusform>
            <numerusform>%n percent used</numerusform>
        </translation>
    </message>
    <message>
        <source>At this pace: runs out tomorrow at %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>At this pace: runs out on %1 at %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>At this pace: runs out on %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>A card&apos;s title when several accounts of an assistant are watched: &quot;Claude · work&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The usage shows here by itself once Vantor can read it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>5-hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>5-hour limit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, resets in %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ClaudeUsageProvider</name>
    <message>
        <source>Session expired: run claude to sign in again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This token cannot read usage (no user:profile scope, as from claude setup-token): run claude to sign in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rate limited, next try after %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>choose one of --json and --waybar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>vantor: %1
Try &apos;vantor --help&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--follow works only with --waybar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: vantor [-h | --help | --version]
       vantor status [--json | --waybar [--follow]]
       vantor statusline
       vantor refresh | settings | quit

Without a command, Vantor starts in the tray and shows how much of the Codex and
Claude Code usage limits is left. If Vantor is already running, it shows its
window instead.

Commands:
  status           Print one line per account: the limit with the least left,
                   and when it resets, or why there is nothing to show.
  status --json    Print all readings as JSON, for scripts.
  status --waybar  Print one line of JSON for a Waybar custom module.
    --follow       Keep running and print a new line whenever it changes.
  statusline       Status line for Claude Code: reads what Claude Code sends,
                   prints one line and passes the usage on to Vantor.
  refresh          Ask the running Vantor to check usage now.
  settings         Ask the running Vantor to open its settings.
  quit             Ask the running Vantor to quit.
  -h, --help       Show this help.
  --version        Show the version.

These commands never start Vantor. When it is not running, status shows the
last stored readings, and refresh, settings and quit fail.

Waybar, in ~/.config/waybar/config, with &quot;custom/vantor&quot; in &quot;modules-right&quot;:
  &quot;custom/vantor&quot;: {
    &quot;exec&quot;: &quot;vantor status --waybar --follow&quot;,
    &quot;return-type&quot;: &quot;json&quot;
  }
Or, checked every 30 seconds instead:
  &quot;exec&quot;: &quot;vantor status --waybar&quot;, &quot;return-type&quot;: &quot;json&quot;, &quot;interval&quot;: 30

Files:
  $XDG_CONFIG_HOME/vantor/vantor.conf (~/.config/vantor/vantor.conf)
      Settings and the last readings.
  $XDG_STATE_HOME/vantor/history.json (~/.local/state/vantor/history.json)
      Usage history.
</source>
        <extracomment>Every line at most 80 columns wide (a Japanese character takes two). The commands, options, file names and the Waybar snippet stay as they are.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DBusNotificationCenter</name>
    <message>
        <source>Show Usage</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MenuBarStatusLabel</name>
    <message>
        <source>Vantor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantor: usage nearing limit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantor: limit reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantor: providers unavailable</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MoneyText</name>
    <message>
        <source>Extra usage: %1 of %2 this month</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Extra usage: %1 this month</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Spent: %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Spent: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Workspace credits: %1 of %2 used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Workspace credits: %1 used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unlimited credits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 credits left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 used</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NotificationManager</name>
    <message>
        <source>Claude is ready again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Codex is ready again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test notification — your alerts are ready.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your weekly usage is available again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your 5-hour usage limit has reset.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your monthly usage is available again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your usage limit has reset.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is ready again</source>
        <extracomment>&quot;Claude (work) is ready again&quot;: an assistant and one of its several accounts.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: 5-hour limit reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: weekly limit reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: monthly limit reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: usage limit reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 limit reached</source>
        <extracomment>&quot;Codex: Spark · 5 hour limit reached&quot;: %2 is the limit&apos;s own name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back at %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back tomorrow at %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back on %1 at %2.</source>
        <extracomment>&quot;Back on Tuesday at 15:40.&quot;: %1 the weekday, %2 the time.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back on %1.</source>
        <extracomment>&quot;Back on Dec 14, 15:40.&quot;: %1 the month, day and time.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: session expired</source>
        <extracomment>&quot;Claude: session expired&quot;: the usage shown is no longer current.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: signed out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantor shows the last figures until then.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: sign-in needed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 of the 5-hour limit left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 of the weekly limit left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 of the monthly limit left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 of the usage limit left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 of the %3 limit left</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PopoverViewModel</name>
    <message>
        <source>Vantor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shortcut %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Usage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play reset alert</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProviderStatusText</name>
    <message>
        <source>Weekly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Additional limit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Codex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Claude Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not detected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sign in required</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upgrade to Pro</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unavailable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Claude</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <extracomment>An assistant and one of its accounts: &quot;Claude (work)&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Session expired</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rate limited</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This token cannot read usage (one made by claude setup-token): run claude and sign in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rate limited until %1</source>
        <extracomment>%1 the local time after which Vantor asks again.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage data couldn&apos;t be refreshed; Vantor tries again soon.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not installed: install it with npm install -g @openai/codex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not installed: install it with npm install -g @anthropic-ai/claude-code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not signed in: run codex login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not signed in: run claude and sign in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Session expired: run claude to renew it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>5-hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1%</source>
        <extracomment>A share: &quot;42%&quot;; the language&apos;s own spacing before the sign.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 %n% left</source>
        <extracomment>A window&apos;s share left: &quot;5-hour 42% left&quot;; %1 the window&apos;s name.</extracomment>
        <translation>
            <numerusform>%1 %n% left</numerusform>
            <numerusform>%1 %n% left</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 limit reached</source>
        <extracomment>%1 the window&apos;s name: &quot;5-hour limit reached&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 limit reset, waiting for a new reading</source>
        <extracomment>A limit whose reset time has passed, before a refresh has read it again; %1 its name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 use unknown</source>
        <extracomment>A window whose use the provider did not tell: &quot;5-hour use unknown&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>as of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not refreshed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>session expired</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sign in needed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rate limited</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>Values not current: &quot;as of 9:01 PM · sign in needed&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsText</name>
    <message>
        <source>English</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>French</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic (system language)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Male</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Female</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test notification sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notifications are off. Enable Vantor in the desktop&apos;s notification settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>That account is already listed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This folder holds no Claude Code or Codex sign-in.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>At most %1 accounts per assistant.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsViewModel</name>
    <message>
        <source>Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Symbol</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Percentage left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tray icon shows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset alert</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play reset alert</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Voice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play Audio Test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send Test Notification</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Notification Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Providers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantor 1.0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage data and alert preferences stay on this computer. Claude usage support is experimental.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The notification settings could not be opened.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>A provider&apos;s row when several accounts of it are watched: &quot;Claude Code · work&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Watch %1</source>
        <extracomment>The switch that watches an account or not: &quot;Watch Claude (work)&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove %1</source>
        <extracomment>The button that forgets an account: &quot;Remove Claude (work)&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accounts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add folder...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the folder of a Claude Code or Codex account</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Voice language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warn when a limit is down to</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsWindowPresenter</name>
    <message>
        <source>Vantor Settings</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StatusReport</name>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: blocked</source>
        <extracomment>Waybar&apos;s text for an account that cannot be used now: &quot;Codex: blocked&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2</source>
        <extracomment>Waybar&apos;s text for a spent limit: %1 the limit, %2 when it is back (&quot;back in 40 min&quot;, &quot;back at 11:03 PM&quot;).</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TimeDisplayFormatter</name>
    <message>
        <source>Resets at %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resets tomorrow at %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resets on %1 at %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resets on %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n min</source>
        <translation>
            <numerusform>%n min</numerusform>
            <numerusform>%n min</numerusform>
        </translation>
    </message>
    <message>
        <source>tomorrow, %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>back in %1</source>
        <extracomment>When a spent limit comes back: &quot;back in 12 min&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>back at %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>back tomorrow at %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>back %1 at %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>back %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>resets in %1</source>
        <extracomment>When a limit resets: &quot;resets in 12 min&quot;, &quot;resets Fri 09:00&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>resets %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TrayFigure</name>
    <message>
        <source>%1m</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1h</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1d</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UsageCoordinator</name>
    <message>
        <source>Usage data couldn&apos;t be refreshed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VantorRuntime</name>
    <message>
        <source>Vantor runs in the background</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your panel shows no tray icons. Install the AppIndicator and KStatusNotifierItem Support extension to see Vantor&apos;s icon; meanwhile vantor status shows your limits.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your panel shows no tray icons. Add a system tray to it to see Vantor&apos;s icon; meanwhile vantor status shows your limits.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>vantor: another Vantor owns %1 but does not answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>vantor: Vantor already runs in this session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantor is not running and has no stored readings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>vantor: Vantor is not running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>vantor: the running Vantor did not answer</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
