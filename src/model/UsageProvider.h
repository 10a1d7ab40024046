#pragma once

#include "ProviderAvailability.h"
#include "ProviderID.h"
#include "ProviderUsageSnapshot.h"

#include <QCoroTask>
#include <QString>

#include <optional>

// One watched assistant. The coordinator asks availability() first and calls fetchUsage()
// only when it answered available, never two members of one provider at once.
class UsageProvider {
public:
    virtual ~UsageProvider();

    virtual ProviderID id() const = 0;
    virtual QString displayName() const = 0;
    // Local inspection only: sends no usage request and never throws.
    virtual QCoro::Task<ProviderAvailability> availability() = 0;
    // The actual usage request; throws VantorError. Bounding the wait is the provider's task.
    virtual QCoro::Task<ProviderUsageSnapshot> fetchUsage() = 0;
    // What the user is told after fetchUsage() failed, when the provider knows more than that
    // the refresh failed (a rate limit and its next try, an expired session); else none.
    virtual std::optional<ProviderAvailability> failureAvailability() const { return {}; }

protected:
    UsageProvider() = default;
    UsageProvider(const UsageProvider&) = default;
    UsageProvider& operator=(const UsageProvider&) = default;
};
