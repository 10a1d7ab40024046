#include "CommandLine.h"

#include <QCoreApplication>

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine line;
    const auto fail = [&line](const QString& error) {
        line.action = Action::error;
        line.error = error;
        return line;
    };
    qsizetype next = 0;
    if (!arguments.isEmpty() && arguments[0] == QLatin1String("status")) {
        line.action = Action::status;
        next = 1;
    } else if (!arguments.isEmpty() && arguments[0] == QLatin1String("statusline")) {
        line.action = Action::statusline;
        next = 1;
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
        if (argument.startsWith(u'-')) {
            return fail(
                QCoreApplication::translate("CommandLine", "unknown option '%1'").arg(argument));
        }
        return fail(
            QCoreApplication::translate("CommandLine", "unexpected argument '%1'").arg(argument));
    }
    return line;
}

QString CommandLine::usage() {
    return QCoreApplication::translate(
        "CommandLine",
        "Usage: vantor [--help | --version]\n"
        "       vantor status [--json | --waybar]\n"
        "       vantor statusline\n"
        "\n"
        "Without arguments Vantor starts in the tray and watches the usage limits of Codex and\n"
        "Claude Code. When it already runs, the running copy opens its popover instead.\n"
        "\n"
        "  status           one line per provider: its headline window, the share left and\n"
        "                   when it resets, or why there is no usage to show\n"
        "  status --json    the snapshots and availability in their stored JSON form\n"
        "  status --waybar  JSON for a Waybar custom module (text, tooltip, class, percentage)\n"
        "  statusline       Claude Code's status-line command: reads what Claude Code sends on\n"
        "                   standard input, prints one line and hands the Claude usage in it\n"
        "                   to the running Vantor\n"
        "  --help           this text\n"
        "  --version        the version\n"
        "\n"
        "The status commands ask the running Vantor, else read the stored snapshots; they\n"
        "never start one.\n");
}
