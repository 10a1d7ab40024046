#pragma once

#include "Instant.h"
#include "ProviderAvailability.h"
#include "ProviderUsageSnapshot.h"
#include "UsageHistory.h"

#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

// The texts and numbers of a provider card and its limit rows, as pure functions of the
// snapshot and availability, so the views only bind them.
namespace CardText {

// The card's own name, not the provider object's: "Codex" or "Claude".
QString providerName(ProviderID provider);
// The used share of the summary window clamped to 0...100; none without one.
std::optional<double> usedPercent(const std::optional<ProviderUsageSnapshot>& snapshot);
// "5h • 59% left", "Limit reached", "Available", or the availability's word.
QString summary(const std::optional<ProviderUsageSnapshot>& snapshot,
                const std::optional<ProviderAvailability>& availability);
// "Codex usage": the ring's accessible name.
QString ringAccessibilityLabel(ProviderID provider);
// "42 percent used".
QString ringAccessibilityValue(double usedPercent);
QString expansionHint(bool expanded);

// The windows listed when expanded: the first two five-hour or weekly windows, else the
// first two of any kind.
QList<UsageWindowSnapshot> detailWindows(const std::optional<ProviderUsageSnapshot>& snapshot);
// What the details say when there is no window to list.
QString detailsEmptyText(const std::optional<ProviderAvailability>& availability);

QString limitTitle(const UsageWindowSnapshot& window);
// The used share clamped to 0...100, absent taken as 0.
double limitUsedPercent(const UsageWindowSnapshot& window);
// "58% left".
QString remainingText(const UsageWindowSnapshot& window);
// The reset time in the short form, or "Reset unavailable".
QString resetText(const UsageWindowSnapshot& window, Instant now, const QLocale& locale);
// "On pace: lasts until the reset", "At this pace: runs out at 15:40" (or "in 12 min", or the
// day); empty without a projection.
QString paceText(const std::optional<UsageHistory::Projection>& projection, Instant now,
                 const QLocale& locale);
// "5h limit, resets 12 min".
QString limitAccessibilityLabel(const UsageWindowSnapshot& window, Instant now,
                                const QLocale& locale);

// Rounds to the nearest whole number, halves away from zero.
qint64 roundHalfAway(double value);

}  // namespace CardText
