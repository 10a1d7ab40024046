#include "AccountDiscovery.h"
#include "AccountRegistry.h"
#include "AppState.h"
#include "BadFileKeeper.h"
#include "CodexParser.h"
#include "Countdown.h"
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

// A column "count" of these rows, each named by its count.
void countRows(std::initializer_list<int> counts) {
    QTest::addColumn<int>("count");
    for (const int count : counts) {
        QTest::addRow("%d", count) << count;
    }
}

// "<state> <used, - for none> <reset A or B, [+<seconds> after]; - for none> [active]", as in
// the tables; a window of a weekly id (".week") is of the weekly kind.
UsageWindowSnapshot shapeOf(const QString& text, const QString& id = fiveHourID,
                            ProviderID provider = ProviderID::codex) {
    const QStringList part = text.split(u' ');
    const QString reset = part[2];
    UsageWindowSnapshot shape =
        window(id, *fromRawValue<State>(part[0]),
               part[1] == "-" ? std::nullopt : std::optional(part[1].toDouble()),
               reset == "-" ? std::nullopt
                            : std::optional((reset.startsWith(u'A') ? resetA : resetB)
                                                .addingSeconds(reset.section(u'+', 1).toDouble())),
               provider);
    shape.isActive = part.size() > 3 ? std::optional(part[3] == "true") : std::nullopt;
    shape.kind =
        id.endsWith(QLatin1String(".week")) ? UsageWindowKind::weekly : UsageWindowKind::fiveHour;
    return shape;
}

// "[<provider>] <window>[, <window>]": an answer of the provider (codex unless named), its
// five-hour window and then its weekly one shaped as shapeOf() reads them.
ProviderUsageSnapshot answerOf(const QString& text) {
    const auto named = fromRawValue<ProviderID>(text.section(u' ', 0, 0));
    const ProviderID provider = named.value_or(ProviderID::codex);
    ProviderUsageSnapshot answer = snapshot({}, provider);
    for (const QString& shape : text.section(u' ', named ? 1 : 0).split(QStringLiteral(", "))) {
        answer.windows << shapeOf(
            shape, rawValue(provider) + (answer.windows.isEmpty() ? ".5h" : ".week"), provider);
    }
    return answer;
}

const ProviderUsageSnapshot claudeAnswer = answerOf(QStringLiteral("claude available 10 A"));

// One launch of the engine over the given defaults: a provider for each account (without
// accounts codex, then claude answering), a recording notification centre, sound and log, a
// wake source the test fires and a clock it advances.
struct Launch {
    explicit Launch(UserDefaults& defaults, std::chrono::milliseconds retryDelay = 30s,
                    const QList<UsageAccount>& accounts = {},
                    std::chrono::milliseconds interval = 10s) {
        std::vector<std::unique_ptr<UsageProvider>> providers;
        for (const UsageAccount& account :
             accounts.isEmpty()
                 ? QList<UsageAccount>{{ProviderID::codex, {}, {}}, {ProviderID::claude, {}, {}}}
                 : accounts) {
            providers.emplace_back(fakes[account.id] = new FakeUsageProvider(account.id));
        }
        codex = fakes.value(ProviderID::codex);
        claude = fakes.value(ProviderID::claude);
        state = std::make_unique<AppState>(
            defaults, std::make_unique<ResetAlertAudioManager>(FakeSoundPlayer::factory(sound)));
        accounts.isEmpty() ? claude->answer(claudeAnswer) : state->setAccounts(accounts);
        coordinator = std::make_unique<UsageCoordinator>(
            std::move(providers), UsageCoordinator::Services{defaults, center, log, &wake},
            interval, [this] { return clock; }, retryDelay);
    }
    void refresh() { QCoro::waitFor(coordinator->refresh(*state)); }

