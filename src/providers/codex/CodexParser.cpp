#include "CodexParser.h"

#include <QMap>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QString reachedTypeKey = QStringLiteral("rateLimitReachedType");

struct KnownLength {
    double minutes;
    UsageWindowKind kind;
};

const std::array<KnownLength, 3> knownLengths{
    {{*lengthMinutes(UsageWindowKind::fiveHour), UsageWindowKind::fiveHour},
     {*lengthMinutes(UsageWindowKind::weekly), UsageWindowKind::weekly},
     {*lengthMinutes(UsageWindowKind::monthly), UsageWindowKind::monthly}}};
// A length within 10 % of a known one is that one: releases report the length or a minute
// short of it, every calendar month (28 to 31 days) lies within it of 30 days, and the known
// lengths are far enough apart (x33.6, x4.3) that at most one is ever that close.
constexpr double lengthTolerance = 0.10;
// Older releases sent the minutes left instead of the length: such a number matches the time
// to the reset, give or take the rounding of both and the time the answer took.
constexpr double minutesLeftSlack = 2.0;

std::optional<QString> string(const QJsonValue& value) {
    if (!value.isString()) {
        return std::nullopt;
    }
    return value.toString();
}

std::optional<QString> name(const QJsonValue& value) {
    const std::optional<QString> text = string(value);
    return text && !text->trimmed().isEmpty() ? text : std::nullopt;
}

const KnownLength* classify(std::optional<double> minutes, std::optional<Instant> resetAt,
                            Instant now, bool primary, bool mayCountMinutesLeft) {
    if (!minutes) {
        return nullptr;
    }
    // The minutes left say nothing of the length; the releases that sent them named no limit
    // ids and always put the five-hour window first and the weekly one second. Asked first: a
    // weekly window with five hours left must not pass for a five-hour one.
    const KnownLength& slot = knownLengths[primary ? 0 : 1];
    if (mayCountMinutesLeft && resetAt && *minutes > 0.0 && *minutes <= slot.minutes &&
        std::abs(resetAt->secondsSince(now) / 60.0 - *minutes) <= minutesLeftSlack) {
        return &slot;
    }
    for (const KnownLength& known : knownLengths) {
        if (std::abs(*minutes - known.minutes) <= known.minutes * lengthTolerance) {
            return &known;
        }
    }
    return nullptr;
}

// "37.5" as the app-server sends balances and amounts, or a plain number.
std::optional<double> balance(const QJsonValue& value) {
    if (const auto text = string(value)) {
        bool ok = false;
        const double parsed = text->trimmed().toDouble(&ok);
        return ok && std::isfinite(parsed) ? std::optional(parsed) : std::nullopt;
    }
    return value.isDouble() ? CodexParser::number(value) : std::nullopt;
}

std::optional<Instant> unixTime(const QJsonValue& value) {
    const auto seconds = CodexParser::number(value);
    return seconds ? std::optional(Instant::fromUnixSeconds(*seconds)) : std::nullopt;
}

std::optional<IndividualLimit> individualLimit(const QJsonObject& bucket) {
    const QJsonObject object = bucket.value(QStringLiteral("individualLimit")).toObject();
    const std::optional<double> used = balance(object.value(QStringLiteral("used")));
    if (!used) {
        return std::nullopt;
    }
    return IndividualLimit{
        .used = *used,
        .limit = balance(object.value(QStringLiteral("limit"))),
        .remainingPercent = CodexParser::number(object.value(QStringLiteral("remainingPercent"))),
        .resetsAt = unixTime(object.value(QStringLiteral("resetsAt")))};
}

// Whether the member's credit limit is what stops use: all of it used.
bool spent(const IndividualLimit& limit) {
    return (limit.limit && limit.used >= *limit.limit) ||
           (limit.remainingPercent && *limit.remainingPercent <= 0.0);
}

// When a block of this bucket lifts: when the credit limit resets, if that is what is spent or
// what the reason names; else when its spent windows reset, the latest of them.
std::optional<Instant> blockEnd(const QString& reason, const QJsonObject& bucket,
                                const QList<UsageWindowSnapshot>& own) {
    const auto limit = individualLimit(bucket);
    if (limit && limit->resetsAt &&
        (spent(*limit) || UsageBlock::aboutCredits(reason) ||
         reason == UsageBlock::spendControlReason)) {
        return limit->resetsAt;
    }
    std::optional<Instant> end;
    for (const UsageWindowSnapshot& window : own) {
        if (window.state == UsageWindowState::exhausted && window.resetAt &&
            (!end || *window.resetAt > *end)) {
            end = window.resetAt;
        }
    }
    return end;
}

// The bucket's block: a reached spending control or a reported reason.
std::optional<UsageBlock> bucketBlock(const QJsonObject& bucket, const QString& bucketID,
                                      const QList<UsageWindowSnapshot>& own) {
    const std::optional<QString> reason = name(bucket.value(reachedTypeKey));
    const bool spendControl =
        bucket.value(QStringLiteral("spendControlReached")) == QJsonValue(true);
    if (!reason && !spendControl) {
        return std::nullopt;
    }
    UsageBlock block{.bucket = bucketID,
                     .reason = reason ? reason->left(64) : UsageBlock::spendControlReason,
                     .until = std::nullopt};
    block.until = blockEnd(block.reason, bucket, own);
    return block;
}

