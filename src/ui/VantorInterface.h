#pragma once

#include "PopoverDismissal.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QTimer>

#include "Instant.h"

#include <memory>
#include <optional>

class AccountRegistry;
class AppState;
class LoginItemService;
class MotionPreference;
class NotificationCenter;
class PopoverViewModel;
class QAction;
class QMenu;
class QQmlEngine;
class QQuickView;
class SettingsWindowPresenter;
class TrayIcon;
class UsageCoordinator;
class UserDefaults;

// Everything the user sees: the tray icon with its menu (the figures, Refresh, Settings, Quit), the
// popover that a click opens and the settings window. The application object must exist first; all
// of it lives on the main thread. Qt Quick is loaded only when a window is first shown.
class VantorInterface : public QObject {
    Q_OBJECT

public:
    // The registry takes the settings' account commands (watch, rename, add, remove).
    VantorInterface(AppState& state, UsageCoordinator& coordinator, AccountRegistry& accounts,
                    LoginItemService& loginItem, UserDefaults& defaults,
                    NotificationCenter& notificationCenter, QObject* parent = nullptr);
    ~VantorInterface() override;

    // No display to show windows on (a console, a service): Vantor runs on the offscreen
    // platform, with nobody to click.
    static bool headless();

    // The popover's window once it has been shown; for tests and screenshots.
    QQuickView* popoverWindow() const { return popover_; }
    SettingsWindowPresenter* settingsPresenter() const { return settings_.get(); }
    PopoverViewModel* popoverModel() const { return model_.get(); }
    TrayIcon* trayIcon() const { return tray_.get(); }
    QMenu* trayMenu() const { return menu_.get(); }
    // Whether a focus lost in the first moments after showing has been looked at again.
    bool popoverSettled() const { return !settle_.isActive(); }
    // Whether the shown popover holds the keyboard and the pointer.
    bool popoverGrabbed() const { return grabbed_; }

public Q_SLOTS:
    // Puts the icon in the tray without waiting for one: it appears when a tray does.
    void show();
    // Shows the popover; never hides it.
    void showPopover();
    void togglePopover();
    // A click on the icon; `position` is where the panel says it was, null when unknown.
    void activate(QPoint position);
    void hidePopover();
    void showSettings();
    // The wall clock moved on while the timers stood still (a resume from suspend): every
    // countdown shown is read again at once.
    void clockJumped();

public:
    // Escape and presses on the popover, and its grab once it is on the screen.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Opens or closes the popover as its rules say for `event`.
    void dismissOn(PopoverDismissal::Event event);
    void updateStatus();
    void updateRows();
    // Arms the clock for the next instant a text of the icon, tooltip or rows changes.
    void armClock();
    // The symbol, or the figure of the lowest share left when the user chose it.
    void updateIcon();
    QQmlEngine& engine();
    void fitPopover();
    void placePopover();
    // Where the icon is, as best known: the click, the icon, else the pointer.
    QRect anchor() const;

    AppState& state_;
    UsageCoordinator& coordinator_;
    AccountRegistry& accounts_;
    std::unique_ptr<PopoverViewModel> model_;
    std::unique_ptr<MotionPreference> motion_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<TrayIcon> tray_;
    QTimer* clock_ = nullptr;
    // The moment the figure counts down to, if it does.
    std::optional<Instant> countsTo_;
    // The rows with the figures, above the commands.
    QList<QAction*> rows_;
    QAction* firstCommand_ = nullptr;
    // What the icon shows now: "symbol", else the figure's text and share used.
    QString iconShown_;
    // Where the last click on the icon was, if the panel said.
    QPoint anchor_;
    std::unique_ptr<QQmlEngine> engine_;
    QQuickView* popover_ = nullptr;
    std::unique_ptr<SettingsWindowPresenter> settings_;
    // When the popover last closed because the user went elsewhere: a click on the icon takes
    // the focus first, and must not reopen what it just closed.
    QElapsedTimer dismissedAt_;
    QElapsedTimer shownAt_;
    // Whether the popover has been the active window since it was last shown.
    bool hadFocus_ = false;
    // Runs out when a focus lost in the first moments after showing is looked at again.
    QTimer settle_;
    bool grabbed_ = false;
    // A grab another client holds when the popover maps is asked for again, a few times.
    QTimer grabRetry_;
    int grabAttempts_ = 0;
    void takeGrab();
    LoginItemService& loginItem_;
    UserDefaults& defaults_;
    NotificationCenter& notificationCenter_;
};
