#include "PopoverViewModel.h"

#include "AppState.h"
#include "Countdown.h"
#include "KeyedListModel.h"
#include "UsageCoordinator.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QQmlEngine>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

// Nobody awaits the refresh; QCoro frees its frame when it ends.
void detach(QCoro::Task<> task) {
    Q_UNUSED(task);
}

}  // namespace

PopoverViewModel::PopoverViewModel(AppState& state, UsageCoordinator& coordinator,
                                   ProviderCardViewModel::Clock clock, QObject* parent)
    : QObject(parent),
      state_(state),
      coordinator_(coordinator),
      clock_(clock),
      clockTimer_(new QTimer(this)),
      cardModel_(new KeyedListModel({"key", "card"}, this)) {
    clockTimer_->setSingleShot(true);
    clockTimer_->setTimerType(Qt::PreciseTimer);
    connect(clockTimer_, &QTimer::timeout, this, &PopoverViewModel::tick);
    // New snapshots bring new reset times to wait for; the cards redraw on their own.
    connect(&state_, &AppState::snapshotsChanged, this, [this] {
        if (shown_) {
            schedule();
        }
    });
    connect(&state_, &AppState::alertsEnabledChanged, this,
            &PopoverViewModel::alertsEnabledChanged);
    connect(&state_, &AppState::accountsChanged, this, &PopoverViewModel::followAccounts);
    followAccounts();
}

QAbstractItemModel* PopoverViewModel::cardModel() const {
    return cardModel_;
}

ProviderCardViewModel* PopoverViewModel::card(const ProviderID& provider) const {
    const auto found = std::find_if(
        cards_.cbegin(), cards_.cend(),
        [&](const ProviderCardViewModel* card) { return card->provider() == provider; });
    return found == cards_.cend() ? nullptr : *found;
}

void PopoverViewModel::followAccounts() {
    QList<ProviderCardViewModel*> cards;
    QList<QVariantList> rows;
    for (const ProviderID& provider : state_.watchedProviders()) {
        ProviderCardViewModel* card = this->card(provider);
        if (card == nullptr) {
            card =
                new ProviderCardViewModel(state_, provider, clock_, &coordinator_.history(), this);
            QQmlEngine::setObjectOwnership(card, QQmlEngine::CppOwnership);
            connect(card, &ProviderCardViewModel::toggleRequested, this,
                    [this, provider] { toggleExpansion(provider); });
        }
        cards.append(card);
        rows.append({rawValue(provider), QVariant::fromValue(card)});
    }
    QList<ProviderCardViewModel*> gone = cards_;
    gone.removeIf([&](ProviderCardViewModel* card) { return cards.contains(card); });
    cards_ = cards;
    cardModel_->setRows(rows);
    // A view lets go of its card as the row goes, deleting its part later: the card goes after
    // it, so that no binding reads a card already gone.
    for (ProviderCardViewModel* card : gone) {
        card->disconnect(this);
        card->deleteLater();
    }
    if (expanded_ && card(*expanded_) == nullptr) {
        expanded_.reset();
        Q_EMIT expandedProviderChanged();
    }
    updateExpansion();
}

QString PopoverViewModel::expandedProvider() const {
    return expanded_ ? rawValue(*expanded_) : QString();
}

void PopoverViewModel::toggleExpansion(ProviderID provider) {
    if (card(provider) == nullptr) {
        return;
    }
    // Opening one card closes any other.
    if (expanded_ == provider) {
        expanded_.reset();
    } else {
        expanded_ = provider;
    }
    updateExpansion();
    Q_EMIT expandedProviderChanged();
}

void PopoverViewModel::updateExpansion() {
    for (ProviderCardViewModel* card : std::as_const(cards_)) {
        card->setExpansion(expanded_ == card->provider(), !expanded_.has_value());
    }
}

bool PopoverViewModel::alertsEnabled() const {
    return state_.alertsEnabled();
}

void PopoverViewModel::setAlertsEnabled(bool enabled) {
    state_.setAlertsEnabled(enabled);
}

void PopoverViewModel::setReduceMotion(bool reduce) {
    if (reduce != reduceMotion_) {
        reduceMotion_ = reduce;
        Q_EMIT reduceMotionChanged();
    }
}

QString PopoverViewModel::title() const {
    return tr("Vantor");
}

QString PopoverViewModel::playSoundText() const {
    // The same words as the settings' switch: it is the same setting.
    return tr("Play reset alert");
}

QString PopoverViewModel::refreshText() const {
    return tr("Refresh");
}

QString PopoverViewModel::settingsText() const {
    return tr("Settings");
}

QString PopoverViewModel::quitText() const {
    return tr("Quit");
}

QString PopoverViewModel::refreshShortcut() {
    return QKeySequence(Qt::CTRL | Qt::Key_R).toString(QKeySequence::NativeText);
}

QString PopoverViewModel::showUsageText() const {
    return tr("Show Usage");
}

QString PopoverViewModel::settingsShortcut() {
    return QKeySequence(Qt::CTRL | Qt::Key_Comma).toString(QKeySequence::NativeText);
}

QString PopoverViewModel::quitShortcut() {
    return QKeySequence(Qt::CTRL | Qt::Key_Q).toString(QKeySequence::NativeText);
}

QString PopoverViewModel::shortcutHint(const QString& shortcut) {
    return shortcut.isEmpty() ? QString() : tr("Shortcut %1").arg(shortcut);
}

void PopoverViewModel::refreshTime() {
    for (ProviderCardViewModel* card : std::as_const(cards_)) {
        card->refreshTime();
    }
}

void PopoverViewModel::setShown(bool shown) {
    shown_ = shown;
    // The opener has just read the times; only the wake-up is due.
    if (shown) {
        schedule();
    } else {
        clockTimer_->stop();
    }
}

void PopoverViewModel::tick() {
    refreshTime();
    schedule();
}

void PopoverViewModel::schedule() {
    // The next instant a reset phrase, a pace's "runs out" or an "as of" day reads otherwise.
    const Instant now = clock_();
    QList<Instant> moments;
    for (const ProviderUsageSnapshot& snapshot : state_.snapshots()) {
        moments += Countdown::moments(snapshot);
        for (const UsageWindowSnapshot& window : snapshot.windows) {
            const auto projection = UsageHistory::project(
                coordinator_.history().readings(snapshot.providerID, window.id), window.resetAt);
            if (projection && projection->runsOutAt) {
                moments.append(*projection->runsOutAt);
            }
        }
    }
    const std::optional<Instant> next =
        Countdown::earliest(Countdown::nextMidnight(now),
                            Countdown::nextChange(now, moments, Countdown::Form::resetPhrase));
    clockTimer_->start(Countdown::waitMs(now, *next));
}

void PopoverViewModel::refresh() {
    detach(coordinator_.refresh(state_));
}

void PopoverViewModel::openSettings() {
    Q_EMIT settingsRequested();
}

void PopoverViewModel::quit() {
    Q_EMIT quitRequested();
    QCoreApplication::quit();
}

void PopoverViewModel::close() {
    Q_EMIT closeRequested();
}
