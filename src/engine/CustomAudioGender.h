#pragma once

#include "RawValue.h"

// The gender of the reset-alert voice.
enum class CustomAudioGender { female, male };

template <>
struct RawValues<CustomAudioGender> {
    static constexpr std::array<std::string_view, 2> names{"female", "male"};
};
