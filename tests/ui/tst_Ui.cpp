// The interface layer: the card texts as tables, the view models over fakes, and the windows
// and tray icon on the offscreen platform.
#include "AppState.h"
#include "CardText.h"
#include "FakeLoginItemService.h"
#include "FakeNotificationCenter.h"
#include "FakeSoundPlayer.h"
#include "LaunchAtLoginController.h"
#include "MemoryDefaults.h"
#include "PopoverViewModel.h"
#include "ProviderCardViewModel.h"
#include "RecordingLogSink.h"
#include "SettingsViewModel.h"
#include "SettingsWindowPresenter.h"
#include "UsageColor.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"
#include "VantorInterface.h"

#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

using Availability = std::optional<ProviderAvailability>;
using Snapshot = std::optional<ProviderUsageSnapshot>;
using Percent = std::optional<double>;
using Status = LoginItemService::Status;
using Auth = NotificationCenter::AuthorizationStatus;
Q_DECLARE_METATYPE(Availability)
Q_DECLARE_METATYPE(Snapshot)
Q_DECLARE_METATYPE(Percent)
Q_DECLARE_METATYPE(UsageColor)
Q_DECLARE_METATYPE(Status)
Q_DECLARE_METATYPE(Auth)

namespace {

using namespace UsageFixtures;
using State = UsageWindowState;
using Kind = UsageWindowKind;

UsageWindowSnapshot kindWindow(Kind kind, State state, Percent used, const QString& id = "w") {
    UsageWindowSnapshot w = window(id, state, used, t0.addingSeconds(30));
    w.kind = kind;
    w.label = QStringLiteral("Custom label");
    return w;
}

Snapshot one(Kind kind, State state, Percent used) {
    return snapshot({kindWindow(kind, state, used)});
}

// The whole interface over memory defaults, a recording player and a coordinator without
// providers.
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

// QFETCH as an expression, for columns read once.
template <typename T>
T fetch(const char* column) {
    return *static_cast<T*>(QTest::qData(column, qMetaTypeId<T>()));
}

QQuickItem* item(QQuickView* view, const char* name) {
    return view->rootObject()->findChild<QQuickItem*>(QString::fromLatin1(name));
}

}  // namespace

class UiTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cardSummary_data() {
        QTest::addColumn<Snapshot>("snapshot");
        QTest::addColumn<Availability>("availability");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<Percent>("ring");
        QTest::addColumn<UsageColor>("color");
        const auto none = Availability();
        const auto signedOut = Availability(ProviderAvailability::notAuthenticated());
        const auto ok = State::available;
        QTest::newRow("half rounds away from zero")
            << one(Kind::fiveHour, ok, 41.5) << none << "5h \u2022 59% left" << Percent(41.5)
            << UsageColor::blue;
        QTest::newRow("below zero is all left")
            << one(Kind::weekly, ok, -3.0) << none << "Weekly \u2022 100% left" << Percent(0.0)
            << UsageColor::blue;
        QTest::newRow("over 100 is none left")
            << one(Kind::modelWeekly, State::nearingLimit, 130.0) << none
            << "Model week \u2022 0% left" << Percent(100.0) << UsageColor::red;
        QTest::newRow("20 left is still yellow")
            << one(Kind::other, ok, 80.0) << none << "Usage \u2022 20% left" << Percent(80.0)
            << UsageColor::yellow;
        QTest::newRow("exhausted whatever its share")
            << one(Kind::fiveHour, State::exhausted, 97.0) << none << "Limit reached"
            << Percent(97.0) << UsageColor::red;
        QTest::newRow("nearing is not exhausted")
            << one(Kind::fiveHour, State::nearingLimit, 97.0) << none << "5h \u2022 3% left"
            << Percent(97.0) << UsageColor::red;
        QTest::newRow("no percentage") << one(Kind::fiveHour, ok, Percent()) << none << "Available"
                                       << Percent() << UsageColor::blue;
        QTest::newRow("snapshot wins over a later sign-out")
            << one(Kind::fiveHour, ok, 59.5) << signedOut << "5h \u2022 41% left" << Percent(59.5)
            << UsageColor::blue;
        QTest::newRow("snapshot without windows")
            << Snapshot(snapshot({})) << signedOut << "Sign in required" << Percent()
            << UsageColor::blue;
        QTest::newRow("no snapshot, probed")
            << Snapshot() << Availability(ProviderAvailability::available()) << "Loading"
            << Percent() << UsageColor::blue;
        QTest::newRow("nothing known")
            << Snapshot() << none << "Unavailable" << Percent() << UsageColor::blue;
    }
    void cardSummary() {
        QFETCH(Snapshot, snapshot);
        QFETCH(Availability, availability);
        QFETCH(Percent, ring);
        QCOMPARE(CardText::summary(snapshot, availability), fetch<QString>("summary"));
        QCOMPARE(CardText::usedPercent(snapshot), ring);
        QCOMPARE(usageColor(ring), fetch<UsageColor>("color"));
    }

    void limitRow_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<Percent>("used");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("remaining");
        QTest::addColumn<double>("ring");
        QTest::newRow("five hours") << Kind::fiveHour << Percent(41.5) << "5h limit, resets 1 min"
                                    << "59% left" << 0.415;
        QTest::newRow("weekly, absent is all left")
            << Kind::weekly << Percent() << "Weekly limit, resets 1 min"
            << "100% left" << 0.01;
        QTest::newRow("model week over 100")
            << Kind::modelWeekly << Percent(120.0) << "Model week, resets 1 min"
            << "0% left" << 1.0;
        QTest::newRow("other shows its label")
            << Kind::other << Percent(0.4) << "Custom label, resets 1 min"
            << "100% left" << 0.01;
    }
    void limitRow() {
        QFETCH(Kind, kind);
        QFETCH(Percent, used);
        QFETCH(double, ring);
        const UsageWindowSnapshot w = kindWindow(kind, State::available, used);
        QCOMPARE(CardText::limitAccessibilityLabel(w, t0, QLocale(QLocale::English)),
                 fetch<QString>("label"));
        QCOMPARE(CardText::remainingText(w), fetch<QString>("remaining"));
        QCOMPARE(ProviderCardViewModel::ringProgress(CardText::limitUsedPercent(w)), ring);
    }

    void detailWindows_data() {
        QTest::addColumn<QList<Kind>>("kinds");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("five-hour and weekly first")
            << QList<Kind>{Kind::other, Kind::weekly, Kind::fiveHour, Kind::weekly}
            << QStringList{"1", "2"};
        QTest::newRow("else the first two")
            << QList<Kind>{Kind::modelWeekly, Kind::other, Kind::other} << QStringList{"0", "1"};
        QTest::newRow("empty") << QList<Kind>{} << QStringList{};
    }
    void detailWindows() {
        QFETCH(QList<Kind>, kinds);
        QList<UsageWindowSnapshot> windows;
        for (qsizetype i = 0; i < kinds.size(); ++i) {
            windows.append(kindWindow(kinds[i], State::available, 1.0, QString::number(i)));
        }
        QStringList chosen;
        for (const auto& w : CardText::detailWindows(snapshot(windows))) {
            chosen.append(w.id);
        }
        QCOMPARE(chosen, fetch<QStringList>("ids"));
    }

    // The settings form and the command line share these words.
    void providerRows_data() {
        QTest::addColumn<Availability>("availability");
        QTest::addColumn<QString>("text");
        QTest::newRow("never probed") << Availability() << "Not detected";
        QTest::newRow("available")
            << Availability(ProviderAvailability::available()) << "Connected";
        QTest::newRow("not installed")
            << Availability(ProviderAvailability::notInstalled()) << "Not installed";
        QTest::newRow("signed out")
            << Availability(ProviderAvailability::notAuthenticated()) << "Sign in required";
        QTest::newRow("plan") << Availability(ProviderAvailability::requiresProPlan())
                              << "Upgrade to Pro";
        QTest::newRow("temporarily")
            << Availability(ProviderAvailability::temporarilyUnavailable("x")) << "Unavailable";
    }
    void providerRows() {
        QFETCH(Availability, availability);
        Fixture f;
        SettingsViewModel settings(f.state, f.loginItem, f.defaults, f.center);
        if (availability) {
            f.state.setAvailability(ProviderID::claude, *availability);
        }
        const QVariantList rows = settings.providerRows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].toMap().value("title").toString(), "Codex");
        QCOMPARE(rows[1].toMap().value("title").toString(), "Claude Code");
        QCOMPARE(rows[1].toMap().value("value").toString(), fetch<QString>("text"));
    }

    // Each row is a sequence of clicks; one card open at most, the others' rings dimmed.
    void expansion_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("none") << QStringList{} << QString();
        QTest::newRow("open one") << QStringList{"codex"} << "codex";
        QTest::newRow("close it again") << QStringList{"codex", "codex"} << QString();
        QTest::newRow("second replaces first") << QStringList{"codex", "claude"} << "claude";
    }
    void expansion() {
        QFETCH(QString, expanded);
        Fixture f;
        PopoverViewModel popover(f.state, f.coordinator);
        for (const QString& click : fetch<QStringList>("clicks")) {
            (click == "codex" ? popover.codex() : popover.claude())->toggle();
        }
        QCOMPARE(popover.expandedProvider(), expanded);
        for (ProviderCardViewModel* card : {popover.codex(), popover.claude()}) {
            QCOMPARE(card->isExpanded(), rawValue(card->provider()) == expanded);
            QCOMPARE(card->isIndicatorActive(), expanded.isEmpty());
        }
    }

    void cardFollowsState() {
        Fixture f;
        PopoverViewModel popover(f.state, f.coordinator, [] { return t0; });
        ProviderCardViewModel* card = popover.claude();
        QSignalSpy changed(card, &ProviderCardViewModel::changed);
        f.state.setSnapshot(ProviderID::claude,
                            snapshot({window("claude.five_hour", State::exhausted, 100.0,
                                             t0.addingSeconds(30), ProviderID::claude)},
                                     ProviderID::claude));
        QVERIFY(!changed.isEmpty());
        QCOMPARE(card->summary(), "Limit reached");
        QCOMPARE(card->details().value(0).toMap().value("resetText").toString(), "1 min");
        QCOMPARE(popover.codex()->summary(), "Unavailable");
    }

    void voiceChoice_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("language") << "language" << true;
        QTest::newRow("gender") << "gender" << true;
        QTest::newRow("same language again") << "same" << false;
    }
    void voiceChoice() {
        QFETCH(QString, change);
        QFETCH(bool, cleared);
        Fixture f;
        SettingsViewModel settings(f.state, f.loginItem, f.defaults, f.center);
        settings.setSoundIndex(1);
        QVERIFY(f.state.customVoiceID().has_value());
        if (change == "language") {
            settings.setLanguageIndex(static_cast<int>(CustomAudioLanguage::french));
        } else if (change == "gender") {
            settings.setGenderIndex(static_cast<int>(CustomAudioGender::male));
        } else {
            settings.setLanguageIndex(settings.languageIndex());
        }
        QCOMPARE(!f.state.customVoiceID().has_value(), cleared);
        QCOMPARE(settings.soundIndex() == 0, cleared);
    }

    void launchAtLogin_data() {
        QTest::addColumn<Status>("status");
        QTest::addColumn<bool>("refuses");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("configured");
        QTest::newRow("register") << Status::notRegistered << false << true << true;
        QTest::newRow("refused snaps back") << Status::notRegistered << true << false << false;
        QTest::newRow("unregister") << Status::enabled << false << false << true;
        QTest::newRow("refused unregister") << Status::enabled << true << true << false;
    }
    void launchAtLogin() {
        QFETCH(Status, status);
        Fixture f;
        f.loginItem.currentStatus = status;
        f.loginItem.refuses = fetch<bool>("refuses");
        SettingsViewModel settings(f.state, f.loginItem, f.defaults, f.center);
        QSignalSpy spy(&settings, &SettingsViewModel::launchAtLoginChanged);
        settings.setLaunchAtLogin(status != Status::enabled);
        QCOMPARE(settings.launchAtLogin(), fetch<bool>("shown"));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(f.defaults.contains(LaunchAtLoginController::configuredKey),
                 fetch<bool>("configured"));
    }

    void testNotification_data() {
        QTest::addColumn<Auth>("status");
        QTest::addColumn<bool>("addFails");
        QTest::addColumn<bool>("delivered");
        QTest::newRow("sent") << Auth::authorized << false << true;
        QTest::newRow("denied") << Auth::denied << false << false;
        QTest::newRow("refused by the server") << Auth::authorized << true << false;
    }
    void testNotification() {
        QFETCH(bool, delivered);
        Fixture f;
        f.center.status = fetch<Auth>("status");
        f.center.addFails = fetch<bool>("addFails");
        QStringList launched;
        SettingsViewModel settings(f.state, f.loginItem, f.defaults, f.center,
                                   [&launched](const QString& program, const QStringList&) {
                                       launched.append(program);
                                       return false;
                                   });
        QSignalSpy done(&settings, &SettingsViewModel::testNotificationFinished);
        settings.sendTestNotification();
        QVERIFY(done.count() == 1 || done.wait());
        QCOMPARE(settings.testNotificationStatus() == "Test notification sent.", delivered);
        QCOMPARE(settings.testNotificationNeedsSettings(), !delivered);
        // The alert plays whatever the outcome.
        QCOMPARE(f.sound->calls.count("play"), 1);
        // GNOME's settings first, KDE's when GNOME's cannot start.
        settings.openNotificationSettings();
        QCOMPARE(launched, (QStringList{"gnome-control-center", "systemsettings"}));
    }

    void trayFollowsState_data() {
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("nearing") << State::nearingLimit << "Vantor: usage nearing limit";
        QTest::newRow("exhausted") << State::exhausted << "Vantor: limit reached";
    }
    void trayFollowsState() {
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.loginItem, f.defaults, f.center);
        QCOMPARE(ui.trayIcon()->toolTip(), "Vantor: providers unavailable");
        f.state.setSnapshot(ProviderID::codex,
                            snapshot({window("codex.primary", fetch<State>("state"), 92.0)}));
        QCOMPARE(ui.trayIcon()->toolTip(), fetch<QString>("tooltip"));
        QVERIFY(!ui.trayIcon()->icon().isNull());
    }

    void popoverAndSettingsWindows() {
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.loginItem, f.defaults, f.center);
        ui.show();
        QVERIFY(ui.popoverWindow() == nullptr);  // Qt Quick waits for the first click
        ui.showPopover();
        QQuickView* popover = ui.popoverWindow();
        QCOMPARE(popover->status(), QQuickView::Ready);
        QTRY_VERIFY(popover->isVisible());
        ui.showPopover();
        QVERIFY(popover->isVisible());
        ui.togglePopover();
        QVERIFY(!popover->isVisible());
        ui.togglePopover();
        ui.popoverModel()->close();
        QVERIFY(!popover->isVisible());

        ui.showSettings();
        QPointer<QQuickView> settings = ui.settingsPresenter()->window();
        QCOMPARE(settings->status(), QQuickView::Ready);
        QSignalSpy created(ui.settingsPresenter(), &SettingsWindowPresenter::windowCreated);
        ui.popoverModel()->openSettings();
        QCOMPARE(ui.settingsPresenter()->window(), settings.data());
        // The pickers follow the alerts switch.
        QVERIFY(item(settings, "language")->isEnabled());
        f.state.setAlertsEnabled(false);
        QVERIFY(!item(settings, "language")->isEnabled());
        QVERIFY(item(settings, "sendTestNotification")->isEnabled());
        // A refused login item snaps the switch back, after a real click.
        f.loginItem.refuses = true;
        QTRY_VERIFY(settings->isExposed());
        QQuickItem* toggle = item(settings, "launchAtLogin");
        const QPointF centre = toggle->mapToScene(toggle->boundingRect().center());
        QTest::mouseClick(settings.data(), Qt::LeftButton, {}, centre.toPoint());
        QVERIFY(!toggle->property("checked").toBool());
        // Closed, it is forgotten; the next request builds a fresh one.
        settings->close();
        QTRY_VERIFY(settings.isNull());
        ui.showSettings();
        QCOMPARE(created.count(), 1);
    }
};

QTEST_MAIN(UiTest)
#include "tst_Ui.moc"
