#include "UsageJson.h"

#include "VantorError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace UsageJson {
namespace {

// Where a value sits in the document, as a chain of frames on the stack; it becomes text only
// when reading fails, so a successful read pays nothing for it.
struct CodingPath {
    const CodingPath* parent = nullptr;
    QString key;
    qsizetype index = -1;

    QString toString() const {
        QString text = parent ? parent->toString() : QString();
        if (index >= 0) {
            text += QStringLiteral("[%1]").arg(index);
        } else if (!key.isEmpty()) {
            text += (text.isEmpty() ? QString() : QStringLiteral(".")) + key;
        }
        return text;
    }
};

[[noreturn]] void failDecoding(DecodingErrorCode code, const QString& description,
                               const CodingPath& path) {
    const QString where = path.toString();
    throw VantorError(decodingErrorDomain, static_cast<int>(code), description,
                      where.isEmpty() ? QStringLiteral("<root>") : where);
}

QString jsonTypeName(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Null:
            return QStringLiteral("null");
        case QJsonValue::Bool:
            return QStringLiteral("a boolean");
        case QJsonValue::Double:
            return QStringLiteral("a number");
        case QJsonValue::String:
            return QStringLiteral("a string");
        case QJsonValue::Array:
            return QStringLiteral("an array");
        case QJsonValue::Object:
            return QStringLiteral("an object");
        case QJsonValue::Undefined:
            break;
    }
    return QStringLiteral("nothing");
}

[[noreturn]] void failType(const char* expected, const QJsonValue& found, const CodingPath& path) {
    failDecoding(DecodingErrorCode::typeMismatch,
                 QStringLiteral("Expected %1 but found %2 instead.")
                     .arg(QLatin1String(expected), jsonTypeName(found)),
                 path);
}

// Reads one JSON object member by member, keeping the coding path for error messages.
class ObjectReader {
public:
    ObjectReader(const QJsonValue& value, const CodingPath& path) : path_(path) {
        if (!value.isObject()) {
            failType("an object", value, path_);
        }
        object_ = value.toObject();
    }

    const QJsonObject& object() const { return object_; }
    const CodingPath& path() const { return path_; }

    QJsonValue required(const QString& key) const {
        const auto it = object_.constFind(key);
        if (it == object_.constEnd()) {
            failDecoding(DecodingErrorCode::keyNotFound,
                         QStringLiteral("No value associated with key \"%1\".").arg(key), path_);
        }
        if (it->isNull()) {
            failDecoding(DecodingErrorCode::valueNotFound,
                         QStringLiteral("Expected a value for key \"%1\" but found null.").arg(key),
                         path_);
        }
        return *it;
    }

    // Missing and null both mean absent.
    std::optional<QJsonValue> optional(const QString& key) const {
        const QJsonValue value = object_.value(key);
        if (value.isUndefined() || value.isNull()) {
            return std::nullopt;
        }
        return value;
    }

    QString string(const QString& key) const { return asString(required(key), key); }
    double number(const QString& key) const { return asNumber(required(key), key); }
    Instant instant(const QString& key) const { return Instant::fromReferenceSeconds(number(key)); }

    std::optional<QString> optionalString(const QString& key) const {
        const auto value = optional(key);
        return value ? std::optional(asString(*value, key)) : std::nullopt;
    }
    std::optional<double> optionalNumber(const QString& key) const {
        const auto value = optional(key);
        return value ? std::optional(asNumber(*value, key)) : std::nullopt;
    }
    // A detail: a value of another type reads as absent rather than failing the record.
    std::optional<double> lenientNumber(const QString& key) const {
        const auto value = optional(key);
        return value && value->isDouble() ? std::optional(value->toDouble()) : std::nullopt;
    }
    std::optional<Instant> optionalInstant(const QString& key) const {
        const auto seconds = optionalNumber(key);
        return seconds ? std::optional(Instant::fromReferenceSeconds(*seconds)) : std::nullopt;
    }
    std::optional<bool> optionalBool(const QString& key) const {
        const auto value = optional(key);
        if (!value) {
            return std::nullopt;
        }
        if (!value->isBool()) {
            failType("a boolean", *value, CodingPath{&path_, key});
        }
        return value->toBool();
    }

