#pragma once

#include "AccountDiscovery.h"
#include "NotificationCenter.h"
#include "ProviderUsageSnapshot.h"

#include <QString>

class UserDefaults;

// Keeps the last snapshot of each provider and the keys of the notifications already
// delivered, in the user defaults. It caches nothing: every call reads or writes the defaults,
// so two stores over the same defaults see the same values.
class SnapshotStore {
public:
    static inline const QString snapshotKey = QStringLiteral("usageSnapshots");
    static inline const QString deliveredKey = QStringLiteral("deliveredEvents");
    // Every window all accounts may hold, twice over.
    static constexpr qsizetype heldWindowsLimit =
        2 * AccountDiscovery::maxPerProvider * ProviderUsageSnapshot::maxWindows;
    static constexpr qsizetype deliveredLimit = 2 * heldWindowsLimit;
    static inline const QString pendingKey = QStringLiteral("pendingEvents");
    // A five-hour and a weekly reset of every account, waiting together for a server.
    static constexpr qsizetype pendingLimit = 2 * 2 * AccountDiscovery::maxPerProvider;
    static inline const QString warningMarksKey = QStringLiteral("limitWarnings");
    static inline const QString stoppedMarksKey = QStringLiteral("stoppedNotices");
    // Providers told to have stopped, with the cause ("claude.sessionExpired"); one per account
    // and cause at most.
    static constexpr qsizetype maxStoppedMarks = 64;
    static constexpr qsizetype warningMarkLimit = 2 * heldWindowsLimit;
    // Room for every window all accounts of both assistants may hold, and more: the entries of
    // a held window are never the ones dropped, so none is warned about or announced twice.
    static_assert(deliveredLimit >= 2 * heldWindowsLimit &&
                  warningMarkLimit >= 2 * heldWindowsLimit);

    explicit SnapshotStore(UserDefaults& defaults);

    // The stored snapshots by provider, their window ids as they are now, at most
    // ProviderUsageSnapshot::maxWindows windows each; empty when nothing usable is stored.
    // Records and windows that do not read are left out.
    SnapshotMap load() const;
    // Replaces the stored snapshots, carrying over the stored records and windows this release
    // cannot read. When they cannot be encoded, the stored entry is removed.
    void save(const SnapshotMap& snapshots);

    bool wasDelivered(const QString& key) const;
    // The delivered keys, oldest first.
    QStringList deliveredKeys() const;

    // The id a window stored by an earlier release has now: the single Codex bucket was
    // "default" when the app-server sent no map of buckets, and is named "codex" like the
    // map's main bucket now. Any other id is unchanged.
    static QString currentWindowID(const QString& storedID);
    // Remembers the key, keeping deliveredLimit: the oldest of windows no longer held go first; a
    // known key changes nothing.
    void markDelivered(const QString& key);

    // Announcements the notification server did not take, oldest first; empty when what is
    // stored does not read.
    QList<NotificationCenter::Request> pendingAnnouncements() const;
    // Replaces them, keeping the newest 20.
    void setPendingAnnouncements(QList<NotificationCenter::Request> requests);

    // The windows already warned about as nearing their limit (see LimitWarningDetector).
    QStringList warningMarks() const;
    QStringList stoppedMarks() const;
    // Keeps the newest maxStoppedMarks.
    void setStoppedMarks(QStringList marks);
    // Keeps warningMarkLimit, dropping those of windows no longer held first.
    void setWarningMarks(QStringList marks);

private:
    // The entries down to limit: first the oldest whose window ("<provider>.<window id>", as
    // windowOf reads it from an entry) is not stored, then the oldest.
    QStringList bounded(QStringList entries, qsizetype limit,
                        QString (*windowOf)(const QString&)) const;

    UserDefaults& defaults_;
};
