// A stand-in for a desktop notification server, run by tests as its own process on their
// private session bus (a service in the test's own process would deadlock its synchronous
// calls). It owns org.freedesktop.Notifications, appends every call it receives to the record
// file as one JSON object per line, and answers Notify as the mode says:
//   accept  a fresh notification number
//   refuse  an org.freedesktop.DBus.Error.AccessDenied error
//   garble  a reply of the wrong type
//   hang    no answer at all
//   vanish  quits without answering
// Usage: vantor_fake_notification_server <mode> <record file>. Prints "ready" once it owns
// the name.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cstdio>

class FakeNotificationServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    FakeNotificationServer(QString mode, QString recordPath)
        : mode_(std::move(mode)), record_(recordPath) {}

    bool openRecord() { return record_.open(QIODevice::WriteOnly | QIODevice::Append); }

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesID, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout) {
        QJsonObject hintValues;
        for (auto it = hints.cbegin(); it != hints.cend(); ++it) {
            hintValues.insert(it.key(), QJsonValue::fromVariant(it.value()));
        }
        write({{QStringLiteral("method"), QStringLiteral("Notify")},
               {QStringLiteral("app_name"), appName},
               {QStringLiteral("replaces_id"), static_cast<qint64>(replacesID)},
               {QStringLiteral("app_icon"), appIcon},
               {QStringLiteral("summary"), summary},
               {QStringLiteral("body"), body},
               {QStringLiteral("actions"), QJsonArray::fromStringList(actions)},
               {QStringLiteral("hints"), hintValues},
               {QStringLiteral("expire_timeout"), expireTimeout}});
        if (mode_ == QLatin1String("refuse")) {
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Notifications are off"));
        } else if (mode_ == QLatin1String("garble")) {
            setDelayedReply(true);
            connection().send(message().createReply(QStringLiteral("not a number")));
        } else if (mode_ == QLatin1String("hang")) {
            setDelayedReply(true);
        } else if (mode_ == QLatin1String("vanish")) {
            setDelayedReply(true);
            std::_Exit(0);
        }
        return ++lastID_;
    }

    QStringList GetCapabilities() {
        write({{QStringLiteral("method"), QStringLiteral("GetCapabilities")}});
        return {QStringLiteral("body")};
    }

    void CloseNotification(uint id) {
        write({{QStringLiteral("method"), QStringLiteral("CloseNotification")},
               {QStringLiteral("id"), static_cast<qint64>(id)}});
    }

private:
    void write(const QJsonObject& call) {
        record_.write(QJsonDocument(call).toJson(QJsonDocument::Compact) + '\n');
        record_.flush();
    }

    QString mode_;
    QFile record_;
    uint lastID_ = 0;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: vantor_fake_notification_server <mode> <record file>\n", stderr);
        return 2;
    }
    FakeNotificationServer server(arguments[1], arguments[2]);
    if (!server.openRecord()) {
        return 1;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}

#include "FakeNotificationServer.moc"
