#include "UsageColor.h"

#include "Contrast.h"

UsageColor usageColor(UsageSeverity severity) {
    switch (severity) {
        case UsageSeverity::spent:
            return UsageColor::red;
        case UsageSeverity::nearing:
            return UsageColor::yellow;
        case UsageSeverity::normal:
            break;
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

QColor toColor(UsageColor color, const QList<QColor>& backgrounds) {
    if (backgrounds.isEmpty()) {
        return toColor(color);
    }
    // The palette's deeper and brighter shades of each hue, the warning's an amber that still
    // reads as yellow beside the others.
    const bool dark = backgrounds.first().lightness() < 128;
    QColor shade;
    switch (color) {
        case UsageColor::red:
            shade = dark ? QColor(0xff, 0x7b, 0x63) : QColor(0xc0, 0x1c, 0x28);
            break;
        case UsageColor::yellow:
            shade = dark ? QColor(0xf8, 0xe4, 0x5c) : QColor(0x9c, 0x6e, 0x03);
            break;
        case UsageColor::blue:
            shade = dark ? QColor(0x78, 0xae, 0xed) : QColor(0x1a, 0x5f, 0xb4);
            break;
    }
    return Contrast::legible(shade, backgrounds, 3.0);
}
