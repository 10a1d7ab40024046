<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>BlockText</name>
    <message>
        <source>Workspace credits used up</source>
        <translation>ワークスペースのクレジット切れ</translation>
    </message>
    <message>
        <source>Workspace out of credits</source>
        <translation>ワークスペース全体のクレジット切れ</translation>
    </message>
    <message>
        <source>Workspace usage limit reached</source>
        <translation>ワークスペースの使用上限に到達</translation>
    </message>
    <message>
        <source>Workspace-wide usage limit reached</source>
        <translation>ワークスペース全体の使用上限に到達</translation>
    </message>
    <message>
        <source>Usage limit reached</source>
        <translation>使用上限に到達</translation>
    </message>
    <message>
        <source>Spending limit reached</source>
        <translation>支出上限に到達</translation>
    </message>
    <message>
        <source>Usage blocked</source>
        <translation>使用がブロック中</translation>
    </message>
    <message>
        <source>Workspace credits are available again.</source>
        <translation>ワークスペースのクレジットが再び使えるようになりました。</translation>
    </message>
    <message>
        <source>The spending limit no longer blocks your usage.</source>
        <translation>支出上限による制限が解除されました。</translation>
    </message>
    <message>
        <source>The block on your usage has lifted.</source>
        <translation>使用のブロックが解除されました。</translation>
    </message>
    <message>
        <source>until %1</source>
        <extracomment>When a block lifts: &quot;until Jan 1, 09:00&quot;.</extracomment>
        <translation>%1まで</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>A block and when it lifts: &quot;Workspace credits used up · until Jan 1, 09:00&quot;.</extracomment>
        <translation>%1 · %2</translation>
    </message>
</context>
<context>
    <name>CardText</name>
    <message>
        <source>Codex</source>
        <translation>Codex</translation>
    </message>
    <message>
        <source>Claude</source>
        <translation>Claude</translation>
    </message>
    <message>
        <source>Limit reached</source>
        <translation>上限に達しました</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>利用可能</translation>
    </message>
    <message>
        <source>Unavailable</source>
        <translation>利用不可</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>読み込み中</translation>
    </message>
    <message>
        <source>%1 usage</source>
        <translation>%1の使用状況</translation>
    </message>
    <message>
        <source>Collapse usage details</source>
        <translation>使用状況の詳細を折りたたむ</translation>
    </message>
    <message>
        <source>Expand usage details</source>
        <translation>使用状況の詳細を展開</translation>
    </message>
    <message>
        <source>Usage data unavailable</source>
        <translation>使用状況を取得できません</translation>
    </message>
    <message>
        <source>Binding limit</source>
        <translation>適用中の上限</translation>
    </message>
    <message>
        <source>Weekly limit</source>
        <translation>週間の上限</translation>
    </message>
    <message>
        <source>Model week</source>
        <translation>モデル別週間</translation>
    </message>
    <message>
        <source>Monthly limit</source>
        <translation>月間の上限</translation>
    </message>
    <message>
        <source>%1 plan</source>
        <translation>%1プラン</translation>
    </message>
    <message numerus="yes">
        <source>%n resets available</source>
        <translation>
            <numerusform>%n回リセット可能</numerusform>
        </translation>
    </message>
    <message>
        <source>Not started</source>
        <translation>未開始</translation>
    </message>
    <message>
        <source>Reset unavailable</source>
        <translation>リセット時刻不明</translation>
    </message>
    <message>
        <source>Reset time passed</source>
        <translation>リセット時刻を過ぎました</translation>
    </message>
    <message>
        <source>On pace: lasts until the reset</source>
        <translation>リセットまで持つ見込み</translation>
    </message>
    <message>
        <source>At this pace: runs out in %1</source>
        <translation>%1に上限到達の見込み</translation>
    </message>
    <message>
        <source>At this pace: runs out at %1</source>
        <translation>%1に上限到達の見込み</translation>
    </message>
    <message>
        <source>%1, reset time passed</source>
        <translation>%1、リセット時刻を過ぎました</translation>
    </message>
    <message>
        <source>%1, resets %2</source>
        <translation>%1、%2にリセット</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>週間</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>月間</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>使用量</translation>
    </message>
    <message numerus="yes">
        <source>%n% left</source>
        <translation>
            <numerusform>残り%n%</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n percent used</source>
        <translation>
            <numerusform>%n%使用済み</numerusform>
        </translation>
    </message>
    <message>
        <source>At this pace: runs out tomorrow at %1</source>
        <translation>明日の%1に上限到達の見込み</translation>
    </message>
    <message>
        <source>At this pace: runs out on %1 at %2</source>
        <translation>%1の%2に上限到達の見込み</translation>
    </message>
    <message>
        <source>At this pace: runs out on %1</source>
        <translation>%1に上限到達の見込み</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>A card&apos;s title when several accounts of an assistant are watched: &quot;Claude · work&quot;.</extracomment>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>The usage shows here by itself once Vantor can read it.</source>
        <translation>Vantor が読み取れるようになると、使用状況はここに自動で表示されます。</translation>
    </message>
    <message>
        <source>5-hour</source>
        <translation>5時間</translation>
    </message>
    <message>
        <source>5-hour limit</source>
        <translation>5時間の上限</translation>
    </message>
    <message>
        <source>%1, resets in %2</source>
        <translation>%1、%2にリセット</translation>
    </message>
