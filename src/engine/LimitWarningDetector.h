#pragma once

#include "ProviderUsageSnapshot.h"

#include <QList>
#include <QStringList>

#include <array>

// Decides when a window's use has crossed the user's warning threshold. A window is warned
// about once: it stays quiet until it resets (its reset time moves) or its use falls below
// the threshold again. The marks that remember this are the caller's to keep, across
// launches too, so a restart never repeats a warning.
class LimitWarningDetector {
public:
    // The thresholds offered, in percent used; 0 is off.
    static constexpr std::array<int, 4> thresholds{0, 75, 90, 95};
    static constexpr int defaultThreshold = 90;

    struct Result {
        // The windows to warn about, in the snapshot's order.
        QList<UsageWindowSnapshot> warnings;
        // "<provider>.<window id> <reset time in Unix seconds, or ->" per warned window,
        // oldest first; the store that keeps them bounds them.
        QStringList marks;
    };

    // The window's period as the marks and the warning's identifier name it: its reset time in
    // whole Unix seconds, or "-" without one.
    static QString periodKey(const UsageWindowSnapshot& window);

    // On the first reading after start a window already exhausted is marked, not warned
    // about: the user knows.
    static Result process(const ProviderUsageSnapshot& current, int threshold, bool firstReading,
                          QStringList marks);
};
