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
    return {.id = id,
            .providerID = provider,
            .providerWindowID = std::nullopt,
            .kind = UsageWindowKind::fiveHour,
            .label = QStringLiteral("5h"),
            .usedPercent = usedPercent,
            .resetAt = resetAt,
            .observedAt = t0,
            .state = state,
            .isActive = std::nullopt,
            .serverSeverity = std::nullopt};
}

inline ProviderUsageSnapshot snapshot(
    QList<UsageWindowSnapshot> windows, ProviderID provider = ProviderID::codex,
    UsageSourceConfidence confidence = UsageSourceConfidence::providerInternal) {
    return {.providerID = provider,
            .windows = std::move(windows),
            .ordinaryUsageAllowed = std::nullopt,
            .globalLimitReason = std::nullopt,
            .observedAt = t0,
            .sourceConfidence = confidence};
}

// Every optional field set, one window of each kind, fractions that a lossy form would bend.
inline ProviderUsageSnapshot fullSnapshot(ProviderID provider, Instant observedAt) {
    ProviderUsageSnapshot full = snapshot({}, provider, UsageSourceConfidence::authoritative);
    full.ordinaryUsageAllowed = true;
    full.globalLimitReason = QStringLiteral("none");
    full.observedAt = observedAt;
    for (int i = 0; i < 4; ++i) {
        const QString n = QString::number(i);
        full.windows.append(
            {rawValue(provider) + u'.' + n, provider, QStringLiteral("window-") + n,
             static_cast<UsageWindowKind>(i), QStringLiteral("Label %1 — ünïcode").arg(i),
             12.345678901234567 * (i + 1), observedAt.addingSeconds(3600.123456789 * (i + 1)),
             observedAt, static_cast<UsageWindowState>(i % 5), i % 2 == 0,
             QStringLiteral("warning")});
    }
    return full;
}

}  // namespace UsageFixtures
