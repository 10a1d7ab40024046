#include "VantorBusService.h"

#include "AccountDiscovery.h"
#include "AppState.h"
#include "UsageJson.h"
#include "VantorError.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

VantorBusService::VantorBusService(AppState& state, QObject* parent)
    : QObject(parent), state_(state) {
    connect(&state_, &AppState::snapshotsChanged, this,
            [this] { announce(QStringLiteral("Snapshots"), snapshotsJson()); });
    connect(&state_, &AppState::availabilityChanged, this,
            [this] { announce(QStringLiteral("Availability"), availabilityJson()); });
    connect(&state_, &AppState::accountsChanged, this,
            [this] { announce(QStringLiteral("Accounts"), accountsJson()); });
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

QString VantorBusService::accountsJson() const {
    return QString::fromUtf8(
        QJsonDocument(encodeAccounts(state_.accounts())).toJson(QJsonDocument::Compact));
}

QJsonArray VantorBusService::encodeAccounts(const QList<UsageAccount>& accounts) {
    QJsonArray array;
    for (const UsageAccount& account : accounts) {
        array.append(QJsonObject{{QStringLiteral("provider"), rawValue(account.id)},
                                 {QStringLiteral("name"), account.name},
                                 {QStringLiteral("watched"), account.watched}});
    }
    return array;
}

QList<UsageAccount> VantorBusService::decodeAccounts(const QByteArray& json) {
    QList<UsageAccount> accounts;
    for (const QJsonValue entry : QJsonDocument::fromJson(json).array()) {
        const std::optional<ProviderID> id =
            fromRawValue<ProviderID>(entry[QLatin1String("provider")].toString());
        const QJsonValue name = entry[QLatin1String("name")];
        const QJsonValue watched = entry[QLatin1String("watched")];
        if (!id || !(name.isString() || name.isUndefined()) || !watched.isBool()) {
            continue;
        }
        if (!AccountDiscovery::admits(accounts, *id)) {
            continue;
        }
        accounts.append(UsageAccount{.id = *id,
                                     .folder = {},
                                     .name = AccountDiscovery::cleanName(name.toString()),
                                     .watched = watched.toBool()});
    }
    return accounts;
}

void VantorBusService::Refresh() {
    Q_EMIT refreshRequested();
}

void VantorBusService::ReportClaudeUsage(const QString& body) {
    if (body.size() <= maxReportBytes) {
        Q_EMIT claudeUsageReported(body.toUtf8());
    }
}

void VantorBusService::ReportClaudeUsageFrom(const QString& configDir, const QString& body) {
    if (configDir.size() <= maxConfigDirLength && body.size() <= maxReportBytes) {
        Q_EMIT claudeUsageReportedFrom(configDir, body.toUtf8());
    }
}

void VantorBusService::ShowPopover() {
    Q_EMIT showPopoverRequested();
}

void VantorBusService::ShowSettings() {
    Q_EMIT showSettingsRequested();
}

void VantorBusService::Quit() {
    Q_EMIT quitRequested();
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
