// The real executable, headless on the test's private bus with the fake codex first on PATH and
// the fake notification server owning the notification name; and the runtime's launch order.
#include "AccountDiscovery.h"
#include "AccountRegistry.h"
#include "AppState.h"
#include "ClaudeStatusLine.h"
#include "CodexParser.h"
#include "FakeCodex.h"
#include "FakeLoginItemService.h"
#include "FakeNotificationCenter.h"
#include "FakeUsageProvider.h"
#include "InterfaceLanguage.h"
#include "MemoryDefaults.h"
#include "QSettingsDefaults.h"
#include "RecordingLogSink.h"
#include "SnapshotStore.h"
#include "SoundPlayerModule.h"
#include "StatusLineText.h"
#include "StatusReport.h"
#include "TestData.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"
#include "UsageJson.h"
#include "VantorBusService.h"
#include "VantorRuntime.h"

#include <QDBusMessage>
#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cwchar>

namespace {

constexpr int patience = 30'000;
const QString data = QStringLiteral(VANTOR_TEST_DATA_DIR "/app/");

// One run of a program, ended with the object.
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

// How many columns a UTF-8 line takes in a terminal: two for a wide character.
int terminalColumns(const QByteArray& line) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    int columns = 0;
    for (const char32_t character : QString::fromUtf8(line).toUcs4()) {
        columns += std::max(0, ::wcwidth(static_cast<wchar_t>(character)));
    }
    return columns;
}

SnapshotMap stored(const std::optional<SnapshotMap>& replacement = std::nullopt) {
    QSettingsDefaults defaults;
    if (replacement) {
        SnapshotStore(defaults).save(*replacement);
    }
    return SnapshotStore(defaults).load();
}

}  // namespace

class AppTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    FakeCodex codex_;
    QString shown_ = dir_.filePath(QStringLiteral("notifications"));
    Run server_{{QStringLiteral("accept"), shown_}, VANTOR_FAKE_NOTIFICATION_SERVER};

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
        useScript("codex-answers.script");
        QVERIFY(server_.waitForReadyRead(patience) && server_.readAll() == "ready\n");
    }

    void endToEnd() {
        // Stored: the window the fake codex reports, exhausted until an earlier reset.
        ProviderUsageSnapshot exhausted = CodexParser::parse(
            QJsonDocument::fromJson(TestData::read(data + "codex-rate-limits.json")).object(),
            Instant::now());
        QCOMPARE(exhausted.windows.size(), 1);
        exhausted.windows[0].usedPercent = 100.0;
        exhausted.windows[0].state = UsageWindowState::exhausted;
        exhausted.windows[0].resetAt = exhausted.windows[0].resetAt->addingSeconds(-5 * 3600);
        stored(SnapshotMap{{ProviderID::codex, exhausted}});
        Run vantor({});
        QTRY_COMPARE_WITH_TIMEOUT(TestData::read(shown_).count('\n'), 1, patience);
        const QJsonObject shown = QJsonDocument::fromJson(TestData::read(shown_)).object();
        QCOMPARE(shown[u"summary"].toString(), QStringLiteral("Codex is ready again"));
        QCOMPARE(shown[u"app_name"].toString(), QStringLiteral("Vantor"));
        QTRY_COMPARE_WITH_TIMEOUT(stored().value(ProviderID::codex).windows.value(0).usedPercent,
                                  12.0, patience);

        // A second start asks the first, headless here, to refresh, and leaves; the first goes on.
        // Once Claude's availability is known the first refresh is over and takes no other.
        const auto claudeKnown = [] {
            const auto running = StatusReport::fromRunning(QDBusConnection::sessionBus());
            return running && running->availability.contains(ProviderID::claude);
        };
        QTRY_VERIFY_WITH_TIMEOUT(claudeKnown(), patience);
        const qsizetype started = codex_.pids().size();
        Run second({});
        QVERIFY(second.finish());
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(vantor.state(), QProcess::Running);
        QTRY_VERIFY_WITH_TIMEOUT(codex_.pids().size() > started, patience);
        // Only the running copy knows the availability.
        Run status({QStringLiteral("status")});
        QVERIFY(status.finish());
        const QByteArray out = status.readAllStandardOutput();
        QVERIFY2(out.startsWith("Codex: 5-hour limit reset, waiting for a new reading"),
                 out.constData());

        // Ended while a fetch waits on the codex child: the child goes too.
        useScript("codex-hangs.script");
        const qsizetype launches = codex_.pids().size();
        askForRefresh();
        QTRY_VERIFY_WITH_TIMEOUT(codex_.pids().size() > launches, patience);
        vantor.terminate();
        QVERIFY(vantor.finish());
        QCOMPARE(vantor.exitStatus(), QProcess::NormalExit);
        QTRY_VERIFY_WITH_TIMEOUT(codex_.allGone(), patience);
        useScript("codex-answers.script");

        // A signed-out account beside the default one: found, and it asks the endpoint nothing.
        const QString folder = QDir::homePath() + QStringLiteral("/.claude-work");
        QVERIFY(TestData::write(folder + "/.credentials.json", "{}"));
        // The next launch sees the same reset again and announces nothing.
        const Instant observed = stored().value(ProviderID::codex).observedAt;
        Run next({});
        QTRY_VERIFY_WITH_TIMEOUT(stored().value(ProviderID::codex).observedAt > observed, patience);
        // A refresh that follows proves the first one, announcements included, is over.
        const auto reads = [this] { return codex_.log().join('\n').count("rateLimits/read"); };
        const qsizetype before = reads();
        QTRY_VERIFY_WITH_TIMEOUT((askForRefresh(), reads() > before), patience);
        QCOMPARE(TestData::read(shown_).count('\n'), 1);

        // A status line run with Claude Code's CLAUDE_CONFIG_DIR hands its reading to the
        // account of that folder.
        qputenv("CLAUDE_CONFIG_DIR", QFile::encodeName(folder));
        Run line({QStringLiteral("statusline")});
        qunsetenv("CLAUDE_CONFIG_DIR");
        line.write(QStringLiteral("{\"rate_limits\":{\"five_hour\":{\"used_percentage\":30,"
                                  "\"resets_at\":%1}}}")
                       .arg(QDateTime::currentSecsSinceEpoch() + 3600)
                       .toUtf8());
        line.closeWriteChannel();
        QVERIFY(line.finish());
        const ProviderID work{ProviderKind::claude,
                              AccountDiscovery::accountID(ProviderKind::claude, folder)};
        QTRY_VERIFY_WITH_TIMEOUT(StatusReport::fromRunning(QDBusConnection::sessionBus())
                                     .value_or(StatusReport())
                                     .snapshots.contains(work),
                                 patience);
        QVERIFY(QDir(folder).removeRecursively());
    }

    void withoutABusOneInstance() {
        const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        Run first({});
        QTRY_VERIFY_WITH_TIMEOUT(
            QFile::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/com.quorvel.vantor.lock"),
            patience);
        // A copy with a bus finds the name free, but not the lock.
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
        Run second({});
        QVERIFY(second.finish());
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAllStandardError().contains("already runs"));
        QCOMPARE(first.state(), QProcess::Running);
    }

    // Each run: arguments, the snapshots and availability stored or served (the test owns
    // Vantor's bus name, as a running copy would), the exit code and what it prints.
    void status_data() { TestData::rows("run", "app/status.json"); }
    void status() {
        QFETCH(QJsonObject, run);
        qputenv("TZ", "UTC");  // for the times the status prints
        qputenv("LC_ALL", run[u"locale"].toString(QStringLiteral("C.UTF-8")).toUtf8());
        const bool served = run[u"served"].toBool();
        SnapshotMap snapshots;
        for (const ProviderUsageSnapshot& snapshot :
             UsageJson::decodeSnapshots(QJsonDocument(run[u"snapshots"].toArray()).toJson())) {
            snapshots.insert(snapshot.providerID, snapshot);
        }
        stored(served ? SnapshotMap() : snapshots);
        // The accounts, served or stored; none listed: the default ones alone.
        const QByteArray accounts = QJsonDocument(run[u"accounts"].toArray()).toJson();
        QSettingsDefaults().setValue(AccountRegistry::accountsKey, served ? "" : accounts);
        MemoryDefaults defaults;
        AppState state(defaults, nullptr);
        if (served && run[u"accounts"].isArray()) {
            state.setAccounts(VantorBusService::decodeAccounts(accounts));
        }
        state.setSnapshots(snapshots);
        const QJsonObject availability = run[u"availability"].toObject();
        for (auto it = availability.begin(); it != availability.end(); ++it) {
            state.setAvailability(*fromRawValue<ProviderID>(it.key()),
                                  UsageJson::decodeAvailability(it.value()));
        }
        VantorBusService service(state);
        // The name goes with the row, so that the next finds no Vantor unless it serves one.
        const auto release = qScopeGuard(
            [] { QDBusConnection::sessionBus().unregisterService(VantorBusService::serviceName); });
        QVERIFY(!served || service.registerOn(QDBusConnection::sessionBus()));
        // A name owned by something that is not Vantor, or no longer answers as one.
        QVERIFY(!run[u"nameOnly"].toBool() ||
                QDBusConnection::sessionBus().registerService(VantorBusService::serviceName));
        const qsizetype launches = codex_.pids().size();
        // The methods a verb may call: the one the row names once, the others never.
        QSignalSpy refresh(&service, &VantorBusService::refreshRequested);
        QSignalSpy settings(&service, &VantorBusService::showSettingsRequested);
        QSignalSpy quit(&service, &VantorBusService::quitRequested);
        QSignalSpy reported(&service, &VantorBusService::claudeUsageReported);
        QSignalSpy reportedFrom(&service, &VantorBusService::claudeUsageReportedFrom);
        // The status line's account folder, relative to the folder it runs in or not.
        if (run[u"configDir"].isString()) {
            qputenv("CLAUDE_CONFIG_DIR", run[u"configDir"].toString().toUtf8());
        }
        Run vantor(run[u"arguments"].toVariant().toStringList());
        qunsetenv("CLAUDE_CONFIG_DIR");
        const QString input = run[u"stdin"].toString();
        vantor.write(input.startsWith(u'@') ? TestData::read(data + input.mid(1)) : input.toUtf8());
        vantor.closeWriteChannel();
        QVERIFY(vantor.finish());
        QCOMPARE(reported.size(), run[u"reported"].toInt());
        QVERIFY(reported.isEmpty() ||
                reported[0][0].toByteArray().contains(run[u"body"].toString().toUtf8()));
        // Another account's reading comes with its folder, made absolute where it ran.
        QCOMPARE(
            reportedFrom.value(0).value(0).toString(),
            run[u"reportedFrom"].toString().replace(QStringLiteral("%CWD%"), QDir::currentPath()));
        QCOMPARE(vantor.exitCode(), run[u"exitCode"].toInt());
        const QString called = run[u"called"].toString();
        QCOMPARE(refresh.size(), called == u"Refresh" ? 1 : 0);
        QCOMPARE(settings.size(), called == u"ShowSettings" ? 1 : 0);
        QCOMPARE(quit.size(), called == u"Quit" ? 1 : 0);
        const QByteArray printed =
            vantor.exitCode() == 0 ? vantor.readAllStandardOutput() : vantor.readAllStandardError();
        // An output to its last line is all that is printed.
        const QByteArray expected = run[u"output"].toString().toUtf8();
        QVERIFY2(expected.endsWith('\n') ? printed == expected : printed.contains(expected),
                 printed.constData());
        // Lines that must fit a terminal of that many columns.
        if (const int columns = run[u"columns"].toInt(); columns > 0) {
            for (const QByteArray& printedLine : printed.split('\n')) {
                QVERIFY2(terminalColumns(printedLine) <= columns, printedLine.constData());
            }
        }
        // Reading never starts a Vantor, nor polls.
        QCOMPARE(codex_.pids().size(), launches);
    }

    // `status --waybar --follow`: the stored view at once, the running Vantor's when it comes, a
    // line per change it announces and none for a change that leaves the line as it was, the
    // stored view again when it goes; ended by a signal or by its reader leaving.
    void follow_data() {
        QTest::addColumn<int>("end");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("output closed") << 0;
    }
    void follow() {
        QFETCH(int, end);
        const auto codex = [](double used) {
            return SnapshotMap{
                {ProviderID::codex, UsageFixtures::snapshot({UsageFixtures::window(
                                        QStringLiteral("c"), UsageWindowState::available, used)})}};
        };
        stored(codex(42));
        QSettingsDefaults().setValue(AccountRegistry::accountsKey, "");
        const qsizetype launches = codex_.pids().size();
        const QStringList arguments{QStringLiteral("status"), QStringLiteral("--waybar"),
                                    QStringLiteral("--follow")};
        // The reader leaving: a shell passes on four lines and stops reading, then tells how
        // the follow ended.
        const QString reader =
            QStringLiteral(R"({ "$0" "$@"; echo "ended $?" >&2; } | { i=0; while [ $i -lt 4 ] &&)"
                           R"( IFS= read -r l; do printf "%s\n" "$l"; i=$((i + 1)); done; })");
        Run vantor(end == 0
                       ? QStringList{QStringLiteral("-c"), reader, VANTOR_EXECUTABLE} + arguments
                       : arguments,
                   end == 0 ? QStringLiteral("/bin/sh") : QStringLiteral(VANTOR_EXECUTABLE));
        const auto next = [&vantor] {
            return QTest::qWaitFor([&vantor] { return vantor.canReadLine(); }, patience)
                       ? vantor.readLine()
                       : QByteArray("(no line)");
        };
        QByteArray line = next();
        QVERIFY2(line.contains("\"percentage\":58"), line.constData());
        MemoryDefaults defaults;
        AppState state(defaults, nullptr);
        state.setSnapshots(codex(10));
        VantorBusService service(state);
        QVERIFY(service.registerOn(QDBusConnection::sessionBus()));
        line = next();
        QVERIFY2(line.contains("\"percentage\":90"), line.constData());
        state.setSnapshots(codex(10.2));
        state.setSnapshots(codex(70));
        line = next();
        QVERIFY2(line.contains("\"percentage\":30"), line.constData());
        QVERIFY(QDBusConnection::sessionBus().unregisterService(VantorBusService::serviceName));
        line = next();
        QVERIFY2(line.contains("\"percentage\":58"), line.constData());
        if (end != 0) {
            ::kill(static_cast<pid_t>(vantor.processId()), end);
        }
        QVERIFY(vantor.finish());
        QCOMPARE(vantor.exitStatus(), QProcess::NormalExit);
        QCOMPARE(vantor.exitCode(), 0);
        QVERIFY(end != 0 || vantor.readAllStandardError().contains("ended 0"));
        // Following never starts a Vantor, nor polls.
        QCOMPARE(codex_.pids().size(), launches);
    }

    // With no Vantor running, `status` and `statusline` over a history and settings that do
    // not read create, move, delete and write nothing in the user's folders.
    void readingChangesNoFile() {
        const QString history = qEnvironmentVariable("XDG_STATE_HOME") + "/vantor/history.json";
        const QString settings = QSettingsDefaults::standardFilePath();
        const QByteArray kept = TestData::read(settings);
        // A stored window, so that its history is read.
        stored(SnapshotMap{
            {ProviderID::codex, UsageFixtures::fullSnapshot(ProviderID::codex, Instant::now())}});
        QVERIFY(TestData::write(history, "[") && TestData::write(history + ".bad", "older") &&
                TestData::write(settings, TestData::read(settings) + "noise\nx=\"open\n"));
        const auto listing = [] {
            QStringList found;
            for (const char* folder : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                                       "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
                QDirIterator it(
                    qEnvironmentVariable(folder),
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
                while (it.hasNext()) {
                    const QFileInfo file(it.next());
                    found.append(file.filePath() + QString::number(file.size()) +
                                 file.lastModified().toString(Qt::ISODateWithMs));
                }
            }
            return found;
        };
        const QStringList before = listing();
        for (const char* arguments : {"status", "status --json", "status --waybar", "statusline"}) {
            Run vantor(QString::fromLatin1(arguments).split(u' '));
            vantor.write(TestData::read(data + "claude-statusline-input.json"));
            vantor.closeWriteChannel();
            QVERIFY(vantor.finish() && vantor.exitCode() == 0);
        }
        QCOMPARE(listing(), before);
        QVERIFY(TestData::write(settings, kept) &&
                QDir(QFileInfo(history).path()).removeRecursively());
    }
    // The session's locale variables -> the language spoken, the locale of its numbers and
    // dates (with the system's own locale given; a pair Qt has no data for takes the language's
    // main territory), and the alert voice "Automatic" picks.
    void interfaceLanguage_data() { TestData::rows("row", "app/languages.json"); }
    void interfaceLanguage() {
        const auto row = TestData::fetch<QJsonObject>("row");
        const QString language = row[u"language"].toString();
        const QJsonObject environment = row[u"environment"].toObject();
        const auto lookup = [&environment](const char* name) {
            return environment[QLatin1String(name)].toString();
        };
        QCOMPARE(InterfaceLanguage::choose(lookup), language);
        const QLocale locale =
            InterfaceLanguage::formatLocale(language, QLocale(row[u"system"].toString()));
        QCOMPARE(locale.name(), row[u"formats"].toString());
        QCOMPARE(resolvedCode(CustomAudioLanguage::automatic, locale), language);
    }
    // Rows of tests/data/app/statusline.json: what Claude Code sends at a given moment -> the
    // line printed under its prompt (UTC, British English).
    void statusLineText_data() { TestData::rows("row", "app/statusline.json"); }
    void statusLineText() {
        const auto row = TestData::fetch<QJsonObject>("row");
        qputenv("TZ", "UTC");
        const auto input =
            ClaudeStatusLine::parse(QJsonDocument(row[u"input"].toObject()).toJson());
        QVERIFY(input);
        QCOMPARE(StatusLineText::line(*input, Instant::fromUnixSeconds(row[u"now"].toDouble()),
                                      QLocale(QStringLiteral("en_GB"))),
                 row[u"line"].toString());
    }
    void cleanup() {
        QDBusConnection::sessionBus().unregisterService(VantorBusService::serviceName);
    }

    // Rows of tests/data/app/routing.json: the account folders in the home folder and the
    // CLAUDE_CONFIG_DIR a status line ran with ("~" the home folder) -> the account its reading
    // lands on ("work": the .claude-work account), or none.
    void statusLineRouting_data() { TestData::rows("row", "app/routing.json"); }
    void statusLineRouting() {
        QFETCH(QJsonObject, row);
        QTemporaryDir home;
        for (const QJsonValue folder : row["folders"].toArray()) {
            QVERIFY(QDir(home.path()).mkpath(folder.toString()));
            QFile file(home.filePath(folder.toString() + "/.credentials.json"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("{}") == 2);
        }
        VantorRuntime::Platform platform;
        platform.defaults = std::make_unique<MemoryDefaults>();
        platform.notificationCenter = std::make_unique<FakeNotificationCenter>();
        platform.log = std::make_unique<RecordingLogSink>();
        platform.loginItem = std::make_unique<FakeLoginItemService>();
        platform.accounts = AccountDiscovery::Environment{home.path(), {}, {}};
        platform.makeProvider = [](const UsageAccount& account) {
            return std::make_unique<FakeUsageProvider>(account.id);
        };
        VantorRuntime runtime(std::move(platform));
        const QString reset =
            QDateTime::currentDateTimeUtc().addSecs(3600).toString(Qt::ISODateWithMs);
        runtime.applyClaudeUsageFrom(
            row["configDir"].toString().replace(u'~', home.path()),
            QStringLiteral(R"({"five_hour":{"utilization":40,"resets_at":"%1"}})")
                .arg(reset)
                .toUtf8());
        const QString lands = row["lands"].toString();
        const ProviderID work{
            ProviderKind::claude,
            AccountDiscovery::accountID(ProviderKind::claude, home.filePath(".claude-work"))};
        QTRY_COMPARE(runtime.state().snapshots().keys(), lands.isEmpty() ? QList<ProviderID>()
                                                         : lands == "work"
                                                             ? QList{work}
                                                             : QList{ProviderID::claude});
    }

    // The login item is registered before polling starts, which asks the providers in list
    // order and keeps what was stored for one without usage; a second launch changes nothing.
    // Without a tray the first launch tells once how to see Vantor, in words for the desktop;
    // a notification not taken is tried again at the next launch.
    void runtimeWithoutTray() {
        VantorRuntime::Platform platform;
        platform.defaults = std::make_unique<MemoryDefaults>();
        auto* center = new FakeNotificationCenter;
        platform.notificationCenter.reset(center);
        platform.log = std::make_unique<RecordingLogSink>();
        platform.loginItem = std::make_unique<FakeLoginItemService>();
        VantorRuntime runtime(std::move(platform));
        center->addFails = true;
        QVERIFY(!QCoro::waitFor(runtime.tellWithoutTray(QStringLiteral("ubuntu:GNOME"))));
        center->addFails = false;
        QVERIFY(QCoro::waitFor(runtime.tellWithoutTray(QStringLiteral("ubuntu:GNOME"))));
        QVERIFY(!QCoro::waitFor(runtime.tellWithoutTray(QStringLiteral("ubuntu:GNOME"))));
        QCOMPARE(center->added.size(), 1);
        QCOMPARE(center->added[0].title, "Vantor runs in the background");
        QVERIFY(center->added[0].body.contains("AppIndicator"));
        QVERIFY(!VantorRuntime::backgroundBody(QStringLiteral("sway")).contains("AppIndicator"));
    }

    void runtimeLaunch() {
        using namespace UsageFixtures;
        VantorRuntime::Platform platform;
        platform.defaults = std::make_unique<MemoryDefaults>();
        SnapshotStore(*platform.defaults)
            .save({{ProviderID::claude, snapshot({}, ProviderID::claude)}});
        platform.notificationCenter = std::make_unique<FakeNotificationCenter>();
        platform.log = std::make_unique<RecordingLogSink>();
        auto* item = new FakeLoginItemService;
        platform.loginItem.reset(item);
        auto* codex = new FakeUsageProvider(ProviderID::codex);
        codex->answer(snapshot({window(QStringLiteral("c"), UsageWindowState::available, 10)}));
        platform.providers.emplace_back(codex);
        platform.providers.emplace_back(
            new FakeUsageProvider(ProviderID::claude, ProviderAvailability::notAuthenticated()));
        VantorRuntime runtime(std::move(platform));
        QSignalSpy refreshed(&runtime.coordinator(), &UsageCoordinator::refreshFinished);
        runtime.launch();
        QCOMPARE(item->calls, QStringList{QStringLiteral("register")});
        QCOMPARE(codex->availabilityCalls, 0);
        QTRY_COMPARE(refreshed.size(), 1);
        QCOMPARE(runtime.state().snapshots().keys(),
                 (QList<ProviderID>{ProviderID::codex, ProviderID::claude}));
        runtime.launch();
        runtime.refresh();
        QTRY_COMPARE(refreshed.size(), 2);
        QCOMPARE(item->calls.size(), 1);
        QCOMPARE(codex->fetchCalls, 2);
    }

    // Qt Multimedia comes with the first player, from its module; a module that cannot be
    // loaded is silence.
    void soundPlayerModule() {
        const QString maps = QStringLiteral("/proc/self/maps");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^vantor: no sound")));
        QVERIFY(!SoundPlayerModule::makePlayer(QStringLiteral("/nonexistent/vantor-sound.so")));
        QVERIFY(!TestData::read(maps).contains("libQt6Multimedia"));
        QVERIFY(SoundPlayerModule::makePlayer(QStringLiteral(VANTOR_SOUND_MODULE)));
        QVERIFY(TestData::read(maps).contains("libQt6Multimedia"));
    }
};

QTEST_GUILESS_MAIN(AppTest)
#include "tst_App.moc"
