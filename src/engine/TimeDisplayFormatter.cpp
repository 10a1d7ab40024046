#include "TimeDisplayFormatter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimeZone>

#include <unicode/datefmt.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace {

constexpr double secondsPerHour = 3600.0;
// Within a week either way a weekday name is unambiguous.
constexpr qint64 weekdayRangeDays = 6;

enum class Form { shortTime, weekday, weekdayTime, monthDayTime };

QString toQString(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

// Formats with ICU so that every form follows the same locale data (CLDR) and time zone.
QString format(Form form, const QDateTime& dateTime, const QTimeZone& zone, const QLocale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale icuLocale =
        icu::Locale::forLanguageTag(locale.bcp47Name().toStdString(), status);
    if (U_FAILURE(status)) {
        return {};
    }
    std::unique_ptr<icu::DateFormat> formatter;
    if (form == Form::shortTime) {
        formatter.reset(icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, icuLocale));
    } else {
        std::unique_ptr<icu::DateTimePatternGenerator> generator(
            icu::DateTimePatternGenerator::createInstance(icuLocale, status));
        if (U_FAILURE(status)) {
            return {};
        }
        // Abbreviated month, day, hour in the locale's cycle, minutes; the full weekday; or the
        // abbreviated weekday and the time.
        const icu::UnicodeString skeleton(form == Form::weekday       ? u"EEEE"
                                          : form == Form::weekdayTime ? u"EEEjmm"
                                                                      : u"MMMdjmm");
        const icu::UnicodeString pattern = generator->getBestPattern(skeleton, status);
        formatter = std::make_unique<icu::SimpleDateFormat>(pattern, icuLocale, status);
    }
    if (!formatter || U_FAILURE(status)) {
        return {};
    }
    const QByteArray zoneId = zone.id();
    formatter->adoptTimeZone(icu::TimeZone::createTimeZone(
        icu::UnicodeString::fromUTF8(icu::StringPiece(zoneId.constData(), zoneId.size()))));
    icu::UnicodeString text;
    formatter->format(static_cast<UDate>(dateTime.toMSecsSinceEpoch()), text);
    return toQString(text);
}

// The moment in the system time zone, with its clock time and how many calendar days it lies
// after now; none when either instant has no date.
struct LocalMoment {
    QTimeZone zone;
    QDateTime reset;
    QString timeText;
    qint64 days = 0;
};

std::optional<LocalMoment> localMoment(Instant resetAt, Instant now, const QLocale& locale) {
    LocalMoment moment{.zone = QTimeZone::systemTimeZone(), .reset = {}, .timeText = {}};
    moment.reset = resetAt.toDateTime().toTimeZone(moment.zone);
    const QDateTime current = now.toDateTime().toTimeZone(moment.zone);
    if (!moment.reset.isValid() || !current.isValid()) {
        return std::nullopt;
    }
    moment.timeText = format(Form::shortTime, moment.reset, moment.zone, locale);
    moment.days = current.date().daysTo(moment.reset.date());
    return moment;
}

}  // namespace

bool TimeDisplayFormatter::countsMinutes(Instant resetAt, Instant now) {
    const double interval = resetAt.secondsSince(now);
    return interval > 0.0 && interval < secondsPerHour;
}

QString TimeDisplayFormatter::resetText(Instant resetAt, Instant now, const QLocale& locale) const {
    if (countsMinutes(resetAt, now)) {
        const double interval = resetAt.secondsSince(now);
        const int minutes = std::max(1, static_cast<int>(std::ceil(interval / 60.0)));
        return QCoreApplication::translate("TimeDisplayFormatter", "%n min", nullptr, minutes);
    }

    const std::optional<LocalMoment> moment = localMoment(resetAt, now, locale);
    if (!moment) {
        return {};
    }
    if (moment->days == 0) {
        return moment->timeText;
    }
    if (moment->days == 1) {
        // In the middle of a sentence ("resets tomorrow, 16:53"): no capital.
        return QCoreApplication::translate("TimeDisplayFormatter", "tomorrow, %1")
            .arg(moment->timeText);
    }
    // A day of the coming week needs its time too: the reset may be early or late in it.
    if (moment->days >= -weekdayRangeDays && moment->days <= weekdayRangeDays) {
        return format(Form::weekdayTime, moment->reset, moment->zone, locale);
    }
    return format(Form::monthDayTime, moment->reset, moment->zone, locale);
}

