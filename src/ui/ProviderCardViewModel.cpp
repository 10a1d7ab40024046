#include "ProviderCardViewModel.h"

#include "AppState.h"
#include "BlockText.h"
#include "CardText.h"
#include "MoneyText.h"
#include "UsageColor.h"

#include <QLocale>
#include <QVariantMap>

#include <algorithm>

namespace {

// A blocked bucket's row: until when, else the share left.
QString blockLift(const UsageBlock& block, const UsageWindowSnapshot& window, Instant now,
                  const QLocale& locale) {
    const QString lift = BlockText::lift(block, now, locale);
    return lift.isEmpty() ? CardText::remainingText(window) : lift;
}

}  // namespace

ProviderCardViewModel::ProviderCardViewModel(AppState& state, ProviderID provider, Clock clock,
                                             const UsageHistory* history, QObject* parent)
    : QObject(parent),
      state_(state),
      provider_(provider),
      clock_(std::move(clock)),
      history_(history) {
    connect(&state_, &AppState::snapshotsChanged, this, &ProviderCardViewModel::changed);
    connect(&state_, &AppState::availabilityChanged, this, &ProviderCardViewModel::changed);
    // The rings' colours follow the warning threshold.
    connect(&state_, &AppState::limitWarningThresholdChanged, this,
            &ProviderCardViewModel::changed);
    // A rename, or another account of the same assistant watched or not, changes the name.
    connect(&state_, &AppState::accountsChanged, this, &ProviderCardViewModel::nameChanged);
}

QString ProviderCardViewModel::providerKey() const {
    return rawValue(provider_);
}

QString ProviderCardViewModel::name() const {
    return CardText::providerName(provider_, state_.accountLabel(provider_));
}

QUrl ProviderCardViewModel::logo() const {
    return QUrl(provider_.kind == ProviderKind::codex
                    ? QStringLiteral("qrc:/Vantor/Ui/icons/CodexProvider.svg")
                    : QStringLiteral("qrc:/Vantor/Ui/icons/ClaudeProvider.svg"));
}

QString ProviderCardViewModel::withAge(const QString& text) const {
    const QString stale =
        CardText::staleMark(entryOf(state_.snapshots(), provider_),
                            entryOf(state_.availability(), provider_), clock_(), QLocale());
    // On a line of its own: the card is narrow.
    return stale.isEmpty() ? text : text + u'\n' + stale;
}

bool ProviderCardViewModel::isStale() const {
    return CardText::isStale(entryOf(state_.snapshots(), provider_),
                             entryOf(state_.availability(), provider_));
}

QString ProviderCardViewModel::summary() const {
    const auto snapshot = entryOf(state_.snapshots(), provider_);
    const auto availability = entryOf(state_.availability(), provider_);
    // Nothing read yet and a known reason: what to do, rather than a word.
    if (!snapshot || snapshot->windows.isEmpty()) {
        if (const QString why = CardText::whatToDo(availability, provider_.kind); !why.isEmpty()) {
            return why;
        }
    }
    return withAge(CardText::summary(snapshot, availability, clock_(), QLocale()));
}

QString ProviderCardViewModel::notice() const {
    return CardText::notice(entryOf(state_.snapshots(), provider_),
                            entryOf(state_.availability(), provider_));
}

QString ProviderCardViewModel::money() const {
    const auto snapshot = entryOf(state_.snapshots(), provider_);
    return snapshot ? MoneyText::line(*snapshot, clock_(), QLocale()) : QString();
}

QString ProviderCardViewModel::blockNotice() const {
    return CardText::blockNotice(entryOf(state_.snapshots(), provider_), clock_(), QLocale());
}

bool ProviderCardViewModel::hasUsage() const {
    return CardText::usedPercent(entryOf(state_.snapshots(), provider_)).has_value();
}

double ProviderCardViewModel::ringProgress(double usedPercent) {
    const double progress = std::clamp(usedPercent / 100.0, 0.0, 1.0);
    return std::max(progress, 0.01);
}

