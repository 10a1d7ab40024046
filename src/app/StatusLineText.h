#pragma once

#include "ClaudeStatusLine.h"

#include <QLocale>
#include <QString>

// The one line `vantor statusline` prints under Claude Code's prompt.
namespace StatusLineText {

// "Sonnet 5 · 5-hour 58% left · resets 15:40 · Weekly 82% left": the model, the share left of
// each window Claude Code sent, and after the one that binds (as the headline is chosen) when
// it resets or, spent, is back; parts without data are left out.
QString line(const ClaudeStatusLine& input, Instant now, const QLocale& locale);

// Text from outside without its control characters (C0, DEL, C1), so that printed to a
// terminal it cannot move the cursor, recolour or retitle anything.
QString printable(QString text);

}  // namespace StatusLineText
