#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickView>

class AccountRegistry;
class AppState;
class LoginItemService;
class NotificationCenter;
class PopoverViewModel;
class QQmlEngine;
class UserDefaults;

// Keeps at most one settings window: "Vantor Settings", of the form's own size where the screen
// has room for it (the form scrolls where not), fixed, centred.
// Asked again, it brings the open one to the front; closed, it is forgotten and the next
// request builds a fresh form, which reads the login item's status anew.
class SettingsWindowPresenter : public QObject {
    Q_OBJECT

public:
    struct Services {
        AppState& state;
        AccountRegistry& accounts;
        LoginItemService& loginItem;
        UserDefaults& defaults;
        NotificationCenter& notificationCenter;
    };

    SettingsWindowPresenter(Services services, QQmlEngine& engine, PopoverViewModel& popover,
                            QObject* parent = nullptr);
    ~SettingsWindowPresenter() override;

    void show();
    QQuickView* window() const { return window_; }
    // The window's size for a form of `content` size on a screen whose work area is `available`
    // (empty: unknown): the form's size, within the work area less room for a frame.
    static QSize fittedSize(QSizeF content, QSize available);

Q_SIGNALS:
    void windowCreated();

private:
    static void fit(QQuickView* view);

    Services services_;
    QQmlEngine& engine_;
    PopoverViewModel& popover_;
    QPointer<QQuickView> window_;
};
