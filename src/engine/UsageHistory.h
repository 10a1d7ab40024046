#pragma once

#include "ProviderUsageSnapshot.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The readings of each window in its current period, kept in a file so that a projection
// survives a restart: one reading per poll, and a window whose reset time moves starts
// afresh, as its old readings belong to a period that has ended. A file that does not read
// counts as empty; the first record sets it aside (BadFileKeeper) before writing, so a reader
// that never records leaves every file as it is. Nothing here ever fails the caller.
class UsageHistory {
public:
    struct Reading {
        Instant at;
        double usedPercent = 0.0;
    };
    // Where the window's use is heading: it lasts until the reset, or it runs out first.
    struct Projection {
        std::optional<Instant> runsOutAt;  // none: lasts until the reset
    };

    // Per window; older readings are dropped first.
    static constexpr qsizetype readingLimit = 600;
    // A projection needs this many readings spread over at least this long.
    static constexpr qsizetype projectionReadings = 3;
    static constexpr double projectionSpanSeconds = 600.0;

    explicit UsageHistory(QString path = standardPath());
    // $XDG_STATE_HOME/vantor/history.json, by default under ~/.local/state.
    static QString standardPath();

    // Adds a reading of every window of the snapshot and forgets the provider's windows it no
    // longer has; written at once.
    void record(const ProviderUsageSnapshot& snapshot);
    QList<Reading> readings(ProviderID provider, const QString& windowID) const;

    // From the slope of the readings: none with too few of them, for a spent window, or when the
    // use does not rise and no reset time is known.
    static std::optional<Projection> project(const QList<Reading>& readings,
                                             std::optional<Instant> resetAt);

private:
    struct Window {
        std::optional<Instant> resetAt;
        QList<Reading> readings;
    };
    void load() const;
    void save() const;

    QString path_;
    mutable bool loaded_ = false;
    // The file on disk did not read and is still in place.
    mutable bool unreadable_ = false;
    mutable QHash<QString, Window> windows_;
};
