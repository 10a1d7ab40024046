#pragma once

#include "ProviderUsageSnapshot.h"

#include <optional>

// Compact builders for the records the tests pass around.
namespace UsageFixtures {

inline const Instant t0 = Instant::fromReferenceSeconds(800'000'000.0);

// A five-hour window observed at t0.
inline UsageWindowSnapshot window(const QString& id, UsageWindowState state,
                                  std::optional<double> usedPercent = std::nullopt,
                                  std::optional<Instant> resetAt = std::nullopt,
                                  ProviderID provider = ProviderID::codex) {
    return UsageWindowSnapshot(id, provider, std::nullopt, UsageWindowKind::fiveHour,
                               QStringLiteral("5h"), usedPercent, resetAt, t0, state, std::nullopt,
                               std::nullopt);
}

inline ProviderUsageSnapshot snapshot(
    QList<UsageWindowSnapshot> windows, ProviderID provider = ProviderID::codex,
    UsageSourceConfidence confidence = UsageSourceConfidence::providerInternal) {
    return {provider, std::move(windows), std::nullopt, std::nullopt, t0, confidence};
}

// Every optional field set, one window of each kind, fractions that a lossy form would bend.
inline ProviderUsageSnapshot fullSnapshot(ProviderID provider, Instant observedAt) {
    ProviderUsageSnapshot full(provider, {}, true, QStringLiteral("none"), observedAt,
                               UsageSourceConfidence::authoritative,
                               ExtraUsage{1234.125, 5000.0, 2, QStringLiteral("EUR")});
    for (int i = 0; i < 4; ++i) {
        full.windows.append(
            {rawValue(provider) + u'.' + QString::number(i), provider, QStringLiteral("w%1").arg(i),
             static_cast<UsageWindowKind>(i), QStringLiteral("Label %1 — ünïcode").arg(i),
             12.345678901234567 * (i + 1), observedAt.addingSeconds(3600.123456789 * (i + 1)),
             observedAt, static_cast<UsageWindowState>(i % 5), i % 2 == 0,
             QStringLiteral("warning"), 1.25 * i, i % 2 == 0 ? std::optional(50.0) : std::nullopt});
    }
    full.spend = ExtraUsage{18020.0, std::nullopt, 3, QStringLiteral("USD")};
    full.individualLimit = IndividualLimit{100.0, 100.0, 0.0, observedAt.addingSeconds(86400.5)};
    full.blocks = {{{},
                    QStringLiteral("workspace_member_credits_depleted"),
                    observedAt.addingSeconds(86400.5)},
                   {QStringLiteral("w1"), UsageBlock::spendControlReason, std::nullopt}};
    return full;
}

}  // namespace UsageFixtures