</context>
<context>
    <name>ClaudeUsageProvider</name>
    <message>
        <source>Session expired: run claude to sign in again</source>
        <translation>セッションの期限切れ：claudeを実行して再度ログインしてください</translation>
    </message>
    <message>
        <source>This token cannot read usage (no user:profile scope, as from claude setup-token): run claude to sign in</source>
        <translation>このトークンでは使用状況を読めません（claude setup-tokenで作ったものなど、user:profileスコープがありません）：claudeを実行してログインしてください</translation>
    </message>
    <message>
        <source>Rate limited, next try after %1</source>
        <translation>レート制限中、%1以降に再試行</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>choose one of --json and --waybar</source>
        <translation>--json と --waybar はどちらか一方だけを指定してください</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>不明なオプション「%1」</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>予期しない引数「%1」</translation>
    </message>
    <message>
        <source>vantor: %1
Try &apos;vantor --help&apos;.</source>
        <translation>vantor: %1
使い方は「vantor --help」で確認できます。</translation>
    </message>
    <message>
        <source>--follow works only with --waybar</source>
        <translation>--follow は --waybar と一緒にしか使えません</translation>
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
        <translation>使い方: vantor [-h | --help | --version]
        vantor status [--json | --waybar [--follow]]
        vantor statusline
        vantor refresh | settings | quit

コマンドなしで起動すると、Vantorはトレイに常駐し、CodexとClaude Codeの
使用上限の残りを表示します。すでに起動している場合は、そのウィンドウを
開きます。

コマンド:
  status           アカウントごとに1行表示：残りが最も少ない上限と
                   そのリセット時刻、または表示できるものがない理由
  status --json    すべての使用状況をスクリプト向けのJSONで表示
  status --waybar  Waybarのカスタムモジュール用に1行のJSONを表示
    --follow       終了せず、内容が変わるたびに新しい行を表示
  statusline       Claude Codeのステータスライン用：Claude Codeから
                   送られた内容を読んで1行表示し、使用状況をVantorに渡す
  refresh          起動中のVantorに今すぐ使用状況を確認させる
  settings         起動中のVantorに設定を開かせる
  quit             起動中のVantorを終了させる
  -h, --help       このヘルプを表示
  --version        バージョンを表示

これらのコマンドがVantorを起動することはありません。Vantorが起動して
いないとき、statusは最後に保存された使用状況を表示し、refresh、
settings、quitは失敗します。

Waybarの設定（~/.config/waybar/config）に追加し、&quot;modules-right&quot;に
&quot;custom/vantor&quot;を加えます:
  &quot;custom/vantor&quot;: {
    &quot;exec&quot;: &quot;vantor status --waybar --follow&quot;,
    &quot;return-type&quot;: &quot;json&quot;
  }
