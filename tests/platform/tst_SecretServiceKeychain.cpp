#include "ClaudeCredentialReader.h"
#include "SecretServiceKeychain.h"

#include <QCoroTask>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

#undef signals
#include <libsecret/secret.h>

using namespace std::chrono_literals;

namespace {

std::optional<QByteArray> lookup(SecretServiceKeychain& keychain, const QString& service) {
    return QCoro::waitFor(keychain.secret(service));
}

bool nameHasOwner(const char* name) {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus) {
        return false;
    }
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "NameHasOwner", g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE,
        1000, nullptr, nullptr);
    gboolean owned = FALSE;
    if (reply) {
        g_variant_get(reply, "(b)", &owned);
        g_variant_unref(reply);
    }
    g_object_unref(bus);
    return owned;
}

// Stores a secret under its own schema name: the keychain must match any schema.
bool store(const char* schemaName, const QString& service, const QByteArray& secret) {
    SecretSchema schema{};
    schema.name = schemaName;
    schema.flags = SECRET_SCHEMA_NONE;
    schema.attributes[0] = {"service", SECRET_SCHEMA_ATTRIBUTE_STRING};
    schema.attributes[1] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};
    SecretValue* value =
        secret_value_new(secret.constData(), static_cast<gssize>(secret.size()), "text/plain");
    GError* error = nullptr;
    const QByteArray serviceName = service.toUtf8();
    const gboolean stored = secret_password_store_binary_sync(
        &schema, SECRET_COLLECTION_DEFAULT, "Vantor test item", value, nullptr, &error, "service",
        serviceName.constData(), "account", "someone", nullptr);
    if (error) {
        qWarning("store: %s", error->message);
        g_error_free(error);
    }
    secret_value_unref(value);
    return stored;
}

bool lockDefaultCollection() {
    GError* error = nullptr;
    SecretService* service = secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, &error);
    if (!service) {
        g_clear_error(&error);
        return false;
    }
    SecretCollection* collection = secret_collection_for_alias_sync(
        service, SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, nullptr, &error);
    gint locked = 0;
    if (collection) {
        GList* objects = g_list_append(nullptr, collection);
        locked = secret_service_lock_sync(service, objects, nullptr, nullptr, &error);
        g_list_free(objects);
        g_object_unref(collection);
    }
    g_clear_error(&error);
    g_object_unref(service);
    return locked == 1;
}

}  // namespace

// Runs against a real gnome-keyring-daemon on the test's private session bus, unlocked with a
// test password.
class SecretServiceKeychainTest : public QObject {
    Q_OBJECT

    QProcess keyring_;

    bool startKeyring() {
        if (keyring_.state() != QProcess::NotRunning) {
            return true;
        }
        keyring_.start(QStringLiteral("gnome-keyring-daemon"),
                       {QStringLiteral("--foreground"), QStringLiteral("--components=secrets"),
                        QStringLiteral("--unlock")});
        if (!keyring_.waitForStarted(5000)) {
            return false;
        }
        keyring_.write("test-password");
        keyring_.closeWriteChannel();
        QElapsedTimer clock;
        clock.start();
        while (!nameHasOwner("org.freedesktop.secrets") && clock.elapsed() < 10'000) {
            QTest::qWait(20);
        }
        return nameHasOwner("org.freedesktop.secrets");
    }

