#include "StatusLineText.h"

#include "TimeDisplayFormatter.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("StatusLineText", text);
}

QString percent(const ClaudeStatusLine::Window& window, const QLocale& locale) {
    const double shown = std::clamp(window.usedPercent, 0.0, 100.0);
    return QCoreApplication::translate("StatusLineText", "%1 %")
        .arg(locale.toString(static_cast<int>(std::lround(shown))));
}

}  // namespace

QString StatusLineText::line(const ClaudeStatusLine& input, Instant now, const QLocale& locale) {
    QStringList parts;
    if (const QString model = printable(input.model); !model.isEmpty()) {
        parts << model;
    }
    if (input.fiveHour) {
        parts << tr("5h %1").arg(percent(*input.fiveHour, locale));
    }
    if (input.weekly) {
        parts << tr("wk %1").arg(percent(*input.weekly, locale));
    }
    const bool weeklyBinds = input.weekly && input.weekly->usedPercent >= 100.0;
    const auto& binding = weeklyBinds || !input.fiveHour ? input.weekly : input.fiveHour;
    if (binding && binding->resetAt && binding->resetAt->secondsSince(now) > 0.0) {
        const QString when = TimeDisplayFormatter().resetText(*binding->resetAt, now, locale);
        // Within the hour the formatter counts minutes.
        parts << (TimeDisplayFormatter::countsMinutes(*binding->resetAt, now) ? tr("resets in %1")
                                                                              : tr("resets %1"))
                     .arg(when);
    }
    return parts.join(QStringLiteral(" \u00b7 "));
}

QString StatusLineText::printable(QString text) {
    text.removeIf([](QChar c) {
        const char16_t code = c.unicode();
        return code < 0x20 || (code >= 0x7f && code <= 0x9f);
    });
    return text;
}
