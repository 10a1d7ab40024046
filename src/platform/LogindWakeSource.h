#pragma once

#include "WakeSource.h"

#include <QDBusConnection>

// Learns of resumes from logind's PrepareForSleep(false) on the system bus. Without a system
// bus or logind nothing is ever emitted, and nothing fails.
class LogindWakeSource final : public WakeSource {
    Q_OBJECT

public:
    explicit LogindWakeSource(QDBusConnection bus = QDBusConnection::systemBus(),
                              QObject* parent = nullptr);

private Q_SLOTS:
    void prepareForSleep(bool suspending);

private:
    QDBusConnection bus_;
};
