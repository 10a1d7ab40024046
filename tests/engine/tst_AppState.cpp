#include "AppState.h"
#include "FakeSoundPlayer.h"
#include "MemoryDefaults.h"
#include "QSettingsDefaults.h"
#include "UsageFixtures.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace UsageFixtures;

namespace {

const QString enabledKey = QStringLiteral("resetAlertsEnabled");
const QString languageKey = QStringLiteral("resetCustomAudioLanguage");
const QString genderKey = QStringLiteral("resetCustomAudioGender");
const QString voiceKey = QStringLiteral("resetCustomVoiceID");
const QString legacyLanguageKey = QStringLiteral("announcementLanguage");

const QStringList alwaysRemovedKeys{
    QStringLiteral("notifyOnReset"), QStringLiteral("notifyEveryReset"),
    QStringLiteral("notifyOnLimitReached"), QStringLiteral("resetAlertMode"),
    QStringLiteral("resetSystemSoundSelection")};
const QStringList migratedKeys{
    QStringLiteral("soundSelection"),  QStringLiteral("speaksResetAlerts"),
    QStringLiteral("speechRate"),      legacyLanguageKey,
    QStringLiteral("speechVoiceMode"), QStringLiteral("speechVoice")};

std::unique_ptr<ResetAlertAudioManager> silentAudio(
    std::shared_ptr<FakeSoundPlayer::Recording> recording =
        std::make_shared<FakeSoundPlayer::Recording>()) {
    return std::make_unique<ResetAlertAudioManager>(FakeSoundPlayer::factory(std::move(recording)));
}

QByteArray clip(const QString& id) {
    QFile file(QStringLiteral(":/voices/%1.mp3").arg(id));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVariant json(const char* text) {
    return QVariant(QByteArray(text));
}

}  // namespace

class AppStateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void freshStartWritesTheDefaults() {
        MemoryDefaults defaults;
        const AppState state(defaults, silentAudio());
        QVERIFY(state.alertsEnabled());
        QCOMPARE(state.customAudioLanguage(), CustomAudioLanguage::automatic);
        QCOMPARE(state.customAudioGender(), CustomAudioGender::female);
        QCOMPARE(state.customVoiceID(), std::nullopt);
        QCOMPARE(defaults.value(enabledKey), QVariant(true));
        QCOMPARE(defaults.value(languageKey), json("\"automatic\""));
        QCOMPARE(defaults.value(genderKey), json("\"female\""));
        QVERIFY(!defaults.contains(voiceKey));
        QVERIFY(state.snapshots().isEmpty());
        QVERIFY(state.availability().isEmpty());
        QVERIFY(!state.isRefreshing());
    }

    void storedSettingsAreKeptAndLegacyLeftAlone() {
        MemoryDefaults defaults;
        for (const QString& key : alwaysRemovedKeys) {
            defaults.setValue(key, true);
        }
        defaults.setValue(enabledKey, false);
        defaults.setValue(languageKey, json("\"french\""));
        defaults.setValue(genderKey, json("\"male\""));
        defaults.setValue(voiceKey, QStringLiteral("French_Male_Keldo_2"));
        defaults.setValue(QStringLiteral("speaksResetAlerts"), true);
        defaults.setValue(legacyLanguageKey, json("\"japanese\""));
        const AppState state(defaults, silentAudio());
        QVERIFY(!state.alertsEnabled());
        QCOMPARE(state.customAudioLanguage(), CustomAudioLanguage::french);
        QCOMPARE(state.customAudioGender(), CustomAudioGender::male);
        QCOMPARE(state.customVoiceID(), QStringLiteral("French_Male_Keldo_2"));
        // No migration ran: its keys stay, the always-obsolete ones go.
        QVERIFY(defaults.contains(QStringLiteral("speaksResetAlerts")));
        QVERIFY(defaults.contains(legacyLanguageKey));
        for (const QString& key : alwaysRemovedKeys) {
            QVERIFY2(!defaults.contains(key), qPrintable(key));
        }
    }