    template <typename Enum>
    Enum enumeration(const QString& key) const {
        const QString text = string(key);
        const auto parsed = fromRawValue<Enum>(text);
        if (!parsed) {
            failDecoding(
                DecodingErrorCode::dataCorrupted,
                QStringLiteral("Cannot initialize from invalid raw value \"%1\".").arg(text),
                CodingPath{&path_, key});
        }
        return *parsed;
    }

private:
    QString asString(const QJsonValue& value, const QString& key) const {
        if (!value.isString()) {
            failType("a string", value, CodingPath{&path_, key});
        }
        return value.toString();
    }
    double asNumber(const QJsonValue& value, const QString& key) const {
        if (!value.isDouble()) {
            failType("a number", value, CodingPath{&path_, key});
        }
        return value.toDouble();
    }

    QJsonObject object_;
    const CodingPath& path_;
};

// Qt would silently write null for these; the stored form must never lose a value that way.
// A finite double is written in the shortest text that reads back as the same double.
double finite(double value, const char* field) {
    if (!std::isfinite(value)) {
        throw VantorError(encodingErrorDomain, 0,
                          QStringLiteral("Unable to encode the non-finite number %1 of \"%2\".")
                              .arg(value)
                              .arg(QLatin1String(field)));
    }
    return value;
}

// Money and blocks are details: a stored value that does not read is dropped, not the snapshot.
template <typename Read>
auto detail(const ObjectReader& snapshot, const QString& key, Read read)
    -> std::optional<decltype(read(std::declval<const ObjectReader&>()))> {
    try {
        const auto value = snapshot.optional(key);
        if (!value) {
            return std::nullopt;
        }
        const CodingPath path{&snapshot.path(), key};
        return read(ObjectReader(*value, path));
    } catch (const VantorError&) {
        return std::nullopt;
    }
}

ExtraUsage readAmount(const ObjectReader& reader) {
    return ExtraUsage{
        .usedMinorUnits = reader.number(QStringLiteral("usedMinorUnits")),
        .limitMinorUnits = reader.optionalNumber(QStringLiteral("limitMinorUnits")),
        .decimalPlaces =
            static_cast<int>(std::clamp(reader.number(QStringLiteral("decimalPlaces")), 0.0, 6.0)),
        .currency = reader.string(QStringLiteral("currency")),
    };
}

IndividualLimit readIndividualLimit(const ObjectReader& reader) {
    return IndividualLimit{
        .used = reader.number(QStringLiteral("used")),
        .limit = reader.optionalNumber(QStringLiteral("limit")),
        .remainingPercent = reader.optionalNumber(QStringLiteral("remainingPercent")),
        .resetsAt = reader.optionalInstant(QStringLiteral("resetsAt")),
    };
}

// Each block on its own: one that does not read is left out.
QList<UsageBlock> decodeBlocks(const ObjectReader& snapshot) {
    const QString key = QStringLiteral("blocks");
    const QJsonArray stored = snapshot.object().value(key).toArray();
    QList<UsageBlock> blocks;
    const CodingPath path{&snapshot.path(), key};
    for (qsizetype i = 0; i < stored.size() && blocks.size() < ProviderUsageSnapshot::maxBlocks;
         ++i) {
        try {
            const ObjectReader reader(stored.at(i), CodingPath{&path, {}, i});
            blocks.append(UsageBlock{.bucket = reader.string(QStringLiteral("bucket")),
                                     .reason = reader.string(QStringLiteral("reason")),
                                     .until = reader.optionalInstant(QStringLiteral("until")),
                                     .since = reader.optionalInstant(QStringLiteral("since"))});
        } catch (const VantorError&) {
        }
    }
    return blocks;
}

