// The `vantor` command: the status commands, Claude Code's status line and the verbs that ask
// the running Vantor, answered here with Qt Core and D-Bus alone, since the status line runs
// after every answer in the user's terminal; anything else starts the desktop program in this
// process's place.
#include "ClaudeStatusLine.h"
#include "CommandLine.h"
#include "InterfaceLanguage.h"
#include "QSettingsDefaults.h"
#include "StatusFollower.h"
#include "StatusLineText.h"
#include "StatusReport.h"
#include "TerminationSignals.h"
#include "VantorBusService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <poll.h>
#include <unistd.h>

namespace {

void print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fputc('\n', stream);
}

// Waybar's continuous mode: a line per change until ended, or until Waybar stops reading.
int followStatus(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    InterfaceLanguage::apply();
    // A reader gone shows as a failed write, not as a signal that ends us mid-line.
    std::signal(SIGPIPE, SIG_IGN);
    TerminationSignals terminations;
    QObject::connect(&terminations, &TerminationSignals::received, &app, &QCoreApplication::quit);
    StatusFollower follower(QDBusConnection::sessionBus(), STDOUT_FILENO);
    QObject::connect(&follower, &StatusFollower::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    follower.start();
    return QCoreApplication::exec();
}

// Reads, never polls: the running copy when there is one, else what it stored last.
int printStatus(int argc, char** argv, CommandLine::Format format) {
    QCoreApplication app(argc, argv);
    InterfaceLanguage::apply();
    std::optional<StatusReport> report = StatusReport::fromRunning(QDBusConnection::sessionBus());
    // Stored readings count even for an account no longer shown: something is known.
    bool nothingKnown = false;
    if (!report) {
        QSettingsDefaults defaults;
        bool anyStored = false;
        report = StatusReport::fromStored(defaults, &anyStored);
        nothingKnown = !anyStored;
    }
    const Instant now = Instant::now();
    const QLocale locale;
    switch (format) {
        case CommandLine::Format::text:
            // A line per provider saying nothing is known would read as if each were missing.
            if (nothingKnown) {
                print(stdout, QCoreApplication::translate(
                                  "main", "Vantor is not running and has no stored readings."));
                break;
            }
            print(stdout, report->text(now, locale));
            break;
        case CommandLine::Format::json:
            print(stdout, QString::fromUtf8(report->json(now, locale)));
            break;
        case CommandLine::Format::waybar:
            print(stdout, QString::fromUtf8(report->waybar(now, locale)));
            break;
    }
    return 0;
}

// What Claude Code writes on our standard input: read until it closes, for at most a second
// and a bounded size, as this runs in the user's prompt. Nothing from a terminal.
QByteArray readStatusLineInput() {
    QByteArray input;
    if (::isatty(STDIN_FILENO) != 0) {
        return input;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    pollfd readable{.fd = STDIN_FILENO, .events = POLLIN, .revents = 0};
    char buffer[16384];
    while (input.size() <= ClaudeStatusLine::maxInputBytes) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        input.append(buffer, count);
    }
    return input;
}

// The folder of the Claude account this status line belongs to: Claude Code runs it with its
// own environment and working folder, and resolves a relative CLAUDE_CONFIG_DIR against that
// folder as well. Empty for the default account.
QString claudeConfigDir() {
    const QString variable = qEnvironmentVariable("CLAUDE_CONFIG_DIR");
    return variable.isEmpty() ? QString()
                              : QDir::cleanPath(QDir::current().absoluteFilePath(variable));
}

// Claude Code's status-line command: the line first, then the Claude usage to the running
// Vantor, if any. Bad input prints nothing; every outcome exits 0 so the prompt never shows
// an error.
int printStatusLine(int argc, char** argv) {
    const std::optional<ClaudeStatusLine> input = ClaudeStatusLine::parse(readStatusLineInput());
    if (!input) {
        return 0;
    }
    QCoreApplication app(argc, argv);
    InterfaceLanguage::apply();
    print(stdout, StatusLineText::line(*input, Instant::now(), QLocale()));
    std::fflush(stdout);
    const QByteArray body = input->usageBody();
    if (body.isEmpty()) {
        return 0;
    }
    // The default account's reading goes the way it always went, which a running copy of an
    // older release still takes; another account's only to a copy that can tell them apart.
    const QString configDir = claudeConfigDir();
    if (configDir.isEmpty()) {
        VantorBusService::call(QDBusConnection::sessionBus(), QStringLiteral("ReportClaudeUsage"),
                               250, {QString::fromUtf8(body)});
    } else {
        VantorBusService::call(QDBusConnection::sessionBus(),
                               QStringLiteral("ReportClaudeUsageFrom"), 250,
                               {configDir, QString::fromUtf8(body)});
    }
    return 0;
}

// refresh, settings and quit: the method of the running Vantor, never one started for it.
int askRunning(int argc, char** argv, const QString& method) {
    QCoreApplication app(argc, argv);
    InterfaceLanguage::apply();
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!VantorBusService::isRunning(bus)) {
        print(stderr, QCoreApplication::translate("main", "vantor: Vantor is not running"));
        return 1;
    }
    if (!VantorBusService::call(bus, method)) {
        print(stderr,
              QCoreApplication::translate("main", "vantor: the running Vantor did not answer"));
        return 1;
    }
    return 0;
}