30秒ごとに確認する場合:
  &quot;exec&quot;: &quot;vantor status --waybar&quot;, &quot;return-type&quot;: &quot;json&quot;, &quot;interval&quot;: 30

ファイル:
  $XDG_CONFIG_HOME/vantor/vantor.conf (~/.config/vantor/vantor.conf)
      設定と最後の使用状況
  $XDG_STATE_HOME/vantor/history.json (~/.local/state/vantor/history.json)
      使用履歴
</translation>
    </message>
</context>
<context>
    <name>DBusNotificationCenter</name>
    <message>
        <source>Show Usage</source>
        <translation>使用状況を表示</translation>
    </message>
</context>
<context>
    <name>MenuBarStatusLabel</name>
    <message>
        <source>Vantor</source>
        <translation>Vantor</translation>
    </message>
    <message>
        <source>Vantor: usage nearing limit</source>
        <translation>Vantor: 上限に近づいています</translation>
    </message>
    <message>
        <source>Vantor: limit reached</source>
        <translation>Vantor: 上限に達しました</translation>
    </message>
    <message>
        <source>Vantor: providers unavailable</source>
        <translation>Vantor: プロバイダーを利用できません</translation>
    </message>
</context>
<context>
    <name>MoneyText</name>
    <message>
        <source>Extra usage: %1 of %2 this month</source>
        <translation>追加使用量：今月 %1／%2</translation>
    </message>
    <message>
        <source>Extra usage: %1 this month</source>
        <translation>追加使用量：今月 %1</translation>
    </message>
    <message>
        <source>Spent: %1 of %2</source>
        <translation>支出：%1／%2</translation>
    </message>
    <message>
        <source>Spent: %1</source>
        <translation>支出：%1</translation>
    </message>
    <message>
        <source>Workspace credits: %1 of %2 used</source>
        <translation>ワークスペースのクレジット：%2のうち%1を使用</translation>
    </message>
    <message>
        <source>Workspace credits: %1 used</source>
        <translation>ワークスペースのクレジット：%1を使用</translation>
    </message>
    <message>
        <source>Unlimited credits</source>
        <translation>クレジット無制限</translation>
    </message>
    <message>
        <source>%1 credits left</source>
        <translation>残り%1クレジット</translation>
    </message>
    <message>
        <source>%1 of %2 used</source>
        <translation>%2のうち%1を使用</translation>
    </message>
    <message>
        <source>%1 used</source>
        <translation>%1を使用</translation>
    </message>
