#include "StatusLabelText.h"

#include <QCoreApplication>

namespace StatusLabelText {

QString accessibilityText(MenuBarVisualState state) {
    switch (state) {
        case MenuBarVisualState::normal:
            return QCoreApplication::translate("MenuBarStatusLabel", "Vantor");
        case MenuBarVisualState::warning:
            return QCoreApplication::translate("MenuBarStatusLabel", "Vantor: usage nearing limit");
        case MenuBarVisualState::exhausted:
            return QCoreApplication::translate("MenuBarStatusLabel", "Vantor: limit reached");
        case MenuBarVisualState::unavailable:
            break;
    }
    return QCoreApplication::translate("MenuBarStatusLabel", "Vantor: providers unavailable");
}

}  // namespace StatusLabelText
