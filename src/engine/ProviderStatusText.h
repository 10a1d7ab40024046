#pragma once

#include "ProviderAvailability.h"
#include "ProviderID.h"
#include "ProviderUsageSnapshot.h"
#include "UsageAccount.h"

#include <QLocale>
#include <QString>

#include <optional>

// The words for a provider, its windows and its availability, shared by the popover, the tray,
// the settings form and the command line so that all say the same thing.
namespace ProviderStatusText {

// "Codex" or "Claude Code".
QString title(ProviderID provider);
// "Codex" or "Claude": the name every surface gives the assistant's usage; only the settings'
// list of installed tools says "Claude Code".
QString shortName(ProviderKind kind);
// What the user calls the account: its name, or for the default account without one the
// word for it ("default").
QString accountName(const UsageAccount& account);
// The short name followed by the account's in brackets: "Claude (work)"; the short name alone
// for an empty account name.
QString namedProvider(ProviderKind kind, const QString& accountName);
// "Connected", "Not installed", "Session expired", ...; a provider never probed is "Not
// detected".
QString availability(const std::optional<ProviderAvailability>& availability);
// Why, and what to do, in the reader's language: "Not signed in: run codex login", "Rate
// limited until 06:20", "Session expired: run claude and sign in again"; a message from a
// reader that knows no cause as it came.
QString reason(const std::optional<ProviderAvailability>& availability, ProviderKind kind);

// Whether a label names a window of its own ("Spark · 5 hour", "Weekly · Fable"): such a window
// is called by its label rather than by its kind.
bool namesOwnWindow(const QString& label);
// A window's label as a provider gives it ("5 hour", "Spark · 5 hour", "Weekly · Fable") in the
// interface's language: the words of a window's length are translated, names are kept.
QString windowLabel(const QString& label);

// A share with the language's own spacing: "42%", "42 %" in French.
QString percent(int value, const QLocale& locale);
// A window's share left under its shown name: "5-hour 42% left".
QString windowLeft(const QString& label, int left);
// "5-hour limit reached".
QString windowSpent(const QString& label);
// "5-hour limit reset, waiting for a new reading": its reset time passed before a refresh read
// the new period, so none of its figures holds now.
QString windowWaiting(const QString& label);
// A window's shown name: its label in the interface's language, else its kind's name.
QString shownLabel(const UsageWindowSnapshot& window);
// A window as every line words it: "5-hour 42% left · resets 15:40", "5-hour limit reached ·
// back in 40 min", "5-hour use unknown", or, its reset passed, that it waits for a reading.
QString windowLine(const UsageWindowSnapshot& window, Instant now, const QLocale& locale);
// An account's headline as a line: what blocks it, else its tightest window's line; empty
// with nothing to show.
QString accountLine(const ProviderUsageSnapshot& snapshot, Instant now, const QLocale& locale);

// "as of 14:05" when the last refresh brought nothing new (the provider is not available)
// but earlier values are kept; else empty.
QString staleText(const std::optional<ProviderUsageSnapshot>& snapshot,
                  const std::optional<ProviderAvailability>& availability, Instant now,
                  const QLocale& locale);
// Whether the values shown are kept through a failed refresh, not current.
bool isStale(const std::optional<ProviderUsageSnapshot>& snapshot,
             const std::optional<ProviderAvailability>& availability);
// Their age and why in a word: "as of 21:01 · sign in needed"; empty while current.
QString staleMark(const std::optional<ProviderUsageSnapshot>& snapshot,
                  const std::optional<ProviderAvailability>& availability, Instant now,
                  const QLocale& locale);

}  // namespace ProviderStatusText
