#include "UsageColor.h"

#include <algorithm>

UsageColor usageColor(std::optional<double> usedPercent) {
    const double used = std::clamp(usedPercent.value_or(0.0), 0.0, 100.0);
    const double left = 100.0 - used;
    if (left < 20.0) {
        return UsageColor::red;
    }
    if (left <= 40.0) {
        return UsageColor::yellow;
    }
    return UsageColor::blue;
}

QColor toColor(UsageColor color) {
    switch (color) {
        case UsageColor::red:
            return QColor(0xe0, 0x1b, 0x24);
        case UsageColor::yellow:
            return QColor(0xf6, 0xd3, 0x2d);
        case UsageColor::blue:
            return QColor(0x35, 0x84, 0xe4);
    }
    return {};
}
