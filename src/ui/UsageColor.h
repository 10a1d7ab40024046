#pragma once

#include "UsageSeverity.h"

#include <QColor>
#include <QList>

// The colour of a usage ring or arc: the severity's.
enum class UsageColor { red, yellow, blue };

UsageColor usageColor(UsageSeverity severity);
// The desktop's standard red, yellow and blue (the GNOME palette's).
QColor toColor(UsageColor color);
// The severity's hue in a shade that stands at least 3:1 against every one of `backgrounds`,
// the first being what it mostly sits on: a deep shade on a light surface, a bright one on a
// dark surface (the standard yellow stands 1.07:1 on a light card).
QColor toColor(UsageColor color, const QList<QColor>& backgrounds);
