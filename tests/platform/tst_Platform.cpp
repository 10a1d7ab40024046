// The desktop's services, each against the real thing or a stand-in on the private bus.
#include "ClaudeCredentialReader.h"
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
#include <QJsonDocument>
#include <QJsonObject>
#include <QMediaPlayer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#undef signals
#include <libsecret/secret.h>

using Status = LoginItemService::Status;
Q_DECLARE_METATYPE(Status)

namespace {

QTemporaryDir scratch;
int fileCount = 0;

QString newFolder() {
    const QString path = scratch.filePath(QString::number(++fileCount));
    QDir().mkpath(path);
    return path;
}

QString writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content);
    }
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// QSettings caches a parsed file per path: a copy under a new name is read as a restart would.
QString nextLaunch(const QString& path) {
    const QString copy = path + QString::number(++fileCount);
    QFile::copy(path, copy);
    return copy;
}

// Ends the child with the test; resumes it first in case the test stopped it.
struct Child : QProcess {
    ~Child() override {
        ::kill(static_cast<pid_t>(processId()), SIGCONT);
        terminate();
        if (!waitForFinished(5000)) {
            kill();
            waitForFinished();
        }
    }
};

bool secretServiceOwned() {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(
        QStringLiteral("org.freedesktop.secrets"));
}

// Stores under a schema of its own name: the keychain must match items of any schema.
bool storeSecret(const char* schemaName, const QString& service, const QByteArray& secret) {
    SecretSchema schema{};
    schema.name = schemaName;
    schema.attributes[0] = {"service", SECRET_SCHEMA_ATTRIBUTE_STRING};
    SecretValue* value = secret_value_new(secret.constData(), secret.size(), "text/plain");
    const QByteArray name = service.toUtf8();
    const bool stored =
        secret_password_store_binary_sync(&schema, SECRET_COLLECTION_DEFAULT, "t", value, nullptr,
                                          nullptr, "service", name.constData(), nullptr);
    secret_value_unref(value);
    return stored;
}

bool lockDefaultCollection() {
    SecretService* service = secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, nullptr);
    SecretCollection* collection = secret_collection_for_alias_sync(
        service, SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, nullptr, nullptr);
    GList* objects = g_list_append(nullptr, collection);
    const bool locked = secret_service_lock_sync(service, objects, nullptr, nullptr, nullptr) == 1;
    g_list_free(objects);
    g_object_unref(collection);
    g_object_unref(service);
    return locked;
}

QDBusMessage prepareForSleep(bool suspending) {
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"));
    return signal << suspending;
}

