#include "CardText.h"

#include "BlockText.h"
#include "MoneyText.h"
#include "ProviderStatusText.h"
#include "TimeDisplayFormatter.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace {

QString tr(const char* text, const char* comment = nullptr, int n = -1) {
    return QCoreApplication::translate("CardText", text, comment, n);
}

double clampPercent(double value) {
    return std::clamp(value, 0.0, 100.0);
}

// Nothing used and no reset clock running: the window starts with the next use.
bool notStarted(const UsageWindowSnapshot& window) {
    return !window.resetAt && window.usedPercent.value_or(0.0) <= 0.0;
}

QString kindPrefix(const UsageWindowSnapshot& window) {
    switch (window.kind) {
        case UsageWindowKind::fiveHour:
            return QCoreApplication::translate("CardText", "5-hour");
        case UsageWindowKind::weekly:
            return QCoreApplication::translate("CardText", "Weekly");
        case UsageWindowKind::modelWeekly:
            // A model's own limit is named by its model, the last part of "Weekly · Fable".
            return window.label.isEmpty() ? QCoreApplication::translate("CardText", "Model week")
                                          : window.label.section(QStringLiteral(" \u00b7 "), -1);
        case UsageWindowKind::monthly:
            return QCoreApplication::translate("CardText", "Monthly");
        case UsageWindowKind::other:
            break;
    }
    return QCoreApplication::translate("CardText", "Usage");
}

}  // namespace