    void legacyLanguageIsMigrated_data() {
        QTest::addColumn<QVariant>("legacy");
        QTest::addColumn<CustomAudioLanguage>("language");
        QTest::newRow("japanese") << json("\"japanese\"") << CustomAudioLanguage::japanese;
        QTest::newRow("english") << json("\"english\"") << CustomAudioLanguage::english;
        QTest::newRow("escaped") << json(" \"fr\\u0065nch\" ") << CustomAudioLanguage::french;
        QTest::newRow("capitalised") << json("\"English\"") << CustomAudioLanguage::automatic;
        QTest::newRow("plain text, not data")
            << QVariant(QStringLiteral("japanese")) << CustomAudioLanguage::automatic;
        QTest::newRow("two strings")
            << json("\"japanese\",\"french\"") << CustomAudioLanguage::automatic;
    }
    void legacyLanguageIsMigrated() {
        QFETCH(QVariant, legacy);
        QFETCH(CustomAudioLanguage, language);
        MemoryDefaults defaults;
        for (const QString& key : migratedKeys) {
            defaults.setValue(key, false);
        }
        defaults.setValue(legacyLanguageKey, legacy);
        const AppState state(defaults, silentAudio());
        QCOMPARE(state.customAudioLanguage(), language);
        QVERIFY(state.alertsEnabled());
        QCOMPARE(defaults.value(enabledKey), QVariant(true));
        QCOMPARE(defaults.value(languageKey),
                 QVariant(QByteArray('"' + rawValue(language).toLatin1() + '"')));
        for (const QString& key : migratedKeys) {
            QVERIFY2(!defaults.contains(key), qPrintable(key));
        }
    }

