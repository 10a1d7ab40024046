#include "CardText.h"

#include "ProviderStatusText.h"
#include "TimeDisplayFormatter.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ProviderCard", text);
}

double clampPercent(double value) {
    return std::clamp(value, 0.0, 100.0);
}

QString kindPrefix(UsageWindowKind kind) {
    switch (kind) {
        case UsageWindowKind::fiveHour:
            return tr("5h");
        case UsageWindowKind::weekly:
            return tr("Weekly");
        case UsageWindowKind::modelWeekly:
            return tr("Model week");
        case UsageWindowKind::other:
            break;
    }
    return tr("Usage");
}

}  // namespace

namespace CardText {

qint64 roundHalfAway(double value) {
    // std::llround rounds halves away from zero.
    return std::isfinite(value) ? std::llround(value) : 0;
}

QString providerName(ProviderID provider) {
    return provider == ProviderID::codex ? tr("Codex") : tr("Claude");
}

std::optional<double> usedPercent(const std::optional<ProviderUsageSnapshot>& snapshot) {
    if (!snapshot) {
        return std::nullopt;
    }
    const auto window = snapshot->summaryWindow();
    if (!window || !window->usedPercent) {
        return std::nullopt;
    }
    return clampPercent(*window->usedPercent);
}

QString summary(const std::optional<ProviderUsageSnapshot>& snapshot,
                const std::optional<ProviderAvailability>& availability) {
    if (snapshot) {
        if (const auto window = snapshot->summaryWindow()) {
            if (window->state == UsageWindowState::exhausted) {
                return tr("Limit reached");
            }
            if (!window->usedPercent) {
                return tr("Available");
            }
            const double used = *window->usedPercent;
            const qint64 left = used <= 0.0 ? 100 : roundHalfAway(100.0 - std::min(used, 100.0));
            return kindPrefix(window->kind) + QStringLiteral(" \u2022 ") + tr("%1% left").arg(left);
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

QString ringAccessibilityLabel(ProviderID provider) {
    return tr("%1 usage").arg(providerName(provider));
}

QString ringAccessibilityValue(double usedPercent) {
    return tr("%1 percent used").arg(roundHalfAway(usedPercent));
}

QString expansionHint(bool expanded) {
    return expanded ? tr("Collapse usage details") : tr("Expand usage details");
}

QList<UsageWindowSnapshot> detailWindows(const std::optional<ProviderUsageSnapshot>& snapshot) {
    if (!snapshot) {
        return {};
    }
    QList<UsageWindowSnapshot> chosen;
    for (const UsageWindowSnapshot& window : snapshot->windows) {
        if (window.kind == UsageWindowKind::fiveHour || window.kind == UsageWindowKind::weekly) {
            chosen.append(window);
        }
    }
    if (chosen.isEmpty()) {
        chosen = snapshot->windows;
    }
    return chosen.mid(0, 2);
}

QString detailsEmptyText(const std::optional<ProviderAvailability>& availability) {
    using Kind = ProviderAvailability::Kind;
    const auto kind = availability ? std::optional(availability->kind()) : std::nullopt;
    // What the user can act on is named; anything else has no usage data to show.
    if (kind == Kind::notInstalled || kind == Kind::notAuthenticated ||
        kind == Kind::requiresProPlan) {
        return ProviderStatusText::availability(availability);
    }
    return tr("Usage data unavailable");
}

QString limitTitle(const UsageWindowSnapshot& window) {
    switch (window.kind) {
        case UsageWindowKind::fiveHour:
            return tr("5h limit");
        case UsageWindowKind::weekly:
            return tr("Weekly limit");
        case UsageWindowKind::modelWeekly:
            return tr("Model week");
        case UsageWindowKind::other:
            break;
    }
    return window.label;
}

double limitUsedPercent(const UsageWindowSnapshot& window) {
    return clampPercent(window.usedPercent.value_or(0.0));
}

QString remainingText(const UsageWindowSnapshot& window) {
    return tr("%1% left").arg(roundHalfAway(100.0 - limitUsedPercent(window)));
}

QString resetText(const UsageWindowSnapshot& window, Instant now, const QLocale& locale) {
    if (!window.resetAt) {
        return tr("Reset unavailable");
    }
    return TimeDisplayFormatter().resetText(*window.resetAt, now, locale);
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
    const QString when = TimeDisplayFormatter().resetText(runsOut, now, locale);
    const double seconds = runsOut.secondsSince(now);
    // The formatter counts minutes within the hour, and gives the day beyond today.
    if (seconds < 3600.0) {
        return tr("At this pace: runs out in %1").arg(when);
    }
    const bool today =
        runsOut.toDateTime().toLocalTime().date() == now.toDateTime().toLocalTime().date();
    return (today ? tr("At this pace: runs out at %1") : tr("At this pace: runs out %1")).arg(when);
}

QString limitAccessibilityLabel(const UsageWindowSnapshot& window, Instant now,
                                const QLocale& locale) {
    return limitTitle(window) + tr(", resets ") + resetText(window, now, locale);
}

}  // namespace CardText