QString TimeDisplayFormatter::resetSentence(Instant resetAt, Instant now,
                                            const QLocale& locale) const {
    return sentence(
        resetAt, now, locale,
        {.today = QCoreApplication::translate("TimeDisplayFormatter", "Resets at %1."),
         .tomorrow = QCoreApplication::translate("TimeDisplayFormatter", "Resets tomorrow at %1."),
         .weekday = QCoreApplication::translate("TimeDisplayFormatter", "Resets on %1 at %2."),
         .date = QCoreApplication::translate("TimeDisplayFormatter", "Resets on %1.")});
}

QString TimeDisplayFormatter::sentence(Instant at, Instant now, const QLocale& locale,
                                       const Phrases& phrases) const {
    const std::optional<LocalMoment> moment = localMoment(at, now, locale);
    if (!moment) {
        return {};
    }
    if (moment->days == 0) {
        return phrases.today.arg(moment->timeText);
    }
    if (moment->days == 1) {
        return phrases.tomorrow.arg(moment->timeText);
    }
    if (moment->days > 1 && moment->days <= weekdayRangeDays) {
        return phrases.weekday.arg(format(Form::weekday, moment->reset, moment->zone, locale),
                                   moment->timeText);
    }
    return phrases.date.arg(format(Form::monthDayTime, moment->reset, moment->zone, locale));
}

QString TimeDisplayFormatter::resetPhrase(Instant resetAt, Instant now,
                                          const QLocale& locale) const {
    //: When a limit resets: "resets in 12 min", "resets Fri 09:00".
    return (countsMinutes(resetAt, now)
                ? QCoreApplication::translate("TimeDisplayFormatter", "resets in %1")
                : QCoreApplication::translate("TimeDisplayFormatter", "resets %1"))
        .arg(resetText(resetAt, now, locale));
}

QString TimeDisplayFormatter::withReset(const QString& text, Instant resetAt, Instant now,
                                        const QLocale& locale) const {
    return text + QStringLiteral(" \u00b7 ") + resetPhrase(resetAt, now, locale);
}

QString TimeDisplayFormatter::backText(Instant at, Instant now, const QLocale& locale) const {
    if (countsMinutes(at, now)) {
        //: When a spent limit comes back: "back in 12 min".
        return QCoreApplication::translate("TimeDisplayFormatter", "back in %1")
            .arg(resetText(at, now, locale));
    }
    return sentence(
        at, now, locale,
        {.today = QCoreApplication::translate("TimeDisplayFormatter", "back at %1"),
         .tomorrow = QCoreApplication::translate("TimeDisplayFormatter", "back tomorrow at %1"),
         .weekday = QCoreApplication::translate("TimeDisplayFormatter", "back %1 at %2"),
         .date = QCoreApplication::translate("TimeDisplayFormatter", "back %1")});
}

QString TimeDisplayFormatter::shortDuration(double seconds) {
    // A reset years away is a bad value: it is shown as a year at most.
    const auto minutes =
        static_cast<qint64>(std::ceil(std::clamp(seconds, 60.0, 366.0 * 86400.0) / 60.0));
    // The words keep the context they were first translated in.
    if (minutes < 60) {
        return QCoreApplication::translate("TrayFigure", "%1m").arg(minutes);
    }
    const qint64 hours = (minutes + 59) / 60;
    if (hours < 48) {
        return QCoreApplication::translate("TrayFigure", "%1h").arg(hours);
    }
    return QCoreApplication::translate("TrayFigure", "%1d").arg((hours + 23) / 24);
}
