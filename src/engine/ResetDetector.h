#pragma once

#include "ProviderUsageSnapshot.h"
#include "UsageEvent.h"

#include <QList>

#include <optional>

// Derives what happened between two snapshots of one provider. Pure: it keeps nothing, so
// the same pair always yields the same events, in the same order.
class ResetDetector {
public:
    // A provider's first snapshot (no previous) yields nothing; windows are paired by id and
    // kind. With everyReset false, only a window that was exhausted can be confirmed as reset.
    // A block gone from the reading has lifted; the event carries when it was first seen.
    QList<UsageEvent> process(const std::optional<ProviderUsageSnapshot>& previous,
                              const ProviderUsageSnapshot& current, bool everyReset) const;

private:
    static bool confirmedReset(const UsageWindowSnapshot& before, const UsageWindowSnapshot& after,
                               bool requiresExhaustion);
};
