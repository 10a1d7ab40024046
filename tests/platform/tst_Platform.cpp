// The desktop's services, each against the real thing or a stand-in on the private bus.
#include "DBusNotificationCenter.h"
#include "DefaultsClaudePauseStore.h"
#include "LaunchAtLoginController.h"
#include "LogindWakeSource.h"
#include "MediaSoundPlayer.h"
#include "MemoryDefaults.h"
#include "NotificationManager.h"
#include "QSettingsDefaults.h"
#include "SecretServiceKeychain.h"
#include "SnapshotStore.h"
#include "UsageFixtures.h"
#include "VantorError.h"
#include "XdgAutostartLoginItem.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMediaPlayer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#undef signals
#include <libsecret/secret.h>

namespace {

QTemporaryDir scratch;
int files = 0;

QString newFolder() {
    return scratch.filePath(QString::number(++files));
}

QString writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) >= 0 ? path : QString();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Ends the child with the test, resumed first in case the test stopped it.
struct Child : QProcess {
    ~Child() override {
        ::kill(static_cast<pid_t>(processId()), SIGCONT);
        terminate();
        waitForFinished();
    }
};

// Under a schema of its own name: the keychain must find items of any schema.
bool storeSecret(const char* schemaName, const QByteArray& service, const QByteArray& secret) {
    SecretSchema schema{};
    schema.name = schemaName;
    schema.attributes[0] = {"service", SECRET_SCHEMA_ATTRIBUTE_STRING};
    SecretValue* value = secret_value_new(secret.constData(), secret.size(), "text/plain");
    const bool stored =
        secret_password_store_binary_sync(&schema, SECRET_COLLECTION_DEFAULT, "t", value, nullptr,
                                          nullptr, "service", service.constData(), nullptr);
    secret_value_unref(value);
    return stored;
}

bool lockDefaultCollection() {
    SecretService* service = secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, nullptr);
    GList* objects = g_list_append(
        nullptr, secret_collection_for_alias_sync(service, SECRET_COLLECTION_DEFAULT,
                                                  SECRET_COLLECTION_NONE, nullptr, nullptr));
    const bool locked = secret_service_lock_sync(service, objects, nullptr, nullptr, nullptr) == 1;
    g_list_free_full(objects, g_object_unref);
    g_object_unref(service);
    return locked;
}

QByteArray clip(const char* voice) {
    return readFile(QStringLiteral(":/voices/%1.mp3").arg(QLatin1String(voice)));
}

}  // namespace

class PlatformTest : public QObject {
    Q_OBJECT

    Child keyring_;
    const QByteArray path_ = qgetenv("PATH");

private Q_SLOTS:
    void cleanup() { qputenv("PATH", path_); }

