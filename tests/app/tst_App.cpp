// The real executable, headless on the test's private bus with the fake codex first on PATH and
// the fake notification server owning the notification name; and the runtime's launch order.
#include "AppState.h"
#include "CodexParser.h"
#include "FakeLoginItemService.h"
#include "FakeNotificationCenter.h"
#include "FakeSoundPlayer.h"
#include "FakeUsageProvider.h"
#include "LaunchAtLoginController.h"
#include "MemoryDefaults.h"
#include "QSettingsDefaults.h"
#include "RecordingLogSink.h"
#include "SnapshotStore.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"
#include "UsageJson.h"
#include "VantorBusService.h"
#include "VantorRuntime.h"

#include <QDBusMessage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace UsageFixtures;

namespace {

constexpr int patience = 30'000;
const QString data = QStringLiteral(VANTOR_APP_DATA_DIR "/");

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> lines(const QString& path) {
    QList<QByteArray> all = readFile(path).split('\n');
    all.removeLast();  // what follows the last line feed
    return all;
}

// One run of a program; ended with the object when still running.
struct Run : QProcess {
    explicit Run(const QStringList& arguments, const QString& program = VANTOR_EXECUTABLE) {
        start(program, arguments);
    }
    ~Run() override {
        terminate();
        if (!waitForFinished(patience)) {
            kill();
            waitForFinished();
        }
    }
    bool finish() {
        return QTest::qWaitFor([this] { return state() == NotRunning; }, patience);
    }
};

// Gone, or a zombie that nothing runs any more.
bool isGone(const QByteArray& pid) {
    const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    return ::kill(pid.toInt(), 0) != 0 || stat.isEmpty() || stat.contains(") Z ");
}

SnapshotMap stored() {
    QSettingsDefaults defaults;
    return SnapshotStore(defaults).load();
}

void store(const SnapshotMap& snapshots) {
    QSettingsDefaults defaults;
    SnapshotStore(defaults).save(snapshots);
}

}  // namespace

// The properties Vantor announces as changed.
class Watcher : public QObject {
    Q_OBJECT

public:
    QStringList changed;

public Q_SLOTS:
    void onChange(const QString&, const QVariantMap& properties, const QStringList&) {
        changed.append(properties.keys());
    }
};

class AppTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString log_ = dir_.filePath(QStringLiteral("codex.log"));
    QString pids_ = dir_.filePath(QStringLiteral("codex.pids"));
    QString calls_ = dir_.filePath(QStringLiteral("notifications"));
    Run server_{{QStringLiteral("accept"), calls_}, VANTOR_FAKE_NOTIFICATION_SERVER};

    qsizetype reads() const { return readFile(log_).count("rateLimits/read"); }
    static void askForRefresh() {
        QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
            VantorBusService::serviceName, VantorBusService::objectPath,
            VantorBusService::interfaceName, QStringLiteral("Refresh")));
    }
    static void useScript(const char* name) {
        qputenv("FAKE_CODEX_SCRIPT", QFile::encodeName(data + QLatin1String(name)));
    }

