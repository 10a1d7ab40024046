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

class CodexPeerTest : public QObject {
    Q_OBJECT

    QString peer_;
    QString installFolder_;

    // Processes of any parent, this one aside, whose command line mentions the peer's folder.
    bool peerRuns() const {
        const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
            if (entry.toLatin1() != self && cmdline.open(QIODevice::ReadOnly) &&
                QString::fromUtf8(cmdline.readAll()).contains(installFolder_) &&
                !isGone(entry.toLatin1())) {
                return true;
            }
        }
        return false;
    }

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
    void cleanup() { QTRY_VERIFY_WITH_TIMEOUT(!peerRuns(), 5000); }

    // The whole fetch, found through PATH as a user's desktop session would: the handshake
    // passes and the signed-out read is refused.
    void providerFetchThroughDiscovery() {
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(QFileInfo(peer_).absolutePath()) + ':' + path);
        CodexUsageProvider provider;
        const auto fetched = QCoro::waitFor(settle(provider.fetchUsage()));
        qputenv("PATH", path);
        QVERIFY(fetched.error.has_value());
        QCOMPARE(fetched.error->domain(), QStringLiteral("CodexRPC"));
        QVERIFY(fetched.error->description().contains(QStringLiteral("authentication")));
    }

    // With a request in flight the peer lingers after SIGTERM; shutdown must not wait on it.
    void shutdownWithARequestInFlight() {
        CodexAppServerClient client(QUrl::fromLocalFile(peer_), 10s);
        QVERIFY(!QCoro::waitFor(settle(client.start())).error);
        auto pending = settle(client.request(QStringLiteral("thread/list")));
        QElapsedTimer clock;
        clock.start();
        client.stop();
        QVERIFY(QCoro::waitFor(pending).error.has_value());
        QTRY_VERIFY_WITH_TIMEOUT(!peerRuns(), 5000);
        QVERIFY(clock.elapsed() < CodexAppServerClient::killDelay.count() + 1500);
    }
};

QTEST_GUILESS_MAIN(CodexPeerTest)
#include "tst_CodexPeer.moc"