QByteArray clip(const char* voice) {
    QFile file(QStringLiteral(":/voices/%1.mp3").arg(QLatin1String(voice)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class PlatformTest : public QObject {
    Q_OBJECT

    Child keyring_;
    const QByteArray savedPath_ = qgetenv("PATH");
    QDBusConnection logind_ =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("logind"));
    QDBusConnection impostor_ =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("impostor"));

    bool startKeyring() {
        if (keyring_.state() == QProcess::NotRunning) {
            keyring_.start(QStringLiteral("gnome-keyring-daemon"),
                           {QStringLiteral("--foreground"), QStringLiteral("--components=secrets"),
                            QStringLiteral("--unlock")});
            keyring_.write("test-password");
            keyring_.closeWriteChannel();
        }
        return QTest::qWaitFor(secretServiceOwned, 10'000);
    }

private Q_SLOTS:
    void notifications_data() {
        QTest::addColumn<QString>("server");  // empty: nobody owns the name
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
        if (!server.isEmpty() && server != QLatin1String("no bus")) {
            process.start(QStringLiteral(VANTOR_FAKE_NOTIFICATION_SERVER), {server, record});
            QVERIFY(process.waitForReadyRead(10'000) && process.readAll() == "ready\n");
        }
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        DBusNotificationCenter center(
            server == QLatin1String("no bus")
                ? QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"), server)
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

    void claudePause_data() {
        QTest::addColumn<QByteArray>("stored");  // the line in the settings file
        QTest::addColumn<double>("seconds");     // NaN: no pause
        const double none = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("empty") << QByteArray() << none;
        QTest::newRow("a number") << QByteArray("812345678.25") << 812345678.25;
        QTest::newRow("hand-edited garbage") << QByteArray("tomorrow") << none;
        QTest::newRow("not finite") << QByteArray("inf") << none;
        QTest::newRow("bytes") << QByteArray("@ByteArray(812345678)") << none;
        QTest::newRow("a list") << QByteArray("1, 2") << none;
    }
    void claudePause() {
        QFETCH(QByteArray, stored);
        QFETCH(double, seconds);
        const QString path = writeFile(newFolder() + QStringLiteral("/vantor.conf"),
                                       "[General]\nclaudeUsagePausedUntil=" + stored + '\n');
        QSettingsDefaults defaults(path);
        DefaultsClaudePauseStore store(defaults);
        const std::optional<Instant> found = store.pausedUntil();
        QCOMPARE(found.has_value(), !std::isnan(seconds));
        if (found) {
            QCOMPARE(*found, Instant::fromReferenceSeconds(seconds));
        }
        // A new pause replaces whatever was there, and outlives a restart.
        const Instant until = Instant::now().addingSeconds(1234.5678);
        store.setPausedUntil(until);
        QSettingsDefaults reopened(nextLaunch(path));
        QCOMPARE(DefaultsClaudePauseStore(reopened).pausedUntil(), until);
    }

    void settingsFile_data() {
        QTest::addColumn<QByteArray>("content");  // null: a plain file blocks the folder
        QTest::newRow("none yet") << QByteArray("");
        QTest::newRow("bad JSON in a byte value")
            << QByteArray("[General]\nusageSnapshots=@ByteArray([{\"providerID\":)\n");
        QTest::newRow("binary garbage") << QByteArray("\x00\xff[[[\n=\n\x01usageSnapshots", 22);
        QTest::newRow("folder cannot be made") << QByteArray();
    }
    void settingsFile() {
        QFETCH(QByteArray, content);
        const QString path = content.isNull()
                                 ? writeFile(newFolder() + QStringLiteral("/blocked"), "x") +
                                       QStringLiteral("/v.conf")
                                 : writeFile(newFolder() + QStringLiteral("/vantor.conf"), content);
        QSettingsDefaults defaults(path);
        SnapshotStore store(defaults);
        QVERIFY(store.load().isEmpty());
        const QVariant before = defaults.value(SnapshotStore::snapshotKey);
        store.markDelivered(QStringLiteral("k"));
        QCOMPARE(defaults.value(SnapshotStore::snapshotKey), before);
        const SnapshotMap written{
            {ProviderID::claude, UsageFixtures::fullSnapshot(ProviderID::claude, Instant::now())}};
        store.save(written);
        QCOMPARE(defaults.status() == QSettings::AccessError, content.isNull());
        // Nothing is lost in memory, and everything on disk survives a restart.
        QSettingsDefaults next(content.isNull() ? path : nextLaunch(path));
        for (UserDefaults* read : std::initializer_list<UserDefaults*>{&defaults, &next}) {
            QCOMPARE(SnapshotStore(*read).load(), written);
            QVERIFY(SnapshotStore(*read).wasDelivered(QStringLiteral("k")));
            if (content.isNull()) {
                break;
            }
        }
        QCOMPARE(QSettingsDefaults::standardFilePath(),
                 qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/vantor/vantor.conf"));
    }

    void autostart_data() {
        QTest::addColumn<QString>("executable");  // under the test's root
        QTest::addColumn<QByteArray>("entry");    // null: none; %EXE% is the executable
        QTest::addColumn<Status>("before");
        QTest::addColumn<Status>("afterFirstLaunch");
        const QString installed = QStringLiteral("usr/bin/vantor");
        const QByteArray group = "[Desktop Entry]\nType=Application\n";
        const Status off = Status::requiresApproval;
        const Status none = Status::notRegistered;
        QTest::newRow("installed") << installed << QByteArray() << none << Status::enabled;
        QTest::newRow("spaces and quotes") << QStringLiteral("usr/bin/my \"vantor\" copy")
                                           << QByteArray() << none << Status::enabled;
        QTest::newRow("shell and field-code characters")
            << QStringLiteral("usr/bin/v$HOME`x`\\%f") << QByteArray() << none << Status::enabled;
        QTest::newRow("outside every prefix")
            << QStringLiteral("src/app/vantor") << QByteArray() << none << none;
        QTest::newRow("a build tree under a prefix")
            << QStringLiteral("usr/build/app/vantor") << QByteArray() << none << none;
        QTest::newRow("only starts like a prefix")
            << QStringLiteral("usrlocal/bin/vantor") << QByteArray() << none << none;
        QTest::newRow("ours") << installed << group + "Exec=%EXE%\n"
                              << Status::enabled << Status::enabled;
        QTest::newRow("ours, quoted, with arguments")
            << installed << group + "Exec=\"%EXE%\" --flag\n"
            << Status::enabled << Status::enabled;
        QTest::newRow("bare name on PATH") << installed << group + "Exec=vantor\n"
                                           << Status::enabled << Status::enabled;
        QTest::newRow("hidden by the user") << installed << group + "Exec=%EXE%\nHidden=true\n"
                                            << off << off;
        QTest::newRow("switched off in GNOME")
            << installed << group + "Exec=%EXE%\nX-GNOME-Autostart-enabled=false\n"
            << off << off;
        QTest::newRow("another program") << installed << group + "Exec=/usr/bin/env vantor\n"
                                         << Status::notFound << Status::notFound;
        QTest::newRow("ours only in an action group")
            << installed << group + "Name=x\n[Desktop Action a]\nExec=%EXE%\n"
            << Status::notFound << Status::notFound;
        QTest::newRow("not text") << installed << QByteArray("\x00\xff\xfe[Desktop", 10)
                                  << Status::notFound << Status::notFound;
    }
    void autostart() {
        QFETCH(QString, executable);
        QFETCH(QByteArray, entry);
        QFETCH(Status, before);
        QFETCH(Status, afterFirstLaunch);
        const QString root = newFolder();
        const QString program = writeFile(root + u'/' + executable, "");
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        if (executable.contains(QLatin1String("build"))) {
            writeFile(root + QStringLiteral("/usr/build/CMakeCache.txt"), "");
        }
        const QString folder = root + QStringLiteral("/autostart");
        XdgAutostartLoginItem item(program, folder, {root + QStringLiteral("/usr")});
        if (!entry.isNull()) {
            writeFile(item.entryPath(), entry.replace("%EXE%", QFile::encodeName(program)));
        }
        qputenv("PATH", QFile::encodeName(QFileInfo(program).path()) + ':' + savedPath_);
        QCOMPARE(item.status(), before);
        MemoryDefaults defaults;
        LaunchAtLoginController::enableByDefaultIfNeeded(item, defaults);
        QCOMPARE(item.status(), afterFirstLaunch);
        QCOMPARE(defaults.contains(LaunchAtLoginController::configuredKey),
                 executable.startsWith(QLatin1String("usr/bin/")));
        // Another program's entry is not removed; switching on, the user's own act, replaces it.
        if (afterFirstLaunch == Status::notFound) {
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
    }
    void cleanup() { qputenv("PATH", savedPath_); }

    void autostartFolderBlocked() {
        const QString blocker = writeFile(newFolder() + QStringLiteral("/autostart"), "a file");
        XdgAutostartLoginItem item(QStringLiteral("/usr/bin/vantor"), blocker);
        QVERIFY_THROWS_EXCEPTION(VantorError, item.registerItem());
    }

    // Without a Secret Service the file's token serves at once; the keychain's wins as soon as
    // one appears.
    void secretServiceAppears() {
        if (QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon")).isEmpty()) {
            QSKIP("gnome-keyring-daemon is not installed (scripts/install-deps installs it)");
        }
        QVERIFY(!secretServiceOwned());
        writeFile(ClaudeCredentialReader::credentialsFilePath(),
                  R"({"claudeAiOauth":{"accessToken":"from-file"}})");
        SecretServiceKeychain keychain;
        const ClaudeCredentialReader reader(&keychain);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(QCoro::waitFor(reader.token()), std::optional(QStringLiteral("from-file")));
        QVERIFY(clock.elapsed() < 2100);
        QVERIFY(startKeyring());
        QVERIFY(storeSecret("org.freedesktop.Secret.Generic",
                            ClaudeCredentialReader::keychainService, "eyFromTheKeychain"));
        QTRY_COMPARE_WITH_TIMEOUT(QCoro::waitFor(reader.token()),
                                  std::optional(QStringLiteral("eyFromTheKeychain")), 5000);
    }

    void secretService_data() {
        QTest::addColumn<QByteArray>("schema");  // empty: nothing stored
        QTest::addColumn<QByteArray>("secret");
        QTest::addColumn<QString>("keyring");
        const QByteArray generic = "org.freedesktop.Secret.Generic";
        const QString unlocked = QStringLiteral("unlocked");
        QTest::newRow("JSON under a schema of its own")
            << QByteArray("com.example.ClaudeCode")
            << QByteArray(R"({"claudeAiOauth":{"accessToken":"sk-ant-oat01-kc"}})") << unlocked;
        QTest::newRow("bare ey text, unchanged")
            << generic << QByteArray("eyJhbGciOiJub25lIn0.e30.\n") << unlocked;
        // Unlocking would raise a prompt that waits for the user without limit.
        QTest::newRow("locked collection")
            << generic << QByteArray("ey") << QStringLiteral("locked");
        QTest::newRow("never answers") << QByteArray() << QByteArray() << QStringLiteral("frozen");
    }
    void secretService() {
        QFETCH(QByteArray, schema);
        QFETCH(QByteArray, secret);
        QFETCH(QString, keyring);
        if (QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon")).isEmpty()) {
            QSKIP("gnome-keyring-daemon is not installed (scripts/install-deps installs it)");
        }
        QVERIFY(startKeyring());
        const QString service = QStringLiteral("vantor.test.") + QTest::currentDataTag();
        if (!schema.isEmpty()) {
            QVERIFY(storeSecret(schema.constData(), service, secret));
        }
        if (keyring == QLatin1String("locked")) {
            QVERIFY(lockDefaultCollection());
        }
        const auto pid = static_cast<pid_t>(keyring_.processId());
        if (keyring == QLatin1String("frozen")) {
            QCOMPARE(::kill(pid, SIGSTOP), 0);
        }
        SecretServiceKeychain keychain;
        QElapsedTimer clock;
        clock.start();
        const std::optional<QByteArray> found = QCoro::waitFor(keychain.secret(service));
        const qint64 elapsed = clock.elapsed();
        ::kill(pid, SIGCONT);
        QCOMPARE(found,
                 keyring == QLatin1String("unlocked") ? std::optional(secret) : std::nullopt);
        QVERIFY2(
            keyring == QLatin1String("frozen") ? elapsed >= 1900 && elapsed < 3000 : elapsed < 1500,
            qPrintable(QString::number(elapsed)));
        QVERIFY(!QCoro::waitFor(keychain.secret(service + QStringLiteral(".other"))));
    }

    // Runs alone, in a process without a session bus (the test tst_Platform_without_bus).
    void secretServiceWithoutBus() {
        if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) {
            QSKIP("needs a process without a session bus");
        }
        SecretServiceKeychain keychain;
        for (int round = 0; round < 2; ++round) {
            QElapsedTimer clock;
            clock.start();
            QVERIFY(!QCoro::waitFor(keychain.secret(ClaudeCredentialReader::keychainService)));
            QVERIFY(clock.elapsed() < 2100);
        }
    }

    // The private session bus stands in for the system bus.
    void wake_data() {
        QTest::addColumn<bool>("fromLogind");
        QTest::addColumn<bool>("suspending");
        QTest::addColumn<int>("wakes");  // the resume from logind that follows included
        QTest::newRow("resume") << true << false << 2;
        QTest::newRow("going to sleep") << true << true << 1;
        QTest::newRow("an impostor's resume") << false << false << 1;
    }
    void wake() {
        QFETCH(bool, fromLogind);
        QFETCH(bool, suspending);
        QFETCH(int, wakes);
        QVERIFY(logind_.registerService(QStringLiteral("org.freedesktop.login1")));
        LogindWakeSource source(QDBusConnection::sessionBus());
        QSignalSpy woke(&source, &WakeSource::woke);
        // A round trip on the listening connection, so its match rule is in place.
        const auto roundTrip = [] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered(
                QStringLiteral("org.freedesktop.login1"));
        };
        QVERIFY(roundTrip());
        QVERIFY((fromLogind ? logind_ : impostor_).send(prepareForSleep(suspending)));
        QVERIFY(logind_.send(prepareForSleep(false)));
        QTRY_COMPARE(woke.size(), wakes);
        QVERIFY(roundTrip());
        QCoreApplication::processEvents();
        QCOMPARE(woke.size(), wakes);
    }

    // The test machine has no audio device: clips play out silently, bytes that do not decode
    // are refused quietly, and the next clip plays either way.
    void sound_data() {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<bool>("decodes");
        QTest::newRow("a clip, stopped") << clip("French_Male_Keldo") << true;
        QTest::newRow("bytes that do not decode") << QByteArray(4096, 'x') << false;
    }
    void sound() {
        QFETCH(QByteArray, first);
        QFETCH(bool, decodes);
        MediaSoundPlayer player;
        QMediaPlayer* media = player.mediaPlayer();
        player.play(first);
        if (decodes) {
            player.stop();
        } else {
            QVERIFY(QTest::qWaitFor(
                [media] {
                    return media->error() != QMediaPlayer::NoError ||
                           media->mediaStatus() == QMediaPlayer::InvalidMedia;
                },
                20'000));
        }
        player.play(clip("English_Female_Ivrel"));
        QVERIFY(QTest::qWaitFor(
            [media] { return media->mediaStatus() == QMediaPlayer::EndOfMedia; }, 20'000));
    }
};

QTEST_GUILESS_MAIN(PlatformTest)
#include "tst_Platform.moc"
