#include "StatusReport.h"

#include "AccountRegistry.h"
#include "BlockText.h"
#include "MoneyText.h"
#include "ProviderStatusText.h"
#include "QSettingsDefaults.h"
#include "SnapshotStore.h"
#include "StatusLineText.h"
#include "TimeDisplayFormatter.h"
#include "UsageHistory.h"
#include "UsageJson.h"
#include "VantorBusService.h"
#include "VantorError.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

QString tr(const char* text, const char* comment = nullptr, int n = -1) {
    return QCoreApplication::translate("StatusReport", text, comment, n);
}

QString className(MenuBarVisualState state) {
    switch (state) {
        case MenuBarVisualState::normal:
            return QStringLiteral("normal");
        case MenuBarVisualState::warning:
            return QStringLiteral("warning");
        case MenuBarVisualState::exhausted:
            return QStringLiteral("exhausted");
        case MenuBarVisualState::unavailable:
            break;
    }
    return QStringLiteral("unavailable");
}

QString availabilityText(const AvailabilityMap& availability, ProviderID provider) {
    return ProviderStatusText::reason(entryOf(availability, provider), provider.kind);
}

// Every account, Codex's then Claude's, each assistant's default first, added where missing.
QList<UsageAccount> ordered(const QList<UsageAccount>& accounts) {
    QList<UsageAccount> result;
    for (const UsageAccount& account : accounts + QList<UsageAccount>{
                                                      {ProviderID::codex, {}, {}},
                                                      {ProviderID::claude, {}, {}},
                                                  }) {
        if (std::none_of(result.cbegin(), result.cend(),
                         [&](const UsageAccount& kept) { return kept.id == account.id; })) {
            result.append(account);
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const UsageAccount& a, const UsageAccount& b) {
                         return ProviderID::shownBefore(a.id, b.id);
                     });
    return result;
}

// "Claude", or "Claude (work)" beside another watched Claude account: as the popover names it.
QString accountTitle(const UsageAccount& account, const QList<UsageAccount>& shown) {
    return ProviderStatusText::namedProvider(account.id.kind,
                                             AppState::accountLabel(shown, account.id));
}

// Drops what belongs to no shown account: one not watched, or not listed at all.
void keepShown(StatusReport& report) {
    const QList<UsageAccount> shown = report.shownAccounts();
    const auto hidden = [&shown](const ProviderID& id) {
        return std::none_of(shown.cbegin(), shown.cend(),
                            [&id](const UsageAccount& account) { return account.id == id; });
    };
    report.snapshots.removeIf([&hidden](auto it) { return hidden(it.key()); });
    report.availability.removeIf([&hidden](auto it) { return hidden(it.key()); });
}

}  // namespace

std::optional<StatusReport> StatusReport::fromRunning(QDBusConnection bus) {
    if (!VantorBusService::isRunning(bus)) {
        return std::nullopt;
    }
    const std::optional<QString> snapshots =
        VantorBusService::property(bus, QStringLiteral("Snapshots"));
    const std::optional<QString> availability =
        VantorBusService::property(bus, QStringLiteral("Availability"));
    if (!snapshots || !availability) {
        return std::nullopt;
    }
    StatusReport report;
    // The running copy keeps its threshold in the settings it shares with this command.
    QSettingsDefaults defaults;
    report.nearingPercent = AppState::nearingPercent(AppState::storedWarningThreshold(defaults));
    // A copy of an older release has no list: its accounts are the default ones.
    const std::optional<QString> accounts =
        VantorBusService::property(bus, QStringLiteral("Accounts"));
    if (accounts) {
        report.accounts = VantorBusService::decodeAccounts(accounts->toUtf8());
    }
    try {
        for (ProviderUsageSnapshot& snapshot : UsageJson::decodeSnapshots(snapshots->toUtf8())) {
            // Whoever owns the bus name is answering: as many windows as Vantor holds at most.
            snapshot.boundWindows();
            report.snapshots.insert(snapshot.providerID, std::move(snapshot));
        }
    } catch (const VantorError&) {
        report.snapshots.clear();
    }
    const QJsonObject object = QJsonDocument::fromJson(availability->toUtf8()).object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const std::optional<ProviderID> provider = fromRawValue<ProviderID>(it.key());
        if (!provider) {
            continue;
        }
        try {
            report.availability.insert(*provider, UsageJson::decodeAvailability(it.value()));
        } catch (const VantorError&) {
        }
    }
    // And as many accounts.
    keepShown(report);
    return report;
}

