#include "Contrast.h"

#include <algorithm>
#include <cmath>

namespace Contrast {

namespace {

double luminance(const QColor& color) {
    const auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const QColor c = color.toRgb();
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

// `from` moved `step` 256ths of the way to `to`, rounded as a channel is.
QColor mixed(const QColor& from, const QColor& to, int step) {
    const auto channel = [step](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * step / 256.0));
    };
    const QColor f = from.toRgb();
    const QColor t = to.toRgb();
    return QColor(channel(f.red(), t.red()), channel(f.green(), t.green()),
                  channel(f.blue(), t.blue()), f.alpha());
}

}  // namespace

double ratio(const QColor& one, const QColor& other) {
    // By value: std::minmax of temporaries hands back references to them.
    const double first = luminance(one);
    const double second = luminance(other);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor over(const QColor& top, const QColor& bottom) {
    const QColor t = top.toRgb();
    const QColor b = bottom.toRgb();
    const int alpha = t.alpha();
    const auto channel = [alpha](int up, int down) {
        return static_cast<int>(std::lround((up * alpha + down * (255 - alpha)) / 255.0));
    };
    return QColor(channel(t.red(), b.red()), channel(t.green(), b.green()),
                  channel(t.blue(), b.blue()));
}

double least(const QColor& color, const QList<QColor>& backgrounds) {
    double lowest = 21.0;
    for (const QColor& background : backgrounds) {
        lowest = std::min(lowest, ratio(over(color, background), background));
    }
    return lowest;
}

QColor legible(const QColor& color, const QList<QColor>& backgrounds, double minimum) {
    if (least(color, backgrounds) >= minimum || backgrounds.isEmpty()) {
        return color;
    }
    // Away from the backgrounds first, keeping the colour's side of them; then the other side.
    const bool lighter = luminance(color) >= luminance(backgrounds.first());
    const QColor white(255, 255, 255, color.alpha());
    const QColor black(0, 0, 0, color.alpha());
    for (const QColor& extreme : lighter ? QList{white, black} : QList{black, white}) {
        for (int step = 1; step <= 256; ++step) {
            const QColor shade = mixed(color, extreme, step);
            if (least(shade, backgrounds) >= minimum) {
                return shade;
            }
        }
    }
    return least(white, backgrounds) >= least(black, backgrounds) ? white : black;
}

QColor atOpacity(const QColor& color, double opacity, const QList<QColor>& backgrounds,
                 double minimum) {
    QColor shade = color.toRgb();
    for (int alpha = static_cast<int>(std::lround(std::clamp(opacity, 0.0, 1.0) * 255));
         alpha <= 255; ++alpha) {
        shade.setAlpha(alpha);
        if (least(shade, backgrounds) >= minimum) {
            return shade;
        }
    }
    return shade;
}

}  // namespace Contrast
