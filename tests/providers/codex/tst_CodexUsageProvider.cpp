#include "CodexAppServerClient.h"
#include "CodexDiscovery.h"
#include "CodexUsageProvider.h"
#include "FakeCodex.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

using namespace std::chrono_literals;

class CodexUsageProviderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QTRY_VERIFY_WITH_TIMEOUT(FakeCodex::liveChildren().isEmpty(), 5000); }

    void withoutCodexNothingIsLaunched() {
        FakeCodex fake;
        const QByteArray path = qgetenv("PATH");
        QTemporaryDir empty;
        qputenv("PATH", QFile::encodeName(empty.path()));
        if (CodexDiscovery::executableURL()) {
            qputenv("PATH", path);
            QSKIP("A codex is installed in one of the fixed folders of this machine.");
        }
        CodexUsageProvider provider;
        const ProviderAvailability availability =
            *QCoro::waitFor(settle(provider.availability())).value;
        const auto fetched = QCoro::waitFor(settle(provider.fetchUsage()));
        qputenv("PATH", path);
        QCOMPARE(availability, ProviderAvailability::notInstalled());
        QVERIFY(fetched.error.has_value());
        QCOMPARE(fetched.error->providerError(), ProviderError::notInstalled);
        QVERIFY(fake.pids().isEmpty());
    }

    void fetchReadsTheLimitsAndEndsTheChild() {
        FakeCodex fake;
        CodexUsageProvider provider;
        QCOMPARE(*QCoro::waitFor(settle(provider.availability())).value,
                 ProviderAvailability::available());
        const Instant before = Instant::now();
        const auto fetched = QCoro::waitFor(settle(provider.fetchUsage()));
        QVERIFY2(fetched.value.has_value(), fetched.error ? fetched.error->what() : "");
        const ProviderUsageSnapshot& snapshot = *fetched.value;
        QVERIFY(snapshot.observedAt >= before);
        QStringList ids;
        for (const auto& window : snapshot.windows) {
            ids.append(window.id);
        }
        QCOMPARE(ids, QStringList({QStringLiteral("codex.codex.primary"),
                                   QStringLiteral("codex.codex.secondary"),
                                   QStringLiteral("codex.codex_other.primary")}));
        QCOMPARE(snapshot.windows.first().usedPercent, 42.0);
        QCOMPARE(fake.pids().size(), 1);
        QTRY_VERIFY(fake.allGone());
        QCOMPARE(fake.received().last(),
                 QStringLiteral(R"({"id":2,"method":"account/rateLimits/read","params":{}})"));
    }

    // Every way a fetch can fail ends its child and passes the error through unchanged.
    void failuresEndTheChild_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("domain");
        QTest::addColumn<int>("code");
        const QString provider = VantorError::providerErrorDomain;
        const QByteArray ready = "read initialize\nsend {\"id\":$id,\"result\":{}}\n";
        const QByteArray read = ready + "read account/rateLimits/read\n";
        QTest::newRow("read never answered") << ready + "hang\n"
                                             << provider << int(ProviderError::requestTimedOut);
        QTest::newRow("initialize refused")
            << QByteArray(
                   "read initialize\nsend {\"id\":$id,\"error\":{\"code\":-32600,"
                   "\"message\":\"Not initialized\"}}\nhang\n")
            << QStringLiteral("CodexRPC") << 1;
        QTest::newRow("read answers with a list")
            << read + "send {\"id\":$id,\"result\":[]}\nhang\n"
            << provider << int(ProviderError::malformedResponse);
        QTest::newRow("exits during the read") << read + "exit 1\n"
                                               << provider << int(ProviderError::requestTimedOut);
    }
    void failuresEndTheChild() {
        QFETCH(QByteArray, script);
        QFETCH(QString, domain);
        QFETCH(int, code);
        FakeCodex fake(script);
        CodexUsageProvider provider(300ms);
        const auto fetched = QCoro::waitFor(settle(provider.fetchUsage()));
        QVERIFY(fetched.error.has_value());
        QCOMPARE(fetched.error->domain(), domain);
        QCOMPARE(fetched.error->code(), code);
        QTRY_VERIFY(fake.allGone());
    }

    // The exchange the real app-server gave when signed out, replayed line by line.
    void signedOutPeerGivesTheCodexRpcError() {
        QFile recording(QStringLiteral(VANTOR_CODEX_DATA_DIR "/logged-out-output.jsonl"));
        QVERIFY(recording.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = recording.readAll().trimmed().split('\n');
        QCOMPARE(lines.size(), 4);
        FakeCodex fake("read initialize\nsend " + lines[0] +
                       "\nread account/rateLimits/read\nsend " + lines[1] + "\nsend " + lines[2] +
                       "\nsend " + lines[3] + "\nhang\n");
        CodexUsageProvider provider;
        const auto fetched = QCoro::waitFor(settle(provider.fetchUsage()));
        QVERIFY(fetched.error.has_value());
        QCOMPARE(fetched.error->domain(), QStringLiteral("CodexRPC"));
        QCOMPARE(fetched.error->code(), 1);
        QVERIFY(fetched.error->description().startsWith(
            QStringLiteral("codex account authentication required to read rate limits")));
        QTRY_VERIFY(fake.allGone());
    }

    void cancellingEndsTheFetchAndTheChild() {
        FakeCodex fake("read initialize\nsend {\"id\":$id,\"result\":{}}\nhang\n");
        CodexUsageProvider provider;  // the full ten seconds: cancelling must not wait for them
        auto pending = settle(provider.fetchUsage());
        QTRY_COMPARE(fake.received().size(), 3);
        QElapsedTimer clock;
        clock.start();
        provider.cancel();
        const auto fetched = QCoro::waitFor(pending);
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(fetched.error.has_value());
        QCOMPARE(fetched.error->domain(), CodexAppServerClient::cancellationError().domain());
        QTRY_VERIFY(fake.allGone());
    }
};

QTEST_GUILESS_MAIN(CodexUsageProviderTest)
#include "tst_CodexUsageProvider.moc"
