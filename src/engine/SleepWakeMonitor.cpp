#include "SleepWakeMonitor.h"

#include "WakeSource.h"

#include <QObject>

SleepWakeMonitor::SleepWakeMonitor(WakeSource* source) : source_(source) {}

SleepWakeMonitor::~SleepWakeMonitor() {
    QObject::disconnect(observer_);
}

void SleepWakeMonitor::start(std::function<void()> onWake) {
    QObject::disconnect(observer_);
    if (source_ == nullptr) {
        return;
    }
    // Direct: a queued call could outlive this registration and reach a handler already gone.
    // The source emits from the event loop of the main thread.
    observer_ = QObject::connect(source_, &WakeSource::woke, source_, std::move(onWake));
}
