#pragma once

#include "NotificationCenter.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QList>
#include <QObject>

// The desktop's notification server, org.freedesktop.Notifications on the session bus.
// Alerts are allowed when a server owns the name or the bus can start one; there is no
// permission to ask for. Every call is bounded, so a stuck server never stalls the engine.
// Each notification offers the server's default action, and a click on one Vantor sent
// calls back whenActivated.
class DBusNotificationCenter final : public QObject, public NotificationCenter {
    Q_OBJECT

public:
    static inline const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
    static constexpr int defaultTimeoutMs = 2000;
    // For a server that the call itself has D-Bus start (dunst, mako), which may be slow.
    static constexpr int activationTimeoutMs = 10'000;
    // The installed icon and desktop file, so servers show Vantor's icon and name.
    static inline const QString appIcon = QStringLiteral("com.quorvel.vantor");
    // The notifications whose clicks are heard: the newest, as servers close older ones.
    static constexpr qsizetype heardLimit = 32;
    // The label of the default action, for servers that show it.
    static QString defaultActionLabel() { return tr("Show Usage"); }

    // Calls wait at most timeoutMs, and never longer than the default.
    explicit DBusNotificationCenter(QDBusConnection bus = QDBusConnection::sessionBus(),
                                    int timeoutMs = defaultTimeoutMs);

    QCoro::Task<AuthorizationStatus> authorizationStatus() override;
    QCoro::Task<> requestAuthorization() override;
    QCoro::Task<> add(Request request) override;
    void whenServerAppears(std::function<void()> callback) override;
    void whenActivated(std::function<void()> callback) override;

private Q_SLOTS:
    void actionInvoked(uint id, const QString& key);
    void notificationClosed(uint id, uint reason);

private:
    // The answer of one bus-daemon method about the notification name; none on any failure.
    QCoro::Task<std::optional<QVariant>> askBus(QString method, QVariantList arguments);
    // Whether the server renders a body as markup, asked once per owner of the name; `owner`
    // is empty while none runs, and then the call starts one. Throws when that start fails.
    QCoro::Task<bool> rendersMarkup(QString owner);

    QDBusConnection bus_;
    int timeoutMs_;
    QDBusServiceWatcher watcher_;
    QString capabilitiesOwner_;
    bool bodyMarkup_ = false;
    // The numbers the server gave Vantor's notifications still open, oldest first.
    QList<uint> sent_;
    std::function<void()> activated_;
};
