#pragma once

#include "Instant.h"
#include "ProviderUsageSnapshot.h"
#include "UsageWindowSnapshot.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

// Turns the result of "account/rateLimits/read" into a Codex snapshot. Any object, even an
// empty one, yields a snapshot; members of an unexpected type count as absent.
namespace CodexParser {

ProviderUsageSnapshot parse(const QJsonObject& result, Instant now);

// One window of a bucket ("primary" or "secondary"), or nothing when value is not an object
// with a numeric "usedPercent".
std::optional<UsageWindowSnapshot> window(const QJsonValue& value, const QString& bucketID,
                                          const QString& suffix, Instant now);

// A JSON number, or a boolean as 1 or 0; anything else, including numeric text, is no value.
std::optional<double> number(const QJsonValue& value);

}  // namespace CodexParser
