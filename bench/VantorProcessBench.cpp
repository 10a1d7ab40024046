// The real executable, headless on the benchmark's private bus with the fake codex first on
// PATH: how soon the first refresh is under way, what it costs idle, and how much it holds.
#include "FakeCodex.h"
#include "QSettingsDefaults.h"
#include "SnapshotStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <chrono>
#include <thread>

#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "vantor_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* application =
        QCoreApplication::instance() != nullptr ? nullptr : new QCoreApplication(argc, argv);
    Q_UNUSED(application);
}

// Waits, polling, until ready() holds; false after ten seconds.
template <typename Ready>
bool await(Ready ready) {
    QElapsedTimer timer;
    timer.start();
    while (!ready()) {
        if (timer.elapsed() > 10'000) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return true;
}

// Starts Vantor with nothing stored; ended with the object.
class Vantor {
public:
    Vantor() {
        QFile::remove(QSettingsDefaults::standardFilePath());
        process_.setProgram(QStringLiteral(VANTOR_EXECUTABLE));
        process_.setEnvironment(QProcess::systemEnvironment()
                                << QStringLiteral("QT_QPA_PLATFORM=offscreen"));
        process_.start();
    }
    ~Vantor() {
        process_.terminate();
        if (!process_.waitForFinished(10'000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    qint64 pid() const { return process_.processId(); }

    // Milliseconds of CPU the process has used, user and system.
    double cpuMilliseconds() const {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid()));
        stat.open(QIODevice::ReadOnly);
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
        return ticks * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
    }
    double residentMiB() const {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid()));
        status.open(QIODevice::ReadOnly);
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:")) {
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
            }
        }
        return 0.0;
    }

private:
    QProcess process_;
};

bool codexStored() {
    QSettingsDefaults defaults;
    return SnapshotStore(defaults).load().contains(ProviderID::codex);
}

// From starting the process to the moment its first refresh launches codex.
void BM_VantorStartToFirstRefresh(benchmark::State& state) {
    ensureApplication();
    for (auto _ : state) {
        FakeCodex codex;
        QElapsedTimer timer;
        timer.start();
        Vantor vantor;
        if (!await([&codex] { return !codex.pids().isEmpty(); })) {
            state.SkipWithError("the first refresh never launched codex");
            break;
        }
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_VantorStartToFirstRefresh)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// `vantor statusline` as Claude Code runs it after each answer, with Vantor running to take the
// figures: from start to exit.
void BM_StatusLineWithVantorRunning(benchmark::State& state) {
    ensureApplication();
    FakeCodex codex;
    Vantor vantor;
    if (!await(codexStored)) {
        state.SkipWithError("Vantor never stored its first refresh");
        return;
    }
    QFile input(QStringLiteral(VANTOR_TEST_DATA_DIR "/app/claude-statusline-input.json"));
    input.open(QIODevice::ReadOnly);
    const QByteArray feed = input.readAll();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QProcess line;
        line.start(QStringLiteral(VANTOR_EXECUTABLE), {QStringLiteral("statusline")});
        line.write(feed);
        line.closeWriteChannel();
        line.waitForFinished();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (line.exitCode() != 0 || line.readAllStandardOutput().isEmpty()) {
            state.SkipWithError("vantor statusline printed nothing");
            break;
        }
    }
}
BENCHMARK(BM_StatusLineWithVantorRunning)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

// Resident memory once the first refresh is stored, and CPU over the next 60 seconds idle.
void BM_VantorIdle(benchmark::State& state) {
    ensureApplication();
    for (auto _ : state) {
        FakeCodex codex;
        Vantor vantor;
        if (!await(codexStored)) {
            state.SkipWithError("the first refresh never stored a snapshot");
            break;
        }
        // Let the refresh finish with the second provider.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        state.counters["rss_MiB"] = vantor.residentMiB();
        const double before = vantor.cpuMilliseconds();
        std::this_thread::sleep_for(std::chrono::seconds(60));
        state.counters["idle_cpu_ms_60s"] = vantor.cpuMilliseconds() - before;
    }
}
BENCHMARK(BM_VantorIdle)->Iterations(1)->Repetitions(1)->Unit(benchmark::kSecond);

}  // namespace
