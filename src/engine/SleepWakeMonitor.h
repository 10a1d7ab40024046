#pragma once

#include <QMetaObject>

#include <functional>

class WakeSource;

// Turns the wake source's signal into one callback on the main thread.
class SleepWakeMonitor {
public:
    // No source: the monitor never calls back.
    explicit SleepWakeMonitor(WakeSource* source);
    ~SleepWakeMonitor();
    SleepWakeMonitor(const SleepWakeMonitor&) = delete;
    SleepWakeMonitor& operator=(const SleepWakeMonitor&) = delete;

    // Registers onWake, replacing an earlier registration.
    void start(std::function<void()> onWake);

private:
    WakeSource* source_;
    QMetaObject::Connection observer_;
};
