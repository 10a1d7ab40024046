#pragma once

#include "RawValue.h"

// Which limit a usage window measures.
enum class UsageWindowKind { fiveHour, weekly, modelWeekly, other };

template <>
struct RawValues<UsageWindowKind> {
    static constexpr std::array<std::string_view, 4> names{"fiveHour", "weekly", "modelWeekly",
                                                           "other"};
};
