// The desktop's services, each against the real thing or a stand-in on the private bus.
#include "AppState.h"
#include "BadFileKeeper.h"
#include "DBusNotificationCenter.h"
#include "DefaultsClaudePauseStore.h"
#include "LaunchAtLoginController.h"
#include "LogindWakeSource.h"
#include "MediaSoundPlayer.h"
#include "MemoryDefaults.h"
#include "NotificationManager.h"
#include "QSettingsDefaults.h"
#include "RecordingLogSink.h"
#include "ResetAlertAudioManager.h"
#include "SecretServiceKeychain.h"
#include "SnapshotStore.h"
#include "TestData.h"
#include "UsageFixtures.h"
#include "VantorBusService.h"
#include "VantorError.h"
#include "XdgAutostartLoginItem.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMediaPlayer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

using namespace Qt::StringLiterals;

QTemporaryDir scratch;
int files = 0;

QString newFolder() {
    return scratch.filePath(QString::number(++files));
}

// Ends the child with the test, resumed first in case the test stopped it.
struct Child : QProcess {
    ~Child() override {
        ::kill(static_cast<pid_t>(processId()), SIGCONT);
        terminate();
        waitForFinished();
    }
};

// Under another program's schema: the keychain must find items of any schema.
bool storeSecret(const QString& service, const QByteArray& secret) {
    QProcess tool;
    tool.start(u"secret-tool"_s, {u"store"_s, u"--label=t"_s, u"service"_s, service,
                                  u"xdg:schema"_s, u"com.example.ClaudeCode"_s});
    tool.write(secret);
    tool.closeWriteChannel();
    return tool.waitForFinished() && tool.exitStatus() == QProcess::NormalExit &&
           tool.exitCode() == 0;
}

// A fresh record file, and the fake notification server in this mode writing to it, once it
// owns the name; empty when it could not start.
QString startServer(QProcess& server, const QString& mode) {
    const QString record = newFolder() + u"/calls"_s;
    if (!TestData::write(record, "")) {
        return {};
    }
    server.start(QStringLiteral(VANTOR_FAKE_NOTIFICATION_SERVER), {mode, record});
    return server.waitForReadyRead(10'000) && server.readAll() == "ready\n" ? record : QString();
}

bool lockKeyring() {
    QDBusMessage lock =
        QDBusMessage::createMethodCall(u"org.freedesktop.secrets"_s, u"/org/freedesktop/secrets"_s,
                                       u"org.freedesktop.Secret.Service"_s, u"Lock"_s);
    lock << QVariant::fromValue(
        QList{QDBusObjectPath(u"/org/freedesktop/secrets/aliases/default"_s)});
    return QDBusConnection::sessionBus().call(lock).type() == QDBusMessage::ReplyMessage;
}

}  // namespace

class PlatformTest : public QObject {
    Q_OBJECT

    Child keyring_;
    const QByteArray path_ = qgetenv("PATH");

private Q_SLOTS:
    void cleanup() { qputenv("PATH", path_); }

