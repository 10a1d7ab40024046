#pragma once

#include "VantorError.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cerrno>
#include <optional>

#include <signal.h>

// Puts the scripted fake app-server (tests/fakes/FakeCodexAppServer.cpp) first on PATH for
// the lifetime of the object and gives it a script, a log of what it read and a pid file.
class FakeCodex {
public:
    explicit FakeCodex(const QByteArray& script = {}) : savedPath_(qgetenv("PATH")) {
        if (!script.isEmpty()) {
            QFile file(dir_.filePath(QStringLiteral("script")));
            file.open(QIODevice::WriteOnly);
            file.write(script);
            qputenv("FAKE_CODEX_SCRIPT", QFile::encodeName(file.fileName()));
        } else {
            qunsetenv("FAKE_CODEX_SCRIPT");
        }
        qputenv("FAKE_CODEX_LOG", QFile::encodeName(dir_.filePath(QStringLiteral("log"))));
        qputenv("FAKE_CODEX_PIDFILE", QFile::encodeName(dir_.filePath(QStringLiteral("pids"))));
        qputenv("PATH", QByteArray(VANTOR_FAKE_CODEX_DIR) + ':' + savedPath_);
    }
    ~FakeCodex() {
        qputenv("PATH", savedPath_);
        qunsetenv("FAKE_CODEX_SCRIPT");
        qunsetenv("FAKE_CODEX_LOG");
        qunsetenv("FAKE_CODEX_PIDFILE");
    }
    FakeCodex(const FakeCodex&) = delete;
    FakeCodex& operator=(const FakeCodex&) = delete;

    static QString executable() {
        return QStringLiteral(VANTOR_FAKE_CODEX_DIR) + QStringLiteral("/codex");
    }

    // The lines the fake read, in order.
    QStringList received() const {
        QStringList lines;
        for (const QString& line : log()) {
            if (!line.startsWith(u'#')) {
                lines.append(line);
            }
        }
        return lines;
    }
    // Its own notes: "#args ..." and "#path ...".
    QStringList log() const { return readLines(QStringLiteral("log")); }

    // Every process the fake started: itself, once per launch, and any grandchildren.
    QList<qint64> pids() const {
        QList<qint64> result;
        for (const QString& line : readLines(QStringLiteral("pids"))) {
            result.append(line.toLongLong());
        }
        return result;
    }

    // Gone or a zombie nobody runs any more.
    static bool isGone(qint64 pid) {
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            return true;
        }
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) {
            return true;
        }
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        return close >= 0 && text.mid(close + 2, 1) == "Z";
    }

    // Processes whose parent is this one and that still run (zombies included: a zombie is a
    // child nobody reaped).
    static QList<qint64> liveChildren() {
        QList<qint64> children;
        const QString self = QString::number(QCoreApplication::applicationPid());
        const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
        for (const QString& entry : entries) {
            bool numeric = false;
            const qint64 pid = entry.toLongLong(&numeric);
            QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
            if (!numeric || !stat.open(QIODevice::ReadOnly)) {
                continue;
            }
            const QByteArray text = stat.readAll();
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1 && fields[1] == self.toLatin1()) {
                children.append(pid);
            }
        }
        return children;
    }

    bool allGone() const {
        for (qint64 pid : pids()) {
            if (!isGone(pid)) {
                return false;
            }
        }
        return true;
    }

private:
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
