#pragma once

#include "Instant.h"
#include "ProviderAvailability.h"
#include "ProviderStatusText.h"
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
// The used share of the summary window clamped to 0...100, all of it for a blocked account;
// none without one.
std::optional<double> usedPercent(const std::optional<ProviderUsageSnapshot>& snapshot);
// The severity of the headline at now: spent for a blocked account, normal without a window and
// for one (or a block) whose end has passed without a new reading.
UsageSeverity severity(const std::optional<ProviderUsageSnapshot>& snapshot, double nearingPercent,
                       Instant now);
// "5h • 59% left", "Weekly limit reached · back Friday at 09:00", "5-hour limit reset, waiting
// for a new reading" once its reset time has passed, "Available", what blocks the
// account and on a second line until when ("Workspace credits used up\nuntil Jan 1, 09:00"), or the
// availability's word.
QString summary(const std::optional<ProviderUsageSnapshot>& snapshot,
                const std::optional<ProviderAvailability>& availability, Instant now,
                const QLocale& locale);
// "Codex usage", "Claude (work) usage": the ring's accessible name.
QString ringAccessibilityLabel(ProviderID provider, const QString& accountLabel = {});
// "42 percent used".
QString ringAccessibilityValue(double usedPercent);
QString expansionHint(bool expanded);

// The windows listed when expanded: the five-hour, weekly and monthly windows first, then the
// others (a model's own weekly limit, ...), in the provider's order, at most six.
QList<UsageWindowSnapshot> detailWindows(const std::optional<ProviderUsageSnapshot>& snapshot);
// That the card fills in by itself once the provider can be read.
QString fillsInText();
// Why a provider cannot be read and what to do ("Not signed in: run codex login"); empty while
// it can be, or when nothing can be done (an assistant not supported).
QString whatToDo(const std::optional<ProviderAvailability>& availability, ProviderKind provider);
// What the details say when there is no window to list.
QString detailsEmptyText(const std::optional<ProviderAvailability>& availability,
                         ProviderKind provider);
// The age of values not current, and why: shared with the command line.
using ProviderStatusText::isStale;
using ProviderStatusText::staleMark;
using ProviderStatusText::staleText;
// Why the shown values are not fresh ("Rate limited, next try after 14:30", "Session expired:
// ..."), when windows are shown; else empty.
QString notice(const std::optional<ProviderUsageSnapshot>& snapshot,
               const std::optional<ProviderAvailability>& availability);
// "Binding limit" for the window the provider says limits use now; else empty.
QString bindingMark(const UsageWindowSnapshot& window);
// The block of the window's own bucket, which its row then names; none when the whole account
// is blocked (the headline names that).
std::optional<UsageBlock> bucketBlock(const std::optional<ProviderUsageSnapshot>& snapshot,
                                      const UsageWindowSnapshot& window);

// "Pro plan · 1 reset available", each part only when known; may be empty. Credits are money
// and go in the money line.
QString accountText(const std::optional<ProviderUsageSnapshot>& snapshot);

QString limitTitle(const UsageWindowSnapshot& window);
// The used share clamped to 0...100, absent taken as 0.
double limitUsedPercent(const UsageWindowSnapshot& window);
// "58% left".
QString remainingText(const UsageWindowSnapshot& window);
// A limit row's line: "42% left · resets Fri 09:00" (the share alone without a reset time
// ahead), "Not started", or for a spent window when it comes back ("back in 40 min").
QString rowText(const UsageWindowSnapshot& window, Instant now, const QLocale& locale,
                double nearingPercent);
// The reset time in the short form, or "Reset unavailable".
QString resetText(const UsageWindowSnapshot& window, Instant now, const QLocale& locale);
// What blocks the account, said atop the expanded card's rows; empty when nothing does.
QString blockNotice(const std::optional<ProviderUsageSnapshot>& snapshot, Instant now,
                    const QLocale& locale);
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

// The tray menu's rows, worded as `vantor status` words its lines: "Codex: 5-hour 42% left ·
// resets 15:40" for each window (what blocks it for a window of a blocked bucket), after "Codex:
// <block>" for a blocked account and before "Codex: as of 21:01 · sign in needed" for values not
// current; or without any, why and what to do ("Claude: Not signed in: run claude and sign in"),
// else the card's summary ("Codex: Loading").
QStringList trayMenuRows(const QString& name, ProviderKind kind,
                         const std::optional<ProviderUsageSnapshot>& snapshot,
                         const std::optional<ProviderAvailability>& availability, Instant now,
                         const QLocale& locale);

// "Codex: <text>": a line of the tray's about one card.
QString namedLine(const QString& name, const QString& text);

// Rounds to the nearest whole number, halves away from zero.
qint64 roundHalfAway(double value);

}  // namespace CardText
