#include "SnapshotStore.h"

#include "LimitWarningDetector.h"
#include "UsageJson.h"
#include "UserDefaults.h"
#include "VantorError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

SnapshotStore::SnapshotStore(UserDefaults& defaults) : defaults_(defaults) {}

SnapshotMap SnapshotStore::load() const {
    const auto data = defaults_.data(snapshotKey);
    if (!data) {
        return {};
    }
    SnapshotMap snapshots;
    // Should a hand-edited list hold two records of one provider, the later one wins.
    for (ProviderUsageSnapshot& snapshot : UsageJson::decodeStoredSnapshots(*data).snapshots) {
        for (UsageWindowSnapshot& window : snapshot.windows) {
            if (const QString id = currentWindowID(window.id); id != window.id) {
                window.id = id;
                window.providerWindowID = QStringLiteral("codex");
            }
        }
        snapshots.insert(snapshot.providerID, std::move(snapshot));
    }
    return snapshots;
}

void SnapshotStore::save(const SnapshotMap& snapshots) {
    // What this release could not read of the stored list goes back as it was.
    const UsageJson::StoredSnapshots kept =
        UsageJson::decodeStoredSnapshots(defaults_.data(snapshotKey).value_or(QByteArray()));
    QByteArray data;
    try {
        data = UsageJson::encodeStoredSnapshots(snapshots.values(), kept);
    } catch (const VantorError&) {
        defaults_.remove(snapshotKey);
        return;
    }
    defaults_.setValue(snapshotKey, data);
}

QStringList SnapshotStore::bounded(QStringList entries, qsizetype limit,
                                   QString (*windowOf)(const QString&)) const {
    if (entries.size() <= limit) {
        return entries;
    }
    // The oldest entries of windows no longer held go first; a held window's entry goes only
    // when nothing else is left to drop, which the limits make impossible.
    QSet<QString> held;
    for (const ProviderUsageSnapshot& snapshot : load()) {
        for (const UsageWindowSnapshot& window : snapshot.windows) {
            held.insert(rawValue(snapshot.providerID) + u'.' + window.id);
        }
    }
    for (qsizetype i = 0; entries.size() > limit && i < entries.size();) {
        if (held.contains(windowOf(entries[i]))) {
            ++i;
        } else {
            entries.removeAt(i);
        }
    }
    if (entries.size() > limit) {
        entries = entries.mid(entries.size() - limit);
    }
    return entries;
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
    // "<provider>.<window id>.<reset seconds>.<fraction>"
    keys = bounded(std::move(keys), deliveredLimit,
                   [](const QString& entry) { return entry.section(u'.', 0, -3); });
    defaults_.setValue(deliveredKey, keys);
}

QStringList SnapshotStore::stoppedMarks() const {
    return defaults_.stringList(stoppedMarksKey).value_or(QStringList{});
}

void SnapshotStore::setStoppedMarks(QStringList marks) {
    if (marks.size() > maxStoppedMarks) {
        marks = marks.mid(marks.size() - maxStoppedMarks);
    }
    // Callers set only what changed.
    defaults_.setValue(stoppedMarksKey, marks);
}

QStringList SnapshotStore::warningMarks() const {
    return defaults_.stringList(warningMarksKey).value_or(QStringList{});
}

void SnapshotStore::setWarningMarks(QStringList marks) {
    // "[spent:]<provider>.<window id> <reset seconds>"
    marks = bounded(std::move(marks), warningMarkLimit, [](const QString& entry) {
        const QString name = entry.left(entry.lastIndexOf(u' '));
        return name.startsWith(LimitWarningDetector::spentPrefix)
                   ? name.mid(LimitWarningDetector::spentPrefix.size())
                   : name;
    });
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
