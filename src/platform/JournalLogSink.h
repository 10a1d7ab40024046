#pragma once

#include "LogSink.h"

#include <QByteArrayList>

// Writes to the systemd journal under the identifier "vantor", and to standard error when that
// is a terminal. Without a journal the line is dropped silently.
class JournalLogSink final : public LogSink {
public:
    void write(Priority priority, const QString& category, const QString& message) override;

    // The journal fields of one line, "NAME=value" each.
    static QByteArrayList fields(Priority priority, const QString& category,
                                 const QString& message);
};
