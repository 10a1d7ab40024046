#include "Countdown.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace {

constexpr double minute = 60.0;
constexpr double hour = 3600.0;
constexpr double day = 86400.0;
// TimeDisplayFormatter::shortDuration tells hours below this many, days from it on, and shows
// a year at most.
constexpr double shortHoursBelow = 48.0;
constexpr double shortLimit = 366.0 * day;
// The reset phrases name a weekday this many days ahead at most.
constexpr qint64 weekdayDays = 6;
// The finest step a timer takes.
constexpr double step = 0.001;

qint64 localDaysBetween(Instant from, Instant to) {
    return from.toDateTime().toLocalTime().date().daysTo(to.toDateTime().toLocalTime().date());
}

// A number for each distinct text of the form at now: equal numbers, equal texts.
double textKey(Instant now, Instant at, Countdown::Form form) {
    const double left = at.secondsSince(now);
    if (left <= 0.0) {
        return -1.0;
    }
    if (form == Countdown::Form::shortDuration) {
        // As shortDuration rounds: minutes up, then hours up from those, then days.
        const double minutes = std::ceil(std::clamp(left, minute, shortLimit) / minute);
        if (minutes < 60.0) {
            return minutes;
        }
        const double hours = std::ceil(minutes / 60.0);
        return hours < shortHoursBelow ? 1e4 + hours : 1e6 + std::ceil(hours / 24.0);
    }
    if (left < hour) {
        return std::max(1.0, std::ceil(left / minute));
    }
    // Beyond the hour the text is a clock time on a day named today, tomorrow, by its weekday
    // or by its date; the weekday's text is the same from six days ahead to two.
    const qint64 days = localDaysBetween(now, at);
    return 1e4 + static_cast<double>(days <= 1 ? days : days <= weekdayDays ? 2 : 3);
}

// The next instant after now where the form's text may change.
Instant boundaryAfter(Instant now, Instant at, Countdown::Form form) {
    const double left = at.secondsSince(now);
    double next = 0.0;
    if (form == Countdown::Form::shortDuration) {
        const double clamped = std::min(left, shortLimit);
        const double minutes = std::ceil(std::max(clamped, minute) / minute);
        const double hours = std::ceil(minutes / 60.0);
        if (minutes < 60.0) {
            next = (minutes - 1.0) * minute;
        } else if (hours < 2.0) {
            // "1h" covers the last minute before the hour only; "59m" follows.
            next = 59.0 * minute;
        } else if (hours < shortHoursBelow) {
            next = (hours - 1.0) * hour;
        } else if (const double days = std::ceil(hours / 24.0); days > 2.0) {
            next = (days - 1.0) * day;
        } else {
            next = (shortHoursBelow - 1.0) * hour;
        }
        next = std::min(next, left);
        return std::max(at.addingSeconds(-next), now.addingSeconds(step));
    }
    if (left < hour) {
        next = (std::max(1.0, std::ceil(left / minute)) - 1.0) * minute;
        return std::max(at.addingSeconds(-next), now.addingSeconds(step));
    }
    // Minutes are counted from the first instant under the hour.
    const Instant minutesStart = at.addingSeconds(-hour + step);
    return std::max(std::min(Countdown::nextMidnight(now), minutesStart), now.addingSeconds(step));
}

}  // namespace

namespace Countdown {

std::optional<Instant> nextChange(Instant now, Instant at, Form form) {
    const double shown = textKey(now, at, form);
    if (shown < 0.0) {
        return std::nullopt;
    }
    // Each boundary is tried in turn; a midnight between two dates named alike, or a boundary
    // a rounding places a hair early, moves on to the next. A year of midnights at most.
    Instant candidate = now;
    for (int tries = 0; tries < 800; ++tries) {
        candidate = boundaryAfter(candidate, at, form);
        if (textKey(candidate, at, form) != shown) {
            return candidate;
        }
    }
    // Beyond that, a wake-up that finds nothing changed looks again.
    return candidate;
}

std::optional<Instant> nextChange(Instant now, const QList<Instant>& moments, Form form) {
    std::optional<Instant> first;
    for (const Instant at : moments) {
        const std::optional<Instant> change = nextChange(now, at, form);
        if (change && (!first || *change < *first)) {
            first = change;
        }
    }
    return first;
}

Instant nextMidnight(Instant now) {
    const QDate today = now.toDateTime().toLocalTime().date();
    return Instant::fromDateTime(today.addDays(1).startOfDay());
}

QList<Instant> moments(const ProviderUsageSnapshot& snapshot) {
    QList<Instant> found;
    for (const UsageWindowSnapshot& window : snapshot.windows) {
        if (window.resetAt) {
            found.append(*window.resetAt);
        }
    }
    for (const UsageBlock& block : snapshot.blocks) {
        if (block.until) {
            found.append(*block.until);
        }
    }
    if (snapshot.individualLimit && snapshot.individualLimit->resetsAt) {
        found.append(*snapshot.individualLimit->resetsAt);
    }
    return found;
}

std::optional<Instant> earliest(std::optional<Instant> a, std::optional<Instant> b) {
    if (!a || (b && *b < *a)) {
        return b;
    }
    return a;
}

int waitMs(Instant now, Instant at) {
    const double ms = std::ceil(at.secondsSince(now) * 1000.0);
    // Not a number (a bad stored time) waits the longest.
    if (!(ms < longestWaitMs)) {
        return longestWaitMs;
    }
    return static_cast<int>(std::max(1.0, ms));
}

}  // namespace Countdown
