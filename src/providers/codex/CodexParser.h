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

// The id of the bucket that "rateLimits" describes when it names none.
inline const QString mainBucketID = QStringLiteral("codex");

ProviderUsageSnapshot parse(const QJsonObject& result, Instant now);

// One window of a bucket ("primary" or "secondary"), or nothing when value is not an object
// with a numeric "usedPercent". The kind follows the window's length, not its slot; a bucket
// name, when given, leads the label ("Spark · 5 hour"). Older releases, whose buckets have no
// "limitId", may send the minutes left instead of the length.
std::optional<UsageWindowSnapshot> window(const QJsonValue& value, const QString& bucketID,
                                          const QString& suffix, Instant now,
                                          const QString& bucketName = {},
                                          bool mayCountMinutesLeft = false);

// A JSON number, or a boolean as 1 or 0; anything else, including numeric text, is no value.
std::optional<double> number(const QJsonValue& value);

}  // namespace CodexParser