UsageWindowSnapshot decodeWindowAt(const QJsonValue& value, const CodingPath& path) {
    const ObjectReader reader(value, path);
    return UsageWindowSnapshot{
        .id = reader.string(QStringLiteral("id")),
        .providerID = reader.enumeration<ProviderID>(QStringLiteral("providerID")),
        .providerWindowID = reader.optionalString(QStringLiteral("providerWindowID")),
        .kind = reader.enumeration<UsageWindowKind>(QStringLiteral("kind")),
        .label = reader.string(QStringLiteral("label")),
        .usedPercent = reader.optionalNumber(QStringLiteral("usedPercent")),
        .resetAt = reader.optionalInstant(QStringLiteral("resetAt")),
        .observedAt = reader.instant(QStringLiteral("observedAt")),
        .state = reader.enumeration<UsageWindowState>(QStringLiteral("state")),
        .isActive = reader.optionalBool(QStringLiteral("isActive")),
        .serverSeverity = reader.optionalString(QStringLiteral("serverSeverity")),
        .usedDollars = reader.lenientNumber(QStringLiteral("usedDollars")),
        .limitDollars = reader.lenientNumber(QStringLiteral("limitDollars")),
    };
}

// A count written by hand may be anything: keep a sensible one, drop the rest.
std::optional<int> resetCount(std::optional<double> stored) {
    if (!stored || !(*stored >= 1.0 && *stored <= 1'000'000.0)) {
        return std::nullopt;
    }
    return static_cast<int>(*stored);
}

// With unread given, a window that does not read is put there instead of failing the record.
ProviderUsageSnapshot decodeSnapshotAt(const QJsonValue& value, const CodingPath& path,
                                       QJsonArray* unread = nullptr) {
    const ObjectReader reader(value, path);
    const QString windowsKey = QStringLiteral("windows");
    const QJsonValue windowsValue = reader.required(windowsKey);
    const CodingPath windowsPath{&path, windowsKey};
    if (!windowsValue.isArray()) {
        failType("an array", windowsValue, windowsPath);
    }
    const QJsonArray windowArray = windowsValue.toArray();
    QList<UsageWindowSnapshot> windows;
    windows.reserve(windowArray.size());
    for (qsizetype i = 0; i < windowArray.size(); ++i) {
        try {
            windows.append(decodeWindowAt(windowArray.at(i), CodingPath{&windowsPath, {}, i}));
        } catch (const VantorError&) {
            if (!unread) {
                throw;
            }
            unread->append(windowArray.at(i));
        }
    }
    return ProviderUsageSnapshot{
        .providerID = reader.enumeration<ProviderID>(QStringLiteral("providerID")),
        .windows = std::move(windows),
        .ordinaryUsageAllowed = reader.optionalBool(QStringLiteral("ordinaryUsageAllowed")),
        .globalLimitReason = reader.optionalString(QStringLiteral("globalLimitReason")),
        .observedAt = reader.instant(QStringLiteral("observedAt")),
        .sourceConfidence =
            reader.enumeration<UsageSourceConfidence>(QStringLiteral("sourceConfidence")),
        .extraUsage = detail(reader, QStringLiteral("extraUsage"), readAmount),
        .plan = reader.optionalString(QStringLiteral("plan")),
        .creditBalance = reader.optionalNumber(QStringLiteral("creditBalance")),
        .unlimitedCredits = reader.optionalBool(QStringLiteral("unlimitedCredits")),
        .resetCredits = resetCount(reader.optionalNumber(QStringLiteral("resetCredits"))),
        .spend = detail(reader, QStringLiteral("spend"), readAmount),
        .individualLimit = detail(reader, QStringLiteral("individualLimit"), readIndividualLimit),
        .blocks = decodeBlocks(reader),
    };
}

}  // namespace

