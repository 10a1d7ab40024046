#pragma once

#include "RawValue.h"

// How a snapshot's data was obtained; unavailable marks a snapshot without usable data.
enum class UsageSourceConfidence { authoritative, providerInternal, inferred, unavailable };

template <>
struct RawValues<UsageSourceConfidence> {
    static constexpr std::array<std::string_view, 4> names{"authoritative", "providerInternal",
                                                           "inferred", "unavailable"};
};
