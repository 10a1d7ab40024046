#include "SnapshotStore.h"

#include "UsageJson.h"
#include "UserDefaults.h"
#include "VantorError.h"

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