namespace {

QJsonObject encodeAmount(const ExtraUsage& amount) {
    QJsonObject object{
        {QStringLiteral("usedMinorUnits"), finite(amount.usedMinorUnits, "usedMinorUnits")},
        {QStringLiteral("decimalPlaces"), amount.decimalPlaces},
        {QStringLiteral("currency"), amount.currency},
    };
    if (amount.limitMinorUnits) {
        object.insert(QStringLiteral("limitMinorUnits"),
                      finite(*amount.limitMinorUnits, "limitMinorUnits"));
    }
    return object;
}

}  // namespace

QJsonObject encode(const UsageWindowSnapshot& window) {
    QJsonObject object{
        {QStringLiteral("id"), window.id},
        {QStringLiteral("providerID"), rawValue(window.providerID)},
        {QStringLiteral("kind"), rawValue(window.kind)},
        {QStringLiteral("label"), window.label},
        {QStringLiteral("observedAt"),
         finite(window.observedAt.secondsSinceReferenceDate(), "observedAt")},
        {QStringLiteral("state"), rawValue(window.state)},
    };
    if (window.providerWindowID) {
        object.insert(QStringLiteral("providerWindowID"), *window.providerWindowID);
    }
    if (window.usedPercent) {
        object.insert(QStringLiteral("usedPercent"), finite(*window.usedPercent, "usedPercent"));
    }
    if (window.resetAt) {
        object.insert(QStringLiteral("resetAt"),
                      finite(window.resetAt->secondsSinceReferenceDate(), "resetAt"));
    }
    if (window.isActive) {
        object.insert(QStringLiteral("isActive"), *window.isActive);
    }
    if (window.serverSeverity) {
        object.insert(QStringLiteral("serverSeverity"), *window.serverSeverity);
    }
    if (window.usedDollars) {
        object.insert(QStringLiteral("usedDollars"), finite(*window.usedDollars, "usedDollars"));
    }
    if (window.limitDollars) {
        object.insert(QStringLiteral("limitDollars"), finite(*window.limitDollars, "limitDollars"));
    }
    return object;
}

QJsonObject encode(const ProviderUsageSnapshot& snapshot) {
    QJsonArray windows;
    for (const UsageWindowSnapshot& window : snapshot.windows) {
        windows.append(encode(window));
    }
    QJsonObject object{
        {QStringLiteral("providerID"), rawValue(snapshot.providerID)},
        {QStringLiteral("windows"), windows},
        {QStringLiteral("observedAt"),
         finite(snapshot.observedAt.secondsSinceReferenceDate(), "observedAt")},
        {QStringLiteral("sourceConfidence"), rawValue(snapshot.sourceConfidence)},
    };
    if (snapshot.ordinaryUsageAllowed) {
        object.insert(QStringLiteral("ordinaryUsageAllowed"), *snapshot.ordinaryUsageAllowed);
    }
    if (snapshot.globalLimitReason) {
        object.insert(QStringLiteral("globalLimitReason"), *snapshot.globalLimitReason);
    }
    if (snapshot.extraUsage) {
        object.insert(QStringLiteral("extraUsage"), encodeAmount(*snapshot.extraUsage));
    }
    if (snapshot.spend) {
        object.insert(QStringLiteral("spend"), encodeAmount(*snapshot.spend));
    }
    if (const auto& limit = snapshot.individualLimit) {
        QJsonObject limitObject{{QStringLiteral("used"), finite(limit->used, "used")}};
        if (limit->limit) {
            limitObject.insert(QStringLiteral("limit"), finite(*limit->limit, "limit"));
        }
        if (limit->remainingPercent) {
            limitObject.insert(QStringLiteral("remainingPercent"),
                               finite(*limit->remainingPercent, "remainingPercent"));
        }
        if (limit->resetsAt) {
            limitObject.insert(QStringLiteral("resetsAt"),
                               finite(limit->resetsAt->secondsSinceReferenceDate(), "resetsAt"));
        }
        object.insert(QStringLiteral("individualLimit"), limitObject);
    }
    if (!snapshot.blocks.isEmpty()) {
        QJsonArray blocks;
        for (const UsageBlock& block : snapshot.blocks) {
            QJsonObject blockObject{{QStringLiteral("bucket"), block.bucket},
                                    {QStringLiteral("reason"), block.reason}};
            if (block.until) {
                blockObject.insert(QStringLiteral("until"),
                                   finite(block.until->secondsSinceReferenceDate(), "until"));
            }
            if (block.since) {
                blockObject.insert(QStringLiteral("since"),
                                   finite(block.since->secondsSinceReferenceDate(), "since"));
            }
            blocks.append(blockObject);
        }
        object.insert(QStringLiteral("blocks"), blocks);
    }
    if (snapshot.plan) {
        object.insert(QStringLiteral("plan"), *snapshot.plan);
    }
    if (snapshot.creditBalance) {
        object.insert(QStringLiteral("creditBalance"),
                      finite(*snapshot.creditBalance, "creditBalance"));
    }
    if (snapshot.unlimitedCredits) {
        object.insert(QStringLiteral("unlimitedCredits"), *snapshot.unlimitedCredits);
    }
    if (snapshot.resetCredits) {
        object.insert(QStringLiteral("resetCredits"), *snapshot.resetCredits);
    }
    return object;
}

