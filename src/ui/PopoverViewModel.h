#pragma once

#include "ProviderCardViewModel.h"

#include <QtQml/qqmlregistration.h>
#include <QAbstractItemModel>
#include <QList>
#include <QObject>
#include <QString>

class AppState;
class KeyedListModel;
class QTimer;
class UsageCoordinator;

// The popover's state and commands: one card per watched account in the state's order, which
// one is expanded, the sound switch and the utility rows.
class PopoverViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the interface")
    Q_PROPERTY(QAbstractItemModel* cards READ cardModel CONSTANT)
    Q_PROPERTY(QString expandedProvider READ expandedProvider NOTIFY expandedProviderChanged)
    Q_PROPERTY(
        bool alertsEnabled READ alertsEnabled WRITE setAlertsEnabled NOTIFY alertsEnabledChanged)
    Q_PROPERTY(bool reduceMotion READ reduceMotion WRITE setReduceMotion NOTIFY reduceMotionChanged)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString playSoundText READ playSoundText CONSTANT)
    Q_PROPERTY(QString refreshText READ refreshText CONSTANT)
    Q_PROPERTY(QString settingsText READ settingsText CONSTANT)
    Q_PROPERTY(QString quitText READ quitText CONSTANT)
    Q_PROPERTY(QString refreshShortcut READ refreshShortcut CONSTANT)
    Q_PROPERTY(QString settingsShortcut READ settingsShortcut CONSTANT)
    Q_PROPERTY(QString quitShortcut READ quitShortcut CONSTANT)

public:
    PopoverViewModel(AppState& state, UsageCoordinator& coordinator,
                     ProviderCardViewModel::Clock clock = Instant::now, QObject* parent = nullptr);

    // The cards for the views: one row per card, its role "card".
    QAbstractItemModel* cardModel() const;
    const QList<ProviderCardViewModel*>& cards() const { return cards_; }
    // The account's card; none while it is not watched.
    ProviderCardViewModel* card(const ProviderID& provider) const;
    // The expanded card's provider ("codex", "claude@work1"), or empty when all are collapsed.
    QString expandedProvider() const;
    void toggleExpansion(ProviderID provider);

    bool alertsEnabled() const;
    void setAlertsEnabled(bool enabled);
    bool reduceMotion() const { return reduceMotion_; }
    void setReduceMotion(bool reduce);

    QString title() const;
    QString playSoundText() const;
    QString refreshText() const;
    QString settingsText() const;
    QString quitText() const;
    // The row of the tray menu that opens the popover.
    QString showUsageText() const;
    // The native text of Ctrl+R, Ctrl+, and Ctrl+Q.
    static QString refreshShortcut();
    static QString settingsShortcut();
    static QString quitShortcut();
    // "Shortcut Ctrl+R"; empty without a shortcut.
    Q_INVOKABLE static QString shortcutHint(const QString& shortcut);

    // Called as the popover opens, so reset times read against the current time.
    void refreshTime();
    // Re-reads the times, then waits for the next instant one of them reads otherwise: on its
    // timer, and when the wall clock moved on without it (a resume from suspend).
    void tick();
    // While the popover is shown its relative times follow the clock: re-read at every minute
    // and at the next reset time, without a refresh. No timer runs while it is hidden.
    void setShown(bool shown);

public Q_SLOTS:
    // Starts a refresh and returns at once; one already running makes this do nothing.
    void refresh();
    void openSettings();
    void quit();
    // Escape: the window hides itself.
    void close();

Q_SIGNALS:
    void expandedProviderChanged();
    void alertsEnabledChanged();
    void reduceMotionChanged();
    void settingsRequested();
    void closeRequested();
    // Just before the application is asked to quit.
    void quitRequested();

private:
    // A card for each watched account: those that stay are kept, so their views stay too.
    void followAccounts();
    void updateExpansion();
    void schedule();

    AppState& state_;
    UsageCoordinator& coordinator_;
    ProviderCardViewModel::Clock clock_;
    QTimer* clockTimer_;
    bool shown_ = false;
    QList<ProviderCardViewModel*> cards_;
    KeyedListModel* cardModel_;
    std::optional<ProviderID> expanded_;
    bool reduceMotion_ = false;
};
