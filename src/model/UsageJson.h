#pragma once

#include "ProviderAvailability.h"
#include "ProviderUsageSnapshot.h"
#include "UsageWindowSnapshot.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QMap>
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

// A stored list read record by record and window by window, so that one this release cannot
// read (a provider or window kind a newer release added) costs only itself. What does not read
// is kept as it stands, for the next write to carry over unchanged.
struct StoredSnapshots {
    // The records that read, in stored order, each with at most maxWindows windows.
    QList<ProviderUsageSnapshot> snapshots;
    // The windows of those records that did not read, by provider.
    QMap<ProviderID, QJsonArray> unreadWindows;
    // The records that did not read, at most maxUnreadRecords of them.
    QJsonArray unreadRecords;
};
inline constexpr qsizetype maxUnreadRecords = 16;
// Never throws: text that is not a JSON array reads as nothing.
StoredSnapshots decodeStoredSnapshots(const QByteArray& json);
// The snapshots, followed, for each, by the unread windows kept of its provider whose ids it
// does not hold (up to maxWindows windows a record), then the unread records of providers it
// does not hold. Throws like encodeSnapshots.
QByteArray encodeStoredSnapshots(const QList<ProviderUsageSnapshot>& snapshots,
                                 const StoredSnapshots& kept);

}  // namespace UsageJson
