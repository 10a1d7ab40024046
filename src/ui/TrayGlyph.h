#pragma once

#include <QIcon>

// The status glyph in the panel, sent only as pixmaps: a light glyph inside a dark rim, so one
// of the two stands at least 3:1 against any bar, light, dark or coloured. No themed name goes
// with it: a host that finds a name draws that icon instead of the pixmaps, and one colour
// cannot stand out on every bar, while a host that recolours symbolic icons gives the glyph a
// single colour, which a rim of its own would then swallow.
namespace TrayGlyph {

// Square pixmaps from 16 to 64 pixels.
QIcon icon();

}  // namespace TrayGlyph