StatusReport StatusReport::fromStored(UserDefaults& defaults, bool* anyStored) {
    StatusReport report{SnapshotStore(defaults).load(), {}, AccountRegistry::stored(defaults)};
    if (anyStored != nullptr) {
        *anyStored = !report.snapshots.isEmpty();
    }
    report.nearingPercent = AppState::nearingPercent(AppState::storedWarningThreshold(defaults));
    keepShown(report);
    return report;
}

QList<UsageAccount> StatusReport::shownAccounts() const {
    QList<UsageAccount> shown = ordered(accounts);
    shown.removeIf([](const UsageAccount& account) { return !account.watched; });
    return shown;
}

QString StatusReport::text(Instant now, const QLocale& locale) const {
    QStringList lines;
    const QString separator = QStringLiteral(" \u00b7 ");
    const QList<UsageAccount> shown = shownAccounts();
    for (const UsageAccount& account : shown) {
        const ProviderID& provider = account.id;
        const QString title = accountTitle(account, shown);
        const std::optional<ProviderUsageSnapshot> snapshot = entryOf(snapshots, provider);
        QString line =
            snapshot ? ProviderStatusText::accountLine(*snapshot, now, locale) : QString();
        if (line.isEmpty()) {
            lines.append(StatusLineText::printable(
                tr("%1: %2").arg(title, availabilityText(availability, provider))));
            continue;
        }
        if (const QString money = MoneyText::line(*snapshot, now, locale); !money.isEmpty()) {
            line += separator + money;
        }
        // Values the last refresh could not renew say how old they are, why, and what to do.
        if (const QString age = ProviderStatusText::staleText(
                snapshot, entryOf(availability, provider), now, locale);
            !age.isEmpty()) {
            line += separator + age + separator + availabilityText(availability, provider);
        }
        // Names and reasons come from the providers: nothing of them may steer the terminal.
        lines.append(StatusLineText::printable(tr("%1: %2").arg(title, line)));
    }
    return lines.join(u'\n');
}

QByteArray StatusReport::json(Instant now, const QLocale& locale) const {
    QJsonArray encoded;
    for (const ProviderUsageSnapshot& snapshot : snapshots) {
        try {
            encoded.append(UsageJson::encode(snapshot));
        } catch (const VantorError&) {
            // A snapshot that cannot be written (a non-finite number) is left out rather
            // than failing the whole report.
        }
    }
    QJsonObject availabilities;
    for (auto it = availability.cbegin(); it != availability.cend(); ++it) {
        availabilities.insert(rawValue(it.key()), UsageJson::encode(it.value()));
    }
    // Where each window's use is heading, from the readings the running copy keeps on disk:
    // {"runsOutAt": <Unix seconds>} or {"runsOutAt": null} for one that lasts until its reset.
    const UsageHistory history;
    QJsonObject projections;
    for (const ProviderUsageSnapshot& snapshot : snapshots) {
        for (const UsageWindowSnapshot& window : snapshot.windows) {
            const auto projection = UsageHistory::project(
                history.readings(snapshot.providerID, window.id), window.resetAt);
            if (projection) {
                projections.insert(
                    rawValue(snapshot.providerID) + u'.' + window.id,
                    QJsonObject{{QStringLiteral("runsOutAt"),
                                 projection->runsOutAt
                                     ? QJsonValue(projection->runsOutAt->unixSeconds())
                                     : QJsonValue(QJsonValue::Null)}});
            }
        }
    }
    // Each account's money line as `status` words it, for a script that shows it as it is.
    QJsonObject money;
    for (const ProviderUsageSnapshot& snapshot : snapshots) {
        if (const QString line = MoneyText::line(snapshot, now, locale); !line.isEmpty()) {
            money.insert(rawValue(snapshot.providerID), line);
        }
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("accounts"),
                                      VantorBusService::encodeAccounts(ordered(accounts))},
                                     {QStringLiteral("snapshots"), encoded},
                                     {QStringLiteral("availability"), availabilities},
                                     {QStringLiteral("money"), money},
                                     {QStringLiteral("projections"), projections}})
        .toJson(QJsonDocument::Compact);
}

