// The real executable, end to end: headless on the test's private bus, with the fake codex
// first on PATH and the fake notification server owning the notification name.
#include "CodexParser.h"
#include "FakeCodex.h"
#include "QSettingsDefaults.h"
#include "SnapshotStore.h"
#include "VantorBusService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int patience = 30'000;

const QByteArray rateLimits =
    "{\"ordinaryUsageAllowed\":null,\"rateLimits\":{\"limitId\":\"codex\",\"primary\":{"
    "\"usedPercent\":12,"
    "\"windowDurationMins\":300,\"resetsAt\":1796552632},\"secondary\":null,\"planType\":\"pro\","
    "\"rateLimitReachedType\":null},\"rateLimitsByLimitId\":null}";

const QByteArray answeringScript =
    "read initialize\n"
    "send {\"id\":$id,\"result\":{\"userAgent\":\"fake/1.0\",\"codexHome\":\"/tmp/.codex\","
    "\"platformFamily\":\"unix\",\"platformOs\":\"linux\"}}"
    "\nread account/rateLimits/read\n"
    "send {\"id\":$id,\"result\":" +
    rateLimits + "}\nhang\n";

// Answers nothing, so a fetch is still under way when Vantor is told to end.
const QByteArray hangingScript = "read initialize\nhang\n";

// One run of an executable; killed with the object if still running.
class Run {
public:
    explicit Run(const QStringList& arguments,
                 const QString& program = QStringLiteral(VANTOR_EXECUTABLE)) {
        process_.setProgram(program);
        process_.setArguments(arguments);
        process_.start();
    }
    ~Run() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    bool finish() { return process_.waitForFinished(patience); }
    QProcess& process() { return process_; }

private:
    QProcess process_;
};

class NotificationServer {
public:
    NotificationServer() {
        process_.setProgram(QStringLiteral(VANTOR_FAKE_NOTIFICATION_SERVER));
        process_.setArguments({QStringLiteral("accept"), dir_.filePath(QStringLiteral("calls"))});
        process_.start();
    }
    ~NotificationServer() {
        process_.kill();
        process_.waitForFinished();
    }
    bool ready() { return process_.waitForReadyRead(patience) && process_.readAll() == "ready\n"; }
    QList<QJsonObject> notifications() const {
        QList<QJsonObject> result;
        QFile file(dir_.filePath(QStringLiteral("calls")));
        if (file.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : file.readAll().split('\n')) {
                const QJsonObject call = QJsonDocument::fromJson(line).object();
                if (call.value(QStringLiteral("method")) == QLatin1String("Notify")) {
                    result.append(call);
                }
            }
        }
        return result;
    }

private:
    QTemporaryDir dir_;
    QProcess process_;
};

// Records the properties Vantor announces as changed, in order.
class PropertiesWatcher : public QObject {
    Q_OBJECT

public:
    bool subscribe() {
        return QDBusConnection::sessionBus().connect(
            VantorBusService::serviceName, VantorBusService::objectPath,
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
            this, SLOT(changed(QString, QVariantMap, QStringList)));
    }
    // True once some announced property's value contains text.
    bool saw(const QString& property, const QString& text) const {
        for (const QVariantMap& change : changes) {
            if (change.value(property).toString().contains(text)) {
                return true;
            }
        }
        return false;
    }

    QList<QVariantMap> changes;

public Q_SLOTS:
    void changed(const QString& interface, const QVariantMap& properties, const QStringList&) {
        if (interface == VantorBusService::interfaceName) {
            changes.append(properties);
        }
    }
};

std::optional<ProviderUsageSnapshot> storedCodex() {
    QSettingsDefaults defaults;
    const SnapshotMap stored = SnapshotStore(defaults).load();
    const auto codex = stored.constFind(ProviderID::codex);
    return codex == stored.cend() ? std::nullopt : std::optional(*codex);
}

void setScript(const QByteArray& script) {
    QFile file(qEnvironmentVariable("FAKE_CODEX_SCRIPT"));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(script);
}

}  // namespace

class VantorProcessTest : public QObject {
    Q_OBJECT

private:
    // Rate-limit reads the fake codex has answered or been asked, over every launch.
    int reads() const {
        return static_cast<int>(
            codex_->received().filter(QStringLiteral("rateLimits/read")).size());
    }
    // Asks the running Vantor to refresh, without waiting for the answer.
    static void askForRefresh() {
        QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
            VantorBusService::serviceName, VantorBusService::objectPath,
            VantorBusService::interfaceName, QStringLiteral("Refresh")));
    }

    std::unique_ptr<FakeCodex> codex_;
    std::unique_ptr<NotificationServer> server_;
    ProviderUsageSnapshot fetched_;

