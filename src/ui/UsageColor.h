#pragma once

#include <QColor>

#include <optional>

// The colour of a usage ring, chosen by the share of the limit that is left.
enum class UsageColor { red, yellow, blue };

// Red below 20 % left, yellow from 20 to 40 % left inclusive, blue above. An absent share
// counts as nothing used; shares outside 0 to 100 are clamped first.
UsageColor usageColor(std::optional<double> usedPercent);
// The desktop's standard red, yellow and blue (the GNOME palette's).
QColor toColor(UsageColor color);
