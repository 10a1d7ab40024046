#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the popover opens under X11: beside the tray icon, away from the screen edge the
// panel sits on, and inside the work area.
namespace PopoverPlacement {

// `anchor` is the icon's geometry, or the clicked point as a 1 x 1 rectangle; `screen` the
// whole screen it is on and `available` that screen's work area.
QPoint origin(QRect anchor, QSize size, QRect screen, QRect available);
// The same on the screen the anchor lies on, else the primary one; the anchor's corner when
// there is no screen at all.
QPoint origin(QRect anchor, QSize size);
// The tallest the popover may be on the screen of `anchor` (as above): its work area less a
// margin above and below.
int maximumHeight(QRect anchor);

}  // namespace PopoverPlacement
