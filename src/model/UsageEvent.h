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
        providerRecovered,
        blockLifted
    };

    Kind kind = Kind::providerRecovered;
    ProviderID provider = ProviderID::codex;
    // The window concerned; empty for the provider-wide cases.
    QString windowID;
    // resetConfirmed: the current window's next reset, when known; blockLifted: when the block
    // was first seen, when known.
    std::optional<Instant> resetAt;

    static UsageEvent limitReached(ProviderID provider, QString windowID);
    static UsageEvent resetConfirmed(ProviderID provider, QString windowID,
                                     std::optional<Instant> resetAt);
    static UsageEvent nearingLimit(ProviderID provider, QString windowID);
    static UsageEvent providerUnavailable(ProviderID provider);
    static UsageEvent providerRecovered(ProviderID provider);
    static UsageEvent blockLifted(ProviderID provider, const QString& bucket,
                                  std::optional<Instant> since);

    // The windowID a block's events carry: "block" for the whole account, "block.<bucket>".
    static QString blockID(const QString& bucket);
    // The bucket of a blockLifted event, empty for the whole account.
    QString blockBucket() const;

    friend bool operator==(const UsageEvent&, const UsageEvent&) = default;
};
