#include "ProviderUsageSnapshot.h"

namespace {

int summaryPriority(const UsageWindowSnapshot& window) {
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

void ProviderUsageSnapshot::boundWindows() {
    if (windows.size() > maxWindows) {
        windows.resize(maxWindows);
    }
}

std::optional<UsageWindowSnapshot> ProviderUsageSnapshot::summaryWindow() const {
    // The first window of the best priority is what a stable sort would put first. Only the
    // first bucket's windows speak for the provider: a spent extra bucket (another model's
    // limits) has a row of its own and must not make the whole provider read as spent.
    const UsageWindowSnapshot* best = nullptr;
    for (const UsageWindowSnapshot& window : windows) {
        if (window.providerWindowID != windows.constFirst().providerWindowID) {
            continue;
        }
        if (!best || summaryPriority(window) < summaryPriority(*best)) {
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