</context>
<context>
    <name>NotificationManager</name>
    <message>
        <source>Claude is ready again</source>
        <translation>Claudeが再び使えるようになりました</translation>
    </message>
    <message>
        <source>Codex is ready again</source>
        <translation>Codexが再び使えるようになりました</translation>
    </message>
    <message>
        <source>Vantor</source>
        <translation>Vantor</translation>
    </message>
    <message>
        <source>Test notification — your alerts are ready.</source>
        <translation>テスト通知です。通知を受け取る準備ができています。</translation>
    </message>
    <message>
        <source>Your weekly usage is available again.</source>
        <translation>週間の使用枠が再び使えるようになりました。</translation>
    </message>
    <message>
        <source>Your 5-hour usage limit has reset.</source>
        <translation>5時間の使用上限がリセットされました。</translation>
    </message>
    <message>
        <source>Your monthly usage is available again.</source>
        <translation>月間の使用枠が再び使えるようになりました。</translation>
    </message>
    <message>
        <source>Your usage limit has reset.</source>
        <translation>使用上限がリセットされました。</translation>
    </message>
    <message>
        <source>%1 is ready again</source>
        <extracomment>&quot;Claude (work) is ready again&quot;: an assistant and one of its several accounts.</extracomment>
        <translation>%1が再び使えるようになりました</translation>
    </message>
    <message>
        <source>%1: 5-hour limit reached</source>
        <translation>%1: 5時間の上限に達しました</translation>
    </message>
    <message>
        <source>%1: weekly limit reached</source>
        <translation>%1: 週間の上限に達しました</translation>
    </message>
    <message>
        <source>%1: monthly limit reached</source>
        <translation>%1: 月間の上限に達しました</translation>
    </message>
    <message>
        <source>%1: usage limit reached</source>
        <translation>%1: 使用上限に達しました</translation>
    </message>
    <message>
        <source>%1: %2 limit reached</source>
        <extracomment>&quot;Codex: Spark · 5 hour limit reached&quot;: %2 is the limit&apos;s own name.</extracomment>
        <translation>%1: %2の上限に達しました</translation>
    </message>
    <message>
        <source>Back at %1.</source>
        <translation>%1に再び使えるようになります。</translation>
    </message>
    <message>
        <source>Back tomorrow at %1.</source>
        <translation>明日の%1に再び使えるようになります。</translation>
    </message>
    <message>
        <source>Back on %1 at %2.</source>
        <extracomment>&quot;Back on Tuesday at 15:40.&quot;: %1 the weekday, %2 the time.</extracomment>
        <translation>%1の%2に再び使えるようになります。</translation>
    </message>
    <message>
        <source>Back on %1.</source>
        <extracomment>&quot;Back on Dec 14, 15:40.&quot;: %1 the month, day and time.</extracomment>
        <translation>%1に再び使えるようになります。</translation>
    </message>
    <message>
        <source>%1: session expired</source>
        <extracomment>&quot;Claude: session expired&quot;: the usage shown is no longer current.</extracomment>
        <translation>%1: セッション切れ</translation>
    </message>
    <message>
        <source>%1: signed out</source>
        <translation>%1: サインアウトされました</translation>
    </message>
    <message>
        <source>Vantor shows the last figures until then.</source>
        <translation>それまでは最後に取得した数値を表示します。</translation>
    </message>
    <message>
        <source>%1: sign-in needed</source>
        <translation>%1: サインインが必要です</translation>
    </message>
    <message>
        <source>%1: %2 of the 5-hour limit left</source>
        <translation>%1: 5時間の上限の残りは%2です</translation>
    </message>
    <message>
        <source>%1: %2 of the weekly limit left</source>
        <translation>%1: 週間の上限の残りは%2です</translation>
    </message>
    <message>
        <source>%1: %2 of the monthly limit left</source>
        <translation>%1: 月間の上限の残りは%2です</translation>
    </message>
    <message>
        <source>%1: %2 of the usage limit left</source>
        <translation>%1: 使用上限の残りは%2です</translation>
    </message>
    <message>
        <source>%1: %2 of the %3 limit left</source>
        <translation>%1: %3の上限の残りは%2です</translation>
    </message>
</context>
<context>
    <name>PopoverViewModel</name>
    <message>
        <source>Vantor</source>
        <translation>Vantor</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Shortcut %1</source>
        <translation>ショートカット：%1</translation>
    </message>
    <message>
        <source>Show Usage</source>
        <translation>使用状況を表示</translation>
    </message>
    <message>
        <source>Play reset alert</source>
        <translation>リセット時に音声を再生</translation>
    </message>
