#pragma once

#include <chrono>
#include <functional>

// Milliseconds on the clock that keeps counting while the machine is suspended: an interval
// measured on it is the time that really passed, unlike on the monotonic clock of QTimer.
namespace BootClock {

using Function = std::function<std::chrono::milliseconds()>;

std::chrono::milliseconds now();

}  // namespace BootClock
