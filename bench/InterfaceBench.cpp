// Resident memory, popover show times and idle CPU of the interface, over fake providers with
// stored snapshots. Run on a real display server (bench/ui-bench starts Xvfb and a tray).
// Prints each figure with its bound and fails when one is missed.
#include "AccountRegistry.h"
#include "AppState.h"
#include "FakeLoginItemService.h"
#include "FakeNotificationCenter.h"
#include "FakeSoundPlayer.h"
#include "MemoryDefaults.h"
#include "PopoverViewModel.h"
#include "RecordingLogSink.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"
#include "VantorInterface.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

double residentMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    return -1;
}

double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Milliseconds from the show to the window's first frame on screen. The window may be made by
// the show itself: frames only come from the event loop, entered afterwards.
double timeToFrame(VantorInterface& interface) {
    QElapsedTimer timer;
    timer.start();
    interface.showPopover();
    QEventLoop loop;
    QObject::connect(interface.popoverWindow(), &QQuickWindow::frameSwapped, &loop,
                     &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

bool report(const char* what, double value, double bound, const char* unit) {
    const bool ok = value >= 0 && value < bound;
    std::printf("%-44s %8.2f %s  (bound %.0f %s)  %s\n", what, value, unit, bound, unit,
                ok ? "ok" : "MISSED");
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int idleSeconds = argc > 1 ? QByteArray(argv[1]).toInt() : 60;

    MemoryDefaults defaults;
    FakeNotificationCenter center;
    FakeLoginItemService loginItem;
    RecordingLogSink log;
    AppState state(defaults, std::make_unique<ResetAlertAudioManager>(FakeSoundPlayer::factory(
                                 std::make_shared<FakeSoundPlayer::Recording>())));
    UsageCoordinator coordinator({}, {defaults, center, log});
    using UsageFixtures::window;
    const Instant now = Instant::now();
    state.setSnapshot(ProviderID::codex,
                      UsageFixtures::snapshot(
                          {window(QStringLiteral("codex.primary"), UsageWindowState::exhausted,
                                  100.0, now.addingSeconds(1200))}));
    state.setSnapshot(ProviderID::claude,
                      UsageFixtures::snapshot({window(QStringLiteral("claude.five_hour"),
                                                      UsageWindowState::nearingLimit, 91.0,
                                                      now.addingSeconds(7200), ProviderID::claude)},
                                              ProviderID::claude));

    QTemporaryDir home;
    AccountRegistry accounts(defaults, state, AccountDiscovery({home.path(), {}, {}}));
    VantorInterface interface(state, coordinator, accounts, loginItem, defaults, center);
    interface.show();
    runFor(1000);
    bool ok = report("resident memory, icon shown", residentMiB(), 40, "MiB");

    const double first = timeToFrame(interface);
    ok = report("first popover show", first, 60, "ms") && ok;
    double later = 0;
    constexpr int shows = 10;
    for (int i = 0; i < shows; ++i) {
        interface.hidePopover();
        runFor(50);
        later += timeToFrame(interface);
    }
    ok = report("later popover show (mean of 10)", later / shows, 5, "ms") && ok;
    runFor(500);
    ok = report("resident memory, popover shown", residentMiB(), 60, "MiB") && ok;

    interface.hidePopover();
    runFor(1000);
    report("resident memory, popover closed", residentMiB(), 60, "MiB");
    const double before = cpuMs();
    runFor(idleSeconds * 1000);
    ok =
        report("idle CPU, popover closed", cpuMs() - before, 20.0 * idleSeconds / 60.0, "ms") && ok;
    return ok ? 0 : 1;
}
