#include "CodexParser.h"
#include "CodexUsageProvider.h"
#include "VantorError.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>

#include <algorithm>
#include <vector>

#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {

// QProcess and the coroutines need an application object; the benchmark main makes none.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "vantor_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* application =
        QCoreApplication::instance() != nullptr ? nullptr : new QCoreApplication(argc, argv);
    Q_UNUSED(application);
}

// The scripted fake app-server, first on PATH, answering like a signed-in peer.
class FakeOnPath {
public:
    FakeOnPath() : saved_(qgetenv("PATH")) {
        qunsetenv("FAKE_CODEX_SCRIPT");
        qputenv("PATH", QByteArray(VANTOR_FAKE_CODEX_DIR) + ':' + saved_);
    }
    ~FakeOnPath() { qputenv("PATH", saved_); }
    FakeOnPath(const FakeOnPath&) = delete;
    FakeOnPath& operator=(const FakeOnPath&) = delete;

private:
    QByteArray saved_;
};

QCoro::Task<bool> fetchOnce(CodexUsageProvider& provider) {
    try {
        const ProviderUsageSnapshot snapshot = co_await provider.fetchUsage();
        co_return !snapshot.windows.isEmpty();
    } catch (const VantorError&) {
        co_return false;
    }
}

bool fetch(CodexUsageProvider& provider) {
    return QCoro::waitFor(fetchOnce(provider));
}

qsizetype openDescriptors() {
    return QDir(QStringLiteral("/proc/self/fd"))
        .entryList(QDir::NoDotAndDotDot | QDir::System)
        .size();
}

double residentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(::sysconf(_SC_PAGESIZE)) / 1024.0;
}

// Children of this process, and how many of them are zombies nobody reaped.
std::pair<int, int> children() {
    int all = 0;
    int zombies = 0;
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1] == self) {
            ++all;
            zombies += fields[0] == "Z" ? 1 : 0;
        }
    }
    return {all, zombies};
}

// Let finished children be reaped and their process objects deleted.
void settleChildren() {
    for (int i = 0; i < 200 && children().first > 0; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

// One whole fetch as the coordinator makes it: discovery, launch, handshake, the rate-limit
// read, parsing and shutdown. Target: median under 20 ms.
static void codexFetchThroughFakeAppServer(benchmark::State& state) {
    ensureApplication();
    const FakeOnPath fake;
    CodexUsageProvider provider;
    std::vector<double> milliseconds;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (!fetch(provider)) {
            state.SkipWithError("fetch failed");
            break;
        }
        milliseconds.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    settleChildren();
    if (!milliseconds.empty()) {
        std::sort(milliseconds.begin(), milliseconds.end());
        state.counters["median_ms"] = milliseconds[milliseconds.size() / 2];
    }
}
BENCHMARK(codexFetchThroughFakeAppServer)->Unit(benchmark::kMillisecond)->UseRealTime();

// 1,000 fetches must leave no zombie, no open descriptor and under 1 MiB of resident growth.
static void codexThousandFetchesLeaveNothingBehind(benchmark::State& state) {
    ensureApplication();
    const FakeOnPath fake;
    CodexUsageProvider provider;
    for (int i = 0; i < 20; ++i) {
        fetch(provider);  // warm up Qt's lazily built state before the baseline
    }
    settleChildren();
    const qsizetype descriptorsBefore = openDescriptors();
    const double residentBefore = residentKiB();
    int failures = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            failures += fetch(provider) ? 0 : 1;
        }
    }
    settleChildren();
    const auto [live, zombies] = children();
    state.counters["failures"] = failures;
    state.counters["children_left"] = live;
    state.counters["zombies"] = zombies;
    state.counters["fd_growth"] = double(openDescriptors() - descriptorsBefore);
    state.counters["rss_growth_KiB"] = residentKiB() - residentBefore;
    if (failures > 0 || live > 0 || openDescriptors() > descriptorsBefore ||
        residentKiB() - residentBefore > 1024.0) {
        state.SkipWithError("fetches left something behind");
    }
}
BENCHMARK(codexThousandFetchesLeaveNothingBehind)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

namespace {

// A result with as many buckets as a peer could fit in one line, each with two windows and
// a block: the time grows with the buckets, not with their square.
void parseManyBuckets(benchmark::State& state) {
    QJsonObject buckets;
    for (int i = 0; i < state.range(0); ++i) {
        const QJsonObject window{{QStringLiteral("usedPercent"), i % 100},
                                 {QStringLiteral("windowDurationMins"), 300},
                                 {QStringLiteral("resetsAt"), 1796692546 + i}};
        buckets.insert(QStringLiteral("codex_%1").arg(i),
                       QJsonObject{{QStringLiteral("limitId"), QStringLiteral("codex_%1").arg(i)},
                                   {QStringLiteral("primary"), window},
                                   {QStringLiteral("secondary"), window},
                                   {QStringLiteral("spendControlReached"), true}});
    }
    const QJsonObject result{{QStringLiteral("rateLimitsByLimitId"), buckets}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(CodexParser::parse(result, Instant::now()));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(parseManyBuckets)
    ->RangeMultiplier(10)
    ->Range(100, 100'000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

}  // namespace
