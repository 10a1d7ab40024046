#include "LimitWarningDetector.h"

#include <algorithm>
#include <cmath>

LimitWarningDetector::Result LimitWarningDetector::process(const ProviderUsageSnapshot& current,
                                                           int threshold, bool firstReading,
                                                           QStringList marks) {
    Result result{{}, {}, std::move(marks)};
    if (threshold <= 0) {
        return result;
    }
    for (const UsageWindowSnapshot& window : current.windows) {
        // A block, of the account or of the window's bucket, is what stops it.
        const bool blocked = current.blockOf(window).has_value();
        if (!window.usedPercent || !std::isfinite(*window.usedPercent) || window.hasEnded()) {
            continue;
        }
        const QString name = rawValue(current.providerID) + u'.' + window.id;
        const bool spent = window.state == UsageWindowState::exhausted;
        // Once per period: a spent window that reads as not spent for a while is not told again
        // within the same period, unless it has no reset time to tell periods apart by.
        const bool newSpent =
            takeMark(result.marks, spentPrefix + name, window, spent || window.resetAt.has_value());
        const bool newAbove = takeMark(result.marks, name, window, window.leavesAtMost(threshold));
        if (spent && newSpent) {
            result.marks.append(spentPrefix + name + u' ' + periodKey(window));
        }
        if (newAbove) {
            result.marks.append(name + u' ' + periodKey(window));
        }
        if (firstReading && spent) {
            continue;
        }
        if (spent && newSpent && !blocked) {
            result.spent.append(window);
        } else if (newAbove && !spent) {
            result.warnings.append(window);
        }
    }
    return result;
}

bool LimitWarningDetector::takeMark(QStringList& marks, const QString& name,
                                    const UsageWindowSnapshot& window, bool holds) {
    const auto mark = std::find_if(marks.begin(), marks.end(), [&name](const QString& m) {
        return m.left(m.lastIndexOf(u' ')) == name;
    });
    if (mark != marks.end()) {
        bool known = false;
        const double marked = mark->mid(mark->lastIndexOf(u' ') + 1).toDouble(&known);
        const auto markedReset =
            known ? std::optional(Instant::fromUnixSeconds(marked)) : std::nullopt;
        if (holds && UsageWindowSnapshot::sameReset(markedReset, window.resetAt)) {
            return false;
        }
        // No longer so, or a new period: told again when it comes.
        marks.erase(mark);
    }
    return holds;
}

QString LimitWarningDetector::periodKey(const UsageWindowSnapshot& window) {
    return window.resetAt ? QString::number(std::llround(window.resetAt->unixSeconds()))
                          : QStringLiteral("-");
}
