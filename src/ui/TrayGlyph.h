#pragma once

#include <QIcon>
#include <QString>

// The status glyph in the panel. Hosts that follow the icon theme get the symbolic icon by
// name and recolour it; the pixmaps for all others are a dark glyph inside a light halo, so
// one of the two stands at least 3:1 against any bar, light or dark.
namespace TrayGlyph {

// "com.quorvel.vantor-symbolic", installed in hicolor.
QString iconName();
// Square pixmaps from 16 to 64 pixels.
QIcon icon();

}  // namespace TrayGlyph
