#include "CodexAppServerClient.h"
#include "FakeCodex.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;

namespace {

const QByteArray handshake =
    "read initialize\n"
    "send {\"id\":$id,\"result\":{\"userAgent\":\"fake\"}}\n";

std::unique_ptr<CodexAppServerClient> makeClient(std::chrono::milliseconds timeout = 5s) {
    return std::make_unique<CodexAppServerClient>(QUrl::fromLocalFile(FakeCodex::executable()),
                                                  timeout);
}

QString compact(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

}  // namespace

class CodexAppServerClientTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every test ends every child it started.
    void cleanup() { QTRY_VERIFY_WITH_TIMEOUT(FakeCodex::liveChildren().isEmpty(), 5000); }

    void handshakeThenRequestsWithRisingIds() {
        FakeCodex fake;
        auto client = makeClient();
        QCOMPARE(QCoro::waitFor(settle(client->start())), std::nullopt);
        QVERIFY(client->isStarted());
        const auto read =
            QCoro::waitFor(settle(client->request(QStringLiteral("account/rateLimits/read"))));
        QVERIFY(read.value.has_value());
        QVERIFY(read.value->contains(QStringLiteral("rateLimitsByLimitId")));

        QCOMPARE(
            fake.received(),
            QStringList({QStringLiteral(R"({"id":1,"method":"initialize","params":)"
                                        R"({"clientInfo":{"name":"Vantor","version":"1.0"}}})"),
                         QStringLiteral(R"({"method":"initialized","params":{}})"),
                         QStringLiteral(R"({"id":2,"method":"account/rateLimits/read",)"
                                        R"("params":{}})")}));
        QVERIFY(fake.log().contains(QStringLiteral("#args app-server")));
        // The executable's own folder leads the child's PATH, so a node beside it is found.
        QVERIFY(fake.log().contains(QStringLiteral("#path ") +
                                    QStringLiteral(VANTOR_FAKE_CODEX_DIR) + u':' +
                                    qEnvironmentVariable("PATH")));

        const qint64 pid = client->processId();
        QVERIFY(pid > 0);
        client->stop();
        QVERIFY(!client->isStarted());
        QTRY_VERIFY(FakeCodex::isGone(pid));
    }

