#pragma once

#include <QString>

#include <cmath>
#include <optional>

// Paid use beyond the plan's limits that a provider reports for the current month, in the
// currency's minor units as reported (1234 with two decimal places is 12.34).
struct ExtraUsage {
    double usedMinorUnits = 0.0;
    // None: no monthly cap.
    std::optional<double> limitMinorUnits;
    int decimalPlaces = 2;
    // ISO 4217 code; empty when the provider names none.
    QString currency;

    double usedAmount() const { return usedMinorUnits / std::pow(10.0, decimalPlaces); }
    std::optional<double> limitAmount() const {
        return limitMinorUnits ? std::optional(*limitMinorUnits / std::pow(10.0, decimalPlaces))
                               : std::nullopt;
    }

    friend bool operator==(const ExtraUsage&, const ExtraUsage&) = default;
};
