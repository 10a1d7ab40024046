// A stand-in for a desktop notification server, run as its own process on the test's private
// bus (a service inside the test's process would deadlock its blocking calls). It appends each
// Notify call to the record file as one JSON line and answers as the mode says: accept (a
// number), refuse (an error), garble (a reply of the wrong type), hang (no answer), vanish
// (exits mid-call), slow (as the bus starts it: takes 3 s to come up, ends after one call),
// markup (accepts, and announces that it renders a body as markup), click (accepts, then
// tells of clicks: on another program's notification, on another action of this one, and on
// this one's default action, in that order). Each line also counts the GetCapabilities calls
// so far. In every mode, Click(id) tells of a click on that notification's default action, as
// a user's click on an older notification. Usage:
// vantor_fake_notification_server <mode> <record file>; prints "ready" once it owns the name.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QTimer>

#include <cstdio>

class Server : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QString mode;
    QFile record;

public Q_SLOTS:
    QStringList GetCapabilities() {
        ++capabilitiesAsked_;
        return mode == QLatin1String("markup")
                   ? QStringList{QStringLiteral("body"), QStringLiteral("body-markup")}
                   : QStringList{QStringLiteral("body")};
    }

    // The exact signature: a call with other argument types is refused, as real servers do.
    uint Notify(const QString& appName, uint, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int) {
        const QJsonObject call{{QStringLiteral("app_name"), appName},
                               {QStringLiteral("app_icon"), appIcon},
                               {QStringLiteral("actions"), QJsonArray::fromStringList(actions)},
                               {QStringLiteral("summary"), summary},
                               {QStringLiteral("body"), body},
                               {QStringLiteral("hints"), QJsonObject::fromVariantMap(hints)},
                               {QStringLiteral("capabilitiesAsked"), capabilitiesAsked_}};
        record.write(QJsonDocument(call).toJson(QJsonDocument::Compact) + '\n');
        record.flush();
        if (mode == QLatin1String("refuse")) {
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Notifications are off"));
        } else if (mode == QLatin1String("click")) {
            // After the reply, as a user's click comes.
            QTimer::singleShot(0, this, [this, id = lastID_ + 1] {
                invoke(id + 100, QStringLiteral("default"));
                invoke(id, QStringLiteral("other"));
                invoke(id, QStringLiteral("default"));
            });
        } else if (mode == QLatin1String("slow")) {
            QTimer::singleShot(500, qApp, &QCoreApplication::quit);
        } else if (mode != QLatin1String("accept") && mode != QLatin1String("markup") &&
                   mode != QLatin1String("click")) {
            setDelayedReply(true);
            if (mode == QLatin1String("garble")) {
                connection().send(message().createReply(QStringLiteral("not a number")));
            } else if (mode == QLatin1String("vanish")) {
                std::_Exit(0);
            }
        }
        return ++lastID_;
    }

    void Click(uint id) { invoke(id, QStringLiteral("default")); }

private:
    static void invoke(uint id, const QString& key) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
        signal << id << key;
        QDBusConnection::sessionBus().send(signal);
    }

    uint lastID_ = 0;
    int capabilitiesAsked_ = 0;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Server server;
    server.mode = app.arguments().value(1);
    server.record.setFileName(app.arguments().value(2));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (server.mode == QLatin1String("slow")) {
        QThread::sleep(3);
        QTimer::singleShot(30'000, &app, &QCoreApplication::quit);  // should the call never come
    }
    if (argc != 3 || !server.record.open(QIODevice::WriteOnly | QIODevice::Append) ||
        !bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        return 2;
    }
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

#include "FakeNotificationServer.moc"