    void notifications_data() {
        QTest::addColumn<QString>("server");  // the fake server's mode; empty: none runs
        QTest::addColumn<bool>("authorized");
        QTest::addColumn<bool>("delivered");
        QTest::newRow("no session bus") << QStringLiteral("no bus") << false << false;
        QTest::newRow("no server") << QString() << false << false;
        QTest::newRow("accepts") << QStringLiteral("accept") << true << true;
        QTest::newRow("refuses") << QStringLiteral("refuse") << true << false;
        QTest::newRow("reply of the wrong type") << QStringLiteral("garble") << true << false;
        QTest::newRow("never answers") << QStringLiteral("hang") << true << false;
        QTest::newRow("quits mid-call") << QStringLiteral("vanish") << true << false;
    }
    void notifications() {
        QFETCH(QString, server);
        QFETCH(bool, authorized);
        QFETCH(bool, delivered);
        const QString record = writeFile(newFolder() + QStringLiteral("/calls"), "");
        Child process;
        const bool noBus = server == QLatin1String("no bus");
        if (!server.isEmpty() && !noBus) {
            process.start(QStringLiteral(VANTOR_FAKE_NOTIFICATION_SERVER), {server, record});
            QVERIFY(process.waitForReadyRead(10'000) && process.readAll() == "ready\n");
        }
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        DBusNotificationCenter center(
            noBus ? QDBusConnection::connectToBus(QStringLiteral("unix:path=/none"), server)
                  : QDBusConnection::sessionBus());
        NotificationManager manager(store, center);
        QCOMPARE(QCoro::waitFor(manager.authorizationStatus()) ==
                     NotificationCenter::AuthorizationStatus::authorized,
                 authorized);
        const UsageEvent reset = UsageEvent::resetConfirmed(
            ProviderID::claude, QStringLiteral("claude.seven_day"), UsageFixtures::t0);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(QCoro::waitFor(manager.deliver(reset, UsageWindowKind::weekly)), delivered);
        // Bounded by the centre's own limit, far below the bus's default of 25 s.
        QVERIFY(clock.elapsed() < 2 * DBusNotificationCenter::defaultTimeoutMs);
        QCOMPARE(store.wasDelivered(NotificationManager::eventKey(reset)), delivered);
        QCOMPARE(readFile(record).count('\n'), authorized ? 1 : 0);
        if (delivered) {
            const QJsonObject call = QJsonDocument::fromJson(readFile(record)).object();
            QCOMPARE(call[u"summary"].toString(), QStringLiteral("Claude is ready again"));
            QCOMPARE(call[u"hints"][u"x-vantor-identifier"].toString(),
                     NotificationManager::eventKey(reset));
            // Announced once: the same reset again is not shown again.
            QVERIFY(!QCoro::waitFor(manager.deliver(reset, UsageWindowKind::weekly)));
            QCOMPARE(readFile(record).count('\n'), 1);
        }
    }

    // What the settings file holds -> what is read from it; then what a restart reads back.
    void settingsFile_data() {
        QTest::addColumn<QByteArray>("content");  // null: a plain file blocks the folder
        QTest::addColumn<double>("pause");        // NaN: none
        const double none = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("a pause") << QByteArray("claudeUsagePausedUntil=812345678.25")
                                 << 812345678.25;
        QTest::newRow("a hand-edited pause")
            << QByteArray("claudeUsagePausedUntil=tomorrow") << none;
        QTest::newRow("a pause not finite") << QByteArray("claudeUsagePausedUntil=inf") << none;
        QTest::newRow("a pause in bytes")
            << QByteArray("claudeUsagePausedUntil=@ByteArray(812345678)") << none;
        QTest::newRow("a pause as a list") << QByteArray("claudeUsagePausedUntil=1, 2") << none;
        QTest::newRow("bad JSON in a byte value")
            << QByteArray("usageSnapshots=@ByteArray([{\"providerID\":)") << none;
        QTest::newRow("binary garbage")
            << QByteArray("\x00\xff[[[\n=\n\x01usageSnapshots", 22) << none;
        QTest::newRow("the folder cannot be made") << QByteArray() << none;
    }
    void settingsFile() {
        QFETCH(QByteArray, content);
        QFETCH(double, pause);
        const QString folder = newFolder();
        const QString path = folder + QStringLiteral("/vantor.conf");
        writeFile(content.isNull() ? folder : path, "[General]\n" + content + '\n');
        QSettingsDefaults defaults(path);
        DefaultsClaudePauseStore pauseStore(defaults);
        SnapshotStore store(defaults);
        QCOMPARE(
            pauseStore.pausedUntil(),
            std::isnan(pause) ? std::nullopt : std::optional(Instant::fromReferenceSeconds(pause)));
        QVERIFY(store.load().isEmpty());
        // A corrupt value stays until it is replaced.
        const QVariant before = defaults.value(SnapshotStore::snapshotKey);
        store.markDelivered(QStringLiteral("k"));
        QCOMPARE(defaults.value(SnapshotStore::snapshotKey), before);

        const SnapshotMap written{
            {ProviderID::claude, UsageFixtures::fullSnapshot(ProviderID::claude, Instant::now())}};
        const Instant until = Instant::now().addingSeconds(1234.5678);
        store.save(written);
        pauseStore.setPausedUntil(until);
        QCOMPARE(defaults.status() == QSettings::AccessError, content.isNull());
        // Unwritable: nothing is lost for this process. Else a restart reads it all back (under a
        // new name: QSettings caches a parsed file per path).
        const QString next = path + QStringLiteral(".next");
        QVERIFY(content.isNull() || QFile::copy(path, next));
        QSettingsDefaults restarted(content.isNull() ? path : next);
        UserDefaults& reread = content.isNull() ? static_cast<UserDefaults&>(defaults) : restarted;
        QCOMPARE(SnapshotStore(reread).load(), written);
        QVERIFY(SnapshotStore(reread).wasDelivered(QStringLiteral("k")));
        QCOMPARE(DefaultsClaudePauseStore(reread).pausedUntil(), until);
        QCOMPARE(QSettingsDefaults::standardFilePath(),
                 qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/vantor/vantor.conf"));
    }

    // Each case: where the executable lies, the entry found (%EXE% stands for it), its status
    // before and after a first launch.
    void autostart_data() {
        QTest::addColumn<QJsonObject>("entry");
        for (const QJsonValue entry :
             QJsonDocument::fromJson(readFile(VANTOR_PLATFORM_DATA_DIR "/autostart.json"))
                 .array()) {
            QTest::newRow(entry[u"name"].toString().toUtf8().constData()) << entry.toObject();
        }
    }
    void autostart() {
        QFETCH(QJsonObject, entry);
        using Status = LoginItemService::Status;
        const QHash<QString, Status> statuses{
            {QStringLiteral("enabled"), Status::enabled},
            {QStringLiteral("requiresApproval"), Status::requiresApproval},
            {QStringLiteral("notRegistered"), Status::notRegistered},
            {QStringLiteral("notFound"), Status::notFound}};
        const QString root = newFolder();
        const QString program = writeFile(root + u'/' + entry[u"executable"].toString(), "");
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        if (entry.contains(u"buildTree")) {
            writeFile(
                root + u'/' + entry[u"buildTree"].toString() + QStringLiteral("/CMakeCache.txt"),
                "");
        }
        const QString folder = root + QStringLiteral("/autostart");
        XdgAutostartLoginItem item(program, folder, {root + QStringLiteral("/usr")});
        if (entry.contains(u"entry")) {
            writeFile(item.entryPath(), entry[u"entry"].toString().toLatin1().replace(
                                            "%EXE%", QFile::encodeName(program)));
        }
        qputenv("PATH", QFile::encodeName(QFileInfo(program).path()) + ':' + path_);
        QCOMPARE(item.status(), statuses[entry[u"before"].toString()]);
        MemoryDefaults defaults;
        LaunchAtLoginController::enableByDefaultIfNeeded(item, defaults);
        const Status status = statuses[entry[u"after"].toString()];
        QCOMPARE(item.status(), status);
        // Another program's entry is not removed; switching on, the user's own act, replaces it.
        if (status == Status::notFound) {
            QVERIFY_THROWS_EXCEPTION(VantorError, item.unregisterItem());
            QVERIFY(QFile::exists(item.entryPath()));
        } else {
            item.unregisterItem();
            QCOMPARE(item.status(), Status::notRegistered);
        }
        item.registerItem();
        QCOMPARE(item.status(), Status::enabled);
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 QStringList{XdgAutostartLoginItem::entryName});
        // Where the folder cannot be made, registering fails aloud.
        QFile::remove(item.entryPath());
        QVERIFY(QDir(folder).removeRecursively() && !writeFile(folder, "").isEmpty());
        QVERIFY_THROWS_EXCEPTION(VantorError, item.registerItem());
    }

    // Keyring states -> what a lookup finds, and how soon. "absent" is first: no keyring runs
    // yet, and the one started then must be found at once.
    void secretService_data() {
        QTest::addColumn<QString>("keyring");
        QTest::addColumn<QByteArray>("schema");
        QTest::addColumn<QByteArray>("secret");  // null: nothing to find
        const QByteArray generic = "org.freedesktop.Secret.Generic";
        QTest::newRow("absent, then started")
            << QStringLiteral("absent") << generic << QByteArray("eyLater");
        QTest::newRow("JSON under a schema of its own")
            << QStringLiteral("unlocked") << QByteArray("com.example.ClaudeCode")
            << QByteArray(R"({"claudeAiOauth":{"accessToken":"sk-ant-oat01-kc"}})");
        QTest::newRow("bare text, unchanged")
            << QStringLiteral("unlocked") << generic << QByteArray("eyJhbGciOiJub25lIn0.e30.\n");
        // Unlocking would raise a prompt that waits for the user without limit.
        QTest::newRow("locked") << QStringLiteral("locked") << generic << QByteArray();
        QTest::newRow("never answers") << QStringLiteral("frozen") << QByteArray() << QByteArray();
    }
    void secretService() {
        QFETCH(QString, keyring);
        QFETCH(QByteArray, schema);
        QFETCH(QByteArray, secret);
        const QByteArray service = "vantor.test." + QByteArray(QTest::currentDataTag());
        SecretServiceKeychain keychain;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(keyring != QLatin1String("absent") || !QCoro::waitFor(keychain.secret(service)));
        QVERIFY(clock.elapsed() < 2100);
        if (keyring_.state() == QProcess::NotRunning) {
            keyring_.start(QStringLiteral("gnome-keyring-daemon"),
                           {QStringLiteral("--foreground"), QStringLiteral("--components=secrets"),
                            QStringLiteral("--unlock")});
            keyring_.write("test-password");
            keyring_.closeWriteChannel();
        }
        QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(
                                     QStringLiteral("org.freedesktop.secrets")),
                                 10'000);
        QVERIFY(schema.isEmpty() ||
                storeSecret(schema.constData(), service, secret.isNull() ? "ey" : secret));
        QVERIFY(keyring != QLatin1String("locked") || lockDefaultCollection());
        const auto pid = static_cast<pid_t>(keyring_.processId());
        QVERIFY(keyring != QLatin1String("frozen") || ::kill(pid, SIGSTOP) == 0);
        clock.restart();
        // Retried only while the keychain has yet to notice a keyring that appeared.
        const auto expected = secret.isNull() ? std::nullopt : std::optional(secret);
        std::optional<QByteArray> found;
        static_cast<void>(QTest::qWaitFor(
            [&] { return (found = QCoro::waitFor(keychain.secret(service))) == expected; }, 5000));
        const qint64 elapsed = clock.elapsed();
        ::kill(pid, SIGCONT);
        QCOMPARE(found, expected);
        QVERIFY2(
            keyring == QLatin1String("frozen") ? elapsed >= 1900 && elapsed < 3000 : elapsed < 1500,
            qPrintable(QString::number(elapsed)));
        QVERIFY(!QCoro::waitFor(keychain.secret(service + ".other")));
    }

    // Run alone by the test tst_Platform_without_bus, in a process without any session bus.
    void secretServiceWithoutBus() {
        if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) {
            QSKIP("needs a process without a session bus");
        }
        SecretServiceKeychain keychain;
        for (int round = 0; round < 2; ++round) {
            QElapsedTimer clock;
            clock.start();
            QVERIFY(!QCoro::waitFor(keychain.secret(QStringLiteral("com.anthropic.claude-code"))));
            QVERIFY(clock.elapsed() < 2100);
        }
    }

    // Only logind's resume is a wake: not its going to sleep, nor anyone else's signal. The
    // private session bus stands in for the system bus.
    void wake() {
        QDBusConnection logind =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("logind"));
        QDBusConnection impostor =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
        QVERIFY(logind.registerService(QStringLiteral("org.freedesktop.login1")));
        LogindWakeSource source(QDBusConnection::sessionBus());
        QSignalSpy woke(&source, &WakeSource::woke);
        const auto signal = [](bool suspending) {
            return QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                              QStringLiteral("org.freedesktop.login1.Manager"),
                                              QStringLiteral("PrepareForSleep"))
                   << suspending;
        };
        QVERIFY(impostor.send(signal(false)) && logind.send(signal(true)) &&
                logind.send(signal(false)));
        QVERIFY(woke.wait());
        // One more round trip, so anything still queued has arrived.
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(
            QStringLiteral("org.freedesktop.login1")));
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
        player.play(clip("French_Male_Keldo"));
        player.stop();
        player.play(clip("English_Female_Ivrel"));
        QVERIFY(QTest::qWaitFor(
            [media] { return media->mediaStatus() == QMediaPlayer::EndOfMedia; }, 20'000));
    }
};

QTEST_GUILESS_MAIN(PlatformTest)
#include "tst_Platform.moc"
