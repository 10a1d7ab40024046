#pragma once

#include "LogSink.h"

#include <QList>

// Keeps every line written, in order.
class RecordingLogSink final : public LogSink {
public:
    struct Line {
        Priority priority;
        QString category;
        QString message;
    };

    void write(Priority priority, const QString& category, const QString& message) override {
        lines_.append({priority, category, message});
    }
    const QList<Line>& lines() const { return lines_; }

private:
    QList<Line> lines_;
};
