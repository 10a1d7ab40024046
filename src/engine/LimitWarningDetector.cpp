#include "LimitWarningDetector.h"

#include <algorithm>
#include <cmath>

LimitWarningDetector::Result LimitWarningDetector::process(const ProviderUsageSnapshot& current,
                                                           int threshold, bool firstReading,
                                                           QStringList marks) {
    Result result{{}, std::move(marks)};
    if (threshold <= 0) {
        return result;
    }
    for (const UsageWindowSnapshot& window : current.windows) {
        if (!window.usedPercent || !std::isfinite(*window.usedPercent) || window.hasEnded()) {
            continue;
        }
        const QString name = rawValue(current.providerID) + u'.' + window.id;
        const QString reset = periodKey(window);
        const bool above = *window.usedPercent >= threshold;
        const auto mark =
            std::find_if(result.marks.begin(), result.marks.end(),
                         [&name](const QString& m) { return m.left(m.lastIndexOf(u' ')) == name; });
        if (mark != result.marks.end()) {
            bool known = false;
            const double marked = mark->mid(mark->lastIndexOf(u' ') + 1).toDouble(&known);
            const auto markedReset =
                known ? std::optional(Instant::fromUnixSeconds(marked)) : std::nullopt;
            if (above && UsageWindowSnapshot::sameReset(markedReset, window.resetAt)) {
                continue;
            }
            // Fallen back below the threshold, or a new window: warn again when it crosses.
            result.marks.erase(mark);
        }
        if (!above) {
            continue;
        }
        result.marks.append(name + u' ' + reset);
        if (!firstReading || window.state != UsageWindowState::exhausted) {
            result.warnings.append(window);
        }
    }
    return result;
}

QString LimitWarningDetector::periodKey(const UsageWindowSnapshot& window) {
    return window.resetAt ? QString::number(std::llround(window.resetAt->unixSeconds()))
                          : QStringLiteral("-");
}
