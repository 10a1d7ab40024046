#include "AppState.h"
#include "LogSink.h"
#include "NotificationCenter.h"
#include "QSettingsDefaults.h"
#include "ResetAlertAudioManager.h"
#include "SoundPlayer.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Answers at once with a fresh snapshot, as a provider with nothing to wait for would.
class InstantProvider final : public UsageProvider {
public:
    explicit InstantProvider(ProviderID id) : id_(id) {}
    ProviderID id() const override { return id_; }
    QString displayName() const override { return rawValue(id_); }
    QCoro::Task<ProviderAvailability> availability() override {
        co_return ProviderAvailability::available();
    }
    QCoro::Task<ProviderUsageSnapshot> fetchUsage() override {
        co_return UsageFixtures::fullSnapshot(id_, Instant::now());
    }

private:
    ProviderID id_;
};

// Never asked: the fresh snapshots above confirm no reset.
class SilentCenter final : public NotificationCenter {
public:
    QCoro::Task<AuthorizationStatus> authorizationStatus() override {
        co_return AuthorizationStatus::denied;
    }
    QCoro::Task<> requestAuthorization() override { co_return; }
    QCoro::Task<> add(Request) override { co_return; }
};

class NullLog final : public LogSink {
public:
    void write(Priority, const QString&, const QString&) override {}
};

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "vantor_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// The engine over a real settings file on tmpfs, with two providers that answer at once.
struct Engine {
    Engine()
        : app(application()),
          dir(QDir(QStringLiteral("/dev/shm")).exists()
                  ? QStringLiteral("/dev/shm/vantor-bench-XXXXXX")
                  : QDir::tempPath() + QStringLiteral("/vantor-bench-XXXXXX")),
          defaults(dir.filePath(QStringLiteral("vantor.conf"))),
          state(defaults, std::make_unique<ResetAlertAudioManager>(
                              [] { return std::unique_ptr<SoundPlayer>(); })) {
        std::vector<std::unique_ptr<UsageProvider>> providers;
        providers.push_back(std::make_unique<InstantProvider>(ProviderID::codex));
        providers.push_back(std::make_unique<InstantProvider>(ProviderID::claude));
        coordinator = std::make_unique<UsageCoordinator>(
            std::move(providers),
            UsageCoordinator::Services{
                .defaults = defaults, .notificationCenter = center, .log = log});
    }

    // The providers never suspend, so the whole refresh runs within this call. Then what the
    // event loop would do between refreshes: QSettings posts itself an update request per write.
    void refresh() {
        coordinator->refresh(state);
        QCoreApplication::sendPostedEvents();
    }

    QCoreApplication& app;
    QTemporaryDir dir;
    QSettingsDefaults defaults;
    SilentCenter center;
    NullLog log;
    AppState state;
    std::unique_ptr<UsageCoordinator> coordinator;
};

long residentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0;
}

}  // namespace

// One refresh: availability and usage of two providers, publishing, saving both snapshots to
// the settings file, detecting. Target: median CPU time under 1 ms.
static void refreshTwoInstantProviders(benchmark::State& state) {
    Engine engine;
    engine.refresh();
    for (auto _ : state) {
        engine.refresh();
    }
}
BENCHMARK(refreshTwoInstantProviders)->Unit(benchmark::kMicrosecond);

// Resident memory across 10,000 refreshes (the argument), after a warm-up. Target: growth
// under 1 MiB.
static void residentGrowthOverRefreshes(benchmark::State& state) {
    const auto refreshes = state.range(0);
    for (auto _ : state) {
        Engine engine;
        for (int i = 0; i < 100; ++i) {
            engine.refresh();
        }
        const long before = residentKiB();
        for (int i = 0; i < refreshes; ++i) {
            engine.refresh();
        }
        state.counters["rss_growth_KiB"] = static_cast<double>(residentKiB() - before);
    }
}
BENCHMARK(residentGrowthOverRefreshes)->Arg(10'000)->Iterations(1)->Unit(benchmark::kMillisecond);
