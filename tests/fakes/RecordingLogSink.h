#pragma once

#include "LogSink.h"

#include <QStringList>

// Keeps every line written, as "<priority> <category>: <message>", in order.
class RecordingLogSink final : public LogSink {
public:
    void write(Priority priority, const QString& category, const QString& message) override {
        lines.append(QStringLiteral("%1 %2: %3").arg(int(priority)).arg(category, message));
    }
    QStringList lines;
};