QByteArray StatusReport::waybar(Instant now, const QLocale& locale) const {
    QStringList parts;
    std::optional<int> lowest;
    const QList<UsageAccount> shown = shownAccounts();
    for (const UsageAccount& account : shown) {
        const ProviderID& provider = account.id;
        const std::optional<ProviderUsageSnapshot> snapshot = entryOf(snapshots, provider);
        const QString name = accountTitle(account, shown);
        if (snapshot && snapshot->accountBlock()) {
            //: Waybar's text for an account that cannot be used now: "Codex: blocked".
            parts.append(StatusLineText::printable(tr("%1: blocked").arg(name)));
            lowest = 0;
            continue;
        }
        const std::optional<UsageWindowSnapshot> window =
            snapshot ? snapshot->summaryWindow() : std::nullopt;
        const std::optional<int> left = window ? window->percentLeft() : std::nullopt;
        if (!left) {
            continue;
        }
        const QString label = ProviderStatusText::shownLabel(*window);
        QString part;
        if (window->awaitsReading(now)) {
            // Its figures belong to a period that has ended.
            part = ProviderStatusText::windowWaiting(label);
        } else if (window->severity(nearingPercent) == UsageSeverity::spent) {
            // A spent headline says when it comes back: "Codex: 5-hour back in 40 min".
            //: Waybar's text for a spent limit: %1 the limit, %2 when it is back ("back in 40
            //: min", "back at 11:03 PM").
            part = window->resetsAfter(now)
                       ? tr("%1 %2").arg(
                             label, TimeDisplayFormatter().backText(*window->resetAt, now, locale))
                       : ProviderStatusText::windowSpent(label);
            lowest = 0;
        } else {
            part = ProviderStatusText::windowLeft(label, *left);
            lowest = lowest ? std::min(*lowest, *left) : *left;
        }
        if (const QString age = ProviderStatusText::staleText(
                snapshot, entryOf(availability, provider), now, locale);
            !age.isEmpty()) {
            part += QStringLiteral(" \u00b7 ") + age;
        }
        // Names come from the user and the providers: nothing of them may steer a terminal.
        parts.append(StatusLineText::printable(tr("%1: %2").arg(name, part)));
    }
    // Waybar renders both texts as Pango markup; with nothing to show the module is empty, which
    // Waybar hides.
    // Accounts apart by a mark of their own: the middle dot parts one account's words.
    const QString label = parts.join(QStringLiteral(" | "));
    const QString state =
        className(AppState::menuState(nearingPercent, snapshots, availability, now));
    QJsonObject module{{QStringLiteral("text"), label.toHtmlEscaped()},
                       {QStringLiteral("tooltip"), text(now, locale).toHtmlEscaped()},
                       {QStringLiteral("class"), state},
                       // For "format-icons", which Waybar picks by "alt".
                       {QStringLiteral("alt"), state}};
    if (lowest) {
        module.insert(QStringLiteral("percentage"), std::clamp(*lowest, 0, 100));
    }
    return QJsonDocument(module).toJson(QJsonDocument::Compact);
}
