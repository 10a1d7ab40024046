#include "ClaudeParser.h"

#include "VantorError.h"

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QTime>

#include <algorithm>

namespace {

const QString claudePrefix = QStringLiteral("claude.");
const QString limitPrefix = QStringLiteral("claude.limit.");

struct NamedWindow {
    QLatin1String member;
    UsageWindowKind kind;
};

// Tried in this order when "limits" gives no window.
const NamedWindow namedWindows[] = {
    {QLatin1String("five_hour"), UsageWindowKind::fiveHour},
    {QLatin1String("seven_day"), UsageWindowKind::weekly},
};

QString labelFor(UsageWindowKind kind) {
    switch (kind) {
        case UsageWindowKind::fiveHour:
            return QStringLiteral("5 hour");
        case UsageWindowKind::weekly:
            return QStringLiteral("Weekly");
        case UsageWindowKind::modelWeekly:
        case UsageWindowKind::other:
            break;
    }
    return QStringLiteral("Additional limit");
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

std::optional<UsageWindowSnapshot> parseWindow(const QJsonObject& object, const QString& id,
                                               std::optional<UsageWindowKind> forcedKind,
                                               Instant now) {
    const QJsonValue utilization = object.value(QLatin1String("utilization"));
    if (!utilization.isDouble()) {
        return std::nullopt;
    }
    const double used = utilization.toDouble();

    // A present "resets_at" decides, even when null: "resetsAt" is only its stand-in.
    std::optional<Instant> resetAt;
    const auto snake = object.constFind(QLatin1String("resets_at"));
    if (snake != object.constEnd()) {
        resetAt = resetTime(*snake);
    } else {
        resetAt = resetTime(object.value(QLatin1String("resetsAt")));
    }

    UsageWindowKind kind = UsageWindowKind::other;
    if (forcedKind) {
        kind = *forcedKind;
    } else {
        const QJsonValue duration = object.value(QLatin1String("window_duration_mins"));
        if (duration.isDouble() && duration.toDouble() == 300.0) {
            kind = UsageWindowKind::fiveHour;
        }
    }

    return UsageWindowSnapshot{.id = id,
                               .providerID = ProviderID::claude,
                               .providerWindowID = std::nullopt,
                               .kind = kind,
                               .label = labelFor(kind),
                               .usedPercent = used,
                               .resetAt = resetAt,
                               .observedAt = now,
                               .state = stateFor(used),
                               .isActive = std::nullopt,
                               .serverSeverity = std::nullopt};
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

    QList<UsageWindowSnapshot> windows;
    const QJsonValue limits = root.value(QLatin1String("limits"));
    if (limits.isArray()) {
        const QJsonArray list = limits.toArray();
        const bool allObjects =
            std::all_of(list.begin(), list.end(), [](const QJsonValue& v) { return v.isObject(); });
        if (allObjects) {
            for (qsizetype i = 0; i < list.size(); ++i) {
                if (auto window =
                        parseWindow(list.at(i).toObject(), limitPrefix + QString::number(i),
                                    std::nullopt, now)) {
                    windows.append(std::move(*window));
                }
            }
        }
    }
    if (windows.isEmpty()) {
        for (const NamedWindow& named : namedWindows) {
            const QJsonValue member = root.value(named.member);
            if (!member.isObject()) {
                continue;
            }
            if (auto window =
                    parseWindow(member.toObject(), claudePrefix + named.member, named.kind, now)) {
                windows.append(std::move(*window));
            }
        }
    }

    const bool empty = windows.isEmpty();
    return ProviderUsageSnapshot{.providerID = ProviderID::claude,
                                 .windows = std::move(windows),
                                 .ordinaryUsageAllowed = std::nullopt,
                                 .globalLimitReason = std::nullopt,
                                 .observedAt = now,
                                 .sourceConfidence = empty
                                                         ? UsageSourceConfidence::unavailable
                                                         : UsageSourceConfidence::providerInternal};
}

}  // namespace ClaudeParser
