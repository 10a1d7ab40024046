#include "CommandLine.h"

#include <QCoreApplication>

#include <array>
#include <utility>

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine line;
    const auto fail = [&line](const QString& error) {
        line.action = Action::error;
        line.error = error;
        return line;
    };
    static const std::array<std::pair<QLatin1String, Action>, 5> verbs{{
        {QLatin1String("status"), Action::status},
        {QLatin1String("statusline"), Action::statusline},
        {QLatin1String("refresh"), Action::refresh},
        {QLatin1String("settings"), Action::settings},
        {QLatin1String("quit"), Action::quit},
    }};
    qsizetype next = 0;
    for (const auto& [name, action] : verbs) {
        if (!arguments.isEmpty() && arguments[0] == name) {
            line.action = action;
            next = 1;
        }
    }
    bool formatGiven = false;
    for (; next < arguments.size(); ++next) {
        const QString& argument = arguments[next];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.action = Action::help;
            return line;
        }
        if (argument == QLatin1String("--version")) {
            line.action = Action::version;
            return line;
        }
        const bool json = argument == QLatin1String("--json");
        if (line.action == Action::status && (json || argument == QLatin1String("--waybar"))) {
            if (formatGiven) {
                return fail(QCoreApplication::translate("CommandLine",
                                                        "choose one of --json and --waybar"));
            }
            formatGiven = true;
            line.format = json ? Format::json : Format::waybar;
            continue;
        }
        if (line.action == Action::status && argument == QLatin1String("--follow")) {
            line.follow = true;
            continue;
        }
        if (argument.startsWith(u'-')) {
            return fail(
                QCoreApplication::translate("CommandLine", "unknown option '%1'").arg(argument));
        }
        return fail(
            QCoreApplication::translate("CommandLine", "unexpected argument '%1'").arg(argument));
    }
    if (line.follow && line.format != Format::waybar) {
        return fail(
            QCoreApplication::translate("CommandLine", "--follow works only with --waybar"));
    }
    return line;
}

QString CommandLine::usage() {
    //: Every line at most 80 columns wide (a Japanese character takes two). The commands,
    //: options, file names and the Waybar snippet stay as they are.
    return QCoreApplication::translate(
        "CommandLine",
        "Usage: vantor [-h | --help | --version]\n"
        "       vantor status [--json | --waybar [--follow]]\n"
        "       vantor statusline\n"
        "       vantor refresh | settings | quit\n"
        "\n"
        "Without a command, Vantor starts in the tray and shows how much of the Codex and\n"
        "Claude Code usage limits is left. If Vantor is already running, it shows its\n"
        "window instead.\n"
        "\n"
        "Commands:\n"
        "  status           Print one line per account: the limit with the least left,\n"
        "                   and when it resets, or why there is nothing to show.\n"
        "  status --json    Print all readings as JSON, for scripts.\n"
        "  status --waybar  Print one line of JSON for a Waybar custom module.\n"
        "    --follow       Keep running and print a new line whenever it changes.\n"
        "  statusline       Status line for Claude Code: reads what Claude Code sends,\n"
        "                   prints one line and passes the usage on to Vantor.\n"
        "  refresh          Ask the running Vantor to check usage now.\n"
        "  settings         Ask the running Vantor to open its settings.\n"
        "  quit             Ask the running Vantor to quit.\n"
        "  -h, --help       Show this help.\n"
        "  --version        Show the version.\n"
        "\n"
        "These commands never start Vantor. When it is not running, status shows the\n"
        "last stored readings, and refresh, settings and quit fail.\n"
        "\n"
        "Waybar, in ~/.config/waybar/config, with \"custom/vantor\" in \"modules-right\":\n"
        "  \"custom/vantor\": {\n"
        "    \"exec\": \"vantor status --waybar --follow\",\n"
        "    \"return-type\": \"json\"\n"
        "  }\n"
        "Or, checked every 30 seconds instead:\n"
        "  \"exec\": \"vantor status --waybar\", \"return-type\": \"json\", \"interval\": 30\n"
        "\n"
        "Files:\n"
        "  $XDG_CONFIG_HOME/vantor/vantor.conf (~/.config/vantor/vantor.conf)\n"
        "      Settings and the last readings.\n"
        "  $XDG_STATE_HOME/vantor/history.json (~/.local/state/vantor/history.json)\n"
        "      Usage history.\n");
}