// Whether every window of a bucket repeats one of the main bucket's: same length, reset and
// use. Such a bucket is an internal copy and would only show its rows twice.
bool repeatsMain(const QList<UsageWindowSnapshot>& own, const QList<UsageWindowSnapshot>& main) {
    return !own.isEmpty() &&
           std::all_of(own.cbegin(), own.cend(), [&main](const UsageWindowSnapshot& window) {
               return std::any_of(main.cbegin(), main.cend(), [&](const UsageWindowSnapshot& m) {
                   return m.kind == window.kind && m.kind != UsageWindowKind::other &&
                          m.resetAt == window.resetAt && m.usedPercent == window.usedPercent;
               });
           });
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
                                          const QString& suffix, Instant now,
                                          const QString& bucketName, bool mayCountMinutesLeft) {
    if (!value.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = value.toObject();
    const std::optional<double> used = number(object.value(QStringLiteral("usedPercent")));
    if (!used) {
        return std::nullopt;
    }

    std::optional<Instant> resetAt;
    if (const auto seconds = number(object.value(QStringLiteral("resetsAt")))) {
        resetAt = Instant::fromUnixSeconds(*seconds);
    }
    const KnownLength* length =
        classify(number(object.value(QStringLiteral("windowDurationMins"))), resetAt, now,
                 suffix == QLatin1String("primary"), mayCountMinutesLeft);
    const UsageWindowKind kind = length ? length->kind : UsageWindowKind::other;
    QString label = defaultLabel(kind);
    if (!bucketName.isEmpty()) {
        label = bucketName + QStringLiteral(" \u00b7 ") + label;
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

    // The single bucket is named by its own limit id, as it is in the map when the map comes,
    // so its windows keep their ids either way.
    const QJsonObject single = result.value(QStringLiteral("rateLimits")).toObject();
    const QString mainID = name(single.value(QStringLiteral("limitId"))).value_or(mainBucketID);
    // Keyed and so visited by ascending limit id, after the main bucket.
    QMap<QString, QJsonObject> buckets;
    const QJsonObject byLimitID = result.value(QStringLiteral("rateLimitsByLimitId")).toObject();
    for (auto it = byLimitID.constBegin(); it != byLimitID.constEnd(); ++it) {
        if (it.value().isObject()) {
            buckets.insert(it.key(), it.value().toObject());
        }
    }
    if (buckets.isEmpty()) {
        buckets.insert(mainID, single);
    }
    // The top-level view may be synthetic: the main bucket of the map is preferred.
    const QJsonObject main = buckets.value(mainID, single);

    QList<UsageWindowSnapshot> windows;
    QStringList order = buckets.keys();
    if (order.removeOne(mainID)) {
        order.prepend(mainID);
    }
    QList<UsageBlock> blocks;
    // Each bucket is compared with the main one's windows only (two at most): linear in the
    // buckets however many a peer sends.
    QList<UsageWindowSnapshot> mainWindows;
    for (const QString& id : order) {
        const QJsonObject bucket = buckets.value(id);
        const QString bucketName =
            id == mainID ? QString() : name(bucket.value(QStringLiteral("limitName"))).value_or(id);
        QList<UsageWindowSnapshot> own;
        for (const QString& suffix : {QStringLiteral("primary"), QStringLiteral("secondary")}) {
            if (auto found = window(bucket.value(suffix), id, suffix, now, bucketName,
                                    !bucket.contains(QStringLiteral("limitId")))) {
                own.append(std::move(*found));
            }
        }
        if (id == mainID) {
            mainWindows = own;
        } else if (repeatsMain(own, mainWindows)) {
            continue;
        }
        if (auto block = bucketBlock(bucket, id, own)) {
            // The main bucket's block stops the whole account.
            if (id == mainID) {
                block->bucket.clear();
            }
            blocks.append(std::move(*block));
        }
        windows.append(std::move(own));
    }

    std::optional<QString> globalLimitReason = string(result.value(reachedTypeKey));
    if (!globalLimitReason) {
        globalLimitReason = string(main.value(reachedTypeKey));
    }
    // The account-wide statements stop every bucket; null says nothing either way.
    const std::optional<QString> accountReason = name(result.value(reachedTypeKey));
    if (ordinaryUsageAllowed == false || accountReason) {
        const QString reason = accountReason.value_or(QString()).left(64);
        const auto account = std::find_if(blocks.begin(), blocks.end(),
                                          [](const UsageBlock& b) { return b.bucket.isEmpty(); });
        if (account == blocks.end()) {
            blocks.prepend(UsageBlock{
                .bucket = {}, .reason = reason, .until = blockEnd(reason, main, mainWindows)});
        } else if (accountReason) {
            account->reason = reason;
        }
    }

    ProviderUsageSnapshot snapshot{.providerID = ProviderID::codex,
                                   .windows = std::move(windows),
                                   .ordinaryUsageAllowed = ordinaryUsageAllowed,
                                   .globalLimitReason = globalLimitReason,
                                   .observedAt = now,
                                   .sourceConfidence = UsageSourceConfidence::authoritative,
                                   .plan = name(main.value(QStringLiteral("planType"))),
                                   .individualLimit = individualLimit(main),
                                   .blocks = std::move(blocks)};
    const QJsonObject credits = main.value(QStringLiteral("credits")).toObject();
    if (credits.value(QStringLiteral("hasCredits")).toBool()) {
        if (credits.value(QStringLiteral("unlimited")).toBool()) {
            snapshot.unlimitedCredits = true;
        } else {
            snapshot.creditBalance = balance(credits.value(QStringLiteral("balance")));
        }
    }
    const auto banked = number(result.value(QStringLiteral("rateLimitResetCredits"))
                                   .toObject()
                                   .value(QStringLiteral("availableCount")));
    if (banked && *banked >= 1.0) {
        snapshot.resetCredits = static_cast<int>(std::min(*banked, 1'000'000.0));
    }
    return snapshot;
}

}  // namespace CodexParser
