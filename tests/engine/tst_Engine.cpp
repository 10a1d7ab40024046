#include "AccountDiscovery.h"
#include "AccountRegistry.h"
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

// A column "count" of these rows, each named by its count.
void countRows(std::initializer_list<int> counts) {
    QTest::addColumn<int>("count");
    for (const int count : counts) {
        QTest::addRow("%d", count) << count;
    }
}

// "<state> <used, - for none> <reset A, B or -> [active]", as in the tables.
UsageWindowSnapshot shapeOf(const QString& text) {
    const QStringList part = text.split(u' ');
    const QString reset = part[2];
    return shape(*fromRawValue<State>(part[0]),
                 part[1] == "-" ? std::nullopt : std::optional(part[1].toDouble()),
                 reset == "A"   ? std::optional(resetA)
                 : reset == "B" ? std::optional(resetB)
                                : std::nullopt,
                 part.size() > 3 ? std::optional(part[3] == "true") : std::nullopt);
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

// "~" at the start of a row's path is the home folder.
QString underHome(const QString& path, const QString& home) {
    return path.startsWith(u'~') ? home + path.mid(1) : path;
}

// Lays out a home folder: "<path>" a file, "<path>/" a folder, "<link> -> <target>" a link.
bool layHome(const QString& home, const QJsonArray& entries) {
    bool laid = QDir().mkpath(home);
    for (const QJsonValue entry : entries) {
        const QString text = entry.toString();
        const QString path = home + u'/' + text.section(QStringLiteral(" -> "), 0, 0);
        laid = laid &&
               (text.contains(QStringLiteral(" -> "))
                    ? QFile::link(underHome(text.section(QStringLiteral(" -> "), 1), home), path)
                : text.endsWith(u'/') ? QDir().mkpath(path)
                                      : TestData::write(path, "{}"));
    }
    return laid;
}

// A row's stored accounts: its array (a provider "<kind>@" gets the id of the entry's folder)
// followed by `generated` added Claude accounts, or its value as it is (text as bytes).
QVariant storedAccounts(const QJsonObject& row, const QString& home) {
    const QJsonValue stored = row["stored"];
    if (!stored.isArray() && !row.contains("generated")) {
        return stored.isString() ? QVariant(stored.toString().toUtf8()) : stored.toVariant();
    }
    QJsonArray entries = stored.toArray();
    for (int i = 0; i < row["generated"].toInt(); ++i) {
        entries.append(QJsonObject{{"provider", "claude@"},
                                   {"folder", QStringLiteral("~/f%1").arg(i)},
                                   {"origin", "added"}});
    }
    for (QJsonValueRef value : entries) {
        QJsonObject entry = value.toObject();
        const QString folder = underHome(entry.value("folder").toString(), home);
        const QString provider = entry.value("provider").toString();
        const auto kind = fromRawValue<ProviderKind>(provider.chopped(provider.endsWith(u'@')));
        if (entry.value("folder").isString()) {
            entry["folder"] = folder;
        }
        if (kind && provider.endsWith(u'@')) {
            entry["provider"] = provider + AccountDiscovery::accountID(*kind, folder);
        }
        value = value.isObject() ? QJsonValue(entry) : QJsonValue(value);
    }
    return QJsonDocument(entries).toJson();
}

// "claude@ found work off": kind ("@" unless the default account), origin, name, unwatched.
QString describe(const UsageAccount& account) {
    QStringList parts{rawValue(account.id.kind) + (account.id.isDefault() ? "" : "@"),
                      rawValue(account.origin), account.name, account.watched ? "" : "off"};
    parts.removeAll(QString());
    return parts.join(u' ');
}

}  // namespace

class EngineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // Local times in the texts below are New York's.
        qputenv("TZ", "America/New_York");
        QCOMPARE(QTimeZone::systemTimeZoneId(), QByteArray("America/New_York"));
    }

    // Rows of the table "resetDetector" in tests/data/engine/tables.json: one window before and
    // after ("<state> <used> <reset A, B or -> [active]") -> the events derived.
    void resetDetector_data() { TestData::rows("row", "engine/tables.json", "resetDetector"); }
    void resetDetector() {
        const auto row = fetch<QJsonObject>("row");
        const UsageWindowSnapshot before = shapeOf(row["before"].toString());
        const UsageWindowSnapshot after = shapeOf(row["after"].toString());
        const bool everyReset = row["everyReset"].toBool();
        const QString events = row["events"].toString();
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

    // Rows of the table "resetText": New York's local times; minutes read the same in every
    // locale, across the change to summer time the calendar day decides, and "Resets..." is
    // the warning's sentence.
    void resetText_data() { TestData::rows("row", "engine/tables.json", "resetText"); }
    void resetText() {
        const auto row = fetch<QJsonObject>("row");
        const auto local = [&row](const char* key) {
            return Instant::fromDateTime(
                QDateTime::fromString(row[key].toString(), Qt::ISODateWithMs)
                    .toTimeZone(QTimeZone("America/New_York")));
        };
        const TimeDisplayFormatter formatter;
        const Instant reset = local("reset");
        const Instant now = local("now");
        const QLocale locale(row["locale"].toString());
        const QString expected = row["expected"].toString();
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
    // records, never when it only reads.
    void historyFile() {
        const QString path = UsageHistory::standardPath();
        const QByteArray garbage = "{\"codex.codex.5h\": [garbage";
        QVERIFY(TestData::write(path, garbage));
        const auto reading = [](double used, Instant reset) {
            return codexAnswer(State::available, used, reset, {fiveHourID, weeklyID});
        };
        QVERIFY(UsageHistory(path).readings(ProviderID::codex, fiveHourID).isEmpty());
        QCOMPARE(TestData::read(path), garbage);
        QVERIFY(QDir().mkpath(path + ".bad.1"));  // a name taken by a folder is passed over
        UsageHistory(path).record(reading(10, resetA));
        QCOMPARE(TestData::read(path + ".bad.2"), garbage);
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
    // are not copies stay; a name taken by a folder is passed over. Moved and copied alike.
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
        TestData::rows("row", "engine/tables.json", "notificationText");
    }
    void notificationText() {
        const auto row = fetch<QJsonObject>("row");
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        FakeNotificationCenter center;
        NotificationManager manager(store, center);
        QVERIFY(QCoro::waitFor(manager.deliver(
            UsageEvent::resetConfirmed(*fromRawValue<ProviderID>(row["provider"].toString()),
                                       row["windowID"].toString(), resetA),
            fromRawValue<UsageWindowKind>(row["kind"].toString()))));
        QCOMPARE(center.added.size(), 1);
        QCOMPARE(center.added[0].title + QStringLiteral(": ") + center.added[0].body,
                 row["text"].toString());
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
        QVERIFY(SnapshotStore(defaults).wasDelivered(
            QString::number(SnapshotStore::deliveredLimit - 1)));
    }

    // The locale, the chosen language and gender and a stored voice -> the clip played (none:
    // silence; every clip but Japanese_Male_Tolvan is there).
    void alertVoice_data() { TestData::rows("row", "engine/tables.json", "alertVoice"); }
    void alertVoice() {
        const auto row = fetch<QJsonObject>("row");
        const auto language = *fromRawValue<CustomAudioLanguage>(row["language"].toString());
        const auto gender = *fromRawValue<CustomAudioGender>(row["gender"].toString());
        const QString played = row["played"].toString();
        QTemporaryDir clips;
        for (const CustomAlertVoice& voice : CustomAlertVoice::all()) {
            QFile clip(clips.filePath(voice.id + QStringLiteral(".mp3")));
            QVERIFY(voice.id == QLatin1String("Japanese_Male_Tolvan") ||
                    (clip.open(QIODevice::WriteOnly) && clip.write(voice.id.toUtf8()) > 0));
        }
        QLocale::setDefault(QLocale(row["locale"].toString()));
        auto sound = std::make_shared<FakeSoundPlayer::Recording>();
        ResetAlertAudioManager audio(FakeSoundPlayer::factory(sound), clips.path());
        const auto voice =
            row.contains("stored") ? std::optional(row["stored"].toString()) : std::nullopt;
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

    // Two accounts of each assistant whose limits reset in the same poll: each reset is told
    // once, naming its account, and not again after a restart. Later polls ask the accounts
    // of an assistant in turn, so that their requests are spread over the interval.
    void accountsResetTogether() {
        MemoryDefaults defaults;
        const ProviderID codexWork{ProviderKind::codex, QStringLiteral("c1")};
        const ProviderID claudeHome{ProviderKind::claude, QStringLiteral("h1")};
        const QList<ProviderID> ids{ProviderID::codex, codexWork, ProviderID::claude, claudeHome};
        const auto launch = [&](bool spent) {
            auto state = std::make_unique<AppState>(defaults, nullptr);
            state->setAccounts({{ProviderID::codex, {}, {}},
                                {codexWork, QStringLiteral("/w"), QStringLiteral("work")},
                                {ProviderID::claude, {}, QStringLiteral("me")},
                                {claudeHome, QStringLiteral("/h"), QStringLiteral("home")}});
            std::vector<std::unique_ptr<UsageProvider>> providers;
            QList<FakeUsageProvider*> fakes;
            for (const ProviderID& id : ids) {
                auto* fake = new FakeUsageProvider(id);
                const auto answer = [&id](State s, double used, Instant reset) {
                    ProviderUsageSnapshot shot =
                        snapshot({window(QStringLiteral("x.5h"), s, used, reset, id)}, id);
                    return shot;
                };
                if (spent) {
                    fake->answer(answer(State::exhausted, 100, resetA));
                }
                fake->answer(answer(State::available, 3, resetB));
                providers.emplace_back(fake);
                fakes.append(fake);
            }
            return std::tuple(std::move(state), std::move(providers), fakes);
        };
        RecordingLogSink log;
        {
            FakeNotificationCenter center;
            auto [state, providers, fakes] = launch(true);
            UsageCoordinator coordinator(std::move(providers), {defaults, center, log}, 400ms);
            QCOMPARE(coordinator.pollsPerInterval(), 2);
            QCoro::waitFor(coordinator.refresh(*state));
            QVERIFY(center.added.isEmpty());
            QCoro::waitFor(coordinator.refresh(*state));
            QCoro::waitFor(coordinator.refresh(*state));
            QStringList titles;
            for (const auto& request : center.added) {
                titles.append(request.title);
            }
            QCOMPARE(titles,
                     (QStringList{"Codex (default) is ready again", "Codex (work) is ready again",
                                  "Claude (me) is ready again", "Claude (home) is ready again"}));
        }
        FakeNotificationCenter center;
        auto [state, providers, fakes] = launch(false);
        UsageCoordinator coordinator(std::move(providers), {defaults, center, log}, 400ms);
        QSignalSpy finished(&coordinator, &UsageCoordinator::refreshFinished);
        coordinator.start(*state);
        const auto calls = [&fakes] {
            QList<int> counts;
            for (const FakeUsageProvider* fake : fakes) {
                counts.append(fake->fetchCalls);
            }
            return counts;
        };
        QVERIFY(finished.wait());
        QCOMPARE(calls(), (QList{1, 1, 1, 1}));
        QVERIFY(finished.wait());
        QCOMPARE(calls(), (QList{1, 2, 1, 2}));
        QVERIFY(finished.wait());
        QCOMPARE(calls(), (QList{2, 2, 2, 2}));
        QVERIFY(center.added.isEmpty());
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
        for (const QJsonValue entry : row["reading"].toArray()) {
            const QStringList part = entry.toString().split(u' ');
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
    void windowsBounded_data() { countRows({31, 32, 33, 3000}); }
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
        constexpr int limit = SnapshotStore::deliveredLimit;
        static_assert(limit == SnapshotStore::warningMarkLimit);
        countRows({limit - 1, limit, limit + 1});
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
        const int limit = SnapshotStore::deliveredLimit;
        QCOMPARE(store.warningMarks().size(), std::min(count, limit));
        QCOMPARE(store.warningMarks().constFirst(), marks.constFirst());
        QCOMPARE(store.deliveredKeys().size(), std::min(count, limit));
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
        TestData::rows("row", "engine/tables.json", "failedFetchRetried");
    }
    void failedFetchRetried() {
        const auto row = fetch<QJsonObject>("row");
        const int failures = row["failures"].toInt();
        const int fetches = row["fetches"].toInt();
        MemoryDefaults defaults;
        Launch launch(defaults, 1ms);
        for (int i = 0; i < failures; ++i) {
            launch.codex->fail(VantorError(ProviderError::requestTimedOut));
        }
        launch.codex->answer(codexAnswer(State::available, 5, resetA));
        if (row["told"].toBool()) {
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
    // A refresh asked for while a retry runs is not lost: every provider is asked after it.
    void refreshDuringRetry() {
        MemoryDefaults defaults;
        Launch launch(defaults, 1ms);
        launch.codex->delay = 200ms;
        launch.codex->fail(VantorError(ProviderError::requestTimedOut));
        launch.codex->answer(codexAnswer(State::available, 5, resetA));
        launch.refresh();
        QTRY_VERIFY(launch.coordinator->isRefreshRunning());  // the retry
        launch.refresh();
        QTRY_COMPARE(launch.claude->fetchCalls, 2);
        QTRY_VERIFY(!launch.coordinator->isRefreshRunning());
        QCOMPARE(launch.codex->fetchCalls, 3);
    }

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
    // A value stored under a key ({"bytes": ...} stands for bytes, an array for a string list)
    // -> what the key read afterwards holds (none: it is gone).
    void storedSettings_data() { TestData::rows("row", "engine/tables.json", "storedSettings"); }
    void storedSettings() {
        const auto row = fetch<QJsonObject>("row");
        const auto variant = [](const QJsonValue& value) {
            return value.isObject()  ? QVariant(value["bytes"].toString().toLatin1())
                   : value.isArray() ? QVariant(value.toVariant().toStringList())
                   : value.isNull()  ? QVariant()
                                     : value.toVariant();
        };
        MemoryDefaults defaults;
        defaults.setValue(row["key"].toString(), variant(row["stored"]));
        AppState state(defaults, nullptr);
        QVERIFY(SnapshotStore(defaults).load().isEmpty());
        QCOMPARE(defaults.value(row["readKey"].toString(row["key"].toString())),
                 variant(row["expected"]));
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
    void launchAtLogin_data() { TestData::rows("row", "engine/tables.json", "launchAtLogin"); }
    void launchAtLogin() {
        MemoryDefaults defaults;
        FakeLoginItemService item;
        const auto row = fetch<QJsonObject>("row");
        item.installed = row["installed"].toBool();
        item.currentStatus = row["status"] == "requiresApproval"
                                 ? LoginItemService::Status::requiresApproval
                                 : LoginItemService::Status::notRegistered;
        item.refuses = row["refuses"].toBool();
        LaunchAtLoginController::enableByDefaultIfNeeded(item, defaults);
        QCOMPARE(item.calls, row["calls"].toVariant().toStringList());
        QCOMPARE(defaults.contains(LaunchAtLoginController::configuredKey),
                 row["configured"].toBool());
    }

    // Rows of the table "discovery" in tests/data/engine/accounts.json: a home folder, the
    // variables and the remembered accounts -> the accounts shown, in order.
    void accountDiscovery_data() { TestData::rows("row", "engine/accounts.json", "discovery"); }
    void accountDiscovery() {
        const auto row = fetch<QJsonObject>("row");
        QTemporaryDir dir;
        const QString home = dir.filePath("home");
        QVERIFY(!row.contains("home") || layHome(home, row["home"].toArray()));
        MemoryDefaults defaults;
        defaults.setValue(AccountRegistry::accountsKey, storedAccounts(row, home));
        const AccountDiscovery discovery({home, underHome(row["claudeConfigDir"].toString(), home),
                                          underHome(row["codexHome"].toString(), home)});
        const QList<UsageAccount> accounts = discovery.merge(AccountRegistry::stored(defaults));
        QStringList described;
        for (const UsageAccount& account : accounts) {
            described.append(describe(account));
            QVERIFY(account.id.isDefault() ||
                    account.id.account ==
                        AccountDiscovery::accountID(account.id.kind, account.folder));
        }
        QCOMPARE(described, row["accounts"].toVariant().toStringList());
        QCOMPARE(discovery.defaultFolder(ProviderKind::claude),
                 QDir::cleanPath(underHome(row["claudeFolder"].toString("~/.claude"), home)));
        QCOMPARE(discovery.defaultFolder(ProviderKind::codex),
                 QDir::cleanPath(underHome(row["codexFolder"].toString("~/.codex"), home)));
        // Shown, then remembered, the accounts stay as they are.
        QCOMPARE(discovery.merge(accounts), accounts);
    }

    // Rows of the table "registry": a home folder and a stored value, then actions on the
    // registry ("reload" starts it anew over the same defaults) -> what the actions said
    // (results, renamed or routed accounts), the accounts, and how often they changed.
    void accountRegistry_data() { TestData::rows("row", "engine/accounts.json", "registry"); }
    void accountRegistry() {
        const auto row = fetch<QJsonObject>("row");
        QTemporaryDir dir;
        const QString home = dir.filePath("home");
        QVERIFY(layHome(home, row["home"].toArray()));
        MemoryDefaults defaults;
        defaults.setValue(AccountRegistry::accountsKey, storedAccounts(row, home));
        const QVariant planted = defaults.value(AccountRegistry::accountsKey);
        const int storedCount = int(AccountRegistry::stored(defaults).size());
        QCOMPARE(storedCount, row["storedCount"].toInt(storedCount));
        std::unique_ptr<AppState> state;
        std::unique_ptr<AccountRegistry> registry;
        int changes = 0;
        const auto launch = [&] {
            state = std::make_unique<AppState>(defaults, nullptr);
            registry = std::make_unique<AccountRegistry>(defaults, *state,
                                                         AccountDiscovery({home, {}, {}}));
            connect(registry.get(), &AccountRegistry::changed, [&changes] { ++changes; });
        };
        launch();
        const auto id = [&home](const QString& ref) {
            const ProviderKind kind = *fromRawValue<ProviderKind>(ref.section(u'@', 0, 0));
            return ref.contains(u'@')
                       ? ProviderID{kind, AccountDiscovery::accountID(
                                              kind, underHome(ref.section(u'@', 1), home))}
                       : ProviderID{kind, {}};
        };
        const auto described = [&](const std::optional<ProviderID>& account) {
            const auto known = std::find_if(state->accounts().cbegin(), state->accounts().cend(),
                                            [&](const UsageAccount& a) { return a.id == account; });
            return known == state->accounts().cend() ? QStringLiteral("none") : describe(*known);
        };
        const char* results[] = {"added", "alreadyKnown", "noSignIn", "tooMany"};
        QStringList log;
        for (const QJsonValue action : row["actions"].toArray()) {
            const QString verb = action.toString().section(u' ', 0, 0);
            const QString ref = action.toString().section(u' ', 1, 1);
            const QString rest = action.toString().section(u' ', 2);
            if (verb == "reload") {
                launch();
            } else if (verb == "rediscover") {
                registry->rediscover();
            } else if (verb == "watch") {
                registry->setWatched(id(ref), rest == "on");
            } else if (verb == "remove") {
                registry->remove(id(ref));
            } else if (verb == "rm") {
                QVERIFY(QDir(underHome(ref, home)).removeRecursively());
            } else if (verb == "add") {
                log.append(results[int(registry->addFolder(underHome(ref, home)))]);
            } else if (verb == "route") {
                log.append(described(registry->claudeAccountFor(underHome(ref, home))));
            } else if (verb == "rename") {
                registry->rename(id(ref), rest);
                log.append(described(id(ref)));
            }
        }
        QCOMPARE(log, row["log"].toVariant().toStringList());
        QStringList accounts;
        std::transform(state->accounts().cbegin(), state->accounts().cend(),
                       std::back_inserter(accounts), describe);
        QCOMPARE(accounts, row["accounts"].toVariant().toStringList());
        // What a later launch or the status command reads is what the state holds.
        QCOMPARE(AccountRegistry::stored(defaults), state->accounts());
        QCOMPARE(changes, row["changes"].toInt(changes));
        QVERIFY(!row["untouched"].toBool() ||
                defaults.value(AccountRegistry::accountsKey) == planted);
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_Engine.moc"
