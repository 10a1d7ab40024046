#pragma once

#include "RawValue.h"

#include <QString>

#include <optional>

// Which limit a usage window measures. Added kinds go last: tests and tools cast from the index.
enum class UsageWindowKind { fiveHour, weekly, modelWeekly, other, monthly };

template <>
struct RawValues<UsageWindowKind> {
    static constexpr std::array<std::string_view, 5> names{"fiveHour", "weekly", "modelWeekly",
                                                           "other", "monthly"};
};

// How long a window of this kind lasts, in minutes (a month counted as 30 days); none for a
// kind without one length.
inline std::optional<double> lengthMinutes(UsageWindowKind kind) {
    switch (kind) {
        case UsageWindowKind::fiveHour:
            return 300.0;
        case UsageWindowKind::weekly:
            return 10080.0;
        case UsageWindowKind::monthly:
            return 43200.0;
        case UsageWindowKind::modelWeekly:
        case UsageWindowKind::other:
            break;
    }
    return std::nullopt;
}

// The label a window of this kind gets when its source names it no better.
inline QString defaultLabel(UsageWindowKind kind) {
    switch (kind) {
        case UsageWindowKind::fiveHour:
            return QStringLiteral("5 hour");
        case UsageWindowKind::weekly:
            return QStringLiteral("Weekly");
        case UsageWindowKind::monthly:
            return QStringLiteral("Monthly");
        case UsageWindowKind::modelWeekly:
        case UsageWindowKind::other:
            break;
    }
    return QStringLiteral("Additional limit");
}
