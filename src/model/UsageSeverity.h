#pragma once

// How close a window is to stopping the user, as every display shows it: one scale, from the
// user's own warning threshold.
enum class UsageSeverity { normal, nearing, spent };
