#pragma once

#include "VantorError.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>

#include <signal.h>

// Puts the scripted fake app-server (tests/fakes/codex-bin/codex) first on PATH for the
// lifetime of the object and gives it a script, a log of what it read and a pid file. Any
// process it started that still runs when the object goes is killed.
class FakeCodex {
public:
    explicit FakeCodex(const QByteArray& script = {}) : savedPath_(qgetenv("PATH")) {
        qunsetenv("FAKE_CODEX_SCRIPT");
        if (!script.isEmpty()) {
            QFile file(dir_.filePath(QStringLiteral("script")));
            if (file.open(QIODevice::WriteOnly) && file.write(script) == script.size()) {
                qputenv("FAKE_CODEX_SCRIPT", QFile::encodeName(file.fileName()));
            }
        }
        qputenv("FAKE_CODEX_LOG", QFile::encodeName(dir_.filePath(QStringLiteral("log"))));
        qputenv("FAKE_CODEX_PIDFILE", QFile::encodeName(dir_.filePath(QStringLiteral("pids"))));
        qputenv("PATH", QByteArray(VANTOR_FAKE_CODEX_DIR) + ':' + savedPath_);
    }
    ~FakeCodex() {
        for (qint64 pid : pids()) {
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
        qputenv("PATH", savedPath_);
        qunsetenv("FAKE_CODEX_SCRIPT");
        qunsetenv("FAKE_CODEX_LOG");
        qunsetenv("FAKE_CODEX_PIDFILE");
    }
    FakeCodex(const FakeCodex&) = delete;
    FakeCodex& operator=(const FakeCodex&) = delete;

    // The lines the fake read, in order, after its own notes "#args ..." and "#path ...".
    QStringList log() const { return readLines(QStringLiteral("log")); }
    QStringList received() const {
        return log().filter(QRegularExpression(QStringLiteral("^[^#]")));
    }

    // Every process the fake started: itself, once per launch, and any grandchildren.
    QList<qint64> pids() const {
        QList<qint64> result;
        for (const QString& line : readLines(QStringLiteral("pids"))) {
            result.append(line.toLongLong());
        }
        return result;
    }
    bool allGone() const {
        const QList<qint64> all = pids();
        return std::all_of(all.begin(), all.end(), isGone);
    }

    // Gone or a zombie (state Z after the command name in /proc/PID/stat).
    static bool isGone(qint64 pid) { return processState(pid).value(0, "Z") == "Z"; }

    // Children of this process that still run or wait to be reaped.
    static QList<qint64> liveChildren() {
        QList<qint64> children;
        const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            if (processState(entry.toLongLong()).value(1) == self) {
                children.append(entry.toLongLong());
            }
        }
        return children;
    }

private:
    // The fields after the command name in /proc/PID/stat: state, parent, ...
    static QList<QByteArray> processState(qint64 pid) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (pid <= 0 || !stat.open(QIODevice::ReadOnly)) {
            return {};
        }
        const QByteArray text = stat.readAll();
        return text.mid(text.lastIndexOf(')') + 2).split(' ');
    }
    QStringList readLines(const QString& name) const {
        QFile file(dir_.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir_;
    QByteArray savedPath_;
};

// The value or the VantorError of a finished task, so tests can assert outside coroutines.
template <typename T>
struct Settled {
    std::optional<T> value;
    std::optional<VantorError> error;
};

template <typename T>
QCoro::Task<Settled<T>> settle(QCoro::Task<T> task) {
    Settled<T> settled;
    try {
        settled.value = co_await std::move(task);
    } catch (const VantorError& error) {
        settled.error = error;
    }
    co_return settled;
}

inline QCoro::Task<std::optional<VantorError>> settle(QCoro::Task<> task) {
    std::optional<VantorError> failure;
    try {
        co_await std::move(task);
    } catch (const VantorError& error) {
        failure = error;
    }
    co_return failure;
}