    void responses_data() {
        QTest::addColumn<QByteArray>("script");  // after the handshake, once "test" was read
        QTest::addColumn<int>("timeoutMs");
        // Compact JSON of the result, or "domain/code" and text the description begins with.
        QTest::addColumn<QString>("outcome");
        const auto row = [](const char* name, const QByteArray& script, const QString& outcome,
                            int timeoutMs = 5000) {
            QTest::newRow(name) << script << timeoutMs << outcome;
        };
        const QString ok = QStringLiteral(R"({"ok":1})");
        const QByteArray answer = R"(send {"id":$id,"result":{"ok":1}})";
        const QString malformed =
            QStringLiteral("ProviderError/%1 ").arg(int(ProviderError::malformedResponse));
        const QString timedOut =
            QStringLiteral("ProviderError/%1 ").arg(int(ProviderError::requestTimedOut));
        row("result", answer, ok);
        row("error member",
            R"(send {"error":{"code":-32600,"message":"codex account authentication )"
            R"(required to read rate limits"},"id":$id})",
            "CodexRPC/1 codex account authentication required to read rate limits (-32600)");
        row("error as text", R"(send {"id":$id,"error":"boom"})", "CodexRPC/1 boom");
        row("error as number", R"(send {"id":$id,"error":7})", "CodexRPC/1 7");
        row("result beats error", R"(send {"id":$id,"error":{"code":1},"result":{"ok":1}})", ok);
        row("result array", R"(send {"id":$id,"result":[1]})", malformed);
        row("result null", R"(send {"id":$id,"result":null})", malformed);
        row("split over writes",
            "raw {\"id\":$id,\"res\nsleep 30\nraw ult\":{\"ok\"\nsleep 30\nraw :1}}\\n", ok);
        row("notification and response in one write",
            R"(raw {"method":"configWarning","params":{},"emittedAtMs":1}\n)"
            R"({"id":$id,"result":{"ok":1}}\n)",
            ok);
        row("garbage and foreign ids first",
            "send not json\nsend \nsend [1,2]\nsend {\"id\":\"$id\",\"result\":{}}\n"
            "send {\"id\":99,\"result\":{\"bad\":1}}\nsend {\"id\":$id}\nraw \\r\\n\\n\n" +
                answer,
            ok);
        row("fractional id", R"(send {"id":$id.75,"result":{"ok":1}})", ok);
        row("carriage return line end", R"(raw {"id":$id,"result":{"ok":1}}\r\n)", ok);
        row("over-long line dropped", "huge 9000000\n" + answer, ok);
        row("standard error flood", "stderr 4000000\n" + answer, ok);
        row("only a foreign answer", "send {\"id\":99,\"result\":{}}\nhang", timedOut, 300);
        row("exits mid-request ends by the timer", "exit 0", timedOut, 300);
    }
    void responses() {
        QFETCH(QByteArray, script);
        QFETCH(int, timeoutMs);
        QFETCH(QString, outcome);
        FakeCodex fake(handshake + "read test\n" + script + '\n');
        auto client = makeClient(std::chrono::milliseconds(timeoutMs));
        QCOMPARE(QCoro::waitFor(settle(client->start())), std::nullopt);
        QElapsedTimer clock;
        clock.start();
        const auto answer = QCoro::waitFor(settle(client->request(QStringLiteral("test"))));
        if (answer.value) {
            QCOMPARE(compact(*answer.value), outcome);
        } else {
            const QString failure =
                QStringLiteral("%1/%2 ").arg(answer.error->domain()).arg(answer.error->code()) +
                answer.error->description();
            QVERIFY2(failure.startsWith(outcome), qPrintable(failure));
            QVERIFY(answer.error->providerError() != ProviderError::requestTimedOut ||
                    clock.elapsed() >= timeoutMs - 5);
        }
        client->stop();
        QTRY_VERIFY(fake.allGone());
    }

    // A late answer to a request that timed out must not complete the next one.
    void lateAnswerAfterTimeoutIsDropped() {
        FakeCodex fake(handshake +
                       "read first\nread second\n"
                       "send {\"id\":$previd,\"result\":{\"late\":1}}\n"
                       "send {\"id\":$id,\"result\":{\"own\":1}}\nhang\n");
        auto client = makeClient(400ms);
        QCOMPARE(QCoro::waitFor(settle(client->start())), std::nullopt);
        const auto first = QCoro::waitFor(settle(client->request(QStringLiteral("first"))));
        QVERIFY(first.error.has_value());
        QCOMPARE(first.error->providerError(), ProviderError::requestTimedOut);
        const auto second = QCoro::waitFor(settle(client->request(QStringLiteral("second"))));
        QVERIFY(second.value.has_value());
        QCOMPARE(compact(*second.value), QStringLiteral(R"({"own":1})"));
    }

    void launchFailureSurfacesAtOnce_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("missing") << false;
        QTest::newRow("a folder") << true;
    }
    void launchFailureSurfacesAtOnce() {
        QFETCH(bool, folder);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("codex"));
        QVERIFY(!folder || QDir().mkpath(path));
        CodexAppServerClient client(QUrl::fromLocalFile(path), 5s);
        QElapsedTimer clock;
        clock.start();
        const auto failure = QCoro::waitFor(settle(client.start()));
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(failure.has_value());
        QCOMPARE(failure->domain(), QStringLiteral("QProcess"));
        QCOMPARE(failure->code(), int(QProcess::FailedToStart));
        QVERIFY(!client.isStarted());
        // A second start is refused rather than launching again.
        const auto again = QCoro::waitFor(settle(client.start()));
        QVERIFY(again.has_value());
        QCOMPARE(again->providerError(), ProviderError::temporarilyUnavailable);
    }

    void requestsOutsideARunAreRefusedUnwritten() {
        FakeCodex fake;
        auto client = makeClient();
        auto refused = QCoro::waitFor(settle(client->request(QStringLiteral("early"))));
        QVERIFY(refused.error.has_value());
        QCOMPARE(refused.error->providerError(), ProviderError::temporarilyUnavailable);
        QVERIFY(fake.pids().isEmpty());

        QCOMPARE(QCoro::waitFor(settle(client->start())), std::nullopt);
        client->stop();
        refused = QCoro::waitFor(settle(client->request(QStringLiteral("late"))));
        QVERIFY(refused.error.has_value());
        QCOMPARE(refused.error->providerError(), ProviderError::temporarilyUnavailable);
        QTRY_VERIFY(fake.allGone());
        const QString written = fake.received().join(u'\n');
        QVERIFY(!written.contains(QStringLiteral("early")));
        QVERIFY(!written.contains(QStringLiteral("late")));
    }

    // Cancelling, and shutting down, release the waiting requester with the cancellation error
    // long before its timer would.
    void releasedWhileWaiting_data() {
        QTest::addColumn<bool>("byStop");
        QTest::newRow("cancel") << false;
        QTest::newRow("stop") << true;
    }
    void releasedWhileWaiting() {
        QFETCH(bool, byStop);
        FakeCodex fake(handshake + "hang\n");
        auto client = makeClient(30s);
        QCOMPARE(QCoro::waitFor(settle(client->start())), std::nullopt);
        auto pending = settle(client->request(QStringLiteral("slow")));
        QTRY_COMPARE(fake.received().size(), 3);
        QElapsedTimer clock;
        clock.start();
        if (byStop) {
            client->stop();
        } else {
            client->cancel();
        }
        const auto outcome = QCoro::waitFor(pending);
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(outcome.error.has_value());
        QCOMPARE(outcome.error->domain(), CodexAppServerClient::cancellationError().domain());
        if (!byStop) {
            // Once cancelled, nothing more is written.
            const auto after = QCoro::waitFor(settle(client->request(QStringLiteral("after"))));
            QVERIFY(after.error.has_value());
            QCOMPARE(after.error->domain(), CodexAppServerClient::cancellationError().domain());
            QCOMPARE(fake.received().size(), 3);
            client->stop();
        }
        QTRY_VERIFY(fake.allGone());
    }

    // Closing the input and SIGTERM end a well-behaved child at once; one that ignores both is
    // killed after the grace period, and its own children go with it.
    void shutdownEndsTheWholeProcessGroup_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("killed");
        QTest::newRow("obeys") << QByteArray("spawn-child\nhang\n") << false;
        QTest::newRow("ignores SIGTERM") << QByteArray("spawn-child\nignore-term\nhang\n") << true;
    }
    void shutdownEndsTheWholeProcessGroup() {
        QFETCH(QByteArray, script);
        QFETCH(bool, killed);
        FakeCodex fake(handshake + script);
        {
            auto client = makeClient();
            QCOMPARE(QCoro::waitFor(settle(client->start())), std::nullopt);
            QTRY_COMPARE(fake.pids().size(), 2);
            QElapsedTimer clock;
            clock.start();
            client->stop();
            client.reset();  // the grace period outlives the client
            QTRY_VERIFY_WITH_TIMEOUT(fake.allGone(), 6000);
            const qint64 elapsed = clock.elapsed();
            if (killed) {
                QVERIFY2(elapsed >= 1900, qPrintable(QString::number(elapsed)));
            } else {
                QVERIFY2(elapsed < 1500, qPrintable(QString::number(elapsed)));
            }
        }
    }

    // A write to a child that has exited is an error for the requester, never a SIGPIPE.
    void writeToAnExitedChildFails() {
        FakeCodex fake(handshake + "read initialized\nexit 0\n");
        auto client = makeClient();
        QCOMPARE(QCoro::waitFor(settle(client->start())), std::nullopt);
        QTRY_VERIFY(fake.allGone());
        QTRY_COMPARE(client->processId(), 0);
        const auto outcome = QCoro::waitFor(settle(client->request(QStringLiteral("x"))));
        QVERIFY(outcome.error.has_value());
        QCOMPARE(outcome.error->domain(), QStringLiteral("QProcess"));
        QCOMPARE(outcome.error->code(), int(QProcess::WriteError));
        client->stop();
    }

    // No child outlives Vantor, whether it quits or is killed without a chance to shut down.
    void childEndsWithVantor_data() {
        QTest::addColumn<QString>("mode");
        QTest::newRow("quits") << QStringLiteral("quit");
        QTest::newRow("killed") << QStringLiteral("hold");
    }
    void childEndsWithVantor() {
        QFETCH(QString, mode);
        FakeCodex fake(handshake + "hang\n");
        QProcess host;
        host.start(QStringLiteral(VANTOR_CODEX_CLIENT_HOST), {FakeCodex::executable(), mode});
        QTRY_VERIFY(host.canReadLine());
        QVERIFY(host.readLine().startsWith("started"));
        QCOMPARE(fake.pids().size(), 1);
        if (mode == QLatin1String("hold")) {
            host.kill();
        }
        QTRY_COMPARE(host.state(), QProcess::NotRunning);
        QTRY_VERIFY(fake.allGone());
    }

    void destroyingAStartedClientShutsItDown() {
        FakeCodex fake(handshake + "hang\n");
        auto client = makeClient();
        QCOMPARE(QCoro::waitFor(settle(client->start())), std::nullopt);
        const qint64 pid = client->processId();
        client.reset();
        QTRY_VERIFY(FakeCodex::isGone(pid));
    }
};

QTEST_GUILESS_MAIN(CodexAppServerClientTest)
#include "tst_CodexAppServerClient.moc"