    FakeNotificationCenter center;
    RecordingLogSink log;
    std::shared_ptr<FakeSoundPlayer::Recording> sound =
        std::make_shared<FakeSoundPlayer::Recording>();
    WakeSource wake;
    std::chrono::milliseconds clock{1'000'000};
    QMap<ProviderID, FakeUsageProvider*> fakes;
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
    void resetDetector_data() { TestData::tableRows("engine/tables.json"); }
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
    void resetText_data() { TestData::tableRows("engine/tables.json"); }
    void resetText() {
        const auto row = fetch<QJsonObject>("row");
        const auto local = [&row](const char* key) {
            return Instant::fromDateTime(
                QDateTime::fromString(row[key].toString(), Qt::ISODateWithMs)
                    .toTimeZone(QTimeZone("America/New_York")));
        };
        const TimeDisplayFormatter formatter;
        const QLocale locale(row["locale"].toString());
        const QString expected = row["expected"].toString();
        const Instant reset = local("reset");
        const Instant now = local("now");
        QCOMPARE(expected.startsWith(QLatin1String("Resets"))
                     ? formatter.resetSentence(reset, now, locale)
                 : expected.startsWith(QLatin1String("back"))
                     ? formatter.backText(reset, now, locale)
                     : formatter.resetText(reset, now, locale),
                 expected);
    }

    // Rows of the table "countdown": New York's times; when a countdown to `at` next reads
    // otherwise, checked against the formatter's own texts: changed then, not a millisecond
    // before.
    void countdown_data() { TestData::tableRows("engine/tables.json"); }
    void countdown() {
        const auto row = fetch<QJsonObject>("row");
        const auto local = [](const QJsonValue& value) {
            return Instant::fromDateTime(QDateTime::fromString(value.toString(), Qt::ISODateWithMs)
                                             .toTimeZone(QTimeZone("America/New_York")));
        };
        const Instant at = local(row["at"]);
        const Instant now = local(row["now"]);
        const bool isShort = row["form"].toString() == QLatin1String("short");
        const auto text = [&](Instant when) {
            if (at.secondsSince(when) <= 0.0) {
                return QStringLiteral("passed");
            }
            return isShort ? TimeDisplayFormatter::shortDuration(at.secondsSince(when))
                           : TimeDisplayFormatter().resetText(at, when, QLocale("en_US"));
        };
        const std::optional<Instant> next = Countdown::nextChange(
            now, at, isShort ? Countdown::Form::shortDuration : Countdown::Form::resetPhrase);
        if (row["next"].isNull()) {
            QVERIFY(!next);
            return;
        }
        QVERIFY(next);
        QVERIFY2(std::abs(next->secondsSince(local(row["next"]))) < 0.0005,
                 qPrintable(next->toDateTime()
                                .toTimeZone(QTimeZone("America/New_York"))
                                .toString(Qt::ISODateWithMs)));
        QVERIFY(text(*next) != text(now));
        QCOMPARE(text(next->addingSeconds(-0.001)), text(now));
        // A moment already passed adds no change.
        QCOMPARE(Countdown::nextChange(
                     now, QList<Instant>{now.addingSeconds(-1.0), at},
                     isShort ? Countdown::Form::shortDuration : Countdown::Form::resetPhrase),
                 next);
    }

    // Rows of the table "countdownWait": seconds to a change ("nan" for a bad time) -> the
    // timer's wait in ms, never early and never under 1 ms, 15 minutes at most.
    void countdownWait_data() { TestData::tableRows("engine/tables.json"); }
    void countdownWait() {
        const auto row = fetch<QJsonObject>("row");
        const Instant now = Instant::fromReferenceSeconds(0.0);
        const double seconds = row["seconds"].isString() ? std::nan("") : row["seconds"].toDouble();
        QCOMPARE(Countdown::waitMs(now, now.addingSeconds(seconds)), row["ms"].toInt());
    }

