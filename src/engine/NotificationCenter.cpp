#include "NotificationCenter.h"

NotificationCenter::~NotificationCenter() = default;

void NotificationCenter::whenServerAppears(std::function<void()> callback) {
    Q_UNUSED(callback);
}

void NotificationCenter::whenActivated(std::function<void()> callback) {
    Q_UNUSED(callback);
}
