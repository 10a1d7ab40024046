// Vantor's entry point: the command line, one instance per session, and the resident
// process. Only this folder knows every concrete type.
#include "ClaudeStatusLine.h"
#include "CommandLine.h"
#include "LogSink.h"
#include "MediaSoundPlayer.h"
#include "QSettingsDefaults.h"
#include "StatusLineText.h"
#include "StatusReport.h"
#include "TerminationSignals.h"
#include "UsageCoordinator.h"
#include "VantorBusService.h"
#include "VantorInterface.h"
#include "VantorRuntime.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>

#include <chrono>
#include <cstdio>

#include <poll.h>
#include <unistd.h>

namespace {

void print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fputc('\n', stream);
}

// Reads, never polls: the running copy when there is one, else what it stored last.
int printStatus(int argc, char** argv, CommandLine::Format format) {
    QCoreApplication app(argc, argv);
    std::optional<StatusReport> report = StatusReport::fromRunning(QDBusConnection::sessionBus());
    if (!report) {
        QSettingsDefaults defaults;
        report = StatusReport::fromStored(defaults);
    }
    const Instant now = Instant::now();
    const QLocale locale = QLocale::system();
    switch (format) {
        case CommandLine::Format::text:
            print(stdout, report->text(now, locale));
            break;
        case CommandLine::Format::json:
            print(stdout, QString::fromUtf8(report->json()));
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

// Claude Code's status-line command: the line first, then the Claude usage to the running
// Vantor, if any. Bad input prints nothing; every outcome exits 0 so the prompt never shows
// an error.
int printStatusLine(int argc, char** argv) {
    const std::optional<ClaudeStatusLine> input = ClaudeStatusLine::parse(readStatusLineInput());
    if (!input) {
        return 0;
    }
    print(stdout, StatusLineText::line(*input, Instant::now(), QLocale::system()));
    std::fflush(stdout);
    const QByteArray body = input->usageBody();
    if (!body.isEmpty()) {
        QCoreApplication app(argc, argv);
        VantorBusService::call(QDBusConnection::sessionBus(), QStringLiteral("ReportClaudeUsage"),
                               250, {QString::fromUtf8(body)});
    }
    return 0;
}

// A second start leaves the watching to the first and asks it to show itself.
int handOver(QDBusConnection bus) {
    if (VantorBusService::call(bus, QStringLiteral("ShowPopover"))) {
        return 0;
    }
    print(stderr, QStringLiteral("vantor: another Vantor owns %1 but does not answer")
                      .arg(VantorBusService::serviceName));
    return 1;
}

QString lockFilePath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    QDir().mkpath(folder);
    return folder + QStringLiteral("/com.quorvel.vantor.lock");
}

int runResident(int argc, char** argv) {
    // Without any display (a console, a service) Vantor still watches, headless.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantor"));
    QApplication::setApplicationVersion(QStringLiteral(VANTOR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("com.quorvel.vantor"));
    // A tray utility: closing the settings window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    TerminationSignals terminations;
    QObject::connect(&terminations, &TerminationSignals::received, &app, &QCoreApplication::quit);

    QDBusConnection bus = QDBusConnection::sessionBus();
    QLockFile lock(lockFilePath());
    // Held for the whole session: only a dead holder makes a lock stale, never its age.
    lock.setStaleLockTime(0);
    if (bus.isConnected() && VantorBusService::isRunning(bus)) {
        return handOver(bus);
    }
    // Every copy holds the lock as well as the name: one started without a bus (it can only
    // see the lock) and one with a bus never both run.
    if (!lock.tryLock(0) && lock.error() == QLockFile::LockFailedError) {
        print(stderr, QStringLiteral("vantor: Vantor already runs in this session"));
        return 0;
    }

    VantorRuntime runtime(
        VantorRuntime::linuxPlatform([] { return std::make_unique<MediaSoundPlayer>(); }));
    VantorBusService service(runtime.state());
    if (bus.isConnected() && !service.registerOn(bus)) {
        // Another copy took the name since we looked.
        return handOver(bus);
    }
    QObject::connect(&service, &VantorBusService::refreshRequested, &runtime,
                     &VantorRuntime::refresh);
    QObject::connect(&service, &VantorBusService::claudeUsageReported, &runtime,
                     &VantorRuntime::applyClaudeUsage);

    // The icon goes into the tray as soon as one exists; the popover and settings windows are
    // made only when first shown, so a headless session pays little for them.
    VantorInterface interface(runtime.state(), runtime.coordinator(), runtime.loginItem(),
                              runtime.defaults(), runtime.notificationCenter());
    // Without a display there is no popover to show: a second start refreshes instead.
    QObject::connect(&service, &VantorBusService::showPopoverRequested, &interface,
                     [&interface, &runtime] {
                         if (VantorInterface::headless()) {
                             runtime.refresh();
                         } else {
                             interface.showPopover();
                         }
                     });
    QObject::connect(&service, &VantorBusService::showSettingsRequested, &interface,
                     &VantorInterface::showSettings);
    interface.show();

    QTimer::singleShot(0, &runtime, &VantorRuntime::launch);
    // After the first refresh, so it never waits for this check (itself a bus call).
    QObject::connect(
        &runtime.coordinator(), &UsageCoordinator::refreshFinished, &runtime,
        [&runtime] {
            if (!QSystemTrayIcon::isSystemTrayAvailable()) {
                runtime.log().write(LogSink::Priority::warning, QStringLiteral("launch"),
                                    QStringLiteral("No system tray: Vantor watches without an "
                                                   "icon until a tray appears"));
            }
        },
        Qt::SingleShotConnection);

    const int code = QApplication::exec();
    // Quit ends everything at once, as it always has: the Codex children went with
    // aboutToQuit, every setting is already on disk, and a refresh still suspended must not
    // resume into an engine being taken apart.
    lock.unlock();
    std::fflush(nullptr);
    ::_exit(code);
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const CommandLine line = CommandLine::parse(arguments);
    switch (line.action) {
        case CommandLine::Action::help:
            std::fputs(CommandLine::usage().toLocal8Bit().constData(), stdout);
            return 0;
        case CommandLine::Action::version:
            std::puts("vantor " VANTOR_VERSION);
            return 0;
        case CommandLine::Action::error:
            print(stderr, QStringLiteral("vantor: %1\nTry 'vantor --help'.").arg(line.error));
            return 2;
        case CommandLine::Action::status:
            return printStatus(argc, argv, line.format);
        case CommandLine::Action::statusline:
            return printStatusLine(argc, argv);
        case CommandLine::Action::run:
            break;
    }
    return runResident(argc, argv);
}
