#include "ClaudeParser.h"
#include "ClaudeUsageProvider.h"
#include "SecretServiceKeychain.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The body the real endpoint sends.
const QByteArray exampleBody =
    R"({"five_hour":{"utilization":37.0,"resets_at":"2026-03-10T04:59:59.000000+00:00"},)"
    R"("seven_day":{"utilization":26.0,"resets_at":"2026-03-15T14:59:59.771647+00:00"},)"
    R"("seven_day_opus":null,)"
    R"("seven_day_sonnet":{"utilization":1.0,"resets_at":"2026-03-16T20:59:59.771655+00:00"},)"
    R"("seven_day_oauth_apps":{"utilization":0.0,"resets_at":null},)"
    R"("extra_usage":{"is_enabled":false,"monthly_limit":null,"used_credits":null,)"
    R"("utilization":null}})";

void ensureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "vantor_bench";
        static char* argv[] = {name, nullptr};
        static QCoreApplication application(argc, argv);
    }
}

QCoro::Task<bool> isAvailable(ClaudeUsageProvider& provider) {
    const ProviderAvailability availability = co_await provider.availability();
    co_return availability.isAvailable();
}

}  // namespace

static void parseExampleBody(benchmark::State& state) {
    const Instant now = Instant::now();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ClaudeParser::parse(exampleBody, now));
    }
}
BENCHMARK(parseExampleBody)->Unit(benchmark::kMicrosecond);

// What every poll does first: ask the Secret Service (absent on the benchmark's private bus),
// then read the credentials file. The first call, which opens the bus, is left out.
static void availabilityFromFileWithoutSecretService(benchmark::State& state) {
    ensureApplication();
    QTemporaryDir configDir;
    QFile file(configDir.filePath(QStringLiteral(".credentials.json")));
    if (!file.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the credentials file");
        return;
    }
    file.write(R"({"claudeAiOauth":{"accessToken":"sk-ant-oat01-bench","expiresAt":1}})");
    file.close();
    const QByteArray previous = qgetenv("CLAUDE_CONFIG_DIR");
    qputenv("CLAUDE_CONFIG_DIR", configDir.path().toUtf8());
    SecretServiceKeychain keychain;
    ClaudeUsageProvider provider(ProviderID::claude, {}, nullptr, &keychain);
    if (!QCoro::waitFor(isAvailable(provider))) {
        state.SkipWithError("the credentials file was not found");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(QCoro::waitFor(isAvailable(provider)));
    }
    qputenv("CLAUDE_CONFIG_DIR", previous);
}
BENCHMARK(availabilityFromFileWithoutSecretService)->Unit(benchmark::kMicrosecond);
