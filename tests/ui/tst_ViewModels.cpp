#include "AppState.h"
#include "FakeLoginItemService.h"
#include "FakeNotificationCenter.h"
#include "FakeSoundPlayer.h"
#include "FakeUsageProvider.h"
#include "LaunchAtLoginController.h"
#include "MemoryDefaults.h"
#include "PopoverViewModel.h"
#include "RecordingLogSink.h"
#include "SettingsViewModel.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"

#include <QSignalSpy>
#include <QTest>

using Status = LoginItemService::Status;
using Auth = NotificationCenter::AuthorizationStatus;
Q_DECLARE_METATYPE(Status)
Q_DECLARE_METATYPE(Auth)

namespace {

// A state over memory defaults with a recording player, and a coordinator over fakes.
struct Fixture {
    MemoryDefaults defaults;
    FakeNotificationCenter center;
    FakeLoginItemService loginItem;
    RecordingLogSink log;
    std::shared_ptr<FakeSoundPlayer::Recording> sound =
        std::make_shared<FakeSoundPlayer::Recording>();
    AppState state{defaults,
                   std::make_unique<ResetAlertAudioManager>(FakeSoundPlayer::factory(sound))};
    UsageCoordinator coordinator{{}, {defaults, center, log}};
};

}  // namespace

class ViewModelsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each row is a sequence of clicks; one card open at most, the others' rings dimmed.
    void expansion_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("none") << QStringList{} << QString();
        QTest::newRow("open one") << QStringList{QStringLiteral("codex")}
                                  << QStringLiteral("codex");
        QTest::newRow("close it again")
            << QStringList{QStringLiteral("codex"), QStringLiteral("codex")} << QString();
        QTest::newRow("second replaces first")
            << QStringList{QStringLiteral("codex"), QStringLiteral("claude")}
            << QStringLiteral("claude");
    }
    void expansion() {
        QFETCH(QStringList, clicks);
        QFETCH(QString, expanded);
        Fixture f;
        PopoverViewModel popover(f.state, f.coordinator);
        for (const QString& click : clicks) {
            (click == QStringLiteral("codex") ? popover.codex() : popover.claude())->toggle();
        }
        QCOMPARE(popover.expandedProvider(), expanded);
        for (ProviderCardViewModel* card : {popover.codex(), popover.claude()}) {
            QCOMPARE(card->isExpanded(), rawValue(card->provider()) == expanded);
            QCOMPARE(card->isIndicatorActive(), expanded.isEmpty());
            QCOMPARE(card->accessibilityHint(), card->isExpanded()
                                                    ? QStringLiteral("Collapse usage details")
                                                    : QStringLiteral("Expand usage details"));
        }
    }

    void cardFollowsState() {
        Fixture f;
        PopoverViewModel popover(f.state, f.coordinator, [] { return UsageFixtures::t0; });
        ProviderCardViewModel* card = popover.claude();
        QCOMPARE(card->summary(), QStringLiteral("Unavailable"));
        QVERIFY(!card->hasUsage());
        QSignalSpy changed(card, &ProviderCardViewModel::changed);
        UsageWindowSnapshot w =
            UsageFixtures::window(QStringLiteral("claude.five_hour"), UsageWindowState::exhausted,
                                  100.0, UsageFixtures::t0.addingSeconds(30), ProviderID::claude);
        f.state.setSnapshot(ProviderID::claude, UsageFixtures::snapshot({w}, ProviderID::claude));
        QVERIFY(!changed.isEmpty());
        QCOMPARE(card->summary(), QStringLiteral("Limit reached"));
        QCOMPARE(card->ringAccessibilityValue(), QStringLiteral("100 percent used"));
        QCOMPARE(card->ringColor(), QColor(0xe0, 0x1b, 0x24));
        const QVariantMap row = card->details().value(0).toMap();
        QCOMPARE(row.value(QStringLiteral("exhausted")).toBool(), true);
        QCOMPARE(row.value(QStringLiteral("resetText")).toString(), QStringLiteral("1 min"));
        QCOMPARE(row.value(QStringLiteral("accessibilityLabel")).toString(),
                 QStringLiteral("5h limit, resets 1 min"));
        // The other card is untouched.
        QCOMPARE(popover.codex()->summary(), QStringLiteral("Unavailable"));
    }

    void soundSwitchAndShortcuts() {
        Fixture f;
        PopoverViewModel popover(f.state, f.coordinator);
        QSignalSpy spy(&popover, &PopoverViewModel::alertsEnabledChanged);
        popover.setAlertsEnabled(false);
        QVERIFY(!f.state.alertsEnabled());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(popover.refreshShortcut(), QStringLiteral("Ctrl+R"));
        QCOMPARE(popover.shortcutHint(popover.settingsShortcut()),
                 QStringLiteral("Shortcut Ctrl+S"));
        QCOMPARE(popover.shortcutHint(QString()), QString());
    }

    void voiceChoice_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("language") << QStringLiteral("language") << true;
        QTest::newRow("gender") << QStringLiteral("gender") << true;
        QTest::newRow("same language again") << QStringLiteral("same") << false;
    }
    void voiceChoice() {
        QFETCH(QString, change);
        QFETCH(bool, cleared);
        Fixture f;
        SettingsViewModel settings(f.state, f.loginItem, f.defaults, f.center);
        settings.setSoundIndex(1);
        QVERIFY(f.state.customVoiceID().has_value());
        QCOMPARE(settings.soundIndex(), 1);
        if (change == QStringLiteral("language")) {
            settings.setLanguageIndex(static_cast<int>(CustomAudioLanguage::french));
        } else if (change == QStringLiteral("gender")) {
            settings.setGenderIndex(static_cast<int>(CustomAudioGender::male));
        } else {
            settings.setLanguageIndex(settings.languageIndex());
        }
        QCOMPARE(!f.state.customVoiceID().has_value(), cleared);
        QCOMPARE(settings.soundIndex() == 0, cleared);
        QCOMPARE(settings.soundItems().first(), QStringLiteral("Automatic"));
        QCOMPARE(settings.soundItems().size(), f.state.customAudioChoices().size() + 1);
    }

    void launchAtLogin_data() {
        QTest::addColumn<Status>("status");
        QTest::addColumn<bool>("refuses");
        QTest::addColumn<bool>("wanted");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("configured");
        QTest::newRow("register") << Status::notRegistered << false << true << true << true;
        QTest::newRow("refused snaps back")
            << Status::notRegistered << true << true << false << false;
        QTest::newRow("unregister") << Status::enabled << false << false << false << true;
        QTest::newRow("refused unregister snaps back")
            << Status::enabled << true << false << true << false;
    }
    void launchAtLogin() {
        QFETCH(Status, status);
        QFETCH(bool, refuses);
        QFETCH(bool, wanted);
        QFETCH(bool, shown);
        QFETCH(bool, configured);
        Fixture f;
        f.loginItem.currentStatus = status;
        f.loginItem.refuses = refuses;
        SettingsViewModel settings(f.state, f.loginItem, f.defaults, f.center);
        QCOMPARE(settings.launchAtLogin(), status == Status::enabled);
        QSignalSpy spy(&settings, &SettingsViewModel::launchAtLoginChanged);
        settings.setLaunchAtLogin(wanted);
        QCOMPARE(settings.launchAtLogin(), shown);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(f.defaults.contains(LaunchAtLoginController::configuredKey), configured);
    }

    void testNotification_data() {
        QTest::addColumn<Auth>("status");
        QTest::addColumn<bool>("addFails");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("needsSettings");
        const QString off =
            QStringLiteral("Notifications are off. Enable Vantor in System Settings.");
        QTest::newRow("sent") << Auth::authorized << false
                              << QStringLiteral("Test notification sent.") << false;
        QTest::newRow("denied") << Auth::denied << false << off << true;
        QTest::newRow("refused by the server") << Auth::authorized << true << off << true;
    }
    void testNotification() {
        QFETCH(Auth, status);
        QFETCH(bool, addFails);
        QFETCH(QString, text);
        QFETCH(bool, needsSettings);
        Fixture f;
        f.center.setStatus(status);
        f.center.setAddFails(addFails);
        QStringList launched;
        SettingsViewModel settings(f.state, f.loginItem, f.defaults, f.center,
                                   [&launched](const QString& program, const QStringList&) {
                                       launched.append(program);
                                       return false;
                                   });
        QSignalSpy done(&settings, &SettingsViewModel::testNotificationFinished);
        settings.sendTestNotification();
        QVERIFY(done.count() == 1 || done.wait());
        QCOMPARE(settings.testNotificationStatus(), text);
        QCOMPARE(settings.testNotificationNeedsSettings(), needsSettings);
        // The alert plays whatever the outcome.
        QCOMPARE(f.sound->calls.count(QStringLiteral("play")), 1);
        // A new test clears the line at once.
        settings.sendTestNotification();
        QVERIFY(done.count() == 2 || settings.testNotificationStatus().isEmpty());
        // GNOME's settings first, KDE's when GNOME's cannot start.
        settings.openNotificationSettings();
        QCOMPARE(launched, (QStringList{QStringLiteral("gnome-control-center"),
                                        QStringLiteral("systemsettings")}));
    }

    void providerRows() {
        Fixture f;
        SettingsViewModel settings(f.state, f.loginItem, f.defaults, f.center);
        f.state.setAvailability(ProviderID::codex, ProviderAvailability::available());
        const QVariantList rows = settings.providerRows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].toMap().value(QStringLiteral("title")), QStringLiteral("Codex"));
        QCOMPARE(rows[0].toMap().value(QStringLiteral("value")), QStringLiteral("Connected"));
        QCOMPARE(rows[1].toMap().value(QStringLiteral("title")), QStringLiteral("Claude Code"));
        QCOMPARE(rows[1].toMap().value(QStringLiteral("value")), QStringLiteral("Not detected"));
    }
};

QTEST_GUILESS_MAIN(ViewModelsTest)
#include "tst_ViewModels.moc"
