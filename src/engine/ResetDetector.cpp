#include "ResetDetector.h"

#include <algorithm>

namespace {
// A drop in use of at least this many percentage points counts as a reset.
constexpr double resetDropPoints = 30.0;
}  // namespace

QList<UsageEvent> ResetDetector::process(const std::optional<ProviderUsageSnapshot>& previous,
                                         const ProviderUsageSnapshot& current,
                                         bool everyReset) const {
    QList<UsageEvent> events;
    if (!previous) {
        return events;
    }
    const ProviderID provider = current.providerID;
    if (previous->sourceConfidence == UsageSourceConfidence::unavailable &&
        current.sourceConfidence != UsageSourceConfidence::unavailable) {
        events.append(UsageEvent::providerRecovered(provider));
    }
    for (const UsageWindowSnapshot& after : current.windows) {
        const auto before =
            std::find_if(previous->windows.cbegin(), previous->windows.cend(),
                         [&](const UsageWindowSnapshot& window) { return window.id == after.id; });
        // A slot that now holds a window of another length is a new window, not a reset.
        if (before == previous->windows.cend() || before->kind != after.kind) {
            continue;
        }
        if (before->state != UsageWindowState::exhausted &&
            after.state == UsageWindowState::exhausted) {
            events.append(UsageEvent::limitReached(provider, after.id));
        }
        if (before->state != UsageWindowState::nearingLimit &&
            after.state == UsageWindowState::nearingLimit) {
            events.append(UsageEvent::nearingLimit(provider, after.id));
        }
        if (confirmedReset(*before, after, !everyReset)) {
            events.append(UsageEvent::resetConfirmed(provider, after.id, after.resetAt));
        }
    }
    for (const UsageBlock& before : previous->blocks) {
        if (!current.block(before.bucket)) {
            events.append(UsageEvent::blockLifted(provider, before.bucket, before.since));
        }
    }
    return events;
}

bool ResetDetector::confirmedReset(const UsageWindowSnapshot& before,
                                   const UsageWindowSnapshot& after, bool requiresExhaustion) {
    if (after.state != UsageWindowState::available || !after.usedPercent) {
        return false;
    }
    if (requiresExhaustion && before.state != UsageWindowState::exhausted) {
        return false;
    }
    const bool resetMoved = before.resetAt && after.resetAt && *after.resetAt > *before.resetAt;
    const double drop = before.usedPercent.value_or(0.0) - *after.usedPercent;
    if (resetMoved || drop >= resetDropPoints) {
        return true;
    }
    return before.isActive == false && after.isActive == true;
}