    void stopKeyring() {
        if (keyring_.state() == QProcess::NotRunning) {
            return;
        }
        ::kill(static_cast<pid_t>(keyring_.processId()), SIGCONT);
        keyring_.terminate();
        if (!keyring_.waitForFinished(5000)) {
            keyring_.kill();
            keyring_.waitForFinished(5000);
        }
    }

private Q_SLOTS:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon")).isEmpty()) {
            QSKIP("gnome-keyring-daemon is not installed (scripts/install-deps installs it)");
        }
    }

    void cleanupTestCase() { stopKeyring(); }

    // Without a Secret Service the answer comes at once and is remembered, until one appears.
    void absentServiceIsRememberedUntilOneAppears() {
        QVERIFY(!nameHasOwner("org.freedesktop.secrets"));
        SecretServiceKeychain keychain;
        const QString service = QStringLiteral("vantor.test.appearing");
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!lookup(keychain, service));
        QVERIFY2(clock.elapsed() < 2100, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(startKeyring());
        QVERIFY(store("org.freedesktop.Secret.Generic", service, "eyAppeared"));
        QTRY_COMPARE_WITH_TIMEOUT(lookup(keychain, service),
                                  std::optional<QByteArray>("eyAppeared"), 5000);
    }

    void findsItemsOfAnySchema_data() {
        QTest::addColumn<QByteArray>("schema");
        QTest::addColumn<QByteArray>("secret");
        QTest::newRow("JSON under a schema of its own")
            << QByteArray("com.example.ClaudeCode")
            << QByteArray(R"({"claudeAiOauth":{"accessToken":"sk-ant-oat01-kc"}})");
        QTest::newRow("bare ey text under the generic schema, unchanged")
            << QByteArray("org.freedesktop.Secret.Generic")
            << QByteArray("eyJhbGciOiJub25lIn0.e30.\n");
    }

    void findsItemsOfAnySchema() {
        QFETCH(QByteArray, schema);
        QFETCH(QByteArray, secret);
        QVERIFY(startKeyring());
        const QString service = QStringLiteral("vantor.test.") + QTest::currentDataTag();
        SecretServiceKeychain keychain;
        QVERIFY(!lookup(keychain, service));
        QVERIFY(store(schema.constData(), service, secret));
        QCOMPARE(lookup(keychain, service), secret);
        QVERIFY(!lookup(keychain, service + QStringLiteral(".other")));
    }

    void keychainTokenWinsOverTheFile() {
        QVERIFY(startKeyring());
        const QString file = QDir::homePath() + QStringLiteral("/.claude/.credentials.json");
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        QFile credentials(file);
        QVERIFY(credentials.open(QIODevice::WriteOnly));
        credentials.write(R"({"claudeAiOauth":{"accessToken":"from-file"}})");
        credentials.close();
        SecretServiceKeychain keychain;
        const ClaudeCredentialReader reader(&keychain);
        QCOMPARE(QCoro::waitFor(reader.token()), QStringLiteral("from-file"));
        QVERIFY(store("org.freedesktop.Secret.Generic", ClaudeCredentialReader::keychainService,
                      "eyFromTheKeychain"));
        QCOMPARE(QCoro::waitFor(reader.token()), QStringLiteral("eyFromTheKeychain"));
    }

    // A locked collection would need an unlock prompt, which waits for the user without limit.
    void lockedItemCountsAsAbsent() {
        QVERIFY(startKeyring());
        const QString service = QStringLiteral("vantor.test.locked");
        QVERIFY(store("org.freedesktop.Secret.Generic", service, "eyLocked"));
        SecretServiceKeychain keychain;
        QCOMPARE(lookup(keychain, service), QByteArray("eyLocked"));
        QVERIFY(lockDefaultCollection());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!lookup(keychain, service));
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }

    // A service that owns its name but never answers: the wait ends after two seconds.
    void keyringThatNeverAnswers() {
        QVERIFY(startKeyring());
        QCOMPARE(::kill(static_cast<pid_t>(keyring_.processId()), SIGSTOP), 0);
        SecretServiceKeychain keychain;
        QElapsedTimer clock;
        clock.start();
        const auto secret = lookup(keychain, QStringLiteral("com.anthropic.claude-code"));
        const qint64 elapsed = clock.elapsed();
        ::kill(static_cast<pid_t>(keyring_.processId()), SIGCONT);
        QVERIFY(!secret);
        QVERIFY2(elapsed >= 1900 && elapsed < 3000, qPrintable(QString::number(elapsed)));
    }
};

QTEST_GUILESS_MAIN(SecretServiceKeychainTest)
#include "tst_SecretServiceKeychain.moc"
