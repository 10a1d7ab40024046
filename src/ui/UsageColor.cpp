#include "UsageColor.h"

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
