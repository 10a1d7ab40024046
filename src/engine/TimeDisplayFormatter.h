#pragma once

#include "Instant.h"

#include <QLocale>
#include <QString>

// The short text shown beside a window's reset time: "12 min", a clock time, "tomorrow, "
// and a clock time, a weekday and time, or month, day and time, in the locale's own forms and
// the system time zone.
class TimeDisplayFormatter {
public:
    // Whether resetText counts minutes ("12 min") for this moment: within the coming hour. A
    // sentence around it then says "in".
    static bool countsMinutes(Instant resetAt, Instant now);
    // Calendar days are judged against now, which callers pass as the current time.
    QString resetText(Instant resetAt, Instant now, const QLocale& locale) const;
    // "resets <resetText>", or "resets in 12 min" within the hour.
    QString resetPhrase(Instant resetAt, Instant now, const QLocale& locale) const;
    // "<text> · resets <resetText>": the one separator between a line's parts.
    QString withReset(const QString& text, Instant resetAt, Instant now,
                      const QLocale& locale) const;
    // When a spent limit comes back, to follow its name: "back in 12 min", "back at 15:40",
    // "back tomorrow at 15:40", "back Friday at 15:40", "back Dec 14, 15:40".
    QString backText(Instant at, Instant now, const QLocale& locale) const;
    // The same moment as a sentence for a notification: "Resets at 15:40.", "Resets tomorrow
    // at 15:40.", "Resets on Tuesday at 15:40.", else "Resets on Dec 14, 15:40.".
    QString resetSentence(Instant resetAt, Instant now, const QLocale& locale) const;

    // "45m", "2h", "3d": a time to come, rounded up, in the fewest characters, for a figure
    // drawn into a 16-pixel icon or a bar; the unit stays one narrow letter in every language.
    static QString shortDuration(double seconds);
    // A sentence about a moment, by how far off its day is; each phrase already translated.
    struct Phrases {
        QString today;     // %1 the time
        QString tomorrow;  // %1 the time
        QString weekday;   // %1 the weekday, %2 the time
        QString date;      // %1 month, day and time
    };
    QString sentence(Instant at, Instant now, const QLocale& locale, const Phrases& phrases) const;
};
