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
    // Queued, so the handler runs from the event loop and never inside the source's emit.
    observer_ = QObject::connect(source_, &WakeSource::woke, source_, std::move(onWake),
                                 Qt::QueuedConnection);
}
