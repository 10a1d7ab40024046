// Talks to a real, signed-out `codex app-server` (installed by `make test-peers`, path in
// VANTOR_CODEX_PEER). Never signs in and never reaches past the machine: a signed-out peer
// answers the rate-limit read with an error without asking its backend.
#include "CodexAppServerClient.h"
#include "CodexUsageProvider.h"
#include "FakeCodex.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

using namespace std::chrono_literals;

namespace {

// Processes (of any parent) whose command line mentions the peer's install folder.
QList<qint64> peerProcesses(const QString& folder) {
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (numeric && pid != QCoreApplication::applicationPid() &&
            cmdline.open(QIODevice::ReadOnly) &&
            QString::fromUtf8(cmdline.readAll()).contains(folder) && !FakeCodex::isGone(pid)) {
            found.append(pid);
        }
    }
    return found;
}

}  // namespace

class CodexPeerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        peer_ = qEnvironmentVariable("VANTOR_CODEX_PEER");
        if (peer_.isEmpty() || !QFileInfo(peer_).isExecutable()) {
            QFAIL("Set VANTOR_CODEX_PEER to an installed codex (make test-peers does).");
        }
        // The peer's own state goes into the throw-away home run-isolated gives, never the user's.
        const QString codexHome = QDir::homePath() + QStringLiteral("/.codex");
        QVERIFY(QDir().mkpath(codexHome));
        qputenv("CODEX_HOME", QFile::encodeName(codexHome));
        installFolder_ = QFileInfo(peer_).canonicalFilePath().section(u'/', 0, -4);
    }

    void cleanup() { QTRY_VERIFY_WITH_TIMEOUT(peerProcesses(installFolder_).isEmpty(), 5000); }

    void handshakeAndSignedOutRead() {
        CodexAppServerClient client(QUrl::fromLocalFile(peer_), 10s);
        const auto started = QCoro::waitFor(settle(client.start()));
        QVERIFY2(!started.has_value(), started ? started->what() : "");
        const auto read =
            QCoro::waitFor(settle(client.request(CodexUsageProvider::rateLimitsMethod)));
        QVERIFY(read.error.has_value());
        QCOMPARE(read.error->domain(), QStringLiteral("CodexRPC"));
        QVERIFY(read.error->description().contains(QStringLiteral("authentication")));
        client.stop();
        QTRY_VERIFY_WITH_TIMEOUT(peerProcesses(installFolder_).isEmpty(), 5000);
    }

    // The whole fetch, found through PATH as a user's desktop session would.
    void providerFetchThroughDiscovery() {
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(QFileInfo(peer_).absolutePath()) + ':' + path);
        CodexUsageProvider provider;
        const auto fetched = QCoro::waitFor(settle(provider.fetchUsage()));
        qputenv("PATH", path);
        QVERIFY(fetched.error.has_value());
        QCOMPARE(fetched.error->domain(), QStringLiteral("CodexRPC"));
        QCOMPARE(fetched.error->code(), 1);
    }

    // With a request in flight the peer lingers after SIGTERM; shutdown must not wait on it.
    void shutdownWithARequestInFlight() {
        CodexAppServerClient client(QUrl::fromLocalFile(peer_), 10s);
        QCOMPARE(QCoro::waitFor(settle(client.start())), std::nullopt);
        auto pending = settle(client.request(QStringLiteral("thread/list")));
        QElapsedTimer clock;
        clock.start();
        client.stop();
        const auto outcome = QCoro::waitFor(pending);
        QVERIFY(outcome.error.has_value());
        QTRY_VERIFY_WITH_TIMEOUT(peerProcesses(installFolder_).isEmpty(), 5000);
        QVERIFY(clock.elapsed() < CodexAppServerClient::killDelay.count() + 1500);
    }

private:
    QString peer_;
    QString installFolder_;
};

QTEST_GUILESS_MAIN(CodexPeerTest)
#include "tst_CodexPeer.moc"
