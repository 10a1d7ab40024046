#include "QSettingsDefaults.h"
#include "SnapshotStore.h"
#include "UsageFixtures.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

// save then load through a real settings file, as each successful fetch does.
static void saveThenLoadThroughSettingsFile(benchmark::State& state) {
    QTemporaryDir dir;
    QSettingsDefaults defaults(dir.filePath(QStringLiteral("vantor.conf")));
    SnapshotStore store(defaults);
    const SnapshotMap snapshots{
        {ProviderID::codex, UsageFixtures::fullSnapshot(ProviderID::codex, Instant::now())},
        {ProviderID::claude, UsageFixtures::fullSnapshot(ProviderID::claude, Instant::now())}};
    for (auto _ : state) {
        store.save(snapshots);
        benchmark::DoNotOptimize(store.load());
    }
}
BENCHMARK(saveThenLoadThroughSettingsFile)->Unit(benchmark::kMicrosecond);
