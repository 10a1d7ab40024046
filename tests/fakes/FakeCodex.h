#pragma once

#include "VantorError.h"

#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>
#include <type_traits>

#include <signal.h>

// The fields after the command name in /proc/PID/stat (state, parent, ...); none once reaped.
inline QByteArrayList processState(const QByteArray& pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(QLatin1String(pid)));
    const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : "";
    return text.isEmpty() ? QByteArrayList() : text.mid(text.lastIndexOf(')') + 2).split(' ');
}
inline bool isGone(const QByteArray& pid) {
    return processState(pid).value(0, "Z") == "Z";
}
// No process of the group still runs (a launcher's child, a watchdog).
inline bool groupGone(const QByteArray& group) {
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    return std::ranges::none_of(entries, [&](const QString& entry) {
        const QByteArrayList state = processState(entry.toLatin1());
        return state.value(2) == group && state.value(0) != "Z";
    });
}

// Puts the scripted fake app-server (tests/fakes/codex-bin/codex) first on PATH for the
// lifetime of the object, with a script, a log of what it read and a pid file. Whatever it
// started and still runs when the object goes is killed.
class FakeCodex {
public:
    explicit FakeCodex(const QByteArray& script = {}) : savedPath_(qgetenv("PATH")) {
        QFile file(dir_.filePath(QStringLiteral("script")));
        const bool written = file.open(QIODevice::WriteOnly) && file.write(script) > 0;
        qputenv("FAKE_CODEX_SCRIPT", written ? QFile::encodeName(file.fileName()) : "");
        qputenv("FAKE_CODEX_LOG", QFile::encodeName(dir_.filePath(QStringLiteral("log"))));
        qputenv("FAKE_CODEX_PIDFILE", QFile::encodeName(dir_.filePath(QStringLiteral("pids"))));
        qputenv("PATH", QByteArray(VANTOR_FAKE_CODEX_DIR) + ':' + savedPath_);
    }
    ~FakeCodex() {
        for (const QByteArray& pid : pids()) {
            ::kill(pid.toInt(), SIGKILL);
        }
        qputenv("PATH", savedPath_);
        for (const char* name : {"FAKE_CODEX_SCRIPT", "FAKE_CODEX_LOG", "FAKE_CODEX_PIDFILE"}) {
            qunsetenv(name);
        }
    }
    FakeCodex(const FakeCodex&) = delete;
    FakeCodex& operator=(const FakeCodex&) = delete;

    // Per launch "#path <its PATH>" and "#home <its CODEX_HOME, - for none>", then every line
    // it read.
    QByteArrayList log() const { return lines("log"); }
    // Every process it started: itself, once per launch, and any grandchildren.
    QByteArrayList pids() const { return lines("pids"); }
    // Those and the rest of the groups they lead.
    bool allGone() const {
        return std::ranges::all_of(pids(), [](auto& pid) { return isGone(pid) && groupGone(pid); });
    }

private:
    QByteArrayList lines(const char* name) const {
        QFile file(dir_.filePath(QLatin1String(name)));
        const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : "";
        return text.isEmpty() ? QByteArrayList() : text.split('\n');
    }

    QTemporaryDir dir_;
    QByteArray savedPath_;
};

// The value or the VantorError of a finished task, so tests can assert outside coroutines.
template <typename T>
struct Settled {
    std::optional<std::conditional_t<std::is_void_v<T>, bool, T>> value;
    std::optional<VantorError> error;
};

template <typename T>
QCoro::Task<Settled<T>> settle(QCoro::Task<T> task) {
    Settled<T> settled;
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            settled.value = true;
        } else {
            settled.value = co_await std::move(task);
        }
    } catch (const VantorError& error) {
        settled.error = error;
    }
    co_return settled;
}
