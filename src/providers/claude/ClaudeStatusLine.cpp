#include "ClaudeStatusLine.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>

namespace {

std::optional<ClaudeStatusLine::Window> window(const QJsonValue& value) {
    const QJsonValue used = value[QLatin1String("used_percentage")];
    if (!used.isDouble() || !std::isfinite(used.toDouble())) {
        return std::nullopt;
    }
    ClaudeStatusLine::Window result{.usedPercent = used.toDouble(), .resetAt = std::nullopt};
    if (const QJsonValue resets = value[QLatin1String("resets_at")];
        resets.isDouble() && std::isfinite(resets.toDouble())) {
        result.resetAt = Instant::fromUnixSeconds(resets.toDouble());
    }
    return result;
}

QJsonObject endpointWindow(const ClaudeStatusLine::Window& window) {
    QJsonObject object{{QStringLiteral("utilization"), window.usedPercent}};
    if (window.resetAt) {
        object.insert(QStringLiteral("resets_at"),
                      window.resetAt->toDateTime().toString(Qt::ISODateWithMs));
    }
    return object;
}

}  // namespace

std::optional<ClaudeStatusLine> ClaudeStatusLine::parse(const QByteArray& input) {
    if (input.size() > maxInputBytes) {
        return std::nullopt;
    }
    const QJsonDocument document = QJsonDocument::fromJson(input);
    if (!document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    const QJsonValue limits = root[QLatin1String("rate_limits")];
    return ClaudeStatusLine{
        .model = root[QLatin1String("model")][QLatin1String("display_name")].toString(),
        .version = root[QLatin1String("version")].toString(),
        .fiveHour = window(limits[QLatin1String("five_hour")]),
        .weekly = window(limits[QLatin1String("seven_day")])};
}

QByteArray ClaudeStatusLine::usageBody() const {
    QJsonObject body;
    if (fiveHour) {
        body.insert(QStringLiteral("five_hour"), endpointWindow(*fiveHour));
    }
    if (weekly) {
        body.insert(QStringLiteral("seven_day"), endpointWindow(*weekly));
    }
    if (body.isEmpty()) {
        return {};
    }
    if (!version.isEmpty()) {
        body.insert(QStringLiteral("claude_code_version"), version);
    }
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}
