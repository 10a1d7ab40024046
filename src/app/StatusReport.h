#pragma once

#include "AppState.h"
#include "Instant.h"
#include "UsageAccount.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

class UserDefaults;

// What `vantor status` prints: the snapshots and availability of the running Vantor, or the
// stored snapshots alone when none runs, as text, as JSON or as a Waybar module.
struct StatusReport {
    SnapshotMap snapshots;
    AvailabilityMap availability;
    // Every account known, watched or not. An assistant's default account counts as watched
    // and unnamed where the list lacks it (a running copy of an older release, nothing stored
    // yet); an account the list lacks otherwise is not shown, whatever it reports.
    QList<UsageAccount> accounts;
    // The share used from which a window shows as nearing its limit (the user's threshold).
    double nearingPercent = 90.0;

    // Both keep the snapshots and availability of the shown accounts alone.
    // From the running instance over the bus; none when no instance answers. Values that do
    // not decode count as absent.
    static std::optional<StatusReport> fromRunning(QDBusConnection bus);
    // The snapshots and accounts as stored; nothing is written. `anyStored`, when given, tells
    // whether any snapshot is stored at all, also of an account no longer shown.
    static StatusReport fromStored(UserDefaults& defaults, bool* anyStored = nullptr);

    // The watched accounts in the order they are shown: Codex's, then Claude's, each
    // assistant's default account first.
    QList<UsageAccount> shownAccounts() const;

    // One line per watched account, in shownAccounts() order: what blocks the account, else the
    // headline window with the share left and its reset time, then its money line; or the
    // availability text when there is nothing to show; titled "Claude Code (work)" where the
    // assistant has several watched accounts; no control characters.
    QString text(Instant now, const QLocale& locale) const;
    // {"snapshots": [...], "availability": {...}, "accounts": [...]} in the stored JSON form,
    // absent entries omitted, every account listed as the bus lists them, and "money": each
    // account's money line where it has one.
    QByteArray json(Instant now, const QLocale& locale) const;
    // Waybar's custom-module JSON: text ("Codex 85% · Claude (work) 40%", "Codex 2h" for a spent
    // headline, "Codex blocked"; empty with nothing to show) and tooltip as markup, class and
    // alt (the tray's visual state) and, when any headline reports its use, percentage (the
    // smallest share left, 0 while one is spent or blocked), all over the watched accounts.
    QByteArray waybar(Instant now, const QLocale& locale) const;
};
