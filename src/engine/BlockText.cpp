#include "BlockText.h"

#include "TimeDisplayFormatter.h"

#include <QCoreApplication>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("BlockText", text);
}

struct KnownReason {
    QLatin1String reason;
    const char* text;
};

// The reasons Codex reports, and our own for a spending control reached without one.
const KnownReason knownReasons[] = {
    {QLatin1String("workspace_member_credits_depleted"),
     QT_TRANSLATE_NOOP("BlockText", "Workspace credits used up")},
    {QLatin1String("workspace_owner_credits_depleted"),
     QT_TRANSLATE_NOOP("BlockText", "Workspace out of credits")},
    {QLatin1String("workspace_member_usage_limit_reached"),
     QT_TRANSLATE_NOOP("BlockText", "Workspace usage limit reached")},
    {QLatin1String("workspace_owner_usage_limit_reached"),
     QT_TRANSLATE_NOOP("BlockText", "Workspace-wide usage limit reached")},
    {QLatin1String("rate_limit_reached"), QT_TRANSLATE_NOOP("BlockText", "Usage limit reached")},
    {QLatin1String("spend_control_reached"),
     QT_TRANSLATE_NOOP("BlockText", "Spending limit reached")},
};

}  // namespace

namespace BlockText {

QString reason(const UsageBlock& block) {
    for (const KnownReason& known : knownReasons) {
        if (block.reason == known.reason) {
            return tr(known.text);
        }
    }
    return tr("Usage blocked");
}

QString lift(const UsageBlock& block, Instant now, const QLocale& locale) {
    if (!block.until || block.hasLifted(now)) {
        return {};
    }
    const TimeDisplayFormatter formatter;
    // Within the hour, as a spent limit says it: "back in 12 min".
    if (TimeDisplayFormatter::countsMinutes(*block.until, now)) {
        return formatter.backText(*block.until, now, locale);
    }
    //: When a block lifts: "until Jan 1, 09:00".
    return tr("until %1").arg(formatter.resetText(*block.until, now, locale));
}

QString headline(const UsageBlock& block, Instant now, const QLocale& locale) {
    const QString when = lift(block, now, locale);
    //: A block and when it lifts: "Workspace credits used up · until Jan 1, 09:00".
    return when.isEmpty() ? reason(block) : tr("%1 \u00b7 %2").arg(reason(block), when);
}

QString liftedBody(const UsageBlock& block) {
    if (UsageBlock::aboutCredits(block.reason)) {
        return tr("Workspace credits are available again.");
    }
    if (block.reason == UsageBlock::spendControlReason) {
        return tr("The spending limit no longer blocks your usage.");
    }
    return tr("The block on your usage has lifted.");
}

}  // namespace BlockText
