#include "ProviderUsageSnapshot.h"

#include <algorithm>
#include <cmath>

void ProviderUsageSnapshot::boundWindows() {
    if (windows.size() > maxWindows) {
        windows.resize(maxWindows);
    }
    if (blocks.size() > maxBlocks) {
        blocks.resize(maxBlocks);
    }
}

bool ProviderUsageSnapshot::inMainBucket(const UsageWindowSnapshot& window) const {
    return !windows.isEmpty() && window.providerWindowID == windows.constFirst().providerWindowID;
}

std::optional<UsageBlock> ProviderUsageSnapshot::block(const QString& bucket) const {
    for (const UsageBlock& each : blocks) {
        if (each.bucket == bucket) {
            return each;
        }
    }
    return std::nullopt;
}

std::optional<UsageBlock> ProviderUsageSnapshot::blockOf(const UsageWindowSnapshot& window) const {
    if (auto account = accountBlock()) {
        return account;
    }
    return window.providerWindowID ? block(*window.providerWindowID) : std::nullopt;
}

bool ProviderUsageSnapshot::spendRepeatsExtraUsage() const {
    if (!spend || !extraUsage) {
        return false;
    }
    const bool sameCurrency = spend->currency.isEmpty() || extraUsage->currency.isEmpty() ||
                              spend->currency == extraUsage->currency;
    // Compared in the finer of the two minor units, so that the bound is exact: one source may
    // count in cents, the other in another exponent.
    const int places = std::max(spend->decimalPlaces, extraUsage->decimalPlaces);
    const double a = spend->usedMinorUnits * std::pow(10.0, places - spend->decimalPlaces);
    const double b =
        extraUsage->usedMinorUnits * std::pow(10.0, places - extraUsage->decimalPlaces);
    return sameCurrency && std::abs(a - b) <= 0.5;
}

std::optional<UsageWindowSnapshot> ProviderUsageSnapshot::summaryWindow() const {
    // Only the first bucket's windows speak for the provider: a spent extra bucket (another
    // model's limits) has a row of its own and must not make the whole provider read as spent.
    // Of equals the first stays, as a stable sort would keep it.
    const UsageWindowSnapshot* best = nullptr;
    for (const UsageWindowSnapshot& window : windows) {
        if (!inMainBucket(window)) {
            continue;
        }
        if (!best || UsageWindowSnapshot::tighter(window, *best)) {
            best = &window;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return *best;
}

void ProviderUsageSnapshot::assignProvider(const ProviderID& provider) {
    providerID = provider;
    for (UsageWindowSnapshot& window : windows) {
        window.providerID = provider;
    }
}
