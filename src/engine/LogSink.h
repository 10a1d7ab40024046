#pragma once

#include <QString>

// Where the engine's log lines go: the journal in the application, a recorder in tests.
class LogSink {
public:
    // Syslog priorities, as the journal counts them.
    enum class Priority { error = 3, warning = 4, notice = 5, info = 6, debug = 7 };

    virtual ~LogSink();

    // category names the part of the engine that writes, for example "refresh". Never throws.
    virtual void write(Priority priority, const QString& category, const QString& message) = 0;

protected:
    LogSink() = default;
    LogSink(const LogSink&) = default;
    LogSink& operator=(const LogSink&) = default;
};