</context>
<context>
    <name>ProviderStatusText</name>
    <message>
        <source>Weekly</source>
        <translation>週間</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>月間</translation>
    </message>
    <message>
        <source>Additional limit</source>
        <translation>追加枠</translation>
    </message>
    <message>
        <source>Codex</source>
        <translation>Codex</translation>
    </message>
    <message>
        <source>Claude Code</source>
        <translation>Claude Code</translation>
    </message>
    <message>
        <source>Not detected</source>
        <translation>未検出</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>接続済み</translation>
    </message>
    <message>
        <source>Not installed</source>
        <translation>未インストール</translation>
    </message>
    <message>
        <source>Sign in required</source>
        <translation>ログインが必要です</translation>
    </message>
    <message>
        <source>Upgrade to Pro</source>
        <translation>Proプランが必要です</translation>
    </message>
    <message>
        <source>Unavailable</source>
        <translation>利用不可</translation>
    </message>
    <message>
        <source>Claude</source>
        <translation>Claude</translation>
    </message>
    <message>
        <source>default</source>
        <translation>既定</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <extracomment>An assistant and one of its accounts: &quot;Claude (work)&quot;.</extracomment>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>Session expired</source>
        <translation>セッション切れ</translation>
    </message>
    <message>
        <source>Rate limited</source>
        <translation>リクエスト制限中</translation>
    </message>
    <message>
        <source>This token cannot read usage (one made by claude setup-token): run claude and sign in</source>
        <translation>このトークンでは使用状況を読めません（claude setup-token で作成したもの）：claude を実行してサインインしてください</translation>
    </message>
    <message>
        <source>Rate limited until %1</source>
        <extracomment>%1 the local time after which Vantor asks again.</extracomment>
        <translation>%1までリクエスト制限中</translation>
    </message>
    <message>
        <source>Usage data couldn&apos;t be refreshed; Vantor tries again soon.</source>
        <translation>使用状況を更新できませんでした。まもなく再試行します。</translation>
    </message>
    <message>
        <source>Not installed: install it with npm install -g @openai/codex</source>
        <translation>未インストール：npm install -g @openai/codex でインストールしてください</translation>
    </message>
    <message>
        <source>Not installed: install it with npm install -g @anthropic-ai/claude-code</source>
        <translation>未インストール：npm install -g @anthropic-ai/claude-code でインストールしてください</translation>
    </message>
    <message>
        <source>Not signed in: run codex login</source>
        <translation>未サインイン：codex login を実行してください</translation>
    </message>
    <message>
        <source>Not signed in: run claude and sign in</source>
        <translation>未サインイン：claude を実行してサインインしてください</translation>
    </message>
    <message>
        <source>Session expired: run claude to renew it</source>
        <translation>セッション切れ：claude を実行して更新してください</translation>
    </message>
    <message>
        <source>5-hour</source>
        <translation>5時間</translation>
    </message>
    <message>
        <source>%1%</source>
        <extracomment>A share: &quot;42%&quot;; the language&apos;s own spacing before the sign.</extracomment>
        <translation>%1%</translation>
    </message>
    <message numerus="yes">
        <source>%1 %n% left</source>
        <extracomment>A window&apos;s share left: &quot;5-hour 42% left&quot;; %1 the window&apos;s name.</extracomment>
        <translation>
            <numerusform>%1 残り%n%</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 limit reached</source>
        <extracomment>%1 the window&apos;s name: &quot;5-hour limit reached&quot;.</extracomment>
        <translation>%1の上限に到達</translation>
    </message>
    <message>
        <source>%1 limit reset, waiting for a new reading</source>
        <extracomment>A limit whose reset time has passed, before a refresh has read it again; %1 its name.</extracomment>
        <translation>%1の上限がリセットされました。新しい値を待っています</translation>
    </message>
    <message>
        <source>%1 use unknown</source>
        <extracomment>A window whose use the provider did not tell: &quot;5-hour use unknown&quot;.</extracomment>
        <translation>%1 使用量不明</translation>
    </message>
    <message>
        <source>as of %1</source>
        <translation>%1時点</translation>
    </message>
    <message>
        <source>not refreshed</source>
        <translation>未更新</translation>
    </message>
    <message>
        <source>session expired</source>
        <translation>セッション切れ</translation>
    </message>
    <message>
        <source>sign in needed</source>
        <translation>サインインが必要</translation>
    </message>
    <message>
        <source>rate limited</source>
        <translation>リクエスト制限中</translation>
    </message>
    <message>
        <source>not installed</source>
        <translation>未インストール</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>Values not current: &quot;as of 9:01 PM · sign in needed&quot;.</extracomment>
        <translation>%1 · %2</translation>
    </message>
