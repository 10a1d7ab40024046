#pragma once

#include "RawValue.h"

// A provider's judgement of one usage window.
enum class UsageWindowState {
    available,
    nearingLimit,
    exhausted,
    awaitingResetConfirmation,
    unknown
};

template <>
struct RawValues<UsageWindowState> {
    static constexpr std::array<std::string_view, 5> names{"available", "nearingLimit", "exhausted",
                                                           "awaitingResetConfirmation", "unknown"};
};
