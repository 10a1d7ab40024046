#include "ProviderUsageSnapshot.h"

namespace {

int summaryPriority(const UsageWindowSnapshot& window) {
    switch (window.state) {
        case UsageWindowState::exhausted:
            return 0;
        case UsageWindowState::nearingLimit:
            return window.isActive == true ? 1 : 2;
        case UsageWindowState::awaitingResetConfirmation:
            return window.isActive == true ? 1 : 3;
        case UsageWindowState::available:
            return window.isActive == true ? 1 : 4;
        case UsageWindowState::unknown:
            break;
    }
    return window.isActive == true ? 1 : 5;
}

}  // namespace

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
