#include "PopoverPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace PopoverPlacement {

QPoint origin(QRect anchor, QSize size, QRect screen, QRect available) {
    constexpr int margin = 8;
    const QPoint c = anchor.center();
    // The panel lies along the nearest edge. A click point says nothing of the panel's depth,
    // but the icon sits centred in it: the panel ends as far past the point as its edge lies
    // before it. Under XWayland the work area does not know a Wayland panel either.
    const int top = c.y() - screen.top();
    const int bottom = screen.bottom() - c.y();
    const int left = c.x() - screen.left();
    const int right = screen.right() - c.x();
    // Panels run along the top or the bottom far more often than along a side, and an icon in
    // a corner may lie nearer the side: a side wins only away from both horizontal edges.
    constexpr int panelDepth = 64;
    const int vertical = std::min(top, bottom);
    const bool horizontalPanel = vertical <= panelDepth || vertical <= std::min(left, right);
    QPoint o(c.x() - size.width() / 2, c.y() - size.height() / 2);
    if (horizontalPanel && top <= bottom) {
        o.setY(std::max(anchor.bottom(), c.y() + top) + margin);
    } else if (horizontalPanel) {
        o.setY(std::min(anchor.top(), c.y() - bottom) - margin - size.height());
    } else if (left <= right) {
        o.setX(std::max(anchor.right(), c.x() + left) + margin);
    } else {
        o.setX(std::min(anchor.left(), c.x() - right) - margin - size.width());
    }
    const QRect area = available.isValid() ? available : screen;
    o.setX(std::clamp(o.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
    o.setY(std::clamp(o.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    return o;
}

QPoint origin(QRect anchor, QSize size) {
    const QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? origin(anchor, size, screen->geometry(), screen->availableGeometry())
                             : anchor.topLeft();
}

}  // namespace PopoverPlacement
