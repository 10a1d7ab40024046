#pragma once

#include "ProviderAvailability.h"
#include "ProviderUsageSnapshot.h"
#include "UsageWindowSnapshot.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

// The stored JSON form of the usage records. Keys are the field names; absent optionals are
// left out; instants are seconds since 2001-01-01T00:00:00Z. Encoding throws VantorError for a
// non-finite number; decoding throws VantorError (domain "DecodingError") for a missing
// required key, a value of the wrong type or an unknown raw value. JSON null reads as absent
// and unknown keys are ignored.
namespace UsageJson {

inline const QString decodingErrorDomain = QStringLiteral("DecodingError");
inline const QString encodingErrorDomain = QStringLiteral("EncodingError");

enum class DecodingErrorCode { typeMismatch, valueNotFound, keyNotFound, dataCorrupted };

QJsonObject encode(const UsageWindowSnapshot& window);
QJsonObject encode(const ProviderUsageSnapshot& snapshot);
QJsonObject encode(const ProviderAvailability& availability);

UsageWindowSnapshot decodeWindow(const QJsonValue& value);
ProviderUsageSnapshot decodeSnapshot(const QJsonValue& value);
ProviderAvailability decodeAvailability(const QJsonValue& value);

// A compact UTF-8 JSON array of snapshot records, in list order.
QByteArray encodeSnapshots(const QList<ProviderUsageSnapshot>& snapshots);
// All or nothing: one bad element fails the whole array.
QList<ProviderUsageSnapshot> decodeSnapshots(const QByteArray& json);

}  // namespace UsageJson
