#pragma once

#include "RawValue.h"

// Which limit a usage window measures. Added kinds go last: tests and tools cast from the index.
enum class UsageWindowKind { fiveHour, weekly, modelWeekly, other, monthly };

template <>
struct RawValues<UsageWindowKind> {
    static constexpr std::array<std::string_view, 5> names{"fiveHour", "weekly", "modelWeekly",
                                                           "other", "monthly"};
};
