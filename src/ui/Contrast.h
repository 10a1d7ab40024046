#pragma once

#include <QColor>
#include <QList>

// WCAG 2's contrast between colours, and the shades of a colour that reach a given contrast:
// the interface picks its colours with these, so a desktop palette cannot take a text or a ring
// below what it needs to be read.
namespace Contrast {

// WCAG's contrast ratio, 1 to 21, of two opaque colours (alpha is ignored).
double ratio(const QColor& one, const QColor& other);
// `top` drawn at its alpha over the opaque `bottom`, as the renderer blends: channel by channel,
// in 8 bits.
QColor over(const QColor& top, const QColor& bottom);
// The least contrast of `color`, drawn at its alpha, against any of `backgrounds`.
double least(const QColor& color, const QList<QColor>& backgrounds);
// `color`, or the nearest shade of it toward white or else toward black that stands at least
// `minimum` against every background; where none does, the extreme that comes closest.
QColor legible(const QColor& color, const QList<QColor>& backgrounds, double minimum);
// `color` at `opacity`, or at the lowest opacity above it that still stands `minimum` against
// every background (at most fully opaque).
QColor atOpacity(const QColor& color, double opacity, const QList<QColor>& backgrounds,
                 double minimum);

}  // namespace Contrast
