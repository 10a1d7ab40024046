#include "CodexParser.h"

#include <QMap>

#include <cmath>

namespace {

const QString defaultBucketID = QStringLiteral("default");
const QString reachedTypeKey = QStringLiteral("rateLimitReachedType");

std::optional<QString> string(const QJsonValue& value) {
    if (!value.isString()) {
        return std::nullopt;
    }
    return value.toString();
}

}  // namespace

namespace CodexParser {

std::optional<double> number(const QJsonValue& value) {
    if (value.isBool()) {
        return value.toBool() ? 1.0 : 0.0;
    }
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double result = value.toDouble();
    // An infinite value cannot be stored or compared sensibly; treat it as absent.
    if (!std::isfinite(result)) {
        return std::nullopt;
    }
    return result;
}

std::optional<UsageWindowSnapshot> window(const QJsonValue& value, const QString& bucketID,
                                          const QString& suffix, Instant now) {
    if (!value.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = value.toObject();
    const std::optional<double> used = number(object.value(QStringLiteral("usedPercent")));
    if (!used) {
        return std::nullopt;
    }

    UsageWindowKind kind = UsageWindowKind::other;
    QString label = QStringLiteral("Additional limit");
    // Compared after truncation toward zero; non-finite durations were already dropped.
    if (const auto minutes = number(object.value(QStringLiteral("windowDurationMins")))) {
        const double whole = std::trunc(*minutes);
        if (whole == 300.0) {
            kind = UsageWindowKind::fiveHour;
            label = QStringLiteral("5 hour");
        } else if (whole == 10080.0) {
            kind = UsageWindowKind::weekly;
            label = QStringLiteral("Weekly");
        }
    }

    std::optional<Instant> resetAt;
    if (const auto seconds = number(object.value(QStringLiteral("resetsAt")))) {
        resetAt = Instant::fromUnixSeconds(*seconds);
    }

    UsageWindowState state = UsageWindowState::available;
    if (*used >= 100.0) {
        state = UsageWindowState::exhausted;
    } else if (*used >= 90.0) {
        state = UsageWindowState::nearingLimit;
    }

    return UsageWindowSnapshot{.id = QStringLiteral("codex.") + bucketID + u'.' + suffix,
                               .providerID = ProviderID::codex,
                               .providerWindowID = bucketID,
                               .kind = kind,
                               .label = label,
                               .usedPercent = used,
                               .resetAt = resetAt,
                               .observedAt = now,
                               .state = state,
                               .isActive = std::nullopt,
                               .serverSeverity = std::nullopt};
}

ProviderUsageSnapshot parse(const QJsonObject& result, Instant now) {
    std::optional<bool> ordinaryUsageAllowed;
    if (const QJsonValue allowed = result.value(QStringLiteral("ordinaryUsageAllowed"));
        allowed.isBool()) {
        ordinaryUsageAllowed = allowed.toBool();
    }

    // Keyed and so visited by ascending limit id.
    QMap<QString, QJsonObject> buckets;
    const QJsonObject byLimitID = result.value(QStringLiteral("rateLimitsByLimitId")).toObject();
    for (auto it = byLimitID.constBegin(); it != byLimitID.constEnd(); ++it) {
        if (it.value().isObject()) {
            buckets.insert(it.key(), it.value().toObject());
        }
    }
    if (buckets.isEmpty()) {
        buckets.insert(defaultBucketID, result.value(QStringLiteral("rateLimits")).toObject());
    }

    QList<UsageWindowSnapshot> windows;
    for (auto it = buckets.constBegin(); it != buckets.constEnd(); ++it) {
        for (const QString& suffix : {QStringLiteral("primary"), QStringLiteral("secondary")}) {
            if (auto found = window(it.value().value(suffix), it.key(), suffix, now)) {
                windows.append(std::move(*found));
            }
        }
    }

    std::optional<QString> globalLimitReason = string(result.value(reachedTypeKey));
    if (!globalLimitReason) {
        globalLimitReason = string(buckets.first().value(reachedTypeKey));
    }

    return ProviderUsageSnapshot{.providerID = ProviderID::codex,
                                 .windows = std::move(windows),
                                 .ordinaryUsageAllowed = ordinaryUsageAllowed,
                                 .globalLimitReason = globalLimitReason,
                                 .observedAt = now,
                                 .sourceConfidence = UsageSourceConfidence::authoritative};
}

}  // namespace CodexParser
