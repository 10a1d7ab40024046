#pragma once

#include "UsageSeverity.h"

#include <QColor>

// The colour of a usage ring or arc: the severity's.
enum class UsageColor { red, yellow, blue };

UsageColor usageColor(UsageSeverity severity);
// The desktop's standard red, yellow and blue (the GNOME palette's).
QColor toColor(UsageColor color);
