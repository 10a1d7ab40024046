// Vantor's desktop program: one instance per session, the tray, the polling and the
// announcements. Only this folder knows every concrete type.
#include "InterfaceLanguage.h"
#include "LogSink.h"
#include "SoundPlayerModule.h"
#include "TerminationSignals.h"
#include "UsageCoordinator.h"
#include "VantorBusService.h"
#include "VantorRuntime.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QDBusConnection>
#include <QDir>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

// Built twice: with the interface, and as the headless program `vantor` starts without a
// display, which loads no Qt Gui, Quick or Widgets at all.
#ifndef VANTOR_HEADLESS
#include "TrayIcon.h"
#include "VantorInterface.h"
#include "WakeSource.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QSystemTrayIcon>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include <unistd.h>

namespace {

void print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fputc('\n', stream);
}

// A second start leaves the watching to the first and asks it to show itself.
int handOver(QDBusConnection bus) {
    if (VantorBusService::call(bus, QStringLiteral("ShowPopover"))) {
        return 0;
    }
    print(stderr,
          QCoreApplication::translate("main", "vantor: another Vantor owns %1 but does not answer")
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
#ifdef VANTOR_HEADLESS
    const bool headless = true;
    const std::unique_ptr<QCoreApplication> app = std::make_unique<QCoreApplication>(argc, argv);
#else
    // Without any display (a console, a service) Vantor still watches, headless.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The windows draw in software, yet Qt's Wayland platform loads EGL and Mesa for the first
    // one shown: about 50 MB resident for nothing. Naming no existing integration leaves the
    // windows on shared-memory buffers (Qt says once that it found none).
    if (qEnvironmentVariableIsEmpty("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION")) {
        qputenv("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "shm");
    }
    // Headless, nothing could be shown: without Qt Gui's application the process stays small.
    const bool headless = qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen");
    // Under X11 a window's WM_CLASS is "<instance>", "<application name>", the instance taken
    // from the program's file name ("vantor-desktop") unless -name says otherwise: named
    // "vantor" both ways, as the desktop entry's StartupWMClass, so the windows group with it.
    static char nameOption[] = "-name";
    static char instanceName[] = "vantor";
    std::vector<char*> arguments(argv, argv + argc);
    arguments.insert(arguments.begin() + std::min(argc, 1), {nameOption, instanceName});
    arguments.push_back(nullptr);
    static int guiArgc = static_cast<int>(arguments.size()) - 1;
    static std::vector<char*> guiArgv = std::move(arguments);
    const std::unique_ptr<QCoreApplication> app =
        headless ? std::make_unique<QCoreApplication>(argc, argv)
                 : std::make_unique<QApplication>(guiArgc, guiArgv.data());
    if (!headless) {
        QGuiApplication::setDesktopFileName(QStringLiteral("com.quorvel.vantor"));
        // The application's own icon on every window: _NET_WM_ICON under X11.
        QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/com.quorvel.vantor.svg")));
        // A tray utility: closing the settings window must not end it.
        QGuiApplication::setQuitOnLastWindowClosed(false);
    }
#endif
    QCoreApplication::setApplicationName(QStringLiteral("vantor"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTOR_VERSION));
    InterfaceLanguage::apply();

    TerminationSignals terminations;
    QObject::connect(&terminations, &TerminationSignals::received, app.get(),
                     &QCoreApplication::quit);

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
        print(stderr,
              QCoreApplication::translate("main", "vantor: Vantor already runs in this session"));
        return 0;
    }

    VantorRuntime runtime(VantorRuntime::linuxPlatform([] {
        return SoundPlayerModule::makePlayer(QCoreApplication::applicationDirPath() + u'/' +
                                             QLatin1String(SoundPlayerModule::fileName));
    }));
    VantorBusService service(runtime.state());
    if (bus.isConnected() && !service.registerOn(bus)) {
        // Another copy took the name since we looked.
        return handOver(bus);
    }
    QObject::connect(&service, &VantorBusService::refreshRequested, &runtime,
                     &VantorRuntime::refresh);
    // Queued, after the caller's answer; giving the name back is a round trip behind that
    // answer, so the answer has gone out before the process ends, and whoever asks next finds
    // no Vantor.
    QObject::connect(
        &service, &VantorBusService::quitRequested, app.get(),
        [bus]() mutable {
            bus.unregisterService(VantorBusService::serviceName);
            QCoreApplication::quit();
        },
        Qt::QueuedConnection);
    // Queued: the status line gets its answer at once, not after the store was written.
    QObject::connect(&service, &VantorBusService::claudeUsageReported, &runtime,
                     &VantorRuntime::applyClaudeUsage, Qt::QueuedConnection);
    QObject::connect(&service, &VantorBusService::claudeUsageReportedFrom, &runtime,
                     &VantorRuntime::applyClaudeUsageFrom, Qt::QueuedConnection);
    // A click on one of Vantor's notifications does what the ShowPopover method does.
    runtime.notificationCenter().whenActivated([receiver = QPointer<VantorBusService>(&service)] {
        if (receiver) {
            receiver->ShowPopover();
        }
    });

    // The icon goes into the tray as soon as one exists; the popover and settings windows are
    // made only when first shown. Without a display there is nothing to show: no interface is
    // made at all, and a second start refreshes instead.
    if (headless) {
        QObject::connect(&service, &VantorBusService::showPopoverRequested, &runtime,
                         &VantorRuntime::refresh);
    }
#ifdef VANTOR_HEADLESS
    const auto hasTray = [] { return false; };
#else
    std::optional<VantorInterface> interface;
    if (!headless) {
        interface.emplace(runtime.state(), runtime.coordinator(), *runtime.accounts(),
                          runtime.loginItem(), runtime.defaults(), runtime.notificationCenter());
        QObject::connect(&service, &VantorBusService::showPopoverRequested, &*interface,
                         &VantorInterface::showPopover);
        QObject::connect(&service, &VantorBusService::showSettingsRequested, &*interface,
                         &VantorInterface::showSettings);
        interface->show();
        // Timers stand still while the machine sleeps: after a resume the countdowns are read
        // again at once, even when the refresh it starts fails.
        if (WakeSource* wake = runtime.wakeSource()) {
            QObject::connect(wake, &WakeSource::woke, &*interface, &VantorInterface::clockJumped);
        }
    }
    // A panel that took our item is a tray; only without one is Qt asked.
    const auto hasTray = [&interface] {
        return interface &&
               (interface->trayIcon()->registered() || QSystemTrayIcon::isSystemTrayAvailable());
    };
#endif

    QTimer::singleShot(0, &runtime, &VantorRuntime::launch);
    // After the first refresh, so it never waits for this check (itself a bus call).
    QObject::connect(
        &runtime.coordinator(), &UsageCoordinator::refreshFinished, &runtime,
        [&runtime, &hasTray, headless] {
            if (!hasTray()) {
                runtime.log().write(LogSink::Priority::warning, QStringLiteral("launch"),
                                    QStringLiteral("No system tray: Vantor watches without an "
                                                   "icon until a tray appears"));
                // With a display but no tray the user would see nothing at all; a panel
                // started with the session may take the item a little later.
                if (!headless) {
                    QTimer::singleShot(std::chrono::minutes(1), &runtime, [&runtime, &hasTray] {
                        if (!hasTray()) {
                            QCoro::connect(runtime.tellWithoutTray(
                                               qEnvironmentVariable("XDG_CURRENT_DESKTOP")),
                                           &runtime, [](bool) {});
                        }
                    });
                }
            }
        },
        Qt::SingleShotConnection);

    const int code = QCoreApplication::exec();
    // Quit ends everything at once, as it always has: the Codex children went with
    // aboutToQuit, every setting is already on disk, and a refresh still suspended must not
    // resume into an engine being taken apart.
    lock.unlock();
    std::fflush(nullptr);
    ::_exit(code);
}

}  // namespace

// The desktop program behind `vantor`, which starts it with the arguments it was given once it
// has found nothing else to do: the tray, the polling and the announcements.
int main(int argc, char** argv) {
    return runResident(argc, argv);
}