QJsonObject encode(const ProviderAvailability& availability) {
    QJsonObject payload;
    if (availability.kind() == ProviderAvailability::Kind::temporarilyUnavailable ||
        !availability.message().isEmpty()) {
        payload.insert(QStringLiteral("_0"), availability.message());
    }
    // Readers that know the cause word it themselves; others show the message.
    if (availability.cause() != ProviderAvailability::Cause::none) {
        payload.insert(QStringLiteral("cause"), rawValue(availability.cause()));
    }
    if (const auto& until = availability.until()) {
        payload.insert(QStringLiteral("until"),
                       finite(until->secondsSinceReferenceDate(), "until"));
    }
    return QJsonObject{{rawValue(availability.kind()), payload}};
}

UsageWindowSnapshot decodeWindow(const QJsonValue& value) {
    return decodeWindowAt(value, CodingPath{});
}

ProviderUsageSnapshot decodeSnapshot(const QJsonValue& value) {
    return decodeSnapshotAt(value, CodingPath{});
}

ProviderAvailability decodeAvailability(const QJsonValue& value) {
    const CodingPath root;
    const ObjectReader reader(value, root);
    std::optional<ProviderAvailability::Kind> found;
    int caseKeys = 0;
    for (auto it = reader.object().constBegin(); it != reader.object().constEnd(); ++it) {
        if (const auto kind = fromRawValue<ProviderAvailability::Kind>(it.key())) {
            found = kind;
            ++caseKeys;
        }
    }
    if (caseKeys != 1) {
        failDecoding(DecodingErrorCode::typeMismatch,
                     QStringLiteral("Invalid number of keys found, expected one."), {});
    }
    const QString key = rawValue(*found);
    const QJsonValue payload = reader.object().value(key);
    const CodingPath payloadPath{&root, key};
    const ObjectReader payloadReader(payload, payloadPath);
    // A cause or time that does not read is none: the message still says it.
    const auto cause = fromRawValue<ProviderAvailability::Cause>(
        payload.toObject().value(QStringLiteral("cause")).toString());
    const QJsonValue untilValue = payload.toObject().value(QStringLiteral("until"));
    const std::optional<Instant> until =
        untilValue.isDouble() ? std::optional(Instant::fromReferenceSeconds(untilValue.toDouble()))
                              : std::nullopt;
    const auto withCause = [&](const ProviderAvailability& availability) {
        return availability.withCause(cause.value_or(ProviderAvailability::Cause::none), until);
    };
    switch (*found) {
        case ProviderAvailability::Kind::available:
            return ProviderAvailability::available();
        case ProviderAvailability::Kind::notInstalled:
            return ProviderAvailability::notInstalled();
        case ProviderAvailability::Kind::notAuthenticated:
            // An expired session carries its words; earlier releases wrote none.
            return withCause(ProviderAvailability::notAuthenticated(
                payloadReader.optionalString(QStringLiteral("_0")).value_or(QString())));
        case ProviderAvailability::Kind::requiresProPlan:
            return ProviderAvailability::requiresProPlan();
        case ProviderAvailability::Kind::unsupported:
            return ProviderAvailability::unsupported();
        case ProviderAvailability::Kind::temporarilyUnavailable:
            break;
    }
    return withCause(
        ProviderAvailability::temporarilyUnavailable(payloadReader.string(QStringLiteral("_0"))));
}

