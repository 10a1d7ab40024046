#pragma once

#include "Instant.h"

#include <QLocale>
#include <QString>

// The short text shown beside a window's reset time: "12 min", a clock time, "Tomorrow, "
// and a clock time, a weekday, or month, day and time, in the locale's own forms and the
// system time zone.
class TimeDisplayFormatter {
public:
    // Calendar days are judged against now, which callers pass as the current time.
    QString resetText(Instant resetAt, Instant now, const QLocale& locale) const;
};
