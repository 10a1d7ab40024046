#include "AppState.h"
#include "BadFileKeeper.h"
#include "CodexParser.h"
#include "CustomAlertVoice.h"
#include "FakeLoginItemService.h"
#include "FakeNotificationCenter.h"
#include "FakeSoundPlayer.h"
#include "FakeUsageProvider.h"
#include "LaunchAtLoginController.h"
#include "LimitWarningDetector.h"
#include "MemoryDefaults.h"
#include "NotificationManager.h"
#include "QSettingsDefaults.h"
#include "RecordingLogSink.h"
#include "ResetDetector.h"
#include "SnapshotStore.h"
#include "TestData.h"
#include "TimeDisplayFormatter.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"
#include "UsageHistory.h"
#include "UsageJson.h"
#include "WakeSource.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <stdexcept>

using namespace UsageFixtures;
using TestData::fetch;
using namespace std::chrono_literals;
using State = UsageWindowState;

namespace {

const Instant resetA = t0.addingSeconds(3600);
const Instant resetB = resetA.addingSeconds(18000);
const QString fiveHourID = QStringLiteral("codex.5h");
const QString weeklyID = QStringLiteral("codex.week");

UsageWindowSnapshot shape(State state, std::optional<double> used,
                          std::optional<Instant> reset = resetA,
                          std::optional<bool> active = std::nullopt) {
    UsageWindowSnapshot result = window(fiveHourID, state, used, reset);
    result.isActive = active;
    return result;
}

// Every window of the ids in one state, as one codex answer; a weekly id gets the weekly kind.
ProviderUsageSnapshot codexAnswer(State state, double used, Instant reset,
                                  const QStringList& ids = {fiveHourID}) {
    QList<UsageWindowSnapshot> windows;
    for (const QString& id : ids) {
        windows.append(window(id, state, used, reset));
        windows.last().kind = id == weeklyID ? UsageWindowKind::weekly : UsageWindowKind::fiveHour;
    }
    return snapshot(windows);
}

const ProviderUsageSnapshot claudeAnswer = snapshot(
    {window(QStringLiteral("claude.5h"), State::available, 10.0, resetA, ProviderID::claude)},
    ProviderID::claude);

// One launch of the engine over the given defaults: codex then claude, a recording
// notification centre, sound and log, a wake source the test fires and a clock it advances.
struct Launch {
    explicit Launch(UserDefaults& defaults, std::chrono::milliseconds retryDelay = 30s) {
        std::vector<std::unique_ptr<UsageProvider>> providers;
        providers.emplace_back(codex = new FakeUsageProvider(ProviderID::codex));
        providers.emplace_back(claude = new FakeUsageProvider(ProviderID::claude));
        claude->answer(claudeAnswer);
        state = std::make_unique<AppState>(
            defaults, std::make_unique<ResetAlertAudioManager>(FakeSoundPlayer::factory(sound)));
        coordinator = std::make_unique<UsageCoordinator>(
            std::move(providers), UsageCoordinator::Services{defaults, center, log, &wake}, 10s,
            [this] { return clock; }, retryDelay);
    }
    void refresh() { QCoro::waitFor(coordinator->refresh(*state)); }

    FakeNotificationCenter center;
    RecordingLogSink log;
    std::shared_ptr<FakeSoundPlayer::Recording> sound =
        std::make_shared<FakeSoundPlayer::Recording>();
    WakeSource wake;
    std::chrono::milliseconds clock{1'000'000};
    FakeUsageProvider* codex = nullptr;
    FakeUsageProvider* claude = nullptr;
    std::unique_ptr<AppState> state;
    std::unique_ptr<UsageCoordinator> coordinator;
};

}  // namespace

class EngineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // Local times in the texts below are New York's.
        qputenv("TZ", "America/New_York");
        QCOMPARE(QTimeZone::systemTimeZoneId(), QByteArray("America/New_York"));
    }

    void resetDetector_data() {
        QTest::addColumn<UsageWindowSnapshot>("before");
        QTest::addColumn<UsageWindowSnapshot>("after");
        QTest::addColumn<bool>("everyReset");
        QTest::addColumn<QString>("events");
        const auto E = State::exhausted;
        const auto A = State::available;
        const QString reset = QStringLiteral("resetConfirmed");
        QTest::newRow("later reset") << shape(E, 100) << shape(A, 95, resetB) << false << reset;
        QTest::newRow("earlier reset") << shape(E, 100, resetB) << shape(A, 95) << false << "";
        QTest::newRow("drop of 20") << shape(E, 100) << shape(A, 80) << false << "";
        QTest::newRow("drop of exactly 30") << shape(E, 100) << shape(A, 70) << false << reset;
        QTest::newRow("no reset times") << shape(E, 100, {}) << shape(A, 60, {}) << false << reset;
        // An idle window (no use, no reset time yet) after an exhausted one: Claude's reset.
        QTest::newRow("exhausted, now idle") << shape(E, 100) << shape(A, 0, {}) << false << reset;
        QTest::newRow("available without use") << shape(E, 100) << shape(A, {}) << false << "";
        const auto N = State::nearingLimit;
        QTest::newRow("to nearing") << shape(E, 100) << shape(N, 90) << false << "nearingLimit";
        QTest::newRow("to exhausted") << shape(A, 50) << shape(E, 100) << false << "limitReached";
        // By default only a window that was exhausted announces its reset.
        QTest::newRow("available reset") << shape(A, 60) << shape(A, 5, resetB) << false << "";
        QTest::newRow("every reset") << shape(A, 60) << shape(A, 5, resetB) << true << reset;
        QTest::newRow("turned active")
            << shape(E, 50, resetA, false) << shape(A, 50, resetA, true) << false << reset;
        QTest::newRow("activity unknown")
            << shape(E, 50, resetA, false) << shape(A, 50) << false << "";
    }
    void resetDetector() {
        QFETCH(UsageWindowSnapshot, before);
        QFETCH(UsageWindowSnapshot, after);
        QFETCH(bool, everyReset);
        QFETCH(QString, events);
        const char* names[] = {"limitReached", "resetConfirmed", "nearingLimit", "unavailable",
                               "providerRecovered"};
        const auto describe = [&](const QList<UsageEvent>& found) {
            QStringList described;
            for (const UsageEvent& event : found) {
                described.append(QString::fromLatin1(names[int(event.kind)]));
            }
            return described.join(u',');
        };
        const ResetDetector detector;
        QCOMPARE(describe(detector.process(snapshot({before}), snapshot({after}), everyReset)),
                 events);
        // A provider's first snapshot derives nothing; one after an outage says so first.
        QCOMPARE(describe(detector.process(std::nullopt, snapshot({after}), everyReset)), "");
        const auto outage =
            snapshot({before}, ProviderID::codex, UsageSourceConfidence::unavailable);
        QCOMPARE(describe(detector.process(outage, snapshot({after}), everyReset)),
                 events.isEmpty() ? "providerRecovered" : "providerRecovered," + events);
    }

    void resetText_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("reset");
        QTest::addColumn<QString>("expected");
        const auto local = [](int month, int day, int hour, int minute) {
            return QDateTime(QDate(2026, month, day), QTime(hour, minute),
                             QTimeZone("America/New_York"));
        };
        const QDateTime now = local(12, 10, 14, 0);  // a Thursday
        // Minutes read the same in every locale.
        QTest::newRow("1 ms ahead") << "ja_JP" << now << now.addMSecs(1) << "1 min";
        QTest::newRow("59:01 ahead") << "en_US" << now << now.addSecs(59 * 60 + 1) << "60 min";
        QTest::newRow("midnight") << "en_US" << local(12, 10, 23, 50) << local(12, 11, 0, 30)
                                  << "40 min";
        QTest::newRow("24 h clock") << "fr_FR" << now << local(12, 11, 17, 0) << "Tomorrow, 17:00";
        QTest::newRow("six days ago") << "de_DE" << now << local(12, 4, 18, 0) << "Freitag";
        QTest::newRow("in a week") << "fr_FR" << now << local(12, 17, 17, 0) << "17 déc., 17:00";
        // Across the change to summer time the calendar day, not 24 hours, decides.
        QTest::newRow("tomorrow across DST")
            << "en_US" << local(3, 7, 23, 0) << local(3, 8, 23, 0) << "Tomorrow, 11:00\u202FPM";
        // The warning's sentence: the clock time today, else with the day.
        QTest::newRow("sentence, later today")
            << "en_GB" << now << local(12, 10, 15, 40) << "Resets at 15:40.";
        QTest::newRow("sentence, tomorrow")
            << "en_GB" << now << local(12, 11, 9, 5) << "Resets tomorrow at 09:05.";
        QTest::newRow("sentence, in five days")
            << "en_GB" << now << local(12, 15, 9, 5) << "Resets on Tuesday at 09:05.";
        QTest::newRow("sentence, in a week")
            << "en_GB" << now << local(12, 17, 9, 5) << "Resets on 17 Dec, 09:05.";
    }
    void resetText() {
        const TimeDisplayFormatter formatter;
        const Instant reset = Instant::fromDateTime(fetch<QDateTime>("reset"));
        const Instant now = Instant::fromDateTime(fetch<QDateTime>("now"));
        const QLocale locale(fetch<QString>("locale"));
        const QString expected = fetch<QString>("expected");
        QCOMPARE(expected.startsWith(QLatin1String("Resets"))
                     ? formatter.resetSentence(reset, now, locale)
                     : formatter.resetText(reset, now, locale),
                 expected);
    }

    // Rows of tests/data/engine/warnings.json: readings of one window ("<used>@<reset>", the
    // reset A, A+60 s, B or none; "restart" starts a new run over the same marks) -> whether
    // each was warned about.
    void limitWarnings_data() { TestData::rows("row", "engine/warnings.json"); }
    void limitWarnings() {
        const auto row = fetch<QJsonObject>("row");
        QStringList marks;
        QStringList warned;
        bool first = true;
        bool afterA = false;
        for (const QString& reading : row["readings"].toString().split(u' ')) {
            if (reading == QLatin1String("restart")) {
                first = true;
                continue;
            }
            const double used = reading.section(u'@', 0, 0).toDouble();
            const QString at = reading.section(u'@', 1);
            const std::optional<Instant> reset =
                at == "-"
                    ? std::optional<Instant>()
                    : (at.startsWith(u'B') ? resetB : resetA).addingSeconds(at.size() > 1 ? 60 : 0);
            // Once a reading of period B came, period A has ended.
            afterA = afterA || at.startsWith(u'B');
            auto current = snapshot({window(
                fiveHourID, used >= 100 ? State::exhausted : State::available, used, reset)});
            current.windows[0].observedAt = afterA ? resetA.addingSeconds(60) : t0;
            auto result =
                LimitWarningDetector::process(current, row["threshold"].toInt(), first, marks);
            marks = result.marks;
            warned.append(result.warnings.isEmpty() ? "-" : "w");
            first = false;
        }
        QCOMPARE(warned.join(u' '), row["warned"].toString());
    }

    // Rows of tests/data/engine/projections.json: readings ([minute, percent used]) and the
    // reset minute -> "none", "lasts" or the minute it runs out ("+60").
    void projection_data() { TestData::rows("row", "engine/projections.json"); }
    void projection() {
        const auto row = fetch<QJsonObject>("row");
        QList<UsageHistory::Reading> readings;
        for (const QJsonValue pair : row["readings"].toArray()) {
            readings.append({t0.addingSeconds(pair[0].toDouble() * 60), pair[1].toDouble()});
        }
        const QJsonValue reset = row["reset"];
        const auto projection = UsageHistory::project(
            readings,
            reset.isNull() ? std::nullopt : std::optional(t0.addingSeconds(reset.toDouble() * 60)));
        QCOMPARE(!projection              ? "none"
                 : !projection->runsOutAt ? "lasts"
                                          : QStringLiteral("+%1").arg(std::lround(
                                                projection->runsOutAt->secondsSince(t0) / 60)),
                 row["projection"].toString());
    }

    // The history keeps the current period of each window across instances, starts a period
    // afresh when the reset time moves, and sets a file that does not read aside when it
    // records, never when it only reads, nor while it cannot.
    void historyFile() {
        const QString path = UsageHistory::standardPath();
        const QByteArray garbage = "{\"codex.codex.5h\": [garbage";
        QVERIFY(TestData::write(path, garbage));
        const auto reading = [](double used, Instant reset) {
            return codexAnswer(State::available, used, reset, {fiveHourID, weeklyID});
        };
        QVERIFY(UsageHistory(path).readings(ProviderID::codex, fiveHourID).isEmpty());
        QVERIFY(QDir().mkpath(path + ".bad.1"));  // the copy's name taken: nothing moves
        UsageHistory(path).record(reading(10, resetA));
        QCOMPARE(TestData::read(path), garbage);
        QVERIFY(QDir(path + ".bad.1").removeRecursively());
        UsageHistory(path).record(reading(10, resetA));
        QCOMPARE(TestData::read(path + ".bad.1"), garbage);
        UsageHistory(path).record(reading(20, resetA.addingSeconds(30)));
        QCOMPARE(UsageHistory(path).readings(ProviderID::codex, fiveHourID).size(), 2);
        UsageHistory(path).record(reading(1, resetB));
        QCOMPARE(UsageHistory(path).readings(ProviderID::codex, fiveHourID).size(), 1);
        UsageHistory(path).record(reading(100, resetA));  // a stray one of the ended period
        UsageHistory(path).record(reading(2, resetB));
        QCOMPARE(UsageHistory(path).readings(ProviderID::codex, fiveHourID).size(), 2);
        UsageHistory(path).record(codexAnswer(State::available, 2, resetB));
        QVERIFY(UsageHistory(path).readings(ProviderID::codex, weeklyID).isEmpty());
    }

    // Copies set aside before -> those left: the newest three, counted by number; names that
    // are not copies stay; a taken name sets nothing aside. Moved and copied alike.
    void badFileCopies_data() { TestData::rows("row", "engine/bad-files.json"); }
    void badFileCopies() {
        const auto row = fetch<QJsonObject>("row");
        const bool setAside = row["setAside"].toBool(true);
        for (const auto method : {BadFileKeeper::Method::move, BadFileKeeper::Method::copy}) {
            QTemporaryDir folder;
            const QString path = folder.filePath(QStringLiteral("h"));
            QVERIFY(TestData::write(path, "new"));
            for (const QString& name : row["before"].toVariant().toStringList()) {
                QVERIFY(name.endsWith(u'/') ? QDir().mkpath(path + name)
                                            : TestData::write(path + name, "old"));
            }
            QCOMPARE(BadFileKeeper::setAside(path, method), setAside);
            QStringList found;
            for (const QFileInfo& file :
                 QDir(folder.path()).entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
                found.append(file.fileName().mid(1) +
                             (file.isDir() ? "/" : '=' + TestData::read(file.filePath())));
            }
            QStringList after = row["after"].toVariant().toStringList();
            if (method == BadFileKeeper::Method::copy || !setAside) {
                after.append(QStringLiteral("=new"));  // the file itself, still in place
            }
            found.sort();
            after.sort();
            QCOMPARE(found, after);
        }
    }

    // Through the coordinator: the warning's words, and a five-hour reset held while the weekly
    // window is spent, then told once by the weekly reset.
    void warningAndHeldReset() {
        MemoryDefaults defaults;
        Launch launch(defaults);
        launch.codex->answer(codexAnswer(State::available, 80, resetA));
        launch.codex->answer(codexAnswer(State::nearingLimit, 91, resetA));
        launch.refresh();
        launch.refresh();
        QCOMPARE(launch.center.added.size(), 1);
        QCOMPARE(launch.center.added[0].title, "Codex: 90 % of the 5-hour limit used");
        QVERIFY(launch.center.added[0].body.startsWith(QLatin1String("Resets ")));
        launch.state->setLimitWarningThreshold(0);
        const QStringList ids{fiveHourID, weeklyID};
        launch.codex->answer(codexAnswer(State::exhausted, 100, resetA, ids));
        auto fiveHourBack = codexAnswer(State::exhausted, 100, resetA, ids);
        fiveHourBack.windows[0] = codexAnswer(State::available, 3, resetB).windows[0];
        launch.codex->answer(fiveHourBack);
        launch.codex->answer(codexAnswer(State::available, 3, resetB, ids));
        for (int i = 0; i < 4; ++i) {  // the last answer given, then the three new ones
            launch.refresh();
        }
        QCOMPARE(launch.center.added.size(), 2);
        QCOMPARE(launch.center.added[1].body, NotificationManager::weeklyBody());
        QCOMPARE(launch.sound->clips.size(), 1);
    }

    // A warning's title names the window by its kind, else by its own label.
    void warningTitle_data() { TestData::rows("row", "engine/warning-titles.json"); }
    void warningTitle() {
        const auto row = TestData::fetch<QJsonObject>("row");
        UsageWindowSnapshot window;
        window.kind = *fromRawValue<UsageWindowKind>(row[u"kind"].toString());
        window.label = row[u"label"].toString();
        QCOMPARE(NotificationManager::warningTitle(ProviderID::codex, window, 90),
                 row[u"title"].toString());
    }

    // The body names the window that reset; providers put no "week" into some weekly ids.
    void notificationText_data() {
        QTest::addColumn<ProviderID>("provider");
        QTest::addColumn<QString>("windowID");
        QTest::addColumn<int>("kind");  // UsageWindowKind, -1 when unknown
        QTest::addColumn<QString>("text");
        const QString codex = QStringLiteral("Codex is ready again: ");
        const QString claude = QStringLiteral("Claude is ready again: ");
        const QString fiveHour = QStringLiteral("Your 5-hour usage limit has reset.");
        const QString weekly = QStringLiteral("Your weekly usage is available again.");
        const ProviderID C = ProviderID::claude;
        QTest::newRow("codex five-hour") << ProviderID::codex << "codex.a" << 0 << codex + fiveHour;
        QTest::newRow("weekly by kind") << ProviderID::codex << "codex.b" << 1 << codex + weekly;
        QTest::newRow("model weekly") << C << "claude.seven_day_opus" << 2 << claude + weekly;
        QTest::newRow("weekly by id alone") << C << "claude.Weekly" << -1 << claude + weekly;
        QTest::newRow("unknown kind") << C << "claude.five_hour" << -1 << claude + fiveHour;
    }
    void notificationText() {
        QFETCH(int, kind);
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        FakeNotificationCenter center;
        NotificationManager manager(store, center);
        const auto windowKind = kind < 0 ? std::nullopt : std::optional(UsageWindowKind(kind));
        QVERIFY(QCoro::waitFor(
            manager.deliver(UsageEvent::resetConfirmed(fetch<ProviderID>("provider"),
                                                       fetch<QString>("windowID"), resetA),
                            windowKind)));
        QCOMPARE(center.added.size(), 1);
        QCOMPARE(center.added[0].title + QStringLiteral(": ") + center.added[0].body,
                 fetch<QString>("text"));
    }

    // Each reset is announced once, across restarts too (a one-key list reads back from the
    // settings file as a plain string); a failed or forbidden delivery is not recorded, and
    // only the newest keys are kept.
    void deliveredOnceAndBounded() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("vantor.conf"));
        using Status = NotificationCenter::AuthorizationStatus;
        const auto deliver = [&](const UsageEvent& event, bool fails = false,
                                 Status status = Status::authorized) {
            QSettingsDefaults defaults(file);
            SnapshotStore store(defaults);
            FakeNotificationCenter center;
            center.addFails = fails;
            center.status = status;
            NotificationManager manager(store, center);
            return QCoro::waitFor(manager.deliver(event)) && center.added.size() == 1;
        };
        const UsageEvent first = UsageEvent::resetConfirmed(ProviderID::codex, fiveHourID, resetA);
        QVERIFY(!deliver(first, true));
        QVERIFY(!deliver(first, false, Status::denied));
        QVERIFY(deliver(first));
        QVERIFY(!deliver(first));
        QVERIFY(deliver(UsageEvent::resetConfirmed(ProviderID::claude, fiveHourID, resetA)));
        QVERIFY(deliver(UsageEvent::resetConfirmed(ProviderID::codex, fiveHourID, resetB)));
        QSettingsDefaults defaults(file);
        for (int i = 0; i < SnapshotStore::deliveredLimit; ++i) {
            SnapshotStore(defaults).markDelivered(QString::number(i));
        }
        QVERIFY(deliver(first));
        QVERIFY(SnapshotStore(defaults).wasDelivered(QStringLiteral("199")));
    }

    void alertVoice_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<CustomAudioLanguage>("language");
        QTest::addColumn<CustomAudioGender>("gender");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("played");  // the clip's voice; empty for silence
        const auto any = CustomAudioLanguage::automatic;
        const auto female = CustomAudioGender::female;
        const auto male = CustomAudioGender::male;
        const QString none;
        const QString marivel = QStringLiteral("French_Female_Marivel");
        const QString keldo = QStringLiteral("French_Male_Keldo_2");
        QTest::newRow("French locale") << "fr_CA" << any << female << none << marivel;
        QTest::newRow("German locale speaks English")
            << "de_DE" << any << male << none << QStringLiteral("English_Male_Tolvan");
        QTest::newRow("French chosen, stored voice")
            << "en_US" << CustomAudioLanguage::french << male << keldo << keldo;
        QTest::newRow("stored voice of another language")
            << "fr_FR" << any << female << QStringLiteral("English_Female_Ivrel") << marivel;
        QTest::newRow("clip missing") << "ja_JP" << any << male << none << none;
    }
    void alertVoice() {
        QFETCH(CustomAudioLanguage, language);
        QFETCH(CustomAudioGender, gender);
        QFETCH(QString, played);
        QTemporaryDir clips;
        for (const CustomAlertVoice& voice : CustomAlertVoice::all()) {
            QFile clip(clips.filePath(voice.id + QStringLiteral(".mp3")));
            QVERIFY(voice.id == QLatin1String("Japanese_Male_Tolvan") ||
                    (clip.open(QIODevice::WriteOnly) && clip.write(voice.id.toUtf8()) > 0));
        }
        QLocale::setDefault(QLocale(fetch<QString>("locale")));
        auto sound = std::make_shared<FakeSoundPlayer::Recording>();
        ResetAlertAudioManager audio(FakeSoundPlayer::factory(sound), clips.path());
        const auto stored = fetch<QString>("stored");
        const auto voice = stored.isEmpty() ? std::nullopt : std::optional(stored);
        audio.play(language, gender, voice);
        audio.play(language, gender, voice);  // stops the first
        QLocale::setDefault(QLocale::c());
        const QByteArray clip = played.toUtf8();
        QCOMPARE(sound->clips, (played.isEmpty() ? QList<QByteArray>() : QList{clip, clip}));
        QCOMPARE(sound->calls.join(u' '), played.isEmpty() ? "" : "play stop play");
    }

    // A reset is announced with its clip once, and not again after a restart over the same
    // settings; when both windows reset at once, the weekly reset is the one told. The clip
    // follows the alerts switch.
    void resetAnnouncedOnceAcrossRestart() {
        MemoryDefaults defaults;
        const QStringList ids{fiveHourID, weeklyID};
        {
            Launch launch(defaults);
            launch.codex->answer(codexAnswer(State::exhausted, 100, resetA, ids));
            launch.codex->answer(codexAnswer(State::available, 2, resetB, ids));
            launch.refresh();
            QVERIFY(launch.center.added.isEmpty());
            launch.refresh();
            launch.refresh();
            QCOMPARE(launch.center.added.size(), 1);
            QCOMPARE(launch.center.added[0].body, NotificationManager::weeklyBody());
            QCOMPARE(launch.sound->clips.size(), 1);
        }
        Launch next(defaults);
        next.codex->answer(codexAnswer(State::available, 2, resetB, ids));
        QSignalSpy finished(next.coordinator.get(), &UsageCoordinator::refreshFinished);
        next.coordinator->start(*next.state);
        QVERIFY(finished.wait());
        QCOMPARE(next.codex->fetchCalls, 1);
        QVERIFY(next.center.added.isEmpty());
        // With alerts switched off a reset plays no clip.
        next.state->setAlertsEnabled(false);
        next.state->playResetAlert();
        QVERIFY(next.sound->clips.isEmpty());
    }

    // A reading from Claude Code's status line, before any poll: the stored windows come in
    // first, the ones it names are replaced, the others kept, and its reset is told once.
    void readingFromElsewhere() {
        MemoryDefaults defaults;
        Launch launch(defaults);
        const auto claude = [](State state, double used, Instant reset, const char* id) {
            return window(QString::fromLatin1(id), state, used, reset, ProviderID::claude);
        };
        SnapshotStore(defaults).save(
            {{ProviderID::claude,
              snapshot({claude(State::exhausted, 100, resetA, "claude.five_hour"),
                        claude(State::available, 5, resetA, "claude.scoped")},
                       ProviderID::claude)}});
        const auto reading =
            snapshot({claude(State::available, 3, resetB, "claude.five_hour")}, ProviderID::claude);
        QCoro::waitFor(launch.coordinator->applyReading(*launch.state, reading));
        QCoro::waitFor(launch.coordinator->applyReading(*launch.state, reading));
        // A session that last asked earlier says less: lower use, or the period before.
        for (const auto& [used, reset] : {std::pair(1.0, resetB), std::pair(100.0, resetA)}) {
            QCoro::waitFor(launch.coordinator->applyReading(
                *launch.state, snapshot({claude(State::available, used, reset, "claude.five_hour")},
                                        ProviderID::claude)));
        }
        QCOMPARE(launch.center.added.size(), 1);
        QCOMPARE(launch.center.added[0].title, "Claude is ready again");
        const auto kept = SnapshotStore(defaults).load().value(ProviderID::claude).windows;
        QCOMPARE(kept.size(), 2);
        QCOMPARE(kept[0].usedPercent, 3.0);
    }

    // Rows of tests/data/engine/handed-in.json: a reading from elsewhere, each window "<kind>
    // <used> <reset> [provider]" (the reset in seconds after the reading, "@" for a Unix time,
    // "-" for none), over a held Claude snapshot of `held` windows whose first is a five-hour
    // window spent until before the reading -> what is held after it ("<count>:" and the
    // five-hour and weekly windows' use), or "-" when nothing changes.
    void readingsHandedIn_data() { TestData::rows("row", "engine/handed-in.json"); }
    void readingsHandedIn() {
        const auto row = fetch<QJsonObject>("row");
        const QString fiveHour = QStringLiteral("claude.five_hour");
        std::optional<ProviderUsageSnapshot> held;
        for (int i = 0; i < row["held"].toInt(); ++i) {
            held = held.value_or(snapshot({}, ProviderID::claude));
            held->windows.append(window(i == 0 ? fiveHour : QStringLiteral("claude.x%1").arg(i),
                                        State::exhausted, 100, t0.addingSeconds(-600),
                                        ProviderID::claude));
        }
        ProviderUsageSnapshot reading = snapshot({}, ProviderID::claude);
        for (const QJsonValue spec : row["reading"].toArray()) {
            const QStringList part = spec.toString().split(u' ');
            const auto kind = *fromRawValue<UsageWindowKind>(part[0]);
            const QString reset = part[2];
            auto w = window(
                kind == UsageWindowKind::weekly ? QStringLiteral("claude.seven_day") : fiveHour,
                State::available, part[1] == "-" ? std::nullopt : std::optional(part[1].toDouble()),
                reset == "-"            ? std::optional<Instant>()
                : reset.startsWith('@') ? Instant::fromUnixSeconds(reset.mid(1).toDouble())
                                        : t0.addingSeconds(reset.toDouble()),
                part.size() > 3 ? ProviderID::codex : ProviderID::claude);
            w.kind = kind;
            reading.windows.append(w);
        }
        const auto merged = UsageCoordinator::withReading(held, reading);
        QStringList shown{merged ? QString::number(merged->windows.size()) + u':' : "-"};
        for (const UsageWindowSnapshot& w :
             merged ? merged->windows : QList<UsageWindowSnapshot>()) {
            if (w.id == fiveHour || w.id == QLatin1String("claude.seven_day")) {
                shown << w.id.mid(7) + u' ' + QString::number(*w.usedPercent);
            }
        }
        QCOMPARE(shown.join(u' '), row["taken"].toString());
    }

    // At most 32 windows a provider, however many a fetch brings or the settings hold; the
    // provider's first windows are the ones kept.
    void windowsBounded_data() {
        QTest::addColumn<int>("count");
        for (const int count : {31, 32, 33, 3000}) {
            QTest::addRow("%d", count) << count;
        }
    }
    void windowsBounded() {
        QFETCH(int, count);
        QList<UsageWindowSnapshot> windows;
        for (int i = 0; i < count; ++i) {
            windows.append(window(QStringLiteral("codex.%1").arg(i), State::available, 1, resetA));
        }
        const qsizetype held = std::min(count, 32);
        MemoryDefaults stored;
        stored.setValue(SnapshotStore::snapshotKey,
                        UsageJson::encodeSnapshots(
                            {codexAnswer(State::available, 1, resetA), snapshot(windows)}));
        QCOMPARE(SnapshotStore(stored).load().value(ProviderID::codex).windows.size(), held);
        MemoryDefaults defaults;
        Launch launch(defaults);
        launch.codex->answer(snapshot(windows));
        launch.refresh();
        const auto kept = launch.state->snapshots().value(ProviderID::codex).windows;
        QCOMPARE(kept.size(), held);
        QCOMPARE(kept.last().id, QStringLiteral("codex.%1").arg(held - 1));
    }

    // The warning marks and the delivered keys keep 200 entries each, those of windows no
    // longer held going first: a held window's entry stays, however old.
    void entriesBounded_data() {
        QTest::addColumn<int>("count");
        for (const int count : {199, 200, 201}) {
            QTest::addRow("%d", count) << count;
        }
    }
    void entriesBounded() {
        QFETCH(int, count);
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        store.save({{ProviderID::codex, codexAnswer(State::nearingLimit, 95, resetA)}});
        const QString held = QStringLiteral("codex.") + fiveHourID;
        QStringList marks{held + QStringLiteral(" 1")};
        store.markDelivered(held + QStringLiteral(".1.0"));
        for (int i = 1; i < count; ++i) {
            marks << QStringLiteral("codex.gone%1 1").arg(i);
            store.markDelivered(QStringLiteral("codex.gone%1.1.0").arg(i));
        }
        store.setWarningMarks(marks);
        QCOMPARE(store.warningMarks().size(), std::min(count, 200));
        QCOMPARE(store.warningMarks().constFirst(), marks.constFirst());
        QCOMPARE(store.deliveredKeys().size(), std::min(count, 200));
        QVERIFY(store.wasDelivered(held + QStringLiteral(".1.0")));
    }

    // Rows of tests/data/engine/stored-records.json: a stored list holding what this release
    // cannot read (or "unread" records of a newer provider more) -> what loads, and what the next
    // save carries over unchanged ("kept"), in how many records.
    void storedRecords_data() { TestData::rows("row", "engine/stored-records.json"); }
    void storedRecords() {
        const auto row = fetch<QJsonObject>("row");
        QJsonArray stored = row["stored"].toArray();
        for (int i = 0; i < row["unread"].toInt(); ++i) {
            stored.append(QJsonObject{{"providerID", QStringLiteral("newer%1").arg(i)}});
        }
        MemoryDefaults defaults;
        defaults.setValue(SnapshotStore::snapshotKey, row["stored"].isString()
                                                          ? row["stored"].toString().toUtf8()
                                                          : QJsonDocument(stored).toJson());
        SnapshotStore store(defaults);
        SnapshotMap loaded = store.load();
        QStringList loads;
        for (const ProviderUsageSnapshot& s : loaded) {
            QStringList ids;
            for (const UsageWindowSnapshot& w : s.windows) {
                ids << w.id;
            }
            loads << rawValue(s.providerID) + QStringLiteral(": ") + ids.join(u',');
        }
        QCOMPARE(loads.join(u';'), row["loads"].toString());
        if (row["save"].toString() == QLatin1String("claude")) {
            loaded.insert(ProviderID::claude, claudeAnswer);
        }
        store.save(loaded);
        const QJsonArray written =
            QJsonDocument::fromJson(*defaults.data("usageSnapshots")).array();
        QCOMPARE(written.size(), row["records"].toInt(1 + row["kept"].toArray().size()));
        QJsonArray windows;
        for (const QJsonValue record : written) {
            for (const QJsonValue w : record["windows"].toArray()) {
                windows.append(w);
            }
        }
        for (const QJsonValue kept : row["kept"].toArray()) {
            QVERIFY(written.contains(kept) || windows.contains(kept));
        }
        QCOMPARE(store.load().keys(), loaded.keys());
    }

    // A fetch that failed for no reason the provider names is tried again, that provider alone,
    // up to three times in a row; one that names its reason is not.
    void failedFetchRetried_data() {
        QTest::addColumn<int>("failures");
        QTest::addColumn<bool>("told");
        QTest::addColumn<int>("fetches");
        QTest::newRow("2 failures") << 2 << false << 3;
        QTest::newRow("3 failures") << 3 << false << 4;
        QTest::newRow("4 failures") << 4 << false << 4;
        QTest::newRow("the provider says why") << 1 << true << 1;
    }
    void failedFetchRetried() {
        QFETCH(int, failures);
        QFETCH(int, fetches);
        MemoryDefaults defaults;
        Launch launch(defaults, 1ms);
        for (int i = 0; i < failures; ++i) {
            launch.codex->fail(VantorError(ProviderError::requestTimedOut));
        }
        launch.codex->answer(codexAnswer(State::available, 5, resetA));
        if (fetch<bool>("told")) {
            launch.codex->told = ProviderAvailability::notAuthenticated(QStringLiteral("Expired"));
        }
        QSignalSpy finished(launch.coordinator.get(), &UsageCoordinator::refreshFinished);
        launch.refresh();
        QTRY_COMPARE(finished.size(), fetches);
        QVERIFY(!launch.coordinator->isRetryPending());
        QCOMPARE(launch.codex->fetchCalls, fetches);
        QCOMPARE(launch.claude->fetchCalls, 1);
        QCOMPARE(launch.state->snapshots().contains(ProviderID::codex), failures < fetches);
    }

    // Codex answers of the shapes users report (a fixture, some of its text replaced), read one
    // after another through the parser (or given as snapshots), the detector and the announcements,
    // over what an earlier release may have stored: what is announced, stored ("<id> <kind> <state>
    // <used> <label>", and the account) and logged.
    void codexReadings_data() { TestData::rows("row", "engine/codex-readings.json"); }
    void codexReadings() {
        QFETCH(QJsonObject, row);
        MemoryDefaults defaults;
        if (row.contains("stored")) {
            defaults.setValue(SnapshotStore::snapshotKey,
                              QJsonDocument(row["stored"].toArray()).toJson());
        }
        for (const QJsonValue key : row["delivered"].toArray()) {
            SnapshotStore(defaults).markDelivered(key.toString());
        }
        Launch launch(defaults);
        launch.state->setLimitWarningThreshold(0);  // resets only
        launch.center.addFails = row["notTaken"].toBool();
        const QJsonArray readings = row["readings"].toArray();
        for (const QJsonValue reading : readings) {
            const QJsonValue input = reading["input"];
            QByteArray text = input.isObject()
                                  ? QJsonDocument(input.toObject()).toJson()
                                  : TestData::read(VANTOR_TEST_DATA_DIR "/" + input.toString());
            for (const QJsonValue swap : reading["replace"].toArray()) {
                text.replace(swap[0].toString().toUtf8(), swap[1].toString().toUtf8());
            }
            launch.codex->answer(reading["snapshot"].isObject()
                                     ? UsageJson::decodeSnapshot(reading["snapshot"])
                                     : CodexParser::parse(QJsonDocument::fromJson(text).object(),
                                                          Instant::fromUnixSeconds(
                                                              reading["now"].toDouble(1.7966e9))));
        }
        for (qsizetype i = 0; i < readings.size(); ++i) {
            launch.refresh();
        }
        QStringList announced;
        for (const NotificationCenter::Request& request : launch.center.added) {
            announced << request.identifier + u' ' + request.body;
        }
        QCOMPARE(announced, row["announced"].toVariant().toStringList());
        QCOMPARE(SnapshotStore(defaults).pendingAnnouncements().size(), row["kept"].toInt());
        // The clip goes with each reset told or kept, once.
        QCOMPARE(launch.sound->clips.size(), announced.size() + row["kept"].toInt());
        QCOMPARE(launch.log.lines.join(u'\n'), row["log"].toString());
        const ProviderUsageSnapshot kept = SnapshotStore(defaults).load().value(ProviderID::codex);
        QStringList windows;
        for (const UsageWindowSnapshot& w : kept.windows) {
            windows << QStringList{w.id, rawValue(w.kind), rawValue(w.state),
                                   QString::number(*w.usedPercent), w.label}
                           .join(u' ');
        }
        // What the snapshot carries besides its windows, in the stored form.
        QJsonObject account = UsageJson::encode(kept);
        account.remove(QStringLiteral("windows"));
        account.remove(QStringLiteral("observedAt"));
        const QString accountText = QJsonDocument(account).toJson(QJsonDocument::Compact);
        QCOMPARE(row["windows"].toString(windows.join(QStringLiteral("; "))),
                 windows.join(QStringLiteral("; ")));
        QCOMPARE(row["account"].toString(accountText), accountText);
    }

    void failingProvider_data() {
        QTest::addColumn<QString>("failure");
        QTest::newRow("standard exception") << QStringLiteral("runtimeError");
        QTest::newRow("not an exception class") << QStringLiteral("int");
        QTest::newRow("availability throws") << QStringLiteral("availability");
        QTest::newRow("slow, then times out") << QStringLiteral("timeout");
        QTest::newRow("the provider says why") << QStringLiteral("told");
    }
    void failingProvider() {
        QFETCH(QString, failure);
        MemoryDefaults defaults;
        const ProviderUsageSnapshot last = codexAnswer(State::exhausted, 100, resetA);
        SnapshotStore(defaults).save({{ProviderID::codex, last}});
        Launch launch(defaults);
        launch.state->setSnapshots(SnapshotStore(defaults).load());
        if (failure == QLatin1String("runtimeError")) {
            launch.codex->fail(std::runtime_error("token sk-secret rejected"));
        } else if (failure == QLatin1String("int")) {
            launch.codex->fail(42);
        } else if (failure == QLatin1String("availability")) {
            launch.codex->availabilityThrows = true;
        } else if (failure == QLatin1String("told")) {
            launch.codex->told = ProviderAvailability::notAuthenticated(QStringLiteral("Expired"));
            launch.codex->fail(VantorError(ProviderError::notAuthenticated));
        } else {
            launch.codex->delay = 50ms;
            launch.codex->fail(VantorError(ProviderError::requestTimedOut));
        }
        launch.refresh();
        QCOMPARE(*launch.state->availability().constFind(ProviderID::codex),
                 launch.codex->told.value_or(ProviderAvailability::temporarilyUnavailable(
                     UsageCoordinator::refreshFailedMessage())));
        QCOMPARE(launch.state->snapshots().value(ProviderID::codex), last);
        QCOMPARE(SnapshotStore(defaults).load().value(ProviderID::codex), last);
        // Logged as an error without the failure's text, which may carry account details.
        QCOMPARE(launch.log.lines,
                 QStringList(QStringLiteral("3 refresh: Refresh failed for codex")));
        // The other provider is refreshed all the same.
        QCOMPARE(launch.state->snapshots().value(ProviderID::claude), claudeAnswer);
        QVERIFY(!launch.state->isRefreshing());
    }

    // An announcement the server did not take is kept, across a restart too, and handed over
    // once by the next refresh that finds the server taking it.
    void undeliveredIsKeptForALaterRefresh() {
        MemoryDefaults defaults;
        {
            Launch launch(defaults);
            launch.center.addFails = true;
            launch.codex->answer(codexAnswer(State::exhausted, 100, resetA));
            launch.codex->answer(codexAnswer(State::available, 2, resetB));
            launch.refresh();
            launch.refresh();
        }
        Launch next(defaults);
        next.codex->answer(codexAnswer(State::available, 2, resetB));
        next.refresh();
        next.refresh();
        QCOMPARE(next.center.added.size(), 1);
        // Kept again, then handed to a server the moment one appears, without a refresh.
        next.center.addFails = true;
        next.codex->answer(codexAnswer(State::exhausted, 100, resetB));
        next.codex->answer(codexAnswer(State::available, 1, resetB.addingSeconds(18000)));
        for (int i = 0; i < 3; ++i) {  // the last answer again, then the two new ones
            next.refresh();
        }
        next.center.addFails = false;
        next.center.serverAppears();
        QTRY_COMPARE(next.center.added.size(), 2);
    }

    // A refresh asked before polling starts (the bus, a wake) still compares with what was
    // stored, so a reset that happened while Vantor was off is announced.
    void refreshBeforeTheFirstPollSeesTheStore() {
        MemoryDefaults defaults;
        SnapshotStore(defaults).save(
            {{ProviderID::codex, codexAnswer(State::exhausted, 100, resetA)}});
        Launch launch(defaults);
        launch.codex->answer(codexAnswer(State::available, 2, resetB));
        launch.refresh();
        QCOMPARE(launch.center.added.size(), 1);
    }

    void refreshWhileOneRunsIsRefused() {
        MemoryDefaults defaults;
        Launch launch(defaults);
        launch.codex->answer(codexAnswer(State::available, 5, resetA));
        launch.codex->delay = 20ms;
        QCoro::Task<> first = launch.coordinator->refresh(*launch.state);
        QVERIFY(launch.coordinator->isRefreshRunning() && launch.state->isRefreshing());
        QCoro::Task<> second = launch.coordinator->refresh(*launch.state);
        QVERIFY(second.isReady());
        QCoro::waitFor(first);
        QCOMPARE(launch.codex->fetchCalls, 1);
    }

    // Suspend stops the poll timer's clock but not the coordinator's: on wake a poll that fell
    // due runs at once, one still ahead keeps its time, and the wake refreshes either way.
    void wakeRefreshes_data() {
        QTest::addColumn<int>("sleptMs");
        QTest::newRow("short nap: wake refresh, poll still ahead") << 1'000;
        QTest::newRow("poll overdue: it runs at once, the wake joins it") << 20'000;
    }
    void wakeRefreshes() {
        MemoryDefaults defaults;
        Launch launch(defaults);
        launch.codex->answer(codexAnswer(State::available, 5, resetA));
        QSignalSpy finished(launch.coordinator.get(), &UsageCoordinator::refreshFinished);
        launch.coordinator->start(*launch.state);
        QVERIFY(finished.wait());
        launch.clock += std::chrono::milliseconds(fetch<int>("sleptMs"));
        Q_EMIT launch.wake.woke();
        QTRY_COMPARE(finished.size(), 2);
        QCOMPARE(launch.codex->fetchCalls, 2);
    }

    // Settings from earlier versions or a hand-edited file are read, migrated or replaced and
    // written back in valid form; stored snapshots that cannot be read are left for the next
    // save to replace.
    void storedSettings_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("readKey");
        QTest::addColumn<QVariant>("expected");  // invalid: the key is gone
        const QString alerts = AppState::alertsEnabledKey;
        const QString gender = AppState::genderKey;
        const QString mode = QStringLiteral("resetAlertMode");
        const auto json = [](const char* text) { return QVariant(QByteArray(text)); };
        QTest::newRow("legacy language") << "announcementLanguage" << json(" \"fr\\u0065nch\" ")
                                         << AppState::languageKey << json("\"french\"");
        QTest::newRow("legacy alerts off")
            << "notifyOnReset" << QVariant(false) << alerts << QVariant(true);
        QTest::newRow("alerts off as INI text")
            << alerts << QVariant("false") << alerts << QVariant(false);
        QTest::newRow("alerts flag unreadable")
            << alerts << QVariant("maybe") << alerts << QVariant(true);
        QTest::newRow("gender as number") << gender << QVariant(1) << gender << json("\"female\"");
        QTest::newRow("voice as list") << AppState::voiceIDKey << QVariant(QStringList{"a", "b"})
                                       << AppState::voiceIDKey << QVariant();
        QTest::newRow("obsolete mode") << mode << QVariant("sound") << mode << QVariant();
        const QString warnAt = AppState::limitWarningKey;
        QTest::newRow("warning threshold") << warnAt << QVariant("75") << warnAt << QVariant(75);
        QTest::newRow("warning threshold not offered")
            << warnAt << QVariant(42) << warnAt << QVariant(42);
        const QString snapshots = SnapshotStore::snapshotKey;
        const QVariant garbage(QByteArray("\xff\xfe garbage"));
        const QVariant text(QStringLiteral("[]"));
        QTest::newRow("snapshots not JSON") << snapshots << garbage << snapshots << garbage;
        QTest::newRow("snapshots as text") << snapshots << text << snapshots << text;
    }
    void storedSettings() {
        MemoryDefaults defaults;
        defaults.setValue(fetch<QString>("key"), fetch<QVariant>("stored"));
        AppState state(defaults, nullptr);
        QVERIFY(SnapshotStore(defaults).load().isEmpty());
        QCOMPARE(defaults.value(fetch<QString>("readKey")), fetch<QVariant>("expected"));
    }
    // A voice language or gender a newer release offers: the default holds and the stored
    // choice stays for that release, until the user picks one here.
    void choiceOfANewerRelease() {
        MemoryDefaults defaults;
        const QVariant language(QByteArray("\"klingon\"")), gender(QByteArray("\"neutral\""));
        defaults.setValue(AppState::alertsEnabledKey, true);
        defaults.setValue(AppState::languageKey, language);
        defaults.setValue(AppState::genderKey, gender);
        AppState state(defaults, nullptr);
        QVERIFY(state.customAudioLanguage() == CustomAudioLanguage::automatic &&
                state.customAudioGender() == CustomAudioGender::female);
        QVERIFY(defaults.value(AppState::languageKey) == language &&
                defaults.value(AppState::genderKey) == gender);
        state.setCustomAudioLanguage(CustomAudioLanguage::automatic);
        QCOMPARE(defaults.value(AppState::languageKey), QVariant(QByteArray("\"automatic\"")));
    }

    // An installed copy registers itself once; a build tree never does; a refusal is retried.
    void launchAtLogin_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<LoginItemService::Status>("status");
        QTest::addColumn<bool>("refuses");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("configured");
        using S = LoginItemService::Status;
        const QStringList reg{QStringLiteral("register")};
        QTest::newRow("installed") << true << S::notRegistered << false << reg << true;
        QTest::newRow("build tree") << false << S::notRegistered << false << QStringList() << false;
        QTest::newRow("awaiting approval")
            << true << S::requiresApproval << false << QStringList() << true;
        QTest::newRow("refused, retried next launch")
            << true << S::notRegistered << true << reg << false;
    }
    void launchAtLogin() {
        MemoryDefaults defaults;
        FakeLoginItemService item;
        item.installed = fetch<bool>("installed");
        item.currentStatus = fetch<LoginItemService::Status>("status");
        item.refuses = fetch<bool>("refuses");
        LaunchAtLoginController::enableByDefaultIfNeeded(item, defaults);
        QCOMPARE(item.calls, fetch<QStringList>("calls"));
        QCOMPARE(defaults.contains(LaunchAtLoginController::configuredKey),
                 fetch<bool>("configured"));
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_Engine.moc"
