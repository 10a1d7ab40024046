#pragma once

#include "Instant.h"

#include <QString>

#include <optional>

// Something that stops use although the windows may still have room: a workspace's credits
// used up, a spending cap reached, the service saying ordinary use is not allowed.
struct UsageBlock {
    // What a peer reports where it gives no type of its own.
    static inline const QString spendControlReason = QStringLiteral("spend_control_reached");

    // The bucket it stops (its windows' providerWindowID); empty for the whole account.
    QString bucket;
    // The reason as the peer names it ("workspace_member_credits_depleted"), spendControlReason,
    // or empty when it names none.
    QString reason;
    // When it lifts, when known.
    std::optional<Instant> until;
    // When it was first seen: a block seen again after it lifted is another one. Set where the
    // readings meet, not by a parser.
    std::optional<Instant> since = std::nullopt;

    // Whether a reason is about credits ("workspace_member_credits_depleted"): such a block
    // lifts when the credits come back.
    static bool aboutCredits(const QString& reason) {
        return reason.contains(QLatin1String("credits"));
    }
    // Whether its end has passed: until a new reading says otherwise, it waits for one.
    bool hasLifted(Instant now) const { return until && until->secondsSince(now) <= 0.0; }

    friend bool operator==(const UsageBlock&, const UsageBlock&) = default;
};