QByteArray encodeSnapshots(const QList<ProviderUsageSnapshot>& snapshots) {
    QJsonArray array;
    for (const ProviderUsageSnapshot& snapshot : snapshots) {
        array.append(encode(snapshot));
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QList<ProviderUsageSnapshot> decodeSnapshots(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        failDecoding(DecodingErrorCode::dataCorrupted,
                     QStringLiteral("The given data was not valid JSON: %1 at offset %2.")
                         .arg(error.errorString())
                         .arg(error.offset),
                     {});
    }
    if (!document.isArray()) {
        failDecoding(DecodingErrorCode::typeMismatch,
                     QStringLiteral("Expected an array but found an object instead."), {});
    }
    const QJsonArray array = document.array();
    QList<ProviderUsageSnapshot> snapshots;
    snapshots.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        snapshots.append(decodeSnapshotAt(array.at(i), CodingPath{nullptr, {}, i}));
    }
    return snapshots;
}

StoredSnapshots decodeStoredSnapshots(const QByteArray& json) {
    StoredSnapshots stored;
    const QJsonArray array = QJsonDocument::fromJson(json).array();
    for (qsizetype i = 0; i < array.size(); ++i) {
        QJsonArray unread;
        try {
            ProviderUsageSnapshot snapshot =
                decodeSnapshotAt(array.at(i), CodingPath{nullptr, {}, i}, &unread);
            snapshot.boundWindows();
            // Like the records, the later of two of one provider wins.
            stored.unreadWindows.insert(snapshot.providerID, unread);
            stored.snapshots.append(std::move(snapshot));
        } catch (const VantorError&) {
            if (stored.unreadRecords.size() < maxUnreadRecords) {
                stored.unreadRecords.append(array.at(i));
            }
        }
    }
    return stored;
}

QByteArray encodeStoredSnapshots(const QList<ProviderUsageSnapshot>& snapshots,
                                 const StoredSnapshots& kept) {
    QSet<QString> providers;
    QJsonArray array;
    for (const ProviderUsageSnapshot& snapshot : snapshots) {
        QJsonObject record = encode(snapshot);
        QJsonArray windows = record.value(QLatin1String("windows")).toArray();
        QSet<QString> ids;
        for (const UsageWindowSnapshot& window : snapshot.windows) {
            ids.insert(window.id);
        }
        for (const QJsonValue window : kept.unreadWindows.value(snapshot.providerID)) {
            const QString id = window[QLatin1String("id")].toString();
            if (windows.size() < ProviderUsageSnapshot::maxWindows && !ids.contains(id)) {
                windows.append(window);
                ids.insert(id);
            }
        }
        record.insert(QLatin1String("windows"), windows);
        array.append(record);
        providers.insert(rawValue(snapshot.providerID));
    }
    // A record of a provider written anew is superseded; any other is carried over.
    for (const QJsonValue record : kept.unreadRecords) {
        if (!providers.contains(record[QLatin1String("providerID")].toString())) {
            array.append(record);
        }
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

}  // namespace UsageJson