    // The fake server's mode (none: none runs) -> whether it counts as permission, and whether
    // a reset is delivered. A server that starts only after a reset was announced ("late") is
    // handed it, once; the first row, as a later one leaves a server on the bus. Announcements
    // with "markup" in their body -> what the server is handed: escaped for a server that
    // renders markup, as written for one that does not; the summary always as written. Each
    // server is asked once. A delivered one carries Vantor's icon, desktop entry and default
    // action, and asks for silence when Vantor plays its own clip ("silent"); a click on it
    // ("click" server) calls back once, one on another action or notification not at all.
    void notifications_data() { TestData::tableRows(u"platform/tables.json"_s); }
    void notifications() {
        const auto row = TestData::fetch<QJsonObject>("row");
        const QString server = row[u"server"].toString();
        const bool authorized = row[u"authorized"].toBool();
        const bool delivered = row[u"delivered"].toBool();
        const bool late = row[u"late"].toBool();
        Child process;
        const bool noBus = server == "no bus"_L1;
        QString record = newFolder() + u"/calls"_s;
        QVERIFY(TestData::write(record, ""));
        if (server == "slow"_L1) {
            QVERIFY(TestData::write(qEnvironmentVariable("XDG_DATA_HOME") +
                                        u"/dbus-1/services/org.freedesktop.Notifications.service"_s,
                                    "[D-BUS Service]\nName=org.freedesktop.Notifications\nExec=" +
                                        QByteArray(VANTOR_FAKE_NOTIFICATION_SERVER) + " slow " +
                                        record.toUtf8()));
        } else if (!server.isEmpty() && !noBus && !late) {
            QVERIFY(!(record = startServer(process, server)).isEmpty());
        }
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        DBusNotificationCenter center(
            noBus ? QDBusConnection::connectToBus(u"unix:path=/none"_s, server)
                  : QDBusConnection::sessionBus());
        NotificationManager manager(store, center);
        int clicks = 0;
        center.whenActivated([&clicks] { ++clicks; });
        const bool silent = row[u"silent"].toBool();
        const UsageEvent reset = UsageEvent::resetConfirmed(
            ProviderID::claude, u"claude.seven_day"_s, UsageFixtures::t0);
        if (late) {
            std::vector<QCoro::Task<>> handOvers;
            center.whenServerAppears([&] { handOvers.push_back(manager.deliverPending()); });
            QVERIFY(!QCoro::waitFor(manager.deliver(reset, UsageWindowKind::weekly)));
            QVERIFY(!(record = startServer(process, server)).isEmpty());
            QTRY_COMPARE(TestData::read(record).count('\n'), 1);
            QTRY_VERIFY(store.wasDelivered(NotificationManager::eventKey(reset)));
            QVERIFY(store.pendingAnnouncements().isEmpty());
            return;
        }
        if (row[u"markup"].isString()) {
            const QString text = row[u"markup"].toString();
            store.setPendingAnnouncements({{u"a"_s, text, text}, {u"b"_s, text, text}});
            QCoro::waitFor(manager.deliverPending());
            const QByteArray calls = TestData::read(record);
            QCOMPARE(calls.count('\n'), 2);
            for (const QByteArray& line : calls.trimmed().split('\n')) {
                const QJsonObject call = QJsonDocument::fromJson(line).object();
                QCOMPARE(call[u"summary"].toString() + u'|' + call[u"body"].toString(),
                         text + u'|' + row[u"body"].toString());
                QCOMPARE(call[u"capabilitiesAsked"].toInt(), 1);
            }
            return;
        }
        QCOMPARE(QCoro::waitFor(manager.authorizationStatus()) ==
                     NotificationCenter::AuthorizationStatus::authorized,
                 authorized);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(QCoro::waitFor(manager.deliver(reset, UsageWindowKind::weekly, {}, {}, silent)),
                 delivered);
        // Bounded by the centre's own limit, far below the bus's default of 25 s.
        QVERIFY(clock.elapsed() < (server == "slow"_L1
                                       ? DBusNotificationCenter::activationTimeoutMs
                                       : 2 * DBusNotificationCenter::defaultTimeoutMs));
        QCOMPARE(store.wasDelivered(NotificationManager::eventKey(reset)), delivered);
        QCOMPARE(TestData::read(record).count('\n'), authorized ? 1 : 0);
        if (delivered) {
            const QJsonObject call = QJsonDocument::fromJson(TestData::read(record)).object();
            QCOMPARE(call[u"summary"].toString(), u"Claude is ready again"_s);
            QCOMPARE(call[u"hints"][u"x-vantor-identifier"].toString(),
                     NotificationManager::eventKey(reset));
            QCOMPARE(call[u"app_icon"].toString(), u"com.quorvel.vantor"_s);
            QCOMPARE(call[u"hints"][u"desktop-entry"].toString(), u"com.quorvel.vantor"_s);
            QCOMPARE(call[u"actions"].toVariant().toStringList(),
                     QStringList({u"default"_s, u"Show Usage"_s}));
            QCOMPARE(call[u"hints"][u"suppress-sound"].toVariant(),
                     silent ? QVariant(true) : QVariant());
            QTRY_COMPARE(clicks, server == "click"_L1 ? 1 : 0);
            // The server's signals all came before its answer to a later call.
            QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
                DBusNotificationCenter::serviceName, u"/org/freedesktop/Notifications"_s,
                DBusNotificationCenter::serviceName, u"GetCapabilities"_s));
            QCoreApplication::processEvents();
            QCOMPARE(clicks, server == "click"_L1 ? 1 : 0);
            // Announced once: the same reset again is not shown again.
            QVERIFY(!QCoro::waitFor(manager.deliver(reset, UsageWindowKind::weekly)));
            QCOMPARE(TestData::read(record).count('\n'), 1);
        }
    }

    // Rows of "clickOnOlder": how many notifications were sent (past the number the centre
    // keeps), and which one the user clicks -> whether the click is heard: the newest only.
    void clickOnOlder_data() { TestData::tableRows(u"platform/tables.json"_s); }
    void clickOnOlder() {
        const auto row = TestData::fetch<QJsonObject>("row");
        const qsizetype sent = DBusNotificationCenter::heardLimit + row[u"pastLimit"].toInt();
        // A server the bus started for an earlier test ends on its own.
        QTRY_VERIFY_WITH_TIMEOUT(!QDBusConnection::sessionBus().interface()->isServiceRegistered(
                                     DBusNotificationCenter::serviceName),
                                 10'000);
        Child process;
        QVERIFY(!startServer(process, u"accept"_s).isEmpty());
        DBusNotificationCenter center(QDBusConnection::sessionBus());
        int clicks = 0;
        center.whenActivated([&clicks] { ++clicks; });
        for (qsizetype i = 0; i < sent; ++i) {
            QCoro::waitFor(center.add({u"n"_s + QString::number(i), u"title"_s, {}}));
        }
        QDBusMessage click = QDBusMessage::createMethodCall(
            DBusNotificationCenter::serviceName, u"/org/freedesktop/Notifications"_s,
            DBusNotificationCenter::serviceName, u"Click"_s);
        click << static_cast<uint>(row[u"clicked"].toInt());
        // The signal comes before the answer.
        QCOMPARE(QDBusConnection::sessionBus().call(click).type(), QDBusMessage::ReplyMessage);
        QCoreApplication::processEvents();
        QCOMPARE(clicks, row[u"heard"].toInt());
    }

    // What the settings file holds -> the pause read from it (none: null), whether it is copied
    // aside, as it was, before the first write (never on reading: Qt would write it back without
    // what it could not read); then what a restart reads back.
    void settingsFile_data() { TestData::tableRows(u"platform/tables.json"_s); }
    void settingsFile() {
        const auto row = TestData::fetch<QJsonObject>("row");
        // null: a plain file blocks the folder
        const QByteArray content =
            row[u"content"].isNull() ? QByteArray() : row[u"content"].toString().toLatin1();
        const double pause = row[u"pause"].toDouble(std::numeric_limits<double>::quiet_NaN());
        const QString folder = newFolder();
        const QString path = folder + u"/vantor.conf"_s;
        QVERIFY(TestData::write(content.isNull() ? folder : path, content));
        RecordingLogSink log;
        QSettingsDefaults defaults(path, &log);
        DefaultsClaudePauseStore pauseStore(defaults);
        SnapshotStore store(defaults);
        QCOMPARE(
            pauseStore.pausedUntil(),
            std::isnan(pause) ? std::nullopt : std::optional(Instant::fromReferenceSeconds(pause)));
        QVERIFY(store.load().isEmpty() && BadFileKeeper::copies(path).isEmpty());
        QVERIFY(!row[u"copied"].isBool() || defaults.value(u"a"_s).isValid());
        store.markDelivered(u"k"_s);
        const SnapshotMap written{
            {ProviderID::claude, UsageFixtures::fullSnapshot(ProviderID::claude, Instant::now())}};
        const Instant until = Instant::now().addingSeconds(1234.5678);
        store.save(written);
        pauseStore.setPausedUntil(until);
        QCOMPARE(defaults.status() == QSettings::AccessError, content.isNull());
        if (row[u"copied"].isBool()) {
            const bool copied = row[u"copied"].toBool();
            QCOMPARE(BadFileKeeper::copies(path).size(), copied ? 1 : 0);
            QCOMPARE(TestData::read(path + u".bad.1"_s), copied ? content : QByteArray());
        }
        // Unwritable: logged once, and all that waited is written with the first change after
        // the folder can be made. A restart reads it all back (under a new name: QSettings
        // caches a parsed file per path). Another run of failures is logged again.
        QCOMPARE(log.lines.size(), content.isNull() ? 1 : 0);
        QVERIFY(!content.isNull() || QFile::remove(folder));
        store.markDelivered(u"k2"_s);
        const QString next = path + u".next"_s;
        QVERIFY(QFile::copy(path, next));
        QSettingsDefaults restarted(next);
        QCOMPARE(SnapshotStore(restarted).load(), written);
        QVERIFY(SnapshotStore(restarted).wasDelivered(u"k"_s));
        QCOMPARE(DefaultsClaudePauseStore(restarted).pausedUntil(), until);
        // What Qt wrote reads whole: the next write sets nothing aside.
        SnapshotStore(restarted).markDelivered(u"k4"_s);
        QVERIFY(BadFileKeeper::copies(next).isEmpty());
        QVERIFY(!content.isNull() ||
                (QDir(folder).removeRecursively() && TestData::write(folder, "")));
        store.markDelivered(u"k3"_s);
        QCOMPARE(log.lines.size(), content.isNull() ? 2 : 0);
        QCOMPARE(QSettingsDefaults::standardFilePath(),
                 qEnvironmentVariable("XDG_CONFIG_HOME") + u"/vantor/vantor.conf"_s);
    }

    // A pause stored under "key" or set by the "writer" account -> the accounts that read it.
    void claudePauseKeys_data() { TestData::tableRows(u"providers/tables.json"_s); }
    void claudePauseKeys() {
        const auto row = TestData::fetch<QJsonObject>("row");
        MemoryDefaults defaults;
        const Instant until = Instant::now().addingSeconds(600);
        const auto writer = fromRawValue<ProviderID>(row[u"writer"].toString());
        writer ? DefaultsClaudePauseStore(defaults, *writer).setPausedUntil(until)
               : defaults.setValue(row[u"key"].toString(), until.secondsSinceReferenceDate());
        QStringList paused;
        for (const QString& raw : {u"claude"_s, u"claude@work"_s, u"claude@home"_s}) {
            if (DefaultsClaudePauseStore(defaults, *fromRawValue<ProviderID>(raw)).pausedUntil()) {
                paused << raw;
            }
        }
        QCOMPARE(paused.join(u' '), row[u"paused"].toString());
    }

    // Each case: where the executable lies, the entry found (%EXE% stands for it), its status
    // before and after a first launch.
    void autostart_data() { TestData::rows("entry", "platform/autostart.json"); }
    void autostart() {
        QFETCH(QJsonObject, entry);
        using Status = LoginItemService::Status;
        const auto status = [&entry](const char16_t* key) {  // named as the enum's values
            return Status(
                QStringList{u"notRegistered"_s, u"enabled"_s, u"requiresApproval"_s, u"notFound"_s}
                    .indexOf(entry[key].toString()));
        };
        const QString root = newFolder();
        const QString program = root + u'/' + entry[u"executable"].toString();
        QVERIFY(TestData::write(program, ""));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        if (entry.contains(u"buildTree")) {
            TestData::write(root + u'/' + entry[u"buildTree"].toString() + u"/CMakeCache.txt"_s,
                            "");
        }
        const QString folder = root + u"/autostart"_s;
        XdgAutostartLoginItem item(program, folder, {root + u"/usr"_s});
        // Folders removed under the running executable, as an uninstall does.
        QVERIFY(!entry.contains(u"removed") ||
                QDir(root + u'/' + entry[u"removed"].toString()).removeRecursively());
        if (entry.contains(u"entry")) {
            TestData::write(item.entryPath(), entry[u"entry"].toString().toLatin1().replace(
                                                  "%EXE%", QFile::encodeName(program)));
        }
        qputenv("PATH", QFile::encodeName(QFileInfo(program).path()) + ':' + path_);
        QCOMPARE(item.status(), status(u"before"));
        MemoryDefaults defaults;
        LaunchAtLoginController::enableByDefaultIfNeeded(item, defaults);
        const Status after = status(u"after");
        QCOMPARE(item.status(), after);
        // Another program's entry is not removed; switching on, the user's own act, replaces it.
        if (after == Status::notFound) {
            QVERIFY_THROWS_EXCEPTION(VantorError, item.unregisterItem());
            QVERIFY(QFile::exists(item.entryPath()));
        } else {
            item.unregisterItem();
            QCOMPARE(item.status(), Status::notRegistered);
        }
        item.registerItem();
        QCOMPARE(item.status(), Status::enabled);
        // A desktop skips the entry once the program is gone; a backslash is escaped there.
        const QString tryExec = u"\nTryExec="_s + QString(program).replace(u"\\"_s, u"\\\\"_s);
        QVERIFY(QString::fromUtf8(TestData::read(item.entryPath())).contains(tryExec + u'\n'));
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 QStringList{XdgAutostartLoginItem::entryName});
        // Where the folder cannot be made, registering fails aloud.
        QFile::remove(item.entryPath());
        QVERIFY(QDir(folder).removeRecursively() && TestData::write(folder, ""));
        QVERIFY_THROWS_EXCEPTION(VantorError, item.registerItem());
    }

    // Keyring states -> whether a lookup finds the secret, and how soon. "absent" is first: no
    // keyring runs yet, and the one started then must be found at once.
    // "locked": unlocking would raise a prompt that waits for the user without limit.
    void secretService_data() { TestData::tableRows(u"platform/tables.json"_s); }
    void secretService() {
        const auto row = TestData::fetch<QJsonObject>("row");
        const QString keyring = row[u"keyring"].toString();
        const bool found = row[u"found"].toBool();
        const QString service = u"vantor.test."_s + QLatin1String(QTest::currentDataTag());
        const QByteArray secret = "eyJhbGciOiJub25lIn0.e30.\n";  // handed on as it is
        SecretServiceKeychain keychain;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(keyring != "absent"_L1 || !QCoro::waitFor(keychain.secret(service)));
        QVERIFY(clock.elapsed() < 2100);
        if (keyring_.state() == QProcess::NotRunning) {
            keyring_.start(u"gnome-keyring-daemon"_s,
                           {u"--foreground"_s, u"--components=secrets"_s, u"--unlock"_s});
            keyring_.write("test-password");
            keyring_.closeWriteChannel();
        }
        QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(
                                     u"org.freedesktop.secrets"_s),
                                 10'000);
        QVERIFY(storeSecret(service, secret));
        QVERIFY(keyring != "locked"_L1 || lockKeyring());
        const auto pid = static_cast<pid_t>(keyring_.processId());
        QVERIFY(keyring != "frozen"_L1 || ::kill(pid, SIGSTOP) == 0);
        clock.restart();
        // Retried only while the keychain has yet to notice a keyring that appeared.
        const auto expected = found ? std::optional(secret) : std::nullopt;
        std::optional<QByteArray> answer;
        static_cast<void>(QTest::qWaitFor(
            [&] { return (answer = QCoro::waitFor(keychain.secret(service))) == expected; }, 5000));
        const qint64 elapsed = clock.elapsed();
        ::kill(pid, SIGCONT);
        QCOMPARE(answer, expected);
        QVERIFY2(keyring == "frozen"_L1 ? elapsed >= 1900 && elapsed < 3000 : elapsed < 1500,
                 qPrintable(QString::number(elapsed)));
        QVERIFY(!QCoro::waitFor(keychain.secret(service + u".other"_s)));
    }

    // Run alone by the test tst_Platform_without_bus, in a process without any session bus.
    void secretServiceWithoutBus() {
        if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) {
            QSKIP("needs a process without a session bus");
        }
        SecretServiceKeychain keychain;
        QElapsedTimer clock;
        clock.start();
        // Asked again, it still answers at once.
        QVERIFY(!QCoro::waitFor(keychain.secret(u"com.anthropic.claude-code"_s)));
        QVERIFY(!QCoro::waitFor(keychain.secret(u"com.anthropic.claude-code"_s)));
        QVERIFY(clock.elapsed() < 2100);
    }

    // A status line's folder and body, of lengths relative to their bounds -> whether the
    // running copy passes them on.
    void reportFrom_data() { TestData::rows("row", "platform/bus.json", "reports"); }
    void reportFrom() {
        const auto row = TestData::fetch<QJsonObject>("row");
        MemoryDefaults defaults;
        AppState state(defaults, nullptr);
        VantorBusService service(state);
        QSignalSpy reported(&service, &VantorBusService::claudeUsageReportedFrom);
        service.ReportClaudeUsageFrom(
            QString(VantorBusService::maxConfigDirLength + row[u"folder"].toInt(), u'd'),
            QString(VantorBusService::maxReportBytes + row[u"body"].toInt(), u'{'));
        QCOMPARE(reported.size(), row[u"passed"].toBool() ? 1 : 0);
    }

    // What the running copy lists as its accounts -> what a reader believes of it.
    void accountsDecoded_data() { TestData::rows("row", "platform/bus.json", "accounts"); }
    void accountsDecoded() {
        const auto row = TestData::fetch<QJsonObject>("row");
        const QJsonValue input = row[u"input"];
        const QByteArray json =
            input.isString() ? input.toString().toUtf8() : QJsonDocument(input.toArray()).toJson();
        QCOMPARE(VantorBusService::encodeAccounts(VantorBusService::decodeAccounts(json)),
                 row[u"accounts"].toArray());
    }

    // Only logind's resume is a wake: not its going to sleep, nor anyone else's signal. The
    // private session bus stands in for the system bus.
    void wake() {
        QDBusConnection logind =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"logind"_s);
        QDBusConnection impostor =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"other"_s);
        QVERIFY(logind.registerService(u"org.freedesktop.login1"_s));
        LogindWakeSource source(QDBusConnection::sessionBus());
        QSignalSpy woke(&source, &WakeSource::woke);
        const auto signal = [](bool suspending) {
            return QDBusMessage::createSignal(u"/org/freedesktop/login1"_s,
                                              u"org.freedesktop.login1.Manager"_s,
                                              u"PrepareForSleep"_s)
                   << suspending;
        };
        QVERIFY(impostor.send(signal(false)) && logind.send(signal(true)) &&
                logind.send(signal(false)));
        QVERIFY(woke.wait());
        // One more round trip, so anything still queued has arrived.
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(
            u"org.freedesktop.login1"_s));
        QCoreApplication::processEvents();
        QCOMPARE(woke.size(), 1);
    }

    // The test machine has no audio device: clips play out silently, bytes that do not decode
    // are refused quietly, and the next clip plays.
    void sound() {
        MediaSoundPlayer player;
        QMediaPlayer* media = player.mediaPlayer();
        player.play(QByteArray(4096, 'x'));
        QVERIFY(QTest::qWaitFor(
            [media] {
                return media->error() != QMediaPlayer::NoError ||
                       media->mediaStatus() == QMediaPlayer::InvalidMedia;
            },
            20'000));
        player.play(TestData::read(u":/voices/French_Male_Keldo.mp3"_s));
        player.stop();
        player.play(TestData::read(u":/voices/English_Female_Ivrel.mp3"_s));
        QVERIFY(QTest::qWaitFor(
            [media] { return media->mediaStatus() == QMediaPlayer::EndOfMedia; }, 20'000));
    }
};

QTEST_GUILESS_MAIN(PlatformTest)
#include "tst_Platform.moc"
