#include "DBusNotificationCenter.h"

#include "VantorError.h"

#include <QCoroDBusPendingCall>
#include <QDBusMessage>
#include <QDBusPendingCall>

#include <algorithm>

namespace {

const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString errorDomain = QStringLiteral("Notifications");
const QString busService = QStringLiteral("org.freedesktop.DBus");
const QString busPath = QStringLiteral("/org/freedesktop/DBus");
const QString nameHasOwner = QStringLiteral("NameHasOwner");
const QString getNameOwner = QStringLiteral("GetNameOwner");
const QString getCapabilities = QStringLiteral("GetCapabilities");
const QString listActivatableNames = QStringLiteral("ListActivatableNames");
const QString notifyMethod = QStringLiteral("Notify");
const QString appName = QStringLiteral("Vantor");
const QString notConnected = QStringLiteral("No session bus");

const QString notificationsInterface = QStringLiteral("org.freedesktop.Notifications");
const QString defaultAction = QStringLiteral("default");

QVariantMap notifyHints(const NotificationCenter::Request& request) {
    QVariantMap hints{{QStringLiteral("desktop-entry"), DBusNotificationCenter::appIcon},
                      // The server numbers notifications itself; this keeps our own
                      // identifier with it.
                      {QStringLiteral("x-vantor-identifier"), request.identifier}};
    if (request.silent) {
        hints.insert(QStringLiteral("suppress-sound"), true);
    }
    return hints;
}

QString describe(const QDBusMessage& reply, const QString& method) {
    if (reply.type() == QDBusMessage::ErrorMessage) {
        return reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
    }
    return QStringLiteral("unexpected answer to %1 with signature \"%2\"")
        .arg(method, reply.signature());
}

VantorError failure(const QDBusMessage& reply, const QString& method) {
    return VantorError(errorDomain, reply.type() == QDBusMessage::ErrorMessage ? 1 : 2,
                       describe(reply, method));
}

}  // namespace

DBusNotificationCenter::DBusNotificationCenter(QDBusConnection bus, int timeoutMs)
    : bus_(std::move(bus)),
      timeoutMs_(std::clamp(timeoutMs, 1, defaultTimeoutMs)),
      watcher_(serviceName, bus_, QDBusServiceWatcher::WatchForRegistration) {
    // Signals of whichever server owns the name; ours are told apart by their numbers.
    bus_.connect(serviceName, objectPath, notificationsInterface, QStringLiteral("ActionInvoked"),
                 this, SLOT(actionInvoked(uint, QString)));
    bus_.connect(serviceName, objectPath, notificationsInterface,
                 QStringLiteral("NotificationClosed"), this, SLOT(notificationClosed(uint, uint)));
    // Another server numbers anew: numbers of the one before mean nothing to it.
    QObject::connect(&watcher_, &QDBusServiceWatcher::serviceRegistered, this,
                     [this] { sent_.clear(); });
}

void DBusNotificationCenter::whenActivated(std::function<void()> callback) {
    activated_ = std::move(callback);
}

void DBusNotificationCenter::actionInvoked(uint id, const QString& key) {
    if (key == defaultAction && sent_.contains(id) && activated_) {
        activated_();
    }
}

void DBusNotificationCenter::notificationClosed(uint id, uint reason) {
    Q_UNUSED(reason);
    sent_.removeOne(id);
}

void DBusNotificationCenter::whenServerAppears(std::function<void()> callback) {
    QObject::connect(&watcher_, &QDBusServiceWatcher::serviceRegistered, &watcher_,
                     [callback = std::move(callback)] { callback(); });
}

QCoro::Task<std::optional<QVariant>> DBusNotificationCenter::askBus(QString method,
                                                                    QVariantList arguments) {
    if (!bus_.isConnected()) {
        co_return std::nullopt;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(busService, busPath, busService, method);
    message.setArguments(arguments);
    const QDBusPendingCall pending = bus_.asyncCall(message, timeoutMs_);
    const QDBusMessage reply = co_await pending;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
        co_return std::nullopt;
    }
    co_return reply.arguments().constFirst();
}

QCoro::Task<NotificationCenter::AuthorizationStatus> DBusNotificationCenter::authorizationStatus() {
    if (!bus_.isConnected()) {
        co_return AuthorizationStatus::denied;
    }
    // No braced lists inside a co_await expression: g++ 12 fails to compile their arrays.
    QVariantList name;
    name.append(serviceName);
    const auto owned = co_await askBus(nameHasOwner, std::move(name));
    if (owned && owned->typeId() == QMetaType::Bool && owned->toBool()) {
        co_return AuthorizationStatus::authorized;
    }
    const auto activatable = co_await askBus(listActivatableNames, QVariantList());
    if (activatable && activatable->typeId() == QMetaType::QStringList &&
        activatable->toStringList().contains(serviceName)) {
        co_return AuthorizationStatus::authorized;
    }
    co_return AuthorizationStatus::denied;
}

QCoro::Task<> DBusNotificationCenter::requestAuthorization() {
    // Notification servers grant nothing: a server present is permission given.
    co_return;
}

QCoro::Task<bool> DBusNotificationCenter::rendersMarkup(QString owner) {
    if (!owner.isEmpty() && owner == capabilitiesOwner_) {
        co_return bodyMarkup_;
    }
    const QDBusMessage message =
        QDBusMessage::createMethodCall(serviceName, objectPath, serviceName, getCapabilities);
    const QDBusPendingCall pending =
        bus_.asyncCall(message, owner.isEmpty() ? activationTimeoutMs : timeoutMs_);
    const QDBusMessage reply = co_await pending;
    // A server that could not be started cannot take the notification either.
    if (owner.isEmpty() && reply.type() != QDBusMessage::ReplyMessage) {
        throw failure(reply, getCapabilities);
    }
    const bool answered =
        reply.type() == QDBusMessage::ReplyMessage && reply.signature() == QLatin1String("as");
    const bool markup = answered && reply.arguments().constFirst().toStringList().contains(
                                        QLatin1String("body-markup"));
    if (answered && !owner.isEmpty()) {
        capabilitiesOwner_ = owner;
        bodyMarkup_ = markup;
    }
    co_return markup;
}

QCoro::Task<> DBusNotificationCenter::add(Request request) {
    // A call on a connection that is down never completes its pending reply.
    if (!bus_.isConnected()) {
        throw VantorError(errorDomain, 3, notConnected);
    }
    QVariantList name;
    name.append(serviceName);
    const auto owner = co_await askBus(getNameOwner, std::move(name));
    const QString running =
        owner && owner->typeId() == QMetaType::QString ? owner->toString() : QString();
    // The body is plain text, escaped for a server that would read markup in it; no server
    // reads the summary as markup.
    const bool markup = co_await rendersMarkup(running);
    QDBusMessage message =
        QDBusMessage::createMethodCall(serviceName, objectPath, serviceName, notifyMethod);
    // Servers without the "actions" capability leave the action out.
    message.setArguments(
        {appName, 0U, appIcon, request.title, markup ? request.body.toHtmlEscaped() : request.body,
         QStringList{defaultAction, defaultActionLabel()}, notifyHints(request), -1});
    const QDBusPendingCall pending =
        bus_.asyncCall(message, running.isEmpty() ? activationTimeoutMs : timeoutMs_);
    const QDBusMessage reply = co_await pending;
    // The server answers with the number it gave the notification; anything else is a failure.
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("u")) {
        throw failure(reply, notifyMethod);
    }
    sent_.append(reply.arguments().constFirst().toUInt());
    if (sent_.size() > heardLimit) {
        sent_.removeFirst();
    }
}
