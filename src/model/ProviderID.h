#pragma once

#include "RawValue.h"

// One of the two watched assistants; the key of every per-provider map.
enum class ProviderID { codex, claude };

template <>
struct RawValues<ProviderID> {
    static constexpr std::array<std::string_view, 2> names{"codex", "claude"};
};
