#pragma once

#include "Instant.h"
#include "ProviderAvailability.h"
#include "ProviderUsageSnapshot.h"
#include "UsageHistory.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// The texts and numbers of a provider card and its limit rows, as pure functions of the
// snapshot and availability, so the views only bind them.
namespace CardText {

// The card's own name, not the provider object's: "Codex" or "Claude", followed by the account's
// label where one must be told from another ("Claude · work").
QString providerName(ProviderID provider, const QString& accountLabel = {});
// The used share of the summary window clamped to 0...100; none without one.
std::optional<double> usedPercent(const std::optional<ProviderUsageSnapshot>& snapshot);
// "5h • 59% left", "Limit reached", "Available", or the availability's word.
QString summary(const std::optional<ProviderUsageSnapshot>& snapshot,
                const std::optional<ProviderAvailability>& availability);
// "Codex usage", "Claude (work) usage": the ring's accessible name.
QString ringAccessibilityLabel(ProviderID provider, const QString& accountLabel = {});
// "42 percent used".
QString ringAccessibilityValue(double usedPercent);
QString expansionHint(bool expanded);

// The windows listed when expanded: the five-hour, weekly and monthly windows first, then the
// others (a model's own weekly limit, ...), in the provider's order, at most six.
QList<UsageWindowSnapshot> detailWindows(const std::optional<ProviderUsageSnapshot>& snapshot);
// What the details say when there is no window to list.
QString detailsEmptyText(const std::optional<ProviderAvailability>& availability);
// "as of 14:05" when the last refresh brought nothing new (the provider is not available)
// but earlier values are shown; else empty.
QString staleText(const std::optional<ProviderUsageSnapshot>& snapshot,
                  const std::optional<ProviderAvailability>& availability, Instant now,
                  const QLocale& locale);
// Why the shown values are not fresh ("Rate limited, next try after 14:30", "Session expired:
// ..."), when windows are shown; else empty.
QString notice(const std::optional<ProviderUsageSnapshot>& snapshot,
               const std::optional<ProviderAvailability>& availability);
// "Extra usage €12.34 of €50.00" (without a cap only the amount used); empty when off.
QString extraUsageText(const std::optional<ProviderUsageSnapshot>& snapshot, const QLocale& locale);
// An amount of the currency with this ISO code in the locale's own form ("€12.34",
// "12,34 €"); the code itself stands in for a symbol no locale knows.
QString money(double amount, const QString& currency, int decimals, const QLocale& locale);
// "Binding limit" for the window the provider says limits use now; else empty.
QString bindingMark(const UsageWindowSnapshot& window);

// "Pro plan · 37.5 credits · 1 reset available", each part only when known; may be empty.
QString accountText(const std::optional<ProviderUsageSnapshot>& snapshot, const QLocale& locale);

QString limitTitle(const UsageWindowSnapshot& window);
// The used share clamped to 0...100, absent taken as 0.
double limitUsedPercent(const UsageWindowSnapshot& window);
// "58% left".
QString remainingText(const UsageWindowSnapshot& window);
// The reset time in the short form, or "Reset unavailable".
QString resetText(const UsageWindowSnapshot& window, Instant now, const QLocale& locale);
// "<text>, resets <reset text>", or "... resets in 12 min" within the hour.
QString withReset(const QString& text, const UsageWindowSnapshot& window, Instant now,
                  const QLocale& locale);
// "On pace: lasts until the reset", "At this pace: runs out at 15:40" (or "in 12 min", or the
// day); empty without a projection.
QString paceText(const std::optional<UsageHistory::Projection>& projection, Instant now,
                 const QLocale& locale);
// "5h limit, resets 12 min".
QString limitAccessibilityLabel(const UsageWindowSnapshot& window, Instant now,
                                const QLocale& locale);

// The tray menu's rows: "Codex · 5 hour: 42% left, resets 15:40" for each window, or the
// card's name and its summary ("Claude: Sign in required") without one.
QStringList trayMenuRows(const QString& name, const std::optional<ProviderUsageSnapshot>& snapshot,
                         const std::optional<ProviderAvailability>& availability, Instant now,
                         const QLocale& locale);

// Rounds to the nearest whole number, halves away from zero.
qint64 roundHalfAway(double value);

}  // namespace CardText
