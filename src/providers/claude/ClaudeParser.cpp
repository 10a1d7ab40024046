#include "ClaudeParser.h"

#include "VantorError.h"

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QTime>

#include <algorithm>
#include <cmath>

namespace {

const QString claudePrefix = QStringLiteral("claude.");
const QString scopedPrefix = QStringLiteral("claude.weekly_scoped.");
// Longer model ids are cut: an id is a key in stored files and delivered events.
constexpr qsizetype maxModelIdLength = 64;

struct NamedWindow {
    QLatin1String member;
    UsageWindowKind kind;
    // The "limits" entry that stands in when the member is absent.
    QLatin1String limitKind;
};

const NamedWindow namedWindows[] = {
    {QLatin1String("five_hour"), UsageWindowKind::fiveHour, QLatin1String("session")},
    {QLatin1String("seven_day"), UsageWindowKind::weekly, QLatin1String("weekly_all")},
};

// Per-model weekly windows of older bodies, shown only when they hold a value and "limits"
// names no model of its own. Any other member (code names included) is never a window.
struct LegacyModelWindow {
    QLatin1String member;
    QLatin1String model;
};

const LegacyModelWindow legacyModelWindows[] = {
    {QLatin1String("seven_day_opus"), QLatin1String("Opus")},
    {QLatin1String("seven_day_sonnet"), QLatin1String("Sonnet")},
};

QString scopedLabel(const QString& model) {
    return QStringLiteral("Weekly \u00b7 ") + model;
}

UsageWindowState stateFor(double used) {
    if (used >= 100.0) {
        return UsageWindowState::exhausted;
    }
    if (used >= 90.0) {
        return UsageWindowState::nearingLimit;
    }
    return UsageWindowState::available;
}

std::optional<Instant> resetTime(const QJsonValue& value) {
    if (value.isDouble()) {
        return Instant::fromUnixSeconds(value.toDouble());
    }
    if (value.isString()) {
        return ClaudeParser::parseInternetDateTime(value.toString());
    }
    return std::nullopt;
}

// Reads exactly `count` decimal digits at `pos`, advancing it.
std::optional<int> digits(QStringView text, qsizetype& pos, int count) {
    if (pos + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[pos + i];
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    pos += count;
    return value;
}

bool expect(QStringView text, qsizetype& pos, char16_t c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

// Model ids come from the server: only characters that are safe in a stored key.
QString safeIdPart(const QString& text) {
    QString safe = text.left(maxModelIdLength);
    for (QChar& c : safe) {
        if (!c.isLetterOrNumber() || c.unicode() > 0x7f) {
            if (c != u'-' && c != u'.') {
                c = u'_';
            }
        }
    }
    return safe;
}

void markBinding(UsageWindowSnapshot& window, const QJsonObject& limit) {
    const QJsonValue active = limit.value(QLatin1String("is_active"));
    const QJsonValue severity = limit.value(QLatin1String("severity"));
    if (active.isBool()) {
        window.isActive = active.toBool();
    }
    if (severity.isString()) {
        window.serverSeverity = severity.toString().left(32);
    }
}

// An ISO 4217 code, or empty for anything else: it is looked up, never shown as it came.
QString isoCurrency(const QString& currency) {
    const bool isoCode =
        currency.size() == 3 && std::all_of(currency.begin(), currency.end(),
                                            [](QChar c) { return c >= u'A' && c <= u'Z'; });
    return isoCode ? currency : QString();
}

// Only when switched on; amounts in minor units, scaled by "decimal_places".
std::optional<ExtraUsage> extraUsage(const QJsonObject& extra) {
    if (extra.value(QLatin1String("is_enabled")) != QJsonValue(true)) {
        return std::nullopt;
    }
    const QJsonValue limit = extra.value(QLatin1String("monthly_limit"));
    const QJsonValue places = extra.value(QLatin1String("decimal_places"));
    const QString currency = extra.value(QLatin1String("currency")).toString();
    return ExtraUsage{
        .usedMinorUnits = extra.value(QLatin1String("used_credits")).toDouble(0.0),
        .limitMinorUnits = limit.isDouble() ? std::optional(limit.toDouble()) : std::nullopt,
        .decimalPlaces =
            places.isDouble() ? static_cast<int>(std::clamp(places.toDouble(), 0.0, 6.0)) : 2,
        .currency = isoCurrency(currency)};
}

// A money amount ("spend"): minor units scaled by "exponent". The limit has been reported under
// several names; any of them, in the same units, counts.
std::optional<ExtraUsage> spend(const QJsonObject& object) {
    const QJsonValue amount = object.value(QLatin1String("amount_minor"));
    if (!amount.isDouble()) {
        return std::nullopt;
    }
    std::optional<double> limit;
    for (const char* key :
         {"limit_minor", "limit_amount_minor", "monthly_limit_minor", "monthly_limit", "limit"}) {
        if (const QJsonValue value = object.value(QLatin1String(key)); value.isDouble()) {
            limit = value.toDouble();
            break;
        }
    }
    const QJsonValue exponent = object.value(QLatin1String("exponent"));
    return ExtraUsage{
        .usedMinorUnits = amount.toDouble(),
        .limitMinorUnits = limit,
        .decimalPlaces =
            exponent.isDouble() ? static_cast<int>(std::clamp(exponent.toDouble(), 0.0, 6.0)) : 2,
        .currency = isoCurrency(object.value(QLatin1String("currency")).toString())};
}

// Dollar amounts some seats carry on a window: the use and the limit, the limit also from
// the use and what remains. Null on most seats.
void readDollars(UsageWindowSnapshot& window, const QJsonObject& object) {
    const auto dollars = [&object](const char* key) -> std::optional<double> {
        const QJsonValue value = object.value(QLatin1String(key));
        return value.isDouble() && value.toDouble() >= 0.0 ? std::optional(value.toDouble())
                                                           : std::nullopt;
    };
    window.usedDollars = dollars("used_dollars");
    window.limitDollars = dollars("limit_dollars");
    // Two huge amounts add up to infinity, which could not be stored.
    if (const auto remaining = dollars("remaining_dollars");
        !window.limitDollars && window.usedDollars && remaining &&
        std::isfinite(*window.usedDollars + *remaining)) {
        window.limitDollars = *window.usedDollars + *remaining;
    }
}

// A window from its used share (a number, or null for a window not started: 0 % used) and
// reset value (seconds since 1970, or an internet date-time); nothing for any other share.
std::optional<UsageWindowSnapshot> window(const QJsonValue& used, const QJsonValue& reset,
                                          const QString& id, UsageWindowKind kind,
                                          const QString& label, Instant now) {
    // Null is a window not started since its reset: nothing used yet. Any other non-number
    // is no reading at all.
    if (!used.isDouble() && !used.isNull()) {
        return std::nullopt;
    }
    const double percent = used.isNull() ? 0.0 : used.toDouble();
    return UsageWindowSnapshot{.id = id,
                               .providerID = ProviderID::claude,
                               .providerWindowID = std::nullopt,
                               .kind = kind,
                               .label = label,
                               .usedPercent = percent,
                               .resetAt = resetTime(reset),
                               .observedAt = now,
                               .state = stateFor(percent),
                               .isActive = std::nullopt,
                               .serverSeverity = std::nullopt};
}

// One window object, or nothing when its "utilization" is neither a number nor null.
std::optional<UsageWindowSnapshot> parseWindow(const QJsonObject& object, const QString& id,
                                               UsageWindowKind kind, const QString& label,
                                               Instant now) {
    const auto snake = object.constFind(QLatin1String("resets_at"));
    // A present "resets_at" decides, even when null: "resetsAt" is only its stand-in.
    const QJsonValue reset =
        snake != object.constEnd() ? *snake : object.value(QLatin1String("resetsAt"));
    auto found = window(object.value(QLatin1String("utilization")), reset, id, kind, label, now);
    if (found) {
        readDollars(*found, object);
    }
    return found;
}

}  // namespace

namespace ClaudeParser {

std::optional<Instant> parseInternetDateTime(QStringView text) {
    qsizetype pos = 0;
    const auto year = digits(text, pos, 4);
    if (!year || !expect(text, pos, u'-')) {
        return std::nullopt;
    }
    const auto month = digits(text, pos, 2);
    if (!month || !expect(text, pos, u'-')) {
        return std::nullopt;
    }
    const auto day = digits(text, pos, 2);
    if (!day || !expect(text, pos, u'T')) {
        return std::nullopt;
    }
    const auto hour = digits(text, pos, 2);
    if (!hour || !expect(text, pos, u':')) {
        return std::nullopt;
    }
    const auto minute = digits(text, pos, 2);
    if (!minute || !expect(text, pos, u':')) {
        return std::nullopt;
    }
    const auto second = digits(text, pos, 2);
    if (!second) {
        return std::nullopt;
    }
    // Any number of fraction digits; those past the ninth are below a nanosecond and only
    // checked.
    double fraction = 0.0;
    if (expect(text, pos, u'.')) {
        const qsizetype first = pos;
        double scale = 0.1;
        while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
            if (pos - first < 9) {
                fraction += scale * (text[pos].unicode() - u'0');
                scale /= 10.0;
            }
            ++pos;
        }
        if (pos == first) {
            return std::nullopt;
        }
    }
    int offsetSeconds = 0;
    if (!expect(text, pos, u'Z')) {
        if (pos >= text.size() || (text[pos] != u'+' && text[pos] != u'-')) {
            return std::nullopt;
        }
        const int sign = text[pos] == u'-' ? -1 : 1;
        ++pos;
        const auto offsetHours = digits(text, pos, 2);
        if (!offsetHours || !expect(text, pos, u':')) {
            return std::nullopt;
        }
        const auto offsetMinutes = digits(text, pos, 2);
        if (!offsetMinutes || *offsetHours > 23 || *offsetMinutes > 59) {
            return std::nullopt;
        }
        offsetSeconds = sign * (*offsetHours * 3600 + *offsetMinutes * 60);
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    const QDate date(*year, *month, *day);
    const QTime time(*hour, *minute, *second);
    if (!date.isValid() || !time.isValid()) {
        return std::nullopt;
    }
    const QDateTime utc(date, time, Qt::UTC);
    const double unixSeconds =
        static_cast<double>(utc.toSecsSinceEpoch() - offsetSeconds) + fraction;
    return Instant::fromUnixSeconds(unixSeconds);
}

ProviderUsageSnapshot parse(const QByteArray& body, Instant now) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError) {
        throw VantorError(jsonErrorDomain, static_cast<int>(error.error), error.errorString(),
                          QStringLiteral("offset %1").arg(error.offset));
    }
    if (!document.isObject()) {
        throw VantorError(ProviderError::malformedResponse);
    }
    const QJsonObject root = document.object();
    QList<QJsonObject> limits;
    for (const QJsonValue entry : root.value(QLatin1String("limits")).toArray()) {
        if (entry.isObject()) {
            limits.append(entry.toObject());
        }
    }
    const auto limitOfKind = [&](QLatin1String kind) -> std::optional<QJsonObject> {
        for (const QJsonObject& limit : limits) {
            if (limit.value(QLatin1String("kind")).toString() == kind) {
                return limit;
            }
        }
        return std::nullopt;
    };

    QList<UsageWindowSnapshot> windows;
    for (const NamedWindow& named : namedWindows) {
        const QString id = claudePrefix + named.member;
        const QJsonValue member = root.value(named.member);
        const std::optional<QJsonObject> limit = limitOfKind(named.limitKind);
        const QString label = defaultLabel(named.kind);
        std::optional<UsageWindowSnapshot> found;
        if (member.isObject()) {
            found = parseWindow(member.toObject(), id, named.kind, label, now);
        } else if (limit) {
            found = window(limit->value(QLatin1String("percent")),
                           limit->value(QLatin1String("resets_at")), id, named.kind, label, now);
        }
        if (found) {
            if (limit) {
                markBinding(*found, *limit);
            }
            windows.append(std::move(*found));
        }
    }
    bool scoped = false;
    for (const QJsonObject& limit : limits) {
        if (limit.value(QLatin1String("kind")).toString() != QLatin1String("weekly_scoped")) {
            continue;
        }
        const QJsonObject model =
            limit.value(QLatin1String("scope")).toObject().value(QLatin1String("model")).toObject();
        const QString modelId = model.value(QLatin1String("id")).toString();
        const QString name = model.value(QLatin1String("display_name")).toString();
        const QString id = scopedPrefix + safeIdPart(modelId);
        const bool taken = std::any_of(windows.cbegin(), windows.cend(),
                                       [&](const UsageWindowSnapshot& w) { return w.id == id; });
        // Without a model it cannot keep an id across refreshes; a repeat would pair two
        // limits under one id.
        if (modelId.isEmpty() || taken) {
            continue;
        }
        if (auto found = window(
                limit.value(QLatin1String("percent")), limit.value(QLatin1String("resets_at")), id,
                UsageWindowKind::modelWeekly, scopedLabel(name.isEmpty() ? modelId : name), now)) {
            markBinding(*found, limit);
            windows.append(std::move(*found));
            scoped = true;
        }
    }
    for (const LegacyModelWindow& legacy : legacyModelWindows) {
        const QJsonObject member = root.value(legacy.member).toObject();
        const QJsonValue used = member.value(QLatin1String("utilization"));
        if (scoped || !used.isDouble()) {
            continue;
        }
        if (auto found =
                parseWindow(member, claudePrefix + legacy.member, UsageWindowKind::modelWeekly,
                            scopedLabel(legacy.model), now)) {
            windows.append(std::move(*found));
        }
    }

    const bool empty = windows.isEmpty();
    return ProviderUsageSnapshot{
        .providerID = ProviderID::claude,
        .windows = std::move(windows),
        .ordinaryUsageAllowed = std::nullopt,
        .globalLimitReason = std::nullopt,
        .observedAt = now,
        .sourceConfidence =
            empty ? UsageSourceConfidence::unavailable : UsageSourceConfidence::providerInternal,
        .extraUsage = extraUsage(root.value(QLatin1String("extra_usage")).toObject()),
        .spend = spend(root.value(QLatin1String("spend")).toObject())};
}

}  // namespace ClaudeParser
