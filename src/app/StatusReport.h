#pragma once

#include "AppState.h"
#include "Instant.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QLocale>
#include <QString>

#include <optional>

class UserDefaults;

// What `vantor status` prints: the snapshots and availability of the running Vantor, or the
// stored snapshots alone when none runs, as text, as JSON or as a Waybar module.
struct StatusReport {
    SnapshotMap snapshots;
    AvailabilityMap availability;

    // From the running instance over the bus; none when no instance answers. Values that do
    // not decode count as absent.
    static std::optional<StatusReport> fromRunning(QDBusConnection bus);
    // The snapshots as stored; nothing is written.
    static StatusReport fromStored(UserDefaults& defaults);

    // One line per provider, Codex first: the headline window with the share left and its
    // reset time, or the availability text when there is no window to show; no control
    // characters.
    QString text(Instant now, const QLocale& locale) const;
    // {"snapshots": [...], "availability": {...}} in the stored JSON form, absent entries
    // omitted.
    QByteArray json() const;
    // Waybar's custom-module JSON: text and tooltip as markup, class (the tray's visual
    // state) and, when any window reports its use, percentage (the smallest share left).
    QByteArray waybar(Instant now, const QLocale& locale) const;
};
