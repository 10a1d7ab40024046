#pragma once

#include "Instant.h"
#include "ProviderUsageSnapshot.h"

#include <QList>

#include <optional>

// When a text that counts down to a moment next reads otherwise, so that it is drawn again
// then and not before: one timer armed for that instant instead of one that wakes every
// minute or second to find nothing changed.
namespace Countdown {

// How the time to come is told: TimeDisplayFormatter::shortDuration ("45m", "2h", "3d"), or
// the reset phrases (resetText, withReset, backText, sentence: minutes within the hour, else a
// clock time on a day named by how far off it lies).
enum class Form { shortDuration, resetPhrase };

// The first instant after now, to the millisecond, at which the text of `at` in this form
// reads otherwise, the moment `at` passes included; none once it has passed.
std::optional<Instant> nextChange(Instant now, Instant at, Form form);
// The earliest of them over several moments.
std::optional<Instant> nextChange(Instant now, const QList<Instant>& moments, Form form);
// The earlier of two instants, either of which may be missing.
std::optional<Instant> earliest(std::optional<Instant> a, std::optional<Instant> b);
// The first local midnight after now, where "today" and "tomorrow" move on.
Instant nextMidnight(Instant now);
// The moments a snapshot's texts count down to: its windows' resets, its blocks' ends, its
// credit limit's reset.
QList<Instant> moments(const ProviderUsageSnapshot& snapshot);
// The longest a countdown's timer waits: timers stand still while the machine sleeps and the
// wall clock may be set, so a long wait is cut short and armed again, finding nothing changed.
constexpr int longestWaitMs = 15 * 60 * 1000;
// Milliseconds from now to at, rounded up so that a timer never fires before it: at least 1,
// at most longestWaitMs.
int waitMs(Instant now, Instant at);

}  // namespace Countdown
