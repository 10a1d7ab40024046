#include "PopoverPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <limits>

namespace {

constexpr int margin = 8;

// The screen the anchor lies on, else the primary one; none without a screen.
const QScreen* screenOf(QRect anchor) {
    const QScreen* screen = QGuiApplication::screenAt(anchor.center());
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

}  // namespace

namespace PopoverPlacement {

QPoint origin(QRect anchor, QSize size, QRect screen, QRect available) {
    // In 64 bits: an anchor anywhere in int's range, as a host may send, cannot overflow; the
    // result is clamped into the work area, so it fits an int again.
    using Coordinate = qint64;
    const QPoint centre = anchor.center();
    const Coordinate cx = centre.x();
    const Coordinate cy = centre.y();
    const Coordinate width = size.width();
    const Coordinate height = size.height();
    // The panel lies along the nearest edge. A click point says nothing of the panel's depth,
    // but the icon sits centred in it: the panel ends as far past the point as its edge lies
    // before it. Under XWayland the work area does not know a Wayland panel either.
    const Coordinate top = cy - screen.top();
    const Coordinate bottom = screen.bottom() - cy;
    const Coordinate left = cx - screen.left();
    const Coordinate right = screen.right() - cx;
    // Panels run along the top or the bottom far more often than along a side, and an icon in
    // a corner may lie nearer the side: a side wins only away from both horizontal edges.
    constexpr Coordinate panelDepth = 64;
    const Coordinate vertical = std::min(top, bottom);
    const bool horizontalPanel = vertical <= panelDepth || vertical <= std::min(left, right);
    Coordinate x = cx - width / 2;
    Coordinate y = cy - height / 2;
    if (horizontalPanel && top <= bottom) {
        y = std::max<Coordinate>(anchor.bottom(), cy + top) + margin;
    } else if (horizontalPanel) {
        y = std::min<Coordinate>(anchor.top(), cy - bottom) - margin - height;
    } else if (left <= right) {
        x = std::max<Coordinate>(anchor.right(), cx + left) + margin;
    } else {
        x = std::min<Coordinate>(anchor.left(), cx - right) - margin - width;
    }
    const QRect area = available.isValid() ? available : screen;
    const Coordinate areaLeft = area.left();
    const Coordinate areaTop = area.top();
    const Coordinate areaRight = area.right();
    const Coordinate areaBottom = area.bottom();
    x = std::clamp(x, areaLeft, std::max(areaLeft, areaRight + 1 - width));
    y = std::clamp(y, areaTop, std::max(areaTop, areaBottom + 1 - height));
    return {static_cast<int>(x), static_cast<int>(y)};
}

QPoint origin(QRect anchor, QSize size) {
    const QScreen* screen = screenOf(anchor);
    return screen != nullptr ? origin(anchor, size, screen->geometry(), screen->availableGeometry())
                             : anchor.topLeft();
}

int maximumHeight(QRect anchor) {
    const QScreen* screen = screenOf(anchor);
    // Without a screen nothing is known to fit: no bound.
    return screen != nullptr ? std::max(1, screen->availableGeometry().height() - 2 * margin)
                             : std::numeric_limits<int>::max();
}

}  // namespace PopoverPlacement