</context>
<context>
    <name>SettingsText</name>
    <message>
        <source>English</source>
        <translation>英語</translation>
    </message>
    <message>
        <source>French</source>
        <translation>フランス語</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>日本語</translation>
    </message>
    <message>
        <source>Automatic (system language)</source>
        <translation>自動（システムの言語）</translation>
    </message>
    <message>
        <source>Male</source>
        <translation>男性</translation>
    </message>
    <message>
        <source>Female</source>
        <translation>女性</translation>
    </message>
    <message>
        <source>Test notification sent.</source>
        <translation>テスト通知を送信しました。</translation>
    </message>
    <message>
        <source>Notifications are off. Enable Vantor in the desktop&apos;s notification settings.</source>
        <translation>通知がオフになっています。デスクトップの通知設定でVantorを有効にしてください。</translation>
    </message>
    <message>
        <source>That account is already listed.</source>
        <translation>このアカウントはすでに一覧にあります。</translation>
    </message>
    <message>
        <source>This folder holds no Claude Code or Codex sign-in.</source>
        <translation>このフォルダーには Claude Code または Codex のログイン情報がありません。</translation>
    </message>
    <message>
        <source>At most %1 accounts per assistant.</source>
        <translation>アシスタントごとに最大%1件のアカウントです。</translation>
    </message>
</context>
<context>
    <name>SettingsViewModel</name>
    <message>
        <source>Off</source>
        <translation>オフ</translation>
    </message>
    <message>
        <source>Symbol</source>
        <translation>シンボル</translation>
    </message>
    <message>
        <source>Percentage left</source>
        <translation>残りの割合</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>自動</translation>
    </message>
    <message>
        <source>General</source>
        <translation>一般</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>ログイン時に起動</translation>
    </message>
    <message>
        <source>Tray icon shows</source>
        <translation>トレイアイコンの表示</translation>
    </message>
    <message>
        <source>Reset alert</source>
        <translation>リセット通知</translation>
    </message>
    <message>
        <source>Play reset alert</source>
        <translation>リセット時に音声を再生</translation>
    </message>
    <message>
        <source>Voice</source>
        <translation>声</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>サウンド</translation>
    </message>
    <message>
        <source>Play Audio Test</source>
        <translation>テスト再生</translation>
    </message>
    <message>
        <source>Send Test Notification</source>
        <translation>テスト通知を送信</translation>
    </message>
    <message>
        <source>Open Notification Settings</source>
        <translation>通知設定を開く</translation>
    </message>
    <message>
        <source>Providers</source>
        <translation>プロバイダー</translation>
    </message>
    <message>
        <source>About</source>
        <translation>情報</translation>
    </message>
    <message>
        <source>Vantor 1.0</source>
        <translation>Vantor 1.0</translation>
    </message>
    <message>
        <source>Usage data and alert preferences stay on this computer. Claude usage support is experimental.</source>
        <translation>使用状況のデータと通知の設定は、このコンピューターの外に送られません。Claudeの使用状況の表示は試験的な機能です。</translation>
    </message>
    <message>
        <source>The notification settings could not be opened.</source>
        <translation>通知設定を開けませんでした。</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <extracomment>A provider&apos;s row when several accounts of it are watched: &quot;Claude Code · work&quot;.</extracomment>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>Watch %1</source>
        <extracomment>The switch that watches an account or not: &quot;Watch Claude (work)&quot;.</extracomment>
        <translation>%1を監視</translation>
    </message>
    <message>
        <source>Remove %1</source>
        <extracomment>The button that forgets an account: &quot;Remove Claude (work)&quot;.</extracomment>
        <translation>%1を削除</translation>
    </message>
    <message>
        <source>Accounts</source>
        <translation>アカウント</translation>
    </message>
    <message>
        <source>Add folder...</source>
        <translation>フォルダーを追加...</translation>
    </message>
    <message>
        <source>Choose the folder of a Claude Code or Codex account</source>
        <translation>Claude Code または Codex のアカウントのフォルダーを選択</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Voice language</source>
        <translation>音声の言語</translation>
    </message>
    <message>
        <source>%1 left</source>
        <translation>残り%1</translation>
    </message>
    <message>
        <source>Warn when a limit is down to</source>
        <translation>警告する残量</translation>
    </message>
</context>
<context>
    <name>SettingsWindowPresenter</name>
    <message>
        <source>Vantor Settings</source>
        <translation>Vantorの設定</translation>
    </message>