namespace CardText {

qint64 roundHalfAway(double value) {
    // std::llround rounds halves away from zero.
    return std::isfinite(value) ? std::llround(value) : 0;
}

QString providerName(ProviderID provider, const QString& accountLabel) {
    const QString name = provider.kind == ProviderKind::codex ? tr("Codex") : tr("Claude");
    //: A card's title when several accounts of an assistant are watched: "Claude · work".
    return accountLabel.isEmpty() ? name : tr("%1 \u00b7 %2").arg(name, accountLabel);
}

std::optional<double> usedPercent(const std::optional<ProviderUsageSnapshot>& snapshot) {
    if (!snapshot) {
        return std::nullopt;
    }
    // A blocked account has nothing left to use, whatever its windows say.
    if (snapshot->accountBlock()) {
        return 100.0;
    }
    const auto window = snapshot->summaryWindow();
    if (!window || !window->usedPercent) {
        return std::nullopt;
    }
    return clampPercent(*window->usedPercent);
}

UsageSeverity severity(const std::optional<ProviderUsageSnapshot>& snapshot, double nearingPercent,
                       Instant now) {
    if (!snapshot) {
        return UsageSeverity::normal;
    }
    // A block whose end has passed, or a headline whose reset has, waits for a new reading.
    if (const auto block = snapshot->accountBlock()) {
        return block->hasLifted(now) ? UsageSeverity::normal : UsageSeverity::spent;
    }
    const auto window = snapshot->summaryWindow();
    return window ? window->severity(nearingPercent, now) : UsageSeverity::normal;
}

QString summary(const std::optional<ProviderUsageSnapshot>& snapshot,
                const std::optional<ProviderAvailability>& availability, Instant now,
                const QLocale& locale) {
    if (snapshot) {
        // On two lines: the card is narrow, and the reason must not push out its end.
        if (const auto block = snapshot->accountBlock()) {
            const QString lift = BlockText::lift(*block, now, locale);
            return lift.isEmpty() ? BlockText::reason(*block)
                                  : BlockText::reason(*block) + u'\n' + lift;
        }
        if (const auto window = snapshot->summaryWindow()) {
            // Its figures belong to a period that has ended: none of them holds now.
            if (window->awaitsReading(now)) {
                return ProviderStatusText::windowWaiting(kindPrefix(*window));
            }
            // Which limit stops the user, and when it comes back.
            if (window->state == UsageWindowState::exhausted) {
                // As the tray and `vantor status` say it.
                const QString reached = ProviderStatusText::windowSpent(kindPrefix(*window));
                return window->resetsAfter(now)
                           ? reached + QStringLiteral(" \u00b7 ") +
                                 TimeDisplayFormatter().backText(*window->resetAt, now, locale)
                           : reached;
            }
            if (!window->usedPercent) {
                return tr("Available");
            }
            return kindPrefix(*window) + QStringLiteral(" \u2022 ") +
                   tr("%n% left", nullptr, *window->percentLeft());
        }
    }
    // The shared availability words, but for a card a provider not yet answered is loading, and
    // one never probed or unsupported is unavailable.
    if (!availability || availability->kind() == ProviderAvailability::Kind::unsupported) {
        return tr("Unavailable");
    }
    if (availability->kind() == ProviderAvailability::Kind::available) {
        return tr("Loading");
    }
    return ProviderStatusText::availability(availability);
}

QString ringAccessibilityLabel(ProviderID provider, const QString& accountLabel) {
    // Read aloud, the account goes in brackets as in a sentence: "Claude (work) usage".
    return tr("%1 usage")
        .arg(accountLabel.isEmpty()
                 ? providerName(provider)
                 : ProviderStatusText::namedProvider(provider.kind, accountLabel));
}

QString ringAccessibilityValue(double usedPercent) {
    return tr("%n percent used", nullptr, static_cast<int>(roundHalfAway(usedPercent)));
}

QString expansionHint(bool expanded) {
    return expanded ? tr("Collapse usage details") : tr("Expand usage details");
}

QList<UsageWindowSnapshot> detailWindows(const std::optional<ProviderUsageSnapshot>& snapshot) {
    if (!snapshot) {
        return {};
    }
    QList<UsageWindowSnapshot> chosen = snapshot->windows;
    std::stable_partition(chosen.begin(), chosen.end(), [](const UsageWindowSnapshot& window) {
        return window.kind == UsageWindowKind::fiveHour || window.kind == UsageWindowKind::weekly ||
               window.kind == UsageWindowKind::monthly;
    });
    return chosen.mid(0, 6);
}

QString fillsInText() {
    return tr("The usage shows here by itself once Vantor can read it.");
}

QString whatToDo(const std::optional<ProviderAvailability>& availability, ProviderKind provider) {
    // An assistant that cannot be supported has nothing to do about it.
    if (availability && !availability->isAvailable() &&
        availability->kind() != ProviderAvailability::Kind::unsupported) {
        return ProviderStatusText::reason(availability, provider);
    }
    return {};
}

QString detailsEmptyText(const std::optional<ProviderAvailability>& availability,
                         ProviderKind provider) {
    // Why, and what to do about it; anything else has no usage data to show.
    const QString why = whatToDo(availability, provider);
    return why.isEmpty() ? tr("Usage data unavailable") : why;
}

QString notice(const std::optional<ProviderUsageSnapshot>& snapshot,
               const std::optional<ProviderAvailability>& availability) {
    if (!isStale(snapshot, availability)) {
        return {};
    }
    return ProviderStatusText::reason(availability, snapshot->providerID.kind);
}

QString bindingMark(const UsageWindowSnapshot& window) {
    return window.isActive == true ? tr("Binding limit") : QString();
}

std::optional<UsageBlock> bucketBlock(const std::optional<ProviderUsageSnapshot>& snapshot,
                                      const UsageWindowSnapshot& window) {
    if (!snapshot || snapshot->accountBlock()) {
        return std::nullopt;
    }
    return snapshot->blockOf(window);
}

QString limitTitle(const UsageWindowSnapshot& window) {
    // A label that names a bucket of its own ("Spark · 5 hour") is shown as it is.
    if (ProviderStatusText::namesOwnWindow(window.label)) {
        return ProviderStatusText::windowLabel(window.label);
    }
    switch (window.kind) {
        case UsageWindowKind::fiveHour:
            return tr("5-hour limit");
        case UsageWindowKind::weekly:
            return tr("Weekly limit");
        case UsageWindowKind::modelWeekly:
            return window.label.isEmpty() ? tr("Model week")
                                          : ProviderStatusText::windowLabel(window.label);
        case UsageWindowKind::monthly:
            return tr("Monthly limit");
        case UsageWindowKind::other:
            break;
    }
    return ProviderStatusText::windowLabel(window.label);
}

QString accountText(const std::optional<ProviderUsageSnapshot>& snapshot) {
    if (!snapshot) {
        return {};
    }
    QStringList parts;
    if (snapshot->plan) {
        parts.append(tr("%1 plan").arg(snapshot->plan->left(1).toUpper() + snapshot->plan->mid(1)));
    }
    if (const int resets = snapshot->resetCredits.value_or(0); resets > 0) {
        parts.append(tr("%n resets available", nullptr, resets));
    }
    return parts.join(QStringLiteral(" \u00b7 "));
}

double limitUsedPercent(const UsageWindowSnapshot& window) {
    return clampPercent(window.usedPercent.value_or(0.0));
}

QString remainingText(const UsageWindowSnapshot& window) {
    if (notStarted(window)) {
        return tr("Not started");
    }
    return tr("%n% left", nullptr,
              static_cast<int>(roundHalfAway(100.0 - limitUsedPercent(window))));
}

QString rowText(const UsageWindowSnapshot& window, Instant now, const QLocale& locale,
                double nearingPercent) {
    const bool ahead = window.resetsAfter(now);
    // What it held belongs to a period that has ended, whatever it was.
    if (window.awaitsReading(now)) {
        return tr("Reset time passed");
    }
    if (window.severity(nearingPercent) == UsageSeverity::spent) {
        if (ahead) {
            return TimeDisplayFormatter().backText(*window.resetAt, now, locale);
        }
        // A reset that passed waits for a reading, above: this one has none.
        return tr("Limit reached");
    }
    if (!ahead || notStarted(window)) {
        return remainingText(window);
    }
    return TimeDisplayFormatter().withReset(remainingText(window), *window.resetAt, now, locale);
}

QString resetText(const UsageWindowSnapshot& window, Instant now, const QLocale& locale) {
    if (!window.resetAt) {
        return tr("Reset unavailable");
    }
    if (window.awaitsReading(now)) {
        return tr("Reset time passed");
    }
    return TimeDisplayFormatter().resetText(*window.resetAt, now, locale);
}

QString blockNotice(const std::optional<ProviderUsageSnapshot>& snapshot, Instant now,
                    const QLocale& locale) {
    const auto block = snapshot ? snapshot->accountBlock() : std::nullopt;
    return block ? BlockText::headline(*block, now, locale) : QString();
}

QString withReset(const QString& text, const UsageWindowSnapshot& window, Instant now,
                  const QLocale& locale) {
    // Read aloud: a comma, not the lines' middle dot; "resets Reset time passed" still tells it.
    if (window.resetsAfter(now) && TimeDisplayFormatter::countsMinutes(*window.resetAt, now)) {
        return tr("%1, resets in %2")
            .arg(text, TimeDisplayFormatter().resetText(*window.resetAt, now, locale));
    }
    return tr("%1, resets %2").arg(text, resetText(window, now, locale));
}

QString paceText(const std::optional<UsageHistory::Projection>& projection, Instant now,
                 const QLocale& locale) {
    if (!projection) {
        return {};
    }
    if (!projection->runsOutAt) {
        return tr("On pace: lasts until the reset");
    }
    const Instant runsOut = *projection->runsOutAt;
    const TimeDisplayFormatter formatter;
    if (TimeDisplayFormatter::countsMinutes(runsOut, now)) {
        return tr("At this pace: runs out in %1").arg(formatter.resetText(runsOut, now, locale));
    }
    return formatter.sentence(runsOut, now, locale,
                              {.today = tr("At this pace: runs out at %1"),
                               .tomorrow = tr("At this pace: runs out tomorrow at %1"),
                               .weekday = tr("At this pace: runs out on %1 at %2"),
                               .date = tr("At this pace: runs out on %1")});
}

QString limitAccessibilityLabel(const UsageWindowSnapshot& window, Instant now,
                                const QLocale& locale) {
    if (window.awaitsReading(now)) {
        return tr("%1, reset time passed").arg(limitTitle(window));
    }
    return withReset(limitTitle(window), window, now, locale);
}

QStringList trayMenuRows(const QString& name, ProviderKind kind,
                         const std::optional<ProviderUsageSnapshot>& snapshot,
                         const std::optional<ProviderAvailability>& availability, Instant now,
                         const QLocale& locale) {
    QStringList rows;
    // A blocked account says so first: its windows' room cannot be used.
    if (const auto block = snapshot ? snapshot->accountBlock() : std::nullopt) {
        rows.append(namedLine(name, BlockText::headline(*block, now, locale)));
    }
    const QString separator = QStringLiteral(" \u00b7 ");
    for (const UsageWindowSnapshot& window :
         snapshot ? snapshot->windows : QList<UsageWindowSnapshot>()) {
        // The words of `vantor status`: "Codex: 5-hour 42% left · resets 15:40".
        const QString label = ProviderStatusText::shownLabel(window);
        if (const auto block = bucketBlock(snapshot, window)) {
            rows.append(
                namedLine(name, label + separator + BlockText::headline(*block, now, locale)));
        } else if (notStarted(window)) {
            rows.append(namedLine(name, label + separator + remainingText(window)));
        } else {
            rows.append(namedLine(name, ProviderStatusText::windowLine(window, now, locale)));
        }
    }
    if (rows.isEmpty()) {
        // Nothing to show: what the user can do about it, as the card's notice says it.
        const QString why = whatToDo(availability, kind);
        rows.append(namedLine(
            name, why.isEmpty() ? summary(std::nullopt, availability, now, locale) : why));
    } else if (const QString stale = staleMark(snapshot, availability, now, locale);
               !stale.isEmpty()) {
        rows.append(namedLine(name, stale));
    }
    return rows;
}

QString namedLine(const QString& name, const QString& text) {
    return tr("%1: %2").arg(name, text);
}

}  // namespace CardText
