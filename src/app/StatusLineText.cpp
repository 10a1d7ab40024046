#include "StatusLineText.h"

#include "ProviderStatusText.h"
#include "TimeDisplayFormatter.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

int left(const ClaudeStatusLine::Window& window) {
    return 100 - static_cast<int>(std::lround(std::clamp(window.usedPercent, 0.0, 100.0)));
}

}  // namespace

QString StatusLineText::line(const ClaudeStatusLine& input, Instant now, const QLocale& locale) {
    QStringList parts;
    if (const QString model = printable(input.model); !model.isEmpty()) {
        parts << model;
    }
    // Shares left, under the names every other surface gives these windows.
    const QString fiveHour = ProviderStatusText::windowLabel(QStringLiteral("5 hour"));
    const QString weekly = ProviderStatusText::windowLabel(QStringLiteral("Weekly"));
    if (input.fiveHour) {
        parts << ProviderStatusText::windowLeft(fiveHour, left(*input.fiveHour));
    }
    if (input.weekly) {
        parts << ProviderStatusText::windowLeft(weekly, left(*input.weekly));
    }
    const bool weeklyBinds = input.weekly && input.weekly->usedPercent >= 100.0;
    const auto& binding = weeklyBinds || !input.fiveHour ? input.weekly : input.fiveHour;
    if (binding && binding->resetAt && binding->resetAt->secondsSince(now) > 0.0) {
        const TimeDisplayFormatter formatter;
        // A spent window says when it is back, as the popover does; else when it resets.
        parts << (binding->usedPercent >= 100.0
                      ? formatter.backText(*binding->resetAt, now, locale)
                      : formatter.resetPhrase(*binding->resetAt, now, locale));
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
