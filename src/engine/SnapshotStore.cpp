#include "SnapshotStore.h"

#include "UsageJson.h"
#include "UserDefaults.h"
#include "VantorError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

SnapshotStore::SnapshotStore(UserDefaults& defaults) : defaults_(defaults) {}

SnapshotMap SnapshotStore::load() const {
    const auto data = defaults_.data(snapshotKey);
    if (!data) {
        return {};
    }
    SnapshotMap snapshots;
    try {
        // Should a hand-edited list hold two records of one provider, the later one wins.
        for (ProviderUsageSnapshot& snapshot : UsageJson::decodeSnapshots(*data)) {
            for (UsageWindowSnapshot& window : snapshot.windows) {
                if (const QString id = currentWindowID(window.id); id != window.id) {
                    window.id = id;
                    window.providerWindowID = QStringLiteral("codex");
                }
            }
            snapshots.insert(snapshot.providerID, std::move(snapshot));
        }
    } catch (const VantorError&) {
        return {};
    }
    return snapshots;
}

void SnapshotStore::save(const SnapshotMap& snapshots) {
    QByteArray data;
    try {
        data = UsageJson::encodeSnapshots(snapshots.values());
    } catch (const VantorError&) {
        defaults_.remove(snapshotKey);
        return;
    }
    defaults_.setValue(snapshotKey, data);
}

QString SnapshotStore::currentWindowID(const QString& storedID) {
    const QLatin1String legacy("codex.default.");
    return storedID.startsWith(legacy)
               ? QStringLiteral("codex.codex.") + storedID.mid(legacy.size())
               : storedID;
}

QStringList SnapshotStore::deliveredKeys() const {
    return defaults_.stringList(deliveredKey).value_or(QStringList{});
}

bool SnapshotStore::wasDelivered(const QString& key) const {
    return deliveredKeys().contains(key);
}

void SnapshotStore::markDelivered(const QString& key) {
    QStringList keys = deliveredKeys();
    if (keys.contains(key)) {
        return;
    }
    keys.append(key);
    if (keys.size() > deliveredLimit) {
        keys = keys.mid(keys.size() - deliveredLimit);
    }
    defaults_.setValue(deliveredKey, keys);
}

QStringList SnapshotStore::warningMarks() const {
    return defaults_.stringList(warningMarksKey).value_or(QStringList{});
}

void SnapshotStore::setWarningMarks(const QStringList& marks) {
    if (marks != warningMarks()) {
        defaults_.setValue(warningMarksKey, marks);
    }
}

QList<NotificationCenter::Request> SnapshotStore::pendingAnnouncements() const {
    QList<NotificationCenter::Request> requests;
    const QJsonArray stored =
        QJsonDocument::fromJson(defaults_.data(pendingKey).value_or("")).array();
    for (const QJsonValue entry : stored) {
        const QJsonObject object = entry.toObject();
        requests.append({.identifier = object[u"identifier"].toString(),
                         .title = object[u"title"].toString(),
                         .body = object[u"body"].toString()});
        if (requests.last().identifier.isEmpty()) {
            requests.removeLast();
        }
    }
    return requests;
}

void SnapshotStore::setPendingAnnouncements(QList<NotificationCenter::Request> requests) {
    if (requests.isEmpty()) {
        defaults_.remove(pendingKey);
        return;
    }
    QJsonArray stored;
    for (const NotificationCenter::Request& request :
         requests.mid(std::max<qsizetype>(0, requests.size() - pendingLimit))) {
        stored.append(QJsonObject{{QStringLiteral("identifier"), request.identifier},
                                  {QStringLiteral("title"), request.title},
                                  {QStringLiteral("body"), request.body}});
    }
    defaults_.setValue(pendingKey, QJsonDocument(stored).toJson(QJsonDocument::Compact));
}
