#pragma once

#include "RawValue.h"

// Which of the two watched assistants an account belongs to.
enum class ProviderKind { codex, claude };

template <>
struct RawValues<ProviderKind> {
    static constexpr std::array<std::string_view, 2> names{"codex", "claude"};
};
