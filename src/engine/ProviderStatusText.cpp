#include "ProviderStatusText.h"

#include "BlockText.h"
#include "TimeDisplayFormatter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QStringList>

#include <array>

namespace {

constexpr const char* context = "ProviderStatusText";

QString tr(const char* text, const char* comment = nullptr, int n = -1) {
    return QCoreApplication::translate(context, text, comment, n);
}

// Between a window's own name and its length in a label: "Spark · 5 hour".
const QString labelSeparator = QStringLiteral(" \u00b7 ");

// The words the providers put into window labels, and the words shown for them: one name for
// each window everywhere ("5-hour", as the announcements say it).
struct LabelWord {
    const char* stored;
    const char* shown;
};
constexpr std::array labelWords{
    LabelWord{"5 hour", QT_TRANSLATE_NOOP("ProviderStatusText", "5-hour")},
    LabelWord{"Weekly", QT_TRANSLATE_NOOP("ProviderStatusText", "Weekly")},
    LabelWord{"Monthly", QT_TRANSLATE_NOOP("ProviderStatusText", "Monthly")},
    LabelWord{"Additional limit", QT_TRANSLATE_NOOP("ProviderStatusText", "Additional limit")}};

}  // namespace

namespace ProviderStatusText {

QString title(ProviderID provider) {
    return provider.kind == ProviderKind::codex ? tr("Codex") : tr("Claude Code");
}

QString shortName(ProviderKind kind) {
    return kind == ProviderKind::codex ? tr("Codex") : tr("Claude");
}

QString accountName(const UsageAccount& account) {
    // The default account is named for being the one the assistant uses unless told otherwise.
    return account.name.isEmpty() ? tr("default") : account.name;
}

QString namedProvider(ProviderKind kind, const QString& accountName) {
    if (accountName.isEmpty()) {
        return shortName(kind);
    }
    //: An assistant and one of its accounts: "Claude (work)".
    return tr("%1 (%2)").arg(shortName(kind), accountName);
}

QString availability(const std::optional<ProviderAvailability>& availability) {
    using Cause = ProviderAvailability::Cause;
    if (!availability) {
        return tr("Not detected");
    }
    switch (availability->kind()) {
        case ProviderAvailability::Kind::available:
            return tr("Connected");
        case ProviderAvailability::Kind::notInstalled:
            return tr("Not installed");
        case ProviderAvailability::Kind::notAuthenticated:
            return availability->cause() == Cause::sessionExpired ? tr("Session expired")
                                                                  : tr("Sign in required");
        case ProviderAvailability::Kind::requiresProPlan:
            return tr("Upgrade to Pro");
        case ProviderAvailability::Kind::unsupported:
            return tr("Not detected");
        case ProviderAvailability::Kind::temporarilyUnavailable:
            break;
    }
    return availability->cause() == Cause::rateLimited ? tr("Rate limited") : tr("Unavailable");
}

QString reason(const std::optional<ProviderAvailability>& availability, ProviderKind kind) {
    using Cause = ProviderAvailability::Cause;
    using Kind = ProviderAvailability::Kind;
    if (!availability) {
        return ProviderStatusText::availability(availability);
    }
    switch (availability->cause()) {
        case Cause::sessionExpired:
            return tr("Session expired: run claude to renew it");
        case Cause::missingScope:
            return tr(
                "This token cannot read usage (one made by claude setup-token): run claude "
                "and sign in");
        case Cause::rateLimited:
            //: %1 the local time after which Vantor asks again.
            return tr("Rate limited until %1")
                .arg(QLocale().toString(availability->until()->toDateTime().toLocalTime().time(),
                                        QLocale::ShortFormat));
        case Cause::refreshFailed:
            return tr("Usage data couldn't be refreshed; Vantor tries again soon.");
        case Cause::none:
            break;
    }
    // A message from a reader that knows no cause is shown as it came.
    if (!availability->message().isEmpty() &&
        (availability->kind() == Kind::notAuthenticated ||
         availability->kind() == Kind::temporarilyUnavailable)) {
        return availability->message();
    }
    const bool codex = kind == ProviderKind::codex;
    switch (availability->kind()) {
        case Kind::notInstalled:
            return codex ? tr("Not installed: install it with npm install -g @openai/codex")
                         : tr("Not installed: install it with npm install -g "
                              "@anthropic-ai/claude-code");
        case Kind::notAuthenticated:
            return codex ? tr("Not signed in: run codex login")
                         : tr("Not signed in: run claude and sign in");
        case Kind::available:
        case Kind::requiresProPlan:
        case Kind::unsupported:
        case Kind::temporarilyUnavailable:
            break;
    }
    return ProviderStatusText::availability(availability);
}

bool namesOwnWindow(const QString& label) {
    return label.contains(labelSeparator);
}

QString windowLabel(const QString& label) {
    QStringList parts = label.split(labelSeparator);
    for (QString& part : parts) {
        for (const LabelWord& word : labelWords) {
            if (part == QLatin1String(word.stored)) {
                part = tr(word.shown);
            }
        }
    }
    return parts.join(labelSeparator);
}

QString percent(int value, const QLocale& locale) {
    //: A share: "42%"; the language's own spacing before the sign.
    return tr("%1%").arg(locale.toString(value));
}

QString windowLeft(const QString& label, int left) {
    //: A window's share left: "5-hour 42% left"; %1 the window's name.
    return tr("%1 %n% left", nullptr, left).arg(label);
}

QString windowSpent(const QString& label) {
    //: %1 the window's name: "5-hour limit reached".
    return tr("%1 limit reached").arg(label);
}

QString shownLabel(const UsageWindowSnapshot& window) {
    if (!window.label.isEmpty()) {
        return windowLabel(window.label);
    }
    switch (window.kind) {
        case UsageWindowKind::fiveHour:
            return windowLabel(QStringLiteral("5 hour"));
        case UsageWindowKind::weekly:
        case UsageWindowKind::modelWeekly:
            return windowLabel(QStringLiteral("Weekly"));
        case UsageWindowKind::monthly:
            return windowLabel(QStringLiteral("Monthly"));
        case UsageWindowKind::other:
            break;
    }
    return windowLabel(QStringLiteral("Additional limit"));
}

QString windowWaiting(const QString& label) {
    //: A limit whose reset time has passed, before a refresh has read it again; %1 its name.
    return tr("%1 limit reset, waiting for a new reading").arg(label);
}

QString windowLine(const UsageWindowSnapshot& window, Instant now, const QLocale& locale) {
    const QString label = shownLabel(window);
    if (window.awaitsReading(now)) {
        return windowWaiting(label);
    }
    const TimeDisplayFormatter formatter;
    if (window.severity(100.0) == UsageSeverity::spent) {
        const QString spent = windowSpent(label);
        return window.resetsAfter(now) ? spent + QStringLiteral(" \u00b7 ") +
                                             formatter.backText(*window.resetAt, now, locale)
                                       : spent;
    }
    const std::optional<int> left = window.percentLeft();
    //: A window whose use the provider did not tell: "5-hour use unknown".
    const QString share = left ? windowLeft(label, *left) : tr("%1 use unknown").arg(label);
    return window.resetsAfter(now) ? formatter.withReset(share, *window.resetAt, now, locale)
                                   : share;
}

QString accountLine(const ProviderUsageSnapshot& snapshot, Instant now, const QLocale& locale) {
    // Room in the windows means nothing while the account is blocked.
    if (const std::optional<UsageBlock> block = snapshot.accountBlock()) {
        return BlockText::headline(*block, now, locale);
    }
    const std::optional<UsageWindowSnapshot> window = snapshot.summaryWindow();
    return window ? windowLine(*window, now, locale) : QString();
}

bool isStale(const std::optional<ProviderUsageSnapshot>& snapshot,
             const std::optional<ProviderAvailability>& availability) {
    // Values shown although the last refresh failed: they get their age and the reason.
    return snapshot && !snapshot->windows.isEmpty() && availability && !availability->isAvailable();
}

QString staleText(const std::optional<ProviderUsageSnapshot>& snapshot,
                  const std::optional<ProviderAvailability>& availability, Instant now,
                  const QLocale& locale) {
    if (!isStale(snapshot, availability)) {
        return {};
    }
    const QDateTime seen = snapshot->observedAt.toDateTime().toLocalTime();
    const bool today = seen.date() == now.toDateTime().toLocalTime().date();
    return tr("as of %1")
        .arg(today ? locale.toString(seen.time(), QLocale::ShortFormat)
                   : locale.toString(seen, QLocale::ShortFormat));
}

QString staleMark(const std::optional<ProviderUsageSnapshot>& snapshot,
                  const std::optional<ProviderAvailability>& availability, Instant now,
                  const QLocale& locale) {
    const QString age = staleText(snapshot, availability, now, locale);
    if (age.isEmpty()) {
        return {};
    }
    using Cause = ProviderAvailability::Cause;
    using Kind = ProviderAvailability::Kind;
    // Why, in a word, after the age: the reason's full words say what to do.
    QString why = tr("not refreshed");
    if (availability->kind() == Kind::notAuthenticated) {
        why = availability->cause() == Cause::sessionExpired ? tr("session expired")
                                                             : tr("sign in needed");
    } else if (availability->cause() == Cause::rateLimited) {
        why = tr("rate limited");
    } else if (availability->kind() == Kind::notInstalled) {
        why = tr("not installed");
    }
    //: Values not current: "as of 9:01 PM · sign in needed".
    return tr("%1 \u00b7 %2").arg(age, why);
}

}  // namespace ProviderStatusText
