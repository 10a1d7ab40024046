#include "StatusLineText.h"

#include "ProviderStatusText.h"
#include "TimeDisplayFormatter.h"
#include "UsageWindowSnapshot.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// A window as the popover holds one, so that its share left and which window binds are judged
// as on every other surface.
UsageWindowSnapshot asWindow(const ClaudeStatusLine::Window& sent, UsageWindowKind kind,
                             const QString& label) {
    UsageWindowSnapshot window;
    window.kind = kind;
    window.label = label;
    window.usedPercent = sent.usedPercent;
    window.resetAt = sent.resetAt;
    window.state =
        sent.usedPercent >= 100.0 ? UsageWindowState::exhausted : UsageWindowState::available;
    return window;
}

}  // namespace

QString StatusLineText::line(const ClaudeStatusLine& input, Instant now, const QLocale& locale) {
    QStringList parts;
    if (const QString model = printable(input.model); !model.isEmpty()) {
        parts << model;
    }
    QList<UsageWindowSnapshot> windows;
    if (input.fiveHour) {
        windows << asWindow(*input.fiveHour, UsageWindowKind::fiveHour, QStringLiteral("5 hour"));
    }
    if (input.weekly) {
        windows << asWindow(*input.weekly, UsageWindowKind::weekly, QStringLiteral("Weekly"));
    }
    // The window that binds (the least left; of spent ones the last back) says when it resets,
    // or, spent, when it is back, right after its share.
    const auto binding =
        std::min_element(windows.cbegin(), windows.cend(), &UsageWindowSnapshot::tighter);
    const TimeDisplayFormatter formatter;
    for (auto window = windows.cbegin(); window != windows.cend(); ++window) {
        parts << ProviderStatusText::windowLeft(ProviderStatusText::windowLabel(window->label),
                                                window->percentLeft().value_or(0));
        if (window == binding && window->resetsAfter(now)) {
            parts << (window->state == UsageWindowState::exhausted
                          ? formatter.backText(*window->resetAt, now, locale)
                          : formatter.resetPhrase(*window->resetAt, now, locale));
        }
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
