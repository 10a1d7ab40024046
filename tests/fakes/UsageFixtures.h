#pragma once

#include "ProviderUsageSnapshot.h"

#include <optional>

// Compact builders for the records the tests pass around.
namespace UsageFixtures {

inline const Instant t0 = Instant::fromReferenceSeconds(800'000'000.0);

inline UsageWindowSnapshot window(const QString& id, UsageWindowState state,
                                  std::optional<double> usedPercent = std::nullopt,
                                  std::optional<Instant> resetAt = std::nullopt,
                                  ProviderID provider = ProviderID::codex) {
    return UsageWindowSnapshot{.id = id,
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
    return ProviderUsageSnapshot{.providerID = provider,
                                 .windows = std::move(windows),
                                 .ordinaryUsageAllowed = std::nullopt,
                                 .globalLimitReason = std::nullopt,
                                 .observedAt = t0,
                                 .sourceConfidence = confidence};
}

// A snapshot with every optional field set and four windows of every kind.
inline ProviderUsageSnapshot fullSnapshot(ProviderID provider, Instant observedAt) {
    const QString prefix =
        provider == ProviderID::codex ? QStringLiteral("codex.") : QStringLiteral("claude.");
    QList<UsageWindowSnapshot> windows;
    const UsageWindowKind kinds[] = {UsageWindowKind::fiveHour, UsageWindowKind::weekly,
                                     UsageWindowKind::modelWeekly, UsageWindowKind::other};
    int i = 0;
    for (const UsageWindowKind kind : kinds) {
        windows.append(UsageWindowSnapshot{
            .id = prefix + QString::number(i),
            .providerID = provider,
            .providerWindowID = QStringLiteral("window-%1").arg(i),
            .kind = kind,
            .label = QStringLiteral("Label %1 — ünïcode").arg(i),
            .usedPercent = 12.345678901234567 * (i + 1),
            .resetAt = observedAt.addingSeconds(3600.123456789 * (i + 1)),
            .observedAt = observedAt,
            .state = static_cast<UsageWindowState>(i % 5),
            .isActive = i % 2 == 0,
            .serverSeverity = QStringLiteral("warning"),
        });
        ++i;
    }
    return ProviderUsageSnapshot{.providerID = provider,
                                 .windows = windows,
                                 .ordinaryUsageAllowed = true,
                                 .globalLimitReason = QStringLiteral("none"),
                                 .observedAt = observedAt,
                                 .sourceConfidence = UsageSourceConfidence::authoritative};
}

}  // namespace UsageFixtures