QString selfPath() {
    return QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
}

// The program that watches: the one without an interface when there is no display to show one
// on (a console, a service), else the desktop program. Beside this one in a build tree, else in
// the library folder of the prefix this one is installed under.
QByteArray residentProgram() {
    const bool display =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const QString name = platform == QLatin1String("offscreen") || (platform.isEmpty() && !display)
                             ? QStringLiteral("/vantor-headless")
                             : QStringLiteral("/vantor-desktop");
    const QString folder = QFileInfo(selfPath()).absolutePath();
    if (QFileInfo(folder + name).isExecutable()) {
        return QFile::encodeName(folder + name);
    }
    return QFile::encodeName(folder + QStringLiteral("/" VANTOR_DESKTOP_FROM_BINDIR) + name);
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const CommandLine line = CommandLine::parse(arguments);
    switch (line.action) {
        case CommandLine::Action::help: {
            QCoreApplication app(argc, argv);
            InterfaceLanguage::apply();
            std::fputs(CommandLine::usage().toLocal8Bit().constData(), stdout);
            return 0;
        }
        case CommandLine::Action::version:
            std::puts("vantor " VANTOR_VERSION);
            return 0;
        case CommandLine::Action::error: {
            QCoreApplication app(argc, argv);
            InterfaceLanguage::apply();
            // Parsed again, now that the translation is in place.
            print(stderr,
                  QCoreApplication::translate("CommandLine", "vantor: %1\nTry 'vantor --help'.")
                      .arg(CommandLine::parse(arguments).error));
            return 2;
        }
        case CommandLine::Action::status:
            return line.follow ? followStatus(argc, argv) : printStatus(argc, argv, line.format);
        case CommandLine::Action::refresh:
            return askRunning(argc, argv, QStringLiteral("Refresh"));
        case CommandLine::Action::settings:
            return askRunning(argc, argv, QStringLiteral("ShowSettings"));
        case CommandLine::Action::quit:
            return askRunning(argc, argv, QStringLiteral("Quit"));
        case CommandLine::Action::statusline:
            return printStatusLine(argc, argv);
        case CommandLine::Action::run:
            break;
    }
    // Same process, same id: whoever started Vantor (a test, a session manager) keeps it.
    const QByteArray program = residentProgram();
    // So that launch at login names this command, not the program behind it.
    qputenv("VANTOR_COMMAND", QFile::encodeName(selfPath()));
    argv[0] = const_cast<char*>(program.constData());
    ::execv(program.constData(), argv);
    print(stderr,
          QStringLiteral("vantor: cannot start %1: %2")
              .arg(QFile::decodeName(program), QString::fromLocal8Bit(std::strerror(errno))));
    return 1;
}
