#pragma once

#include "ProviderAvailability.h"
#include "ProviderID.h"
#include "UsageAccount.h"

#include <QString>

#include <optional>

// The words for a provider and its availability, shared by the settings form and the command
// line so that both say the same thing.
namespace ProviderStatusText {

// "Codex" or "Claude Code".
QString title(ProviderID provider);
// "Codex" or "Claude": the short name cards and announcements use.
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

}  // namespace ProviderStatusText
