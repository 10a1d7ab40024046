#pragma once

#include "Instant.h"

#include <optional>

// A workspace's monthly credit limit for one member, as Codex reports it.
struct IndividualLimit {
    double used = 0.0;
    // None: no limit reported.
    std::optional<double> limit;
    std::optional<double> remainingPercent;
    std::optional<Instant> resetsAt;

    friend bool operator==(const IndividualLimit&, const IndividualLimit&) = default;
};
