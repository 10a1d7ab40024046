#include "UsageWindowSnapshot.h"

#include <cmath>

std::optional<double> UsageWindowSnapshot::displayPercent() const {
    if (!usedPercent) {
        return std::nullopt;
    }
    const double used = *usedPercent;
    if (used <= 0.0) {
        return 0.0;
    }
    if (used > 100.0) {
        return 100.0;
    }
    return used;
}

std::optional<int> UsageWindowSnapshot::percentLeft() const {
    const std::optional<double> used = displayPercent();
    if (!used) {
        return std::nullopt;
    }
    return std::isfinite(*used) ? static_cast<int>(std::lround(100.0 - *used)) : 0;
}

bool UsageWindowSnapshot::sameReset(std::optional<Instant> a, std::optional<Instant> b) {
    if (!a || !b) {
        return !a && !b;
    }
    return std::abs(a->secondsSince(*b)) <= sameResetSeconds;
}

bool UsageWindowSnapshot::earlierReset(std::optional<Instant> a, std::optional<Instant> b) {
    return a && b && a->secondsSince(*b) < -sameResetSeconds;
}

bool UsageWindowSnapshot::hasEnded() const {
    return resetAt && resetAt->secondsSince(observedAt) < 0.0;
}
