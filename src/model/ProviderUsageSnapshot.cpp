#include "ProviderUsageSnapshot.h"

namespace {

int summaryPriority(UsageWindowState state) {
    switch (state) {
        case UsageWindowState::exhausted:
            return 0;
        case UsageWindowState::nearingLimit:
            return 1;
        case UsageWindowState::awaitingResetConfirmation:
            return 2;
        case UsageWindowState::available:
            return 3;
        case UsageWindowState::unknown:
            return 4;
    }
    return 4;
}

}  // namespace

std::optional<UsageWindowSnapshot> ProviderUsageSnapshot::summaryWindow() const {
    // The first window of the best priority is what a stable sort would put first.
    const UsageWindowSnapshot* best = nullptr;
    for (const UsageWindowSnapshot& window : windows) {
        if (!best || summaryPriority(window.state) < summaryPriority(best->state)) {
            best = &window;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return *best;
}