</context>
<context>
    <name>StatusReport</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: blocked</source>
        <extracomment>Waybar&apos;s text for an account that cannot be used now: &quot;Codex: blocked&quot;.</extracomment>
        <translation>%1: ブロック中</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <extracomment>Waybar&apos;s text for a spent limit: %1 the limit, %2 when it is back (&quot;back in 40 min&quot;, &quot;back at 11:03 PM&quot;).</extracomment>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>TimeDisplayFormatter</name>
    <message>
        <source>Resets at %1.</source>
        <translation>%1にリセットされます。</translation>
    </message>
    <message>
        <source>Resets tomorrow at %1.</source>
        <translation>明日の%1にリセットされます。</translation>
    </message>
    <message>
        <source>Resets on %1 at %2.</source>
        <translation>%1の%2にリセットされます。</translation>
    </message>
    <message>
        <source>Resets on %1.</source>
        <translation>%1にリセットされます。</translation>
    </message>
    <message numerus="yes">
        <source>%n min</source>
        <translation>
            <numerusform>%n分後</numerusform>
        </translation>
    </message>
    <message>
        <source>tomorrow, %1</source>
        <translation>明日 %1</translation>
    </message>
    <message>
        <source>back in %1</source>
        <extracomment>When a spent limit comes back: &quot;back in 12 min&quot;.</extracomment>
        <translation>%1に再開</translation>
    </message>
    <message>
        <source>back at %1</source>
        <translation>%1に再開</translation>
    </message>
    <message>
        <source>back tomorrow at %1</source>
        <translation>明日 %1に再開</translation>
    </message>
    <message>
        <source>back %1 at %2</source>
        <translation>%1 %2に再開</translation>
    </message>
    <message>
        <source>back %1</source>
        <translation>%1に再開</translation>
    </message>
    <message>
        <source>resets in %1</source>
        <extracomment>When a limit resets: &quot;resets in 12 min&quot;, &quot;resets Fri 09:00&quot;.</extracomment>
        <translation>%1にリセット</translation>
    </message>
    <message>
        <source>resets %1</source>
        <translation>%1にリセット</translation>
    </message>
</context>
<context>
    <name>TrayFigure</name>
    <message>
        <source>%1m</source>
        <translation>%1m</translation>
    </message>
    <message>
        <source>%1h</source>
        <translation>%1h</translation>
    </message>
    <message>
        <source>%1d</source>
        <translation>%1d</translation>
    </message>
</context>
<context>
    <name>UsageCoordinator</name>
    <message>
        <source>Usage data couldn&apos;t be refreshed.</source>
        <translation>使用状況のデータを更新できませんでした。</translation>
    </message>
</context>
<context>
    <name>VantorRuntime</name>
    <message>
        <source>Vantor runs in the background</source>
        <translation>Vantor はバックグラウンドで動作しています</translation>
    </message>
    <message>
        <source>Your panel shows no tray icons. Install the AppIndicator and KStatusNotifierItem Support extension to see Vantor&apos;s icon; meanwhile vantor status shows your limits.</source>
        <translation>パネルにトレイアイコンが表示されません。Vantor のアイコンを表示するには AppIndicator and KStatusNotifierItem Support 拡張機能をインストールしてください。それまでは vantor status で上限を確認できます。</translation>
    </message>
    <message>
        <source>Your panel shows no tray icons. Add a system tray to it to see Vantor&apos;s icon; meanwhile vantor status shows your limits.</source>
        <translation>パネルにトレイアイコンが表示されません。Vantor のアイコンを表示するにはシステムトレイを追加してください。それまでは vantor status で上限を確認できます。</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>vantor: another Vantor owns %1 but does not answer</source>
        <translation>vantor: 別のVantorが%1を保持していますが、応答しません</translation>
    </message>
    <message>
        <source>vantor: Vantor already runs in this session</source>
        <translation>vantor: Vantorはこのセッションですでに実行中です</translation>
    </message>
    <message>
        <source>Vantor is not running and has no stored readings.</source>
        <translation>Vantorは起動しておらず、保存された使用状況もありません。</translation>
    </message>
    <message>
        <source>vantor: Vantor is not running</source>
        <translation>vantor: Vantorは起動していません</translation>
    </message>
    <message>
        <source>vantor: the running Vantor did not answer</source>
        <translation>vantor: 起動中のVantorが応答しませんでした</translation>
    </message>
</context>
</TS>