    // Rows of tests/data/engine/warnings.json: readings of one window ("<used>@<reset>", the
    // reset as shapeOf() reads it, "!" after it while the account is blocked; "restart" starts
    // a new run over the same marks) -> whether each was warned about ("w") or told as spent
    // ("s").
    void limitWarnings_data() { TestData::rows("row", "engine/warnings.json"); }
    void limitWarnings() {
        const auto row = fetch<QJsonObject>("row");
        QStringList marks, warned;
        bool first = true, afterA = false;
        for (const QString& reading : row["readings"].toString().split(u' ')) {
            if (reading == QLatin1String("restart")) {
                first = true;
                continue;
            }
            const QString used = reading.section(u'@', 0, 0);
            QString at = reading.section(u'@', 1);
            const bool blocked = at.endsWith(u'!');
            at.remove(u'!');
            // Once a reading of period B came, period A has ended.
            afterA = afterA || at.startsWith(u'B');
            auto current = snapshot({shapeOf(
                (used.toDouble() >= 100 ? "exhausted " : "available ") + used + u' ' + at)});
            current.windows[0].observedAt = afterA ? resetA.addingSeconds(60) : t0;
            if (blocked) {
                current.blocks.append({QString(), UsageBlock::spendControlReason, std::nullopt});
            }
            auto result =
                LimitWarningDetector::process(current, row["threshold"].toInt(), first, marks);
            marks = result.marks;
            QVERIFY(result.warnings.isEmpty() || result.spent.isEmpty());
            warned.append(!result.spent.isEmpty() ? "s" : result.warnings.isEmpty() ? "-" : "w");
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
        const auto reading = [](int used, const char* reset) {
            return answerOf(
                QStringLiteral("available %1 %2, available %1 %2").arg(used).arg(reset));
        };
        QVERIFY(UsageHistory(path).readings(ProviderID::codex, fiveHourID).isEmpty());
        QCOMPARE(TestData::read(path), garbage);
        QVERIFY(QDir().mkpath(path + ".bad.1"));  // a name taken by a folder is passed over
        UsageHistory(path).record(reading(10, "A"));
        QCOMPARE(TestData::read(path + ".bad.2"), garbage);
        UsageHistory(path).record(reading(20, "A+30"));
        QCOMPARE(UsageHistory(path).readings(ProviderID::codex, fiveHourID).size(), 2);
        UsageHistory(path).record(reading(1, "B"));
        QCOMPARE(UsageHistory(path).readings(ProviderID::codex, fiveHourID).size(), 1);
        UsageHistory(path).record(reading(100, "A"));  // a stray one of the ended period
        UsageHistory(path).record(reading(2, "B"));
        QCOMPARE(UsageHistory(path).readings(ProviderID::codex, fiveHourID).size(), 2);
        UsageHistory(path).record(answerOf(QStringLiteral("available 2 B")));
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

    // Rows of the table "coordinator" (and of tests/data/engine/codex-readings.json): launches of
    // the engine over one store, with the row's "accounts" ("<provider> <name>"; none: codex and
    // claude), poll "interval" and "retryDelay" in ms, records "stored" as another release wrote
    // them and keys already "delivered". Each step is one of:
    // - "answer", "store" or "reading" (handed in from elsewhere) of an answer as answerOf()
    //   reads it; an object with "input" (a fixture or its JSON, parts "replace"d, read at "now")
    //   or "snapshot" is codex's next answer;
    // - "fail <a ProviderError, runtimeError, int or availability>" codex's next fetch, "told"
    //   (it says why), "delay <ms>" (it is slow), "signout" (no sign-in found), each for another
    //   provider named last;
    //   "ask <provider>" refreshes that one only, "unwatch <provider>" while a refresh asks it;
    // - "refresh [times]", "overlap" (a refresh asked for while one runs is refused at once),
    //   "start" polling, "poll", "wake" or "retrying" (await the next refresh, or a retry's),
    //   "sleep <ms>" on the coordinator's clock, "restart";
    // - "threshold <percent>", "refuse" announcements until a server taking them "appear"s,
    //   "alerts off", "play" the reset alert;
    // - an object, which checks what was "announced" ("<title>: <body>", "*" ending a prefix) or
    //   "identified" ("<identifier> <body>") and, where given, which asked for "silent"ce, the
    //   refreshes finished, the
    //   "fetchCalls" of each provider, the polls per interval, whether a refresh is "running" or
    //   a retry pending, the clips played, codex's availability ("<kind> <message>"), the answers
    //   "held" and "stored", the log, the announcements "kept" for later, codex's stored windows
    //   ("<id> <kind> <state> <used> <label>") and what else its snapshot carries ("account").
    void coordinator_data() { TestData::tableRows("engine/tables.json"); }
    void coordinator() {
        MemoryDefaults defaults;
        std::unique_ptr<Launch> launch;
        std::unique_ptr<QSignalSpy> finished;
        const auto row = fetch<QJsonObject>("row");
        QList<UsageAccount> accounts;
        for (const QJsonValue entry : row["accounts"].toArray()) {
            const ProviderID id = *fromRawValue<ProviderID>(entry.toString().section(u' ', 0, 0));
            accounts.append({id, id.isDefault() ? QString() : u'/' + id.account,
                             entry.toString().section(u' ', 1)});
        }
        const auto answers = [](const QJsonValue& texts) {
            SnapshotMap map;
            for (const QJsonValue text : texts.toArray()) {
                const ProviderUsageSnapshot one = answerOf(text.toString());
                map.insert(one.providerID, one);
            }
            return map;
        };
        if (row["stored"].isArray()) {  // records as another release wrote them
            defaults.setValue(SnapshotStore::snapshotKey,
                              QJsonDocument(row["stored"].toArray()).toJson());
        }
        for (const QJsonValue key : row["delivered"].toArray()) {
            SnapshotStore(defaults).markDelivered(key.toString());
        }
        for (const QJsonValue step : row["steps"].toArray()) {
            const QString verb = step.toString().section(u' ', 0, 0);
            const QString rest = step.toString().section(u' ', 1);
            if (verb == "store") {
                SnapshotStore(defaults).save(answers(QJsonArray{rest}));
                continue;
            }
            if (!launch || verb == "restart") {
                launch.reset();  // the one before ends first, as on a restart
                launch = std::make_unique<Launch>(
                    defaults, std::chrono::milliseconds(row["retryDelay"].toInt(30'000)), accounts,
                    std::chrono::milliseconds(row["interval"].toInt(10'000)));
                finished = std::make_unique<QSignalSpy>(launch->coordinator.get(),
                                                        &UsageCoordinator::refreshFinished);
            }
            // "fail", "told" and "delay" name another provider than codex last.
            const std::optional<ProviderID> named =
                fromRawValue<ProviderID>(rest.section(u' ', -1));
            // Null for a launch without codex; only the steps that use it reach it.
            FakeUsageProvider* const codex =
                named && verb != "answer" ? launch->fakes.value(*named) : launch->codex;
            const QString arg = named ? rest.section(u' ', 0, -2) : rest;
            const qsizetype refreshes = finished->size();
            if (verb == "answer") {
                const ProviderUsageSnapshot given = answerOf(rest);
                launch->fakes.value(given.providerID)->answer(given);
            } else if (!step["input"].isUndefined() || step["snapshot"].isObject()) {
                const QJsonValue input = step["input"];
                QByteArray text = input.isObject()
                                      ? QJsonDocument(input.toObject()).toJson()
                                      : TestData::read(VANTOR_TEST_DATA_DIR "/" + input.toString());
                for (const QJsonValue swap : step["replace"].toArray()) {
                    text.replace(swap[0].toString().toUtf8(), swap[1].toString().toUtf8());
                }
                codex->answer(step["snapshot"].isObject()
                                  ? UsageJson::decodeSnapshot(step["snapshot"])
                                  : CodexParser::parse(
                                        QJsonDocument::fromJson(text).object(),
                                        Instant::fromUnixSeconds(step["now"].toDouble(1.7966e9))));
            } else if (verb == "reading") {
                QCoro::waitFor(launch->coordinator->applyReading(*launch->state, answerOf(rest)));
            } else if (verb == "fail") {
                if (arg == "runtimeError") {
                    codex->fail(std::runtime_error("token sk-secret rejected"));
                } else if (arg == "int") {
                    codex->fail(42);
                } else if (arg == "availability") {
                    codex->availabilityThrows = true;
                } else {
                    codex->fail(VantorError(fromRawValue<ProviderError>(arg).value()));
                }
            } else if (verb == "signout") {  // its sign-in file went: availability says so
                codex->setAvailability(ProviderAvailability::notAuthenticated());
            } else if (verb == "told") {
                codex->told = ProviderAvailability::notAuthenticated(QStringLiteral("Expired"));
            } else if (verb == "delay") {
                codex->delay = std::chrono::milliseconds(arg.toInt());
            } else if (verb == "ask") {  // only some providers, as when a sign-in changed
                QCoro::waitFor(launch->coordinator->refresh(*launch->state, {*named}));
            } else if (verb == "unwatch") {  // while a refresh asks it
                QCoro::Task<> running = launch->coordinator->refresh(*launch->state);
                QList<UsageAccount> changed = launch->state->accounts();
                for (UsageAccount& account : changed) {
                    account.watched = account.watched && account.id != *named;
                }
                launch->state->setAccounts(changed);
                QCoro::waitFor(running);
            } else if (verb == "refresh") {
                for (int i = 0; i < std::max(1, rest.toInt()); ++i) {
                    launch->refresh();
                }
            } else if (verb == "start" || verb == "wake" || verb == "poll") {
                if (verb == "start") {
                    launch->coordinator->start(*launch->state);
                } else if (verb == "wake") {
                    Q_EMIT launch->wake.woke();
                }
                QTRY_COMPARE(finished->size(), refreshes + 1);
            } else if (verb == "overlap") {  // a refresh asked for while one runs is refused
                QCoro::Task<> first = launch->coordinator->refresh(*launch->state);
                QVERIFY(launch->coordinator->isRefreshRunning() && launch->state->isRefreshing());
                QVERIFY(launch->coordinator->refresh(*launch->state).isReady());
                QCoro::waitFor(first);
            } else if (verb == "retrying") {
                QTRY_VERIFY(launch->coordinator->isRefreshRunning());
            } else if (verb == "sleep") {
                launch->clock += std::chrono::milliseconds(rest.toInt());
            } else if (verb == "threshold") {
                launch->state->setLimitWarningThreshold(rest.toInt());
            } else if (verb == "refuse" || verb == "appear") {
                launch->center.addFails = verb == "refuse";
                if (verb == "appear") {
                    launch->center.serverAppears();
                }
            } else if (verb == "alerts") {
                launch->state->setAlertsEnabled(rest == "on");
            } else if (verb == "play") {
                launch->state->playResetAlert();
            } else if (verb != "restart") {
                QVERIFY2(step.isObject(), qPrintable(verb));
                const bool byID = step["identified"].isArray();
                const QStringList expected =
                    step[byID ? "identified" : "announced"].toVariant().toStringList();
                QTRY_COMPARE(launch->center.added.size(), expected.size());
                for (qsizetype i = 0; i < expected.size(); ++i) {
                    const auto& told = launch->center.added[i];
                    const QString text =
                        (byID ? told.identifier + u' ' : told.title + QStringLiteral(": ")) +
                        told.body;
                    QVERIFY2(expected[i].endsWith(u'*') ? text.startsWith(expected[i].chopped(1))
                                                        : text == expected[i],
                             qPrintable(text));
                }
                // Whether each asked the server for silence ("1") or not ("0").
                QString silent;
                for (const NotificationCenter::Request& told : launch->center.added) {
                    silent += told.silent ? u'1' : u'0';
                }
                QCOMPARE(step["silent"].toString(silent), silent);
                QTRY_COMPARE(finished->size(), step["refreshes"].toInt(int(finished->size())));
                const auto calls = [&launch] {
                    QStringList made;
                    for (const FakeUsageProvider* fake : std::as_const(launch->fakes)) {
                        made << QString::number(fake->fetchCalls);
                    }
                    return made.join(u' ');
                };
                QTRY_COMPARE(calls(), step["fetchCalls"].toString(calls()));
                QCOMPARE(launch->coordinator->pollsPerInterval(),
                         step["pollsPerInterval"].toInt(launch->coordinator->pollsPerInterval()));
                if (step["running"].isBool()) {
                    QTRY_COMPARE(launch->coordinator->isRefreshRunning(), step["running"].toBool());
                    QCOMPARE(launch->state->isRefreshing(), step["running"].toBool());
                }
                QCOMPARE(launch->coordinator->isRetryPending(),
                         step["retryPending"].toBool(launch->coordinator->isRetryPending()));
                QCOMPARE(launch->sound->clips.size(),
                         step["clips"].toInt(launch->sound->clips.size()));
                const ProviderAvailability told = launch->state->availability().value(
                    ProviderID::codex, ProviderAvailability::available());
                const QString availability = rawValue(told.kind()) + u' ' + told.message();
                QCOMPARE(step["availability"].toString(availability), availability);
                QCOMPARE(launch->state->snapshots(), step["held"].isArray()
                                                         ? answers(step["held"])
                                                         : launch->state->snapshots());
                const SnapshotMap stored = SnapshotStore(defaults).load();
                QCOMPARE(stored, step["stored"].isArray() ? answers(step["stored"]) : stored);
                const QString log = launch->log.lines.join(u'\n');
                QCOMPARE(step["log"].toString(log), log);
                const qsizetype kept = SnapshotStore(defaults).pendingAnnouncements().size();
                QCOMPARE(kept, step["kept"].toInteger(kept));
                // Codex's windows ("<id> <kind> <state> <used> <label>") and what its snapshot
                // carries besides them, in the stored form.
                QStringList windows;
                for (const UsageWindowSnapshot& w : stored.value(ProviderID::codex).windows) {
                    windows << QStringList{w.id, rawValue(w.kind), rawValue(w.state),
                                           QString::number(w.usedPercent.value_or(-1)), w.label}
                                   .join(u' ');
                }
                QCOMPARE(step["windows"].toString(windows.join(u"; ")), windows.join(u"; "));
                QJsonObject account = UsageJson::encode(stored.value(ProviderID::codex));
                account.remove(QStringLiteral("windows"));
                account.remove(QStringLiteral("observedAt"));
                const QString accountText = QJsonDocument(account).toJson(QJsonDocument::Compact);
                QCOMPARE(step["account"].toString(accountText), accountText);
            }
        }
    }

    // A warning's title names the window by its kind, else by its own label, and the use it
    // has as the rows round it; a spent notice's title names the window alike.
    void warningTitle_data() { TestData::rows("row", "engine/warning-titles.json"); }
    void warningTitle() {
        const auto row = TestData::fetch<QJsonObject>("row");
        UsageWindowSnapshot window;
        window.kind = *fromRawValue<UsageWindowKind>(row[u"kind"].toString());
        window.label = row[u"label"].toString();
        window.usedPercent = row[u"used"].toDouble(90);
        QCOMPARE(NotificationManager::warningTitle(ProviderID::codex, window),
                 row[u"title"].toString());
        QCOMPARE(NotificationManager::spentTitle(ProviderID::codex, window),
                 row[u"spent"].toString());
    }

    // The body names the window that reset; providers put no "week" into some weekly ids.
    void notificationText_data() { TestData::tableRows("engine/tables.json"); }
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
    void alertVoice_data() { TestData::tableRows("engine/tables.json"); }
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
                            {answerOf(QStringLiteral("available 1 A")), snapshot(windows)}));
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
        store.save({{ProviderID::codex, answerOf(QStringLiteral("nearingLimit 95 A"))}});
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

    // The stop notices' marks keep the newest ones.
    void stoppedMarksBounded_data() {
        constexpr int limit = SnapshotStore::maxStoppedMarks;
        countRows({limit - 1, limit, limit + 1});
    }
    void stoppedMarksBounded() {
        QFETCH(int, count);
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        QStringList marks;
        for (int i = 0; i < count; ++i) {
            marks << QStringLiteral("claude@%1.none").arg(i);
        }
        store.setStoppedMarks(marks);
        const int kept = std::min<int>(count, SnapshotStore::maxStoppedMarks);
        QCOMPARE(store.stoppedMarks(), marks.mid(count - kept));
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
        for (const QJsonValue kept : row["kept"].toArray()) {
            QVERIFY(written.contains(kept) ||
                    std::any_of(written.begin(), written.end(), [&kept](const QJsonValue record) {
                        return record["windows"].toArray().contains(kept);
                    }));
        }
        QCOMPARE(store.load().keys(), loaded.keys());
    }

    // Codex answers of the shapes users report (a fixture, some of its text replaced), read one
    // after another through the parser (or given as snapshots), the detector and the announcements,
    // over what an earlier release may have stored: what is announced, stored and logged. The
    // rows are steps as the coordinator's.
    void codexReadings_data() { TestData::rows("row", "engine/codex-readings.json"); }
    void codexReadings() { coordinator(); }

    // Settings from earlier versions or a hand-edited file are read, migrated or replaced and
    // written back in valid form; stored snapshots that cannot be read are left for the next
    // save to replace.
    // A value stored under a key ({"bytes": ...} stands for bytes, an array for a string list)
    // -> what the key read afterwards holds (none: it is gone), the voice ("<language> <gender>")
    // and what the key holds once the automatic language is "picked" here.
    void storedSettings_data() { TestData::tableRows("engine/tables.json"); }
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
        const QJsonObject besides = row["besides"].toObject();  // other keys stored
        for (auto it = besides.begin(); it != besides.end(); ++it) {
            defaults.setValue(it.key(), variant(it.value()));
        }
        AppState state(defaults, nullptr);
        QVERIFY(SnapshotStore(defaults).load().isEmpty());
        QCOMPARE(defaults.value(row["readKey"].toString(row["key"].toString())),
                 variant(row["expected"]));
        const QString voice =
            rawValue(state.customAudioLanguage()) + u' ' + rawValue(state.customAudioGender());
        QCOMPARE(row["voice"].toString(voice), voice);
        if (row.contains("picked")) {
            state.setCustomAudioLanguage(CustomAudioLanguage::automatic);
            QCOMPARE(defaults.value(row["key"].toString()), variant(row["picked"]));
        }
    }

    // An installed copy registers itself once; a build tree never does; a refusal is retried.
    void launchAtLogin_data() { TestData::tableRows("engine/tables.json"); }
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

    // Rows of tests/data/engine/accounts.json: a home folder, the variables and a stored value,
    // then actions on the registry ("reload" starts it anew over the same defaults) -> what the
    // actions said (results, renamed or routed accounts), the accounts shown, in order, and how
    // often they changed.
    void accounts_data() { TestData::rows("row", "engine/accounts.json"); }
    void accounts() {
        const auto row = fetch<QJsonObject>("row");
        QTemporaryDir dir;
        const QString home = dir.filePath("home");
        QVERIFY(!row.contains("home") || layHome(home, row["home"].toArray()));
        MemoryDefaults defaults;
        defaults.setValue(AccountRegistry::accountsKey, storedAccounts(row, home));
        const QVariant planted = defaults.value(AccountRegistry::accountsKey);
        const QList<UsageAccount> remembered = AccountRegistry::stored(defaults);
        QCOMPARE(remembered.size(), row["storedCount"].toInteger(remembered.size()));
        const AccountDiscovery discovery({home, underHome(row["claudeConfigDir"].toString(), home),
                                          underHome(row["codexHome"].toString(), home)});
        QCOMPARE(discovery.defaultFolder(ProviderKind::claude),
                 QDir::cleanPath(underHome(row["claudeFolder"].toString("~/.claude"), home)));
        QCOMPARE(discovery.defaultFolder(ProviderKind::codex),
                 QDir::cleanPath(underHome(row["codexFolder"].toString("~/.codex"), home)));
        std::unique_ptr<AppState> state;
        std::unique_ptr<AccountRegistry> registry;
        int changes = 0;
        const auto launch = [&] {
            state = std::make_unique<AppState>(defaults, nullptr);
            registry = std::make_unique<AccountRegistry>(defaults, *state, discovery);
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
        for (const UsageAccount& account : state->accounts()) {
            accounts.append(describe(account));
            // Its id is the one remembered, else made from its folder.
            QVERIFY(account.id.isDefault() ||
                    account.id.account ==
                        AccountDiscovery::accountID(account.id.kind, account.folder) ||
                    std::ranges::any_of(remembered, [&](auto& r) { return r.id == account.id; }));
        }
        QCOMPARE(accounts, row["accounts"].toVariant().toStringList());
        // What a later launch or the status command reads is what the state holds, and the
        // accounts remembered stay as they are.
        QCOMPARE(AccountRegistry::stored(defaults), state->accounts());
        QCOMPARE(discovery.merge(state->accounts()), state->accounts());
        QCOMPARE(changes, row["changes"].toInt(changes));
        QVERIFY(!row["untouched"].toBool() ||
                defaults.value(AccountRegistry::accountsKey) == planted);
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_Engine.moc"
