#pragma once

#include "MenuBarVisualState.h"

#include <QString>

// The tray icon's tooltip and accessible name: the glyph never changes, only this text does.
namespace StatusLabelText {

QString accessibilityText(MenuBarVisualState state);

}  // namespace StatusLabelText
