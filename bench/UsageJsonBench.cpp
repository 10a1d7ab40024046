#include "UsageFixtures.h"
#include "UsageJson.h"

#include <benchmark/benchmark.h>

// Encode plus decode of what the store writes on every refresh: two providers, four windows.
static void encodeDecodeTwoProviders(benchmark::State& state) {
    const QList<ProviderUsageSnapshot> snapshots{
        UsageFixtures::fullSnapshot(ProviderID::codex, Instant::now()),
        UsageFixtures::fullSnapshot(ProviderID::claude, Instant::now())};
    for (auto _ : state) {
        const QByteArray json = UsageJson::encodeSnapshots(snapshots);
        benchmark::DoNotOptimize(UsageJson::decodeSnapshots(json));
    }
}
BENCHMARK(encodeDecodeTwoProviders)->Unit(benchmark::kMicrosecond);

static void encodeOnly(benchmark::State& state) {
    const QList<ProviderUsageSnapshot> snapshots{
        UsageFixtures::fullSnapshot(ProviderID::codex, Instant::now()),
        UsageFixtures::fullSnapshot(ProviderID::claude, Instant::now())};
    for (auto _ : state) {
        benchmark::DoNotOptimize(UsageJson::encodeSnapshots(snapshots));
    }
}
BENCHMARK(encodeOnly)->Unit(benchmark::kMicrosecond);
