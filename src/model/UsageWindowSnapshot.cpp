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

bool UsageWindowSnapshot::resetsAfter(Instant now) const {
    return resetAt && resetAt->secondsSince(now) > 0.0;
}

UsageSeverity UsageWindowSnapshot::severity(double nearingPercent) const {
    const std::optional<double> used = displayPercent();
    if (state == UsageWindowState::exhausted || (used && *used >= 100.0)) {
        return UsageSeverity::spent;
    }
    return leavesAtMost(nearingPercent) ? UsageSeverity::nearing : UsageSeverity::normal;
}

bool UsageWindowSnapshot::leavesAtMost(double usedThreshold) const {
    const std::optional<int> left = percentLeft();
    return left && *left <= 100.0 - usedThreshold;
}

bool UsageWindowSnapshot::awaitsReading(Instant now) const {
    return resetAt && !resetsAfter(now);
}

UsageSeverity UsageWindowSnapshot::severity(double nearingPercent, Instant now) const {
    return awaitsReading(now) ? UsageSeverity::normal : severity(nearingPercent);
}

namespace {

int headlinePriority(const UsageWindowSnapshot& window) {
    if (window.state == UsageWindowState::exhausted) {
        return 0;
    }
    if (window.isActive == true) {
        return 1;
    }
    switch (window.state) {
        case UsageWindowState::nearingLimit:
            return 2;
        case UsageWindowState::awaitingResetConfirmation:
            return 3;
        case UsageWindowState::available:
            return 4;
        case UsageWindowState::exhausted:
        case UsageWindowState::unknown:
            break;
    }
    return 5;
}

}  // namespace

bool UsageWindowSnapshot::tighter(const UsageWindowSnapshot& a, const UsageWindowSnapshot& b) {
    const int first = headlinePriority(a);
    const int second = headlinePriority(b);
    if (first != second) {
        return first < second;
    }
    // Of spent windows the one that resets last holds the user longest; one without a reset
    // time may hold them for good.
    if (first == 0 && a.resetAt != b.resetAt) {
        return !a.resetAt || (b.resetAt && *a.resetAt > *b.resetAt);
    }
    // A window whose use is unknown tells less than one whose use is known.
    return a.displayPercent().value_or(-1.0) > b.displayPercent().value_or(-1.0);
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
