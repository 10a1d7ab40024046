#pragma once

#include "RawValue.h"

#include <QString>

// What a provider, or a component it uses, reports when it fails.
enum class ProviderError {
    notInstalled,
    notAuthenticated,
    malformedResponse,
    requestTimedOut,
    temporarilyUnavailable
};

template <>
struct RawValues<ProviderError> {
    static constexpr std::array<std::string_view, 5> names{"notInstalled", "notAuthenticated",
                                                           "malformedResponse", "requestTimedOut",
                                                           "temporarilyUnavailable"};
};

// The human-readable description of each case.
QString description(ProviderError error);