private Q_SLOTS:
    void initTestCase() {
        qputenv("PATH", VANTOR_FAKE_CODEX_DIR ":" + qgetenv("PATH"));
        qputenv("FAKE_CODEX_LOG", QFile::encodeName(log_));
        qputenv("FAKE_CODEX_PIDFILE", QFile::encodeName(pids_));
        useScript("codex-answers.script");
        QVERIFY(server_.waitForReadyRead(patience) && server_.readAll() == "ready\n");
    }

    void endToEnd() {
        // Stored: the window the fake codex reports, exhausted until an earlier reset.
        ProviderUsageSnapshot exhausted = CodexParser::parse(
            QJsonDocument::fromJson(readFile(data + "codex-rate-limits.json")).object(),
            Instant::now());
        QCOMPARE(exhausted.windows.size(), 1);
        exhausted.windows[0].usedPercent = 100.0;
        exhausted.windows[0].state = UsageWindowState::exhausted;
        exhausted.windows[0].resetAt = exhausted.windows[0].resetAt->addingSeconds(-5 * 3600);
        store({{ProviderID::codex, exhausted}});
        Watcher watcher;
        QVERIFY(QDBusConnection::sessionBus().connect(
            VantorBusService::serviceName, VantorBusService::objectPath,
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
            &watcher, SLOT(onChange(QString, QVariantMap, QStringList))));
        Run vantor({});
        // Claude, asked last, has answered: the first refresh is over.
        QTRY_VERIFY_WITH_TIMEOUT(watcher.changed.contains(u"Availability"), patience);
        QVERIFY(watcher.changed.contains(u"Snapshots"));
        QTRY_COMPARE_WITH_TIMEOUT(lines(calls_).size(), 1, patience);
        const QJsonObject shown = QJsonDocument::fromJson(lines(calls_)[0]).object();
        QCOMPARE(shown[u"summary"].toString(), QStringLiteral("Codex is ready again"));
        QCOMPARE(shown[u"app_name"].toString(), QStringLiteral("Vantor"));
        QTRY_COMPARE_WITH_TIMEOUT(stored().value(ProviderID::codex).windows.value(0).usedPercent,
                                  std::optional(12.0), patience);

        // A second start asks the first to show itself and leaves; the first goes on.
        Run second({});
        QVERIFY(second.finish());
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(vantor.state(), QProcess::Running);

        // The status command reads the running copy: only it knows the availability.
        Run status({QStringLiteral("status"), QStringLiteral("--json")});
        QVERIFY(status.finish());
        const QJsonObject report = QJsonDocument::fromJson(status.readAllStandardOutput()).object();
        QCOMPARE(report[u"availability"][u"codex"].toObject().keys(),
                 QStringList{QStringLiteral("available")});
        QCOMPARE(report[u"snapshots"].toArray().size(), 1);

        // Ended while a fetch waits on the codex child: the child goes too.
        useScript("codex-hangs.script");
        const qsizetype launches = lines(pids_).size();
        askForRefresh();
        QTRY_VERIFY_WITH_TIMEOUT(lines(pids_).size() > launches, patience);
        vantor.terminate();
        QVERIFY(vantor.finish());
        QCOMPARE(vantor.exitStatus(), QProcess::NormalExit);
        const auto allGone = [this] {
            const QList<QByteArray> pids = lines(pids_);
            return std::all_of(pids.cbegin(), pids.cend(), isGone);
        };
        QTRY_VERIFY_WITH_TIMEOUT(allGone(), patience);
        useScript("codex-answers.script");

        // The next launch sees the same reset again and announces nothing.
        const Instant observed = stored().value(ProviderID::codex).observedAt;
        Run next({});
        QTRY_VERIFY_WITH_TIMEOUT(stored().value(ProviderID::codex).observedAt > observed, patience);
        // A refresh that follows proves the first one, announcements included, is over.
        const qsizetype readsBefore = reads();
        QTRY_VERIFY_WITH_TIMEOUT((askForRefresh(), reads() > readsBefore), patience);
        QCOMPARE(lines(calls_).size(), 1);
        next.terminate();
        QVERIFY(next.finish());
    }

    void withoutABusOneInstance() {
        const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        Run first({});
        QTRY_VERIFY_WITH_TIMEOUT(
            QFile::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/com.quorvel.vantor.lock"),
            patience);
        Run second({});
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
        QVERIFY(second.finish());
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAllStandardError().contains("already runs"));
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.finish());
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    }
    // Served: the test owns Vantor's bus name with these values, as a running copy would.
    void status_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("served");
        QTest::addColumn<SnapshotMap>("snapshots");
        QTest::addColumn<AvailabilityMap>("availability");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");  // in stdout, or in stderr on failure
        const QStringList text{QStringLiteral("status")};
        const QStringList waybar{QStringLiteral("status"), QStringLiteral("--waybar")};
        const QStringList json{QStringLiteral("status"), QStringLiteral("--json")};
        const SnapshotMap codex42{
            {ProviderID::codex,
             snapshot({window(QStringLiteral("c"), UsageWindowState::available, 42)})}};
        const SnapshotMap worst{
            {ProviderID::codex,
             snapshot({window(QStringLiteral("a"), UsageWindowState::available, 5),
                       window(QStringLiteral("b"), UsageWindowState::exhausted, 130)})},
            {ProviderID::claude, snapshot({window(QStringLiteral("x"), UsageWindowState::unknown)},
                                          ProviderID::claude)}};
        const QString failed = QStringLiteral("Usage data couldn't be refreshed.");
        const AvailabilityMap signIn{
            {ProviderID::codex, ProviderAvailability::available()},
            {ProviderID::claude, ProviderAvailability::notAuthenticated()}};
        const AvailabilityMap messages{
            {ProviderID::codex, ProviderAvailability::temporarilyUnavailable(failed)},
            {ProviderID::claude, ProviderAvailability::requiresProPlan()}};
        const AvailabilityMap notInstalled{
            {ProviderID::claude, ProviderAvailability::notInstalled()}};
        QTest::newRow("nothing stored")
            << text << false << SnapshotMap() << AvailabilityMap() << 0
            << QByteArray("Codex: Not detected\nClaude Code: Not detected\n");
        QTest::newRow("stored headline")
            << text << false << codex42 << AvailabilityMap() << 0
            << QByteArray("Codex: 5h 58% left\nClaude Code: Not detected\n");
        QTest::newRow("running copy's availability")
            << text << true << codex42 << signIn << 0
            << QByteArray("Codex: 5h 58% left\nClaude Code: Sign in required\n");
        QTest::newRow("availability stands in for an empty snapshot")
            << text << true << SnapshotMap{{ProviderID::codex, snapshot({})}} << messages << 0
            << ("Codex: " + failed.toUtf8() + "\nClaude Code: Upgrade to Pro\n");
        QTest::newRow("worst window leads; use beyond the limit leaves nothing")
            << waybar << true << worst << AvailabilityMap() << 0
            << QByteArray(
                   "{\"class\":\"exhausted\",\"percentage\":0,\"text\":\"Codex 0%\","
                   "\"tooltip\":\"Codex: 5h 0% left\\nClaude Code: 5h use unknown\"}\n");
        QTest::newRow("waybar with nothing to show")
            << waybar << true << SnapshotMap() << notInstalled << 0
            << QByteArray(
                   "{\"class\":\"unavailable\",\"text\":\"Vantor\","
                   "\"tooltip\":\"Codex: Not detected\\nClaude Code: Not installed\"}\n");
        QTest::newRow("json from the store")
            << json << false << worst << AvailabilityMap() << 0 << QByteArray();
        QTest::newRow("json from the running copy")
            << json << true << codex42 << signIn << 0 << QByteArray();
        QTest::newRow("version") << QStringList{QStringLiteral("--version")} << false
                                 << SnapshotMap() << AvailabilityMap() << 0
                                 << QByteArray("vantor 1.0.0\n");
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << false << SnapshotMap()
                              << AvailabilityMap() << 0
                              << QByteArray("vantor status [--json | --waybar]");
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--bogus")} << false << SnapshotMap() << AvailabilityMap()
            << 2 << QByteArray("unknown option '--bogus'");
        QTest::newRow("format without status")
            << QStringList{QStringLiteral("--json")} << false << SnapshotMap() << AvailabilityMap()
            << 2 << QByteArray("unknown option '--json'");
        QTest::newRow("two formats")
            << json + QStringList{QStringLiteral("--waybar")} << false << SnapshotMap()
            << AvailabilityMap() << 2 << QByteArray("choose one");
        QTest::newRow("stray argument")
            << text + QStringList{QStringLiteral("now")} << false << SnapshotMap()
            << AvailabilityMap() << 2 << QByteArray("unexpected argument 'now'");
    }
    void status() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, served);
        QFETCH(SnapshotMap, snapshots);
        QFETCH(AvailabilityMap, availability);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, output);
        store(served ? SnapshotMap() : snapshots);
        MemoryDefaults defaults;
        AppState state(defaults, std::make_unique<ResetAlertAudioManager>(FakeSoundPlayer::factory(
                                     std::make_shared<FakeSoundPlayer::Recording>())));
        state.setSnapshots(snapshots);
        state.setAvailability(availability);
        VantorBusService service(state);
        QVERIFY(!served || service.registerOn(QDBusConnection::sessionBus()));
        const qsizetype launches = lines(pids_).size();
        Run run(arguments);
        QVERIFY(run.finish());
        QCOMPARE(run.exitCode(), exitCode);
        const QByteArray printed =
            exitCode == 0 ? run.readAllStandardOutput() : run.readAllStandardError();
        QVERIFY2(printed.contains(output), printed.constData());
        if (output.isEmpty()) {
            const QJsonObject report = QJsonDocument::fromJson(printed).object();
            QCOMPARE(report.keys(),
                     (QStringList{QStringLiteral("availability"), QStringLiteral("snapshots")}));
            QCOMPARE(
                UsageJson::decodeSnapshots(QJsonDocument(report[u"snapshots"].toArray()).toJson()),
                snapshots.values());
            for (auto it = availability.cbegin(); it != availability.cend(); ++it) {
                QCOMPARE(UsageJson::decodeAvailability(report[u"availability"][rawValue(it.key())]),
                         it.value());
            }
            QCOMPARE(report[u"availability"].toObject().size(), availability.size() * served);
        }
        // Reading never starts a Vantor, nor polls.
        QCOMPARE(lines(pids_).size(), launches);
    }
    void cleanup() {
        QDBusConnection::sessionBus().unregisterService(VantorBusService::serviceName);
    }

    // The login item is registered before polling starts; the first refresh asks the providers
    // in list order; a second launch changes nothing.
    void runtimeLaunch() {
        VantorRuntime::Platform platform;
        platform.defaults = std::make_unique<MemoryDefaults>();
        // The first refresh loads what was stored: Claude, which has no usage, keeps its record.
        SnapshotStore(*platform.defaults)
            .save({{ProviderID::claude, snapshot({}, ProviderID::claude)}});
        platform.notificationCenter = std::make_unique<FakeNotificationCenter>();
        platform.log = std::make_unique<RecordingLogSink>();
        auto* item = new FakeLoginItemService;
        platform.loginItem.reset(item);
        platform.makePlayer =
            FakeSoundPlayer::factory(std::make_shared<FakeSoundPlayer::Recording>());
        auto* codex = new FakeUsageProvider(ProviderID::codex);
        codex->answer(snapshot({window(QStringLiteral("c"), UsageWindowState::available, 10)}));
        auto* claude =
            new FakeUsageProvider(ProviderID::claude, ProviderAvailability::notAuthenticated());
        platform.providers.emplace_back(codex);
        platform.providers.emplace_back(claude);
        VantorRuntime runtime(std::move(platform));
        QSignalSpy refreshed(&runtime.coordinator(), &UsageCoordinator::refreshFinished);
        runtime.launch();
        QCOMPARE(item->calls, QStringList{QStringLiteral("register")});
        QCOMPARE(runtime.defaults().boolean(LaunchAtLoginController::configuredKey), true);
        // Polling starts from the event loop, after the launch step returned.
        QCOMPARE(codex->availabilityCalls(), 0);
        QTRY_COMPARE(refreshed.size(), 1);
        QCOMPARE(codex->fetchCalls(), 1);
        QCOMPARE(claude->availabilityCalls(), 1);
        QCOMPARE(runtime.state().snapshots().keys(),
                 (QList<ProviderID>{ProviderID::codex, ProviderID::claude}));
        runtime.launch();
        runtime.refresh();
        QTRY_COMPARE(refreshed.size(), 2);
        QCOMPARE(item->calls.size(), 1);
        QCOMPARE(codex->fetchCalls(), 2);
    }
};

QTEST_GUILESS_MAIN(AppTest)
#include "tst_App.moc"
