#include "VantorBusService.h"

#include "AppState.h"
#include "UsageJson.h"
#include "VantorError.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QJsonDocument>
#include <QJsonObject>

VantorBusService::VantorBusService(AppState& state, QObject* parent)
    : QObject(parent), state_(state) {
    connect(&state_, &AppState::snapshotsChanged, this,
            [this] { announce(QStringLiteral("Snapshots"), snapshotsJson()); });
    connect(&state_, &AppState::availabilityChanged, this,
            [this] { announce(QStringLiteral("Availability"), availabilityJson()); });
}

VantorBusService::~VantorBusService() {
    if (bus_) {
        bus_->unregisterObject(objectPath);
    }
}

bool VantorBusService::registerOn(QDBusConnection bus) {
    if (!bus.isConnected() || !bus.registerObject(objectPath, this,
                                                  QDBusConnection::ExportScriptableSlots |
                                                      QDBusConnection::ExportAllProperties)) {
        return false;
    }
    // Neither queued nor replaceable: the first copy keeps the name for its whole life.
    if (!bus.registerService(serviceName)) {
        bus.unregisterObject(objectPath);
        return false;
    }
    bus_ = bus;
    return true;
}

QString VantorBusService::snapshotsJson() const {
    QList<ProviderUsageSnapshot> snapshots = state_.snapshots().values();
    try {
        return QString::fromUtf8(UsageJson::encodeSnapshots(snapshots));
    } catch (const VantorError&) {
        // A snapshot that cannot be written (a non-finite number) is left out rather than
        // thrown through the bus.
        snapshots.removeIf([](const ProviderUsageSnapshot& snapshot) {
            try {
                UsageJson::encodeSnapshots({snapshot});
                return false;
            } catch (const VantorError&) {
                return true;
            }
        });
        return QString::fromUtf8(UsageJson::encodeSnapshots(snapshots));
    }
}

QString VantorBusService::availabilityJson() const {
    QJsonObject object;
    for (auto it = state_.availability().cbegin(); it != state_.availability().cend(); ++it) {
        object.insert(rawValue(it.key()), UsageJson::encode(it.value()));
    }
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

void VantorBusService::Refresh() {
    Q_EMIT refreshRequested();
}

void VantorBusService::ReportClaudeUsage(const QString& body) {
    if (body.size() <= maxReportBytes) {
        Q_EMIT claudeUsageReported(body.toUtf8());
    }
}

void VantorBusService::ShowPopover() {
    Q_EMIT showPopoverRequested();
}

void VantorBusService::ShowSettings() {
    Q_EMIT showSettingsRequested();
}

void VantorBusService::announce(const QString& property, const QString& value) {
    if (!bus_) {
        return;
    }
    QDBusMessage signal =
        QDBusMessage::createSignal(objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << interfaceName << QVariantMap{{property, value}} << QStringList();
    bus_->send(signal);
}

bool VantorBusService::isRunning(QDBusConnection bus, int timeoutMs) {
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << serviceName;
    const QDBusReply<bool> reply = bus.call(ask, QDBus::Block, timeoutMs);
    return reply.isValid() && reply.value();
}

bool VantorBusService::call(QDBusConnection bus, const QString& method, int timeoutMs,
                            const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(serviceName, objectPath, interfaceName, method);
    message.setArguments(arguments);
    // Only a running copy is asked; the bus must not try to start one.
    message.setAutoStartService(false);
    return bus.call(message, QDBus::Block, timeoutMs).type() == QDBusMessage::ReplyMessage;
}

std::optional<QString> VantorBusService::property(QDBusConnection bus, const QString& name,
                                                  int timeoutMs) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        serviceName, objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << interfaceName << name;
    const QDBusReply<QDBusVariant> reply = bus.call(get, QDBus::Block, timeoutMs);
    if (!reply.isValid() || reply.value().variant().typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return reply.value().variant().toString();
}
