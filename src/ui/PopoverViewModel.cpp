#include "PopoverViewModel.h"

#include "AppState.h"
#include "UsageCoordinator.h"

#include <QCoreApplication>
#include <QKeySequence>

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
      codex_(state, ProviderID::codex, clock, &coordinator.history()),
      claude_(state, ProviderID::claude, clock, &coordinator.history()) {
    connect(&state_, &AppState::alertsEnabledChanged, this,
            &PopoverViewModel::alertsEnabledChanged);
    connect(&codex_, &ProviderCardViewModel::toggleRequested, this,
            [this] { toggleExpansion(ProviderID::codex); });
    connect(&claude_, &ProviderCardViewModel::toggleRequested, this,
            [this] { toggleExpansion(ProviderID::claude); });
}

QString PopoverViewModel::expandedProvider() const {
    return expanded_ ? rawValue(*expanded_) : QString();
}

void PopoverViewModel::toggleExpansion(ProviderID provider) {
    // Opening one card closes any other.
    if (expanded_ == provider) {
        expanded_.reset();
    } else {
        expanded_ = provider;
    }
    updateCards();
    Q_EMIT expandedProviderChanged();
}

void PopoverViewModel::updateCards() {
    for (ProviderCardViewModel* card : {&codex_, &claude_}) {
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
    return tr("Play sound");
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

QString PopoverViewModel::settingsShortcut() {
    return QKeySequence(Qt::CTRL | Qt::Key_S).toString(QKeySequence::NativeText);
}

QString PopoverViewModel::shortcutHint(const QString& shortcut) {
    return shortcut.isEmpty() ? QString() : tr("Shortcut %1").arg(shortcut);
}

void PopoverViewModel::refreshTime() {
    codex_.refreshTime();
    claude_.refreshTime();
}

void PopoverViewModel::refresh() {
    detach(coordinator_.refresh(state_));
}

void PopoverViewModel::openSettings() {
    Q_EMIT settingsRequested();
}

void PopoverViewModel::quit() {
    QCoreApplication::quit();
}

void PopoverViewModel::close() {
    Q_EMIT closeRequested();
}