private Q_SLOTS:
    void initTestCase() {
        codex_ = std::make_unique<FakeCodex>(answeringScript);
        server_ = std::make_unique<NotificationServer>();
        QVERIFY(server_->ready());
        // Stored: the window the fake codex reports, exhausted until an earlier reset.
        fetched_ = CodexParser::parse(QJsonDocument::fromJson(rateLimits).object(), Instant::now());
        QCOMPARE(fetched_.windows.size(), 1);
        ProviderUsageSnapshot exhausted = fetched_;
        UsageWindowSnapshot& window = exhausted.windows[0];
        window.usedPercent = 100.0;
        window.state = UsageWindowState::exhausted;
        window.resetAt = window.resetAt->addingSeconds(-5 * 3600);
        QSettingsDefaults defaults;
        SnapshotStore(defaults).save({{ProviderID::codex, exhausted}});
    }

    void firstRunAnnouncesTheResetOnceAndHandsOver() {
        PropertiesWatcher watcher;
        QVERIFY(watcher.subscribe());
        Run vantor({});
        QTRY_COMPARE_WITH_TIMEOUT(server_->notifications().size(), 1, patience);
        const QJsonObject notification = server_->notifications().at(0);
        QCOMPARE(notification.value(QStringLiteral("summary")).toString(),
                 QStringLiteral("Codex is ready again"));
        QCOMPARE(notification.value(QStringLiteral("app_name")).toString(),
                 QStringLiteral("Vantor"));
        QTRY_VERIFY_WITH_TIMEOUT(
            storedCodex() && storedCodex()->windows.value(0).state == UsageWindowState::available,
            patience);
        QCOMPARE(storedCodex()->windows.value(0).usedPercent, std::optional(12.0));
        // Claude, asked last, has answered: the first refresh is over.
        QTRY_VERIFY_WITH_TIMEOUT(
            watcher.saw(QStringLiteral("Availability"), QStringLiteral("claude")), patience);

        // A second start asks the first to open its popover and leaves; the first goes on.
        Run second({});
        QVERIFY(second.finish());
        QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process().exitCode(), 0);
        QCOMPARE(vantor.process().state(), QProcess::Running);

        // The status command reads the running instance: only it knows the availability.
        Run status({QStringLiteral("status"), QStringLiteral("--json")});
        QVERIFY(status.finish());
        const QJsonObject report =
            QJsonDocument::fromJson(status.process().readAllStandardOutput()).object();
        QCOMPARE(report.value(QStringLiteral("availability"))
                     .toObject()
                     .value(QStringLiteral("codex"))
                     .toObject()
                     .keys(),
                 QStringList{QStringLiteral("available")});
        QCOMPARE(report.value(QStringLiteral("snapshots")).toArray().size(), 1);

        // Ended while a fetch waits on the codex child: the child goes too.
        setScript(hangingScript);
        const qsizetype launches = codex_->pids().size();
        askForRefresh();
        QTRY_VERIFY_WITH_TIMEOUT(codex_->pids().size() > launches, patience);
        vantor.process().terminate();
        QVERIFY(vantor.finish());
        QCOMPARE(vantor.process().exitStatus(), QProcess::NormalExit);
        QTRY_VERIFY_WITH_TIMEOUT(codex_->allGone(), patience);
        setScript(answeringScript);
        QCOMPARE(server_->notifications().size(), 1);
    }

    void secondLaunchAnnouncesNothing() {
        const double observed = storedCodex()->observedAt.secondsSinceReferenceDate();
        Run vantor({});
        QTRY_VERIFY_WITH_TIMEOUT(storedCodex()->observedAt.secondsSinceReferenceDate() > observed,
                                 patience);
        // A refresh that follows proves the first one, announcements included, is over.
        const int readsBefore = reads();
        QTRY_VERIFY_WITH_TIMEOUT((askForRefresh(), reads() > readsBefore), patience);
        QCOMPARE(server_->notifications().size(), 1);
        vantor.process().terminate();
        QVERIFY(vantor.finish());
    }

    void withoutABusALockFileKeepsOneInstance() {
        const QByteArray savedBus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        Run first({});
        const QString lock =
            qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/com.quorvel.vantor.lock");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), patience);
        Run second({});
        qputenv("DBUS_SESSION_BUS_ADDRESS", savedBus);
        QVERIFY(second.finish());
        QCOMPARE(second.process().exitCode(), 0);
        QVERIFY(second.process().readAllStandardError().contains("already runs"));
        QCOMPARE(first.process().state(), QProcess::Running);
        first.process().terminate();
        QVERIFY(first.finish());
        QCOMPARE(first.process().exitStatus(), QProcess::NormalExit);
    }

    // With no Vantor running: the status commands read the stored snapshots; bad arguments
    // fail with status 2 and start nothing.
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");  // expected in stdout, or stderr on failure
        QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0
                                 << QByteArray("vantor 1.0.0");
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0
                              << QByteArray("vantor status [--json | --waybar]");
        QTest::newRow("status") << QStringList{QStringLiteral("status")} << 0
                                << QByteArray("% left");
        QTest::newRow("status as JSON, from the store")
            << QStringList{QStringLiteral("status"), QStringLiteral("--json")} << 0
            << QByteArray("\"availability\":{}");
        QTest::newRow("status for Waybar")
            << QStringList{QStringLiteral("status"), QStringLiteral("--waybar")} << 0
            << QByteArray("\"percentage\":88");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << 2
                                        << QByteArray("unknown option '--bogus'");
        QTest::newRow("format without status")
            << QStringList{QStringLiteral("--json")} << 2 << QByteArray("unknown option '--json'");
        QTest::newRow("two formats")
            << QStringList{QStringLiteral("status"), QStringLiteral("--json"),
                           QStringLiteral("--waybar")}
            << 2 << QByteArray("choose one");
        QTest::newRow("stray argument")
            << QStringList{QStringLiteral("status"), QStringLiteral("now")} << 2
            << QByteArray("unexpected argument 'now'");
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, output);
        const qsizetype launches = codex_->pids().size();
        Run run(arguments);
        QVERIFY(run.finish());
        QCOMPARE(run.process().exitCode(), exitCode);
        const QByteArray text = exitCode == 0 ? run.process().readAllStandardOutput()
                                              : run.process().readAllStandardError();
        QVERIFY2(text.contains(output), text.constData());
        QCOMPARE(codex_->pids().size(), launches);
        QVERIFY(!VantorBusService::isRunning(QDBusConnection::sessionBus()));
    }
};

QTEST_GUILESS_MAIN(VantorProcessTest)
#include "tst_VantorProcess.moc"
