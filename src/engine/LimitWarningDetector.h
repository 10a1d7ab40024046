#pragma once

#include "ProviderUsageSnapshot.h"

#include <QList>
#include <QStringList>

#include <array>

// Decides when a window's use has crossed the user's warning threshold. A window is warned
// about once: it stays quiet until it resets (its reset time moves) or its use falls below
// the threshold again. A window that becomes spent is told once per period instead, while
// warnings are on. The marks that remember this are the caller's to keep, across launches
// too, so a restart never repeats a warning.
class LimitWarningDetector {
public:
    // The thresholds offered, in percent used; 0 is off.
    static constexpr std::array<int, 4> thresholds{0, 75, 90, 95};
    static constexpr int defaultThreshold = 90;

    struct Result {
        // The windows to warn about, in the snapshot's order.
        QList<UsageWindowSnapshot> warnings;
        // The windows that became spent, in the snapshot's order; not warned about as well.
        QList<UsageWindowSnapshot> spent;
        // "<provider>.<window id> <reset time in Unix seconds, or ->" per warned window, and
        // the same after "spent:" per spent window told, oldest first; the store that keeps
        // them bounds them.
        QStringList marks;
    };

    // The window's period as the marks and the warning's identifier name it: its reset time in
    // whole Unix seconds, or "-" without one.
    static QString periodKey(const UsageWindowSnapshot& window);

    static inline const QString spentPrefix = QStringLiteral("spent:");

    // On the first reading after start a window already exhausted is marked, not warned
    // about nor told as spent: the user knows. Nor is a spent window told while the whole
    // account is blocked: the block is what stops it, and is told of its own.
    static Result process(const ProviderUsageSnapshot& current, int threshold, bool firstReading,
                          QStringList marks);

private:
    // Whether what the mark `name` remembers holds for the window and is not yet marked for
    // its period; a mark that no longer holds, or is of another period, is dropped.
    static bool takeMark(QStringList& marks, const QString& name, const UsageWindowSnapshot& window,
                         bool holds);
};