double ProviderCardViewModel::ringProgress() const {
    return ringProgress(
        CardText::usedPercent(entryOf(state_.snapshots(), provider_)).value_or(0.0));
}

int ProviderCardViewModel::ringTone() const {
    return static_cast<int>(usageColor(CardText::severity(entryOf(state_.snapshots(), provider_),
                                                          state_.nearingPercent(), clock_())));
}

QString ProviderCardViewModel::ringAccessibilityLabel() const {
    return CardText::ringAccessibilityLabel(provider_, state_.accountLabel(provider_));
}

QString ProviderCardViewModel::ringAccessibilityValue() const {
    const auto used = CardText::usedPercent(entryOf(state_.snapshots(), provider_));
    return used ? CardText::ringAccessibilityValue(*used) : QString();
}

QVariantList ProviderCardViewModel::details() const {
    const Instant now = clock_();
    const QLocale locale;
    QVariantList rows;
    const auto snapshot = entryOf(state_.snapshots(), provider_);
    for (const UsageWindowSnapshot& window : CardText::detailWindows(snapshot)) {
        const double used = CardText::limitUsedPercent(window);
        const QList<UsageHistory::Reading> readings = history_ != nullptr
                                                          ? history_->readings(provider_, window.id)
                                                          : QList<UsageHistory::Reading>();
        QVariantList trend;
        for (const UsageHistory::Reading& reading : readings) {
            trend.append(std::clamp(reading.usedPercent / 100.0, 0.0, 1.0));
        }
        // The row of a blocked bucket says what blocks it where the mark goes; a seat billed in
        // dollars has what the window cost under it.
        const auto block = CardText::bucketBlock(snapshot, window);
        QStringList below{
            CardText::paceText(UsageHistory::project(readings, window.resetAt), now, locale),
            MoneyText::windowDollars(window, locale)};
        below.removeAll(QString());
        rows.append(QVariantMap{
            {QStringLiteral("paceText"), below.join(QStringLiteral(" \u00b7 "))},
            {QStringLiteral("trend"), trend},
            {QStringLiteral("title"), CardText::limitTitle(window)},
            {QStringLiteral("mark"),
             block ? BlockText::reason(*block) : CardText::bindingMark(window)},
            {QStringLiteral("remainingText"),
             block ? blockLift(*block, window, now, locale)
                   : CardText::rowText(window, now, locale, state_.nearingPercent())},
            {QStringLiteral("ringProgress"), ringProgress(used)},
            {QStringLiteral("ringTone"),
             static_cast<int>(usageColor(block ? UsageSeverity::spent
                                               : window.severity(state_.nearingPercent(), now)))},
            {QStringLiteral("accessibilityLabel"),
             CardText::limitAccessibilityLabel(window, now, locale)},
        });
    }
    return rows;
}

QString ProviderCardViewModel::detailsEmptyText() const {
    const auto availability = entryOf(state_.availability(), provider_);
    // The headline already says what to do; the card then says it fills in by itself, where
    // it will.
    using Kind = ProviderAvailability::Kind;
    if (availability && (availability->kind() == Kind::notInstalled ||
                         availability->kind() == Kind::notAuthenticated ||
                         availability->kind() == Kind::temporarilyUnavailable)) {
        return CardText::fillsInText();
    }
    return CardText::detailsEmptyText(availability, provider_.kind);
}

QString ProviderCardViewModel::accountText() const {
    return CardText::accountText(entryOf(state_.snapshots(), provider_));
}

QString ProviderCardViewModel::accessibilityHint() const {
    return CardText::expansionHint(expanded_);
}

void ProviderCardViewModel::setExpansion(bool expanded, bool indicatorActive) {
    if (expanded == expanded_ && indicatorActive == indicatorActive_) {
        return;
    }
    expanded_ = expanded;
    indicatorActive_ = indicatorActive;
    Q_EMIT expansionChanged();
}

void ProviderCardViewModel::refreshTime() {
    Q_EMIT changed();
}

void ProviderCardViewModel::toggle() {
    Q_EMIT toggleRequested();
}
