#include "Instant.h"

#include <chrono>
#include <cmath>

Instant Instant::fromDateTime(const QDateTime& dateTime) {
    return fromUnixSeconds(static_cast<double>(dateTime.toMSecsSinceEpoch()) / 1000.0);
}

Instant Instant::now() {
    using namespace std::chrono;
    const duration<double> sinceEpoch = system_clock::now().time_since_epoch();
    return fromUnixSeconds(sinceEpoch.count());
}

QDateTime Instant::toDateTime() const {
    // Outside this range (about 285,000 years either way) or not finite, there is no date.
    constexpr double limit = 9.0e18;
    const double milliseconds = std::floor(unixSeconds() * 1000.0);
    if (!(milliseconds > -limit && milliseconds < limit)) {
        return {};
    }
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(milliseconds), Qt::UTC);
}