    void unusableValuesAreReplacedAndRewritten_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("rewritten");
        QTest::newRow("unknown language")
            << languageKey << json("\"klingon\"") << json("\"automatic\"");
        QTest::newRow("language as text")
            << languageKey << QVariant(QStringLiteral("\"french\"")) << json("\"automatic\"");
        QTest::newRow("gender as number") << genderKey << QVariant(1) << json("\"female\"");
        QTest::newRow("alerts flag unreadable")
            << enabledKey << QVariant(QStringLiteral("maybe")) << QVariant(true);
        QTest::newRow("voice as list")
            << voiceKey << QVariant(QStringList{QStringLiteral("a"), QStringLiteral("b")})
            << QVariant();
    }
    void unusableValuesAreReplacedAndRewritten() {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(QVariant, rewritten);
        MemoryDefaults defaults;
        defaults.setValue(enabledKey, true);
        defaults.setValue(key, stored);
        const AppState state(defaults, silentAudio());
        QCOMPARE(defaults.value(key), rewritten);
        QVERIFY(state.alertsEnabled());
        QCOMPARE(state.customAudioLanguage(), CustomAudioLanguage::automatic);
        QCOMPARE(state.customAudioGender(), CustomAudioGender::female);
        QCOMPARE(state.customVoiceID(), std::nullopt);
    }

    void everyAssignmentIsWrittenThrough() {
        MemoryDefaults defaults;
        AppState state(defaults, silentAudio());
        QSignalSpy languageChanged(&state, &AppState::customAudioLanguageChanged);
        QSignalSpy voiceChanged(&state, &AppState::customVoiceIDChanged);
        QSignalSpy enabledChanged(&state, &AppState::alertsEnabledChanged);
        QSignalSpy choicesChanged(&state, &AppState::customAudioChoicesChanged);
        state.setCustomAudioLanguage(CustomAudioLanguage::french);
        QCOMPARE(defaults.value(languageKey), json("\"french\""));
        state.setCustomAudioGender(CustomAudioGender::male);
        QCOMPARE(defaults.value(genderKey), json("\"male\""));
        state.setAlertsEnabled(false);
        QCOMPARE(defaults.value(enabledKey), QVariant(false));
        state.setCustomVoiceID(QStringLiteral("French_Male_Keldo"));
        QCOMPARE(defaults.value(voiceKey), QVariant(QStringLiteral("French_Male_Keldo")));
        state.setCustomVoiceID(std::nullopt);
        QVERIFY(!defaults.contains(voiceKey));
        // Observers hear of changes only; the same value again is still written.
        const int writes = defaults.writeCount();
        state.setCustomAudioLanguage(CustomAudioLanguage::french);
        QCOMPARE(defaults.writeCount(), writes + 1);
        QCOMPARE(languageChanged.count(), 1);
        QCOMPARE(voiceChanged.count(), 2);
        QCOMPARE(enabledChanged.count(), 1);
        QCOMPARE(choicesChanged.count(), 2);
    }

    void settingsSurviveARestartInTheIniFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vantor.conf"));
        {
            QSettingsDefaults defaults(path);
            AppState state(defaults, silentAudio());
            state.setAlertsEnabled(false);
            state.setCustomAudioLanguage(CustomAudioLanguage::japanese);
            state.setCustomVoiceID(QStringLiteral("Japanese_Female_Ivrel_2"));
        }
        // QSettings caches a parsed file per path in one process; a copy reads from disk.
        const QString copy = dir.filePath(QStringLiteral("copy.conf"));
        QVERIFY(QFile::copy(path, copy));
        QSettingsDefaults defaults(copy);
        const AppState state(defaults, silentAudio());
        QVERIFY(!state.alertsEnabled());
        QCOMPARE(state.customAudioLanguage(), CustomAudioLanguage::japanese);
        QCOMPARE(state.customVoiceID(), QStringLiteral("Japanese_Female_Ivrel_2"));
    }

    void menuStateTakesTheWorstWindow_data() {
        QTest::addColumn<QList<UsageWindowState>>("windows");
        QTest::addColumn<QList<ProviderAvailability>>("availability");
        QTest::addColumn<MenuBarVisualState>("expected");
        using S = UsageWindowState;
        using A = QList<ProviderAvailability>;
        const A none;
        const A available{ProviderAvailability::available()};
        QTest::newRow("exhausted beats nearing")
            << QList{S::nearingLimit, S::exhausted} << none << MenuBarVisualState::exhausted;
        QTest::newRow("no snapshots, provider available")
            << QList<S>() << available << MenuBarVisualState::unavailable;
        QTest::newRow("all available, not signed in")
            << QList{S::available} << A{ProviderAvailability::notAuthenticated()}
            << MenuBarVisualState::unavailable;
        QTest::newRow("temporarily unavailable does not count")
            << QList{S::available, S::unknown}
            << A{ProviderAvailability::temporarilyUnavailable(QStringLiteral("x"))}
            << MenuBarVisualState::unavailable;
        QTest::newRow("quiet windows, one provider answers")
            << QList{S::awaitingResetConfirmation, S::unknown}
            << A{ProviderAvailability::notInstalled(), ProviderAvailability::available()}
            << MenuBarVisualState::normal;
    }
    void menuStateTakesTheWorstWindow() {
        QFETCH(QList<UsageWindowState>, windows);
        QFETCH(QList<ProviderAvailability>, availability);
        QFETCH(MenuBarVisualState, expected);
        MemoryDefaults defaults;
        AppState state(defaults, silentAudio());
        // Windows alternate between the two providers' snapshots.
        SnapshotMap snapshots;
        for (int i = 0; i < windows.size(); ++i) {
            const ProviderID provider = i % 2 == 0 ? ProviderID::codex : ProviderID::claude;
            snapshots[provider].providerID = provider;
            snapshots[provider].windows.append(window(QString::number(i), windows[i], 50.0));
        }
        QSignalSpy menuStateChanged(&state, &AppState::menuStateChanged);
        state.setSnapshots(snapshots);
        for (int i = 0; i < availability.size(); ++i) {
            state.setAvailability(static_cast<ProviderID>(i), availability[i]);
        }
        QCOMPARE(state.menuState(), expected);
        QCOMPARE(state.property("menuState").value<MenuBarVisualState>(), expected);
        QCOMPARE(menuStateChanged.count(), int(!snapshots.isEmpty()) + availability.size());
    }

    void alertPlaysTheChosenVoiceOnlyWhenEnabled() {
        MemoryDefaults defaults;
        auto recording = std::make_shared<FakeSoundPlayer::Recording>();
        AppState state(defaults, silentAudio(recording));
        state.setCustomAudioLanguage(CustomAudioLanguage::french);
        state.setCustomAudioGender(CustomAudioGender::male);
        state.setCustomVoiceID(QStringLiteral("French_Male_Keldo_2"));
        state.playResetAlert();
        QCOMPARE(recording->clips, QList<QByteArray>{clip(QStringLiteral("French_Male_Keldo_2"))});
        // Off: nothing plays, and the clip already playing is not stopped either.
        state.setAlertsEnabled(false);
        const QStringList calls = recording->calls;
        state.playResetAlert();
        QCOMPARE(recording->calls, calls);
        QCOMPARE(recording->clips.size(), 1);
    }
};

QTEST_GUILESS_MAIN(AppStateTest)
#include "tst_AppState.moc"
