#pragma once

#include "Instant.h"
#include "ProviderID.h"

#include <QString>

#include <optional>

// Something worth telling the user, derived from two successive snapshots of one provider.
struct UsageEvent {
    enum class Kind {
        limitReached,
        resetConfirmed,
        nearingLimit,
        providerUnavailable,
        providerRecovered
    };

    Kind kind = Kind::providerRecovered;
    ProviderID provider = ProviderID::codex;
    // The window concerned; empty for the provider-wide cases.
    QString windowID;
    // resetConfirmed only: the current window's next reset, when known.
    std::optional<Instant> resetAt;

    static UsageEvent limitReached(ProviderID provider, QString windowID);
    static UsageEvent resetConfirmed(ProviderID provider, QString windowID,
                                     std::optional<Instant> resetAt);
    static UsageEvent nearingLimit(ProviderID provider, QString windowID);
    static UsageEvent providerUnavailable(ProviderID provider);
    static UsageEvent providerRecovered(ProviderID provider);

    friend bool operator==(const UsageEvent&, const UsageEvent&) = default;
};
