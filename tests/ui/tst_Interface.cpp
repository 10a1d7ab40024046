#include "AppState.h"
#include "FakeLoginItemService.h"
#include "FakeNotificationCenter.h"
#include "FakeSoundPlayer.h"
#include "MemoryDefaults.h"
#include "PopoverViewModel.h"
#include "RecordingLogSink.h"
#include "SettingsWindowPresenter.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"
#include "VantorInterface.h"

#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

// The interface's windows and icon, on the offscreen platform.
class InterfaceTest : public QObject {
    Q_OBJECT

    MemoryDefaults defaults;
    FakeNotificationCenter center;
    FakeLoginItemService loginItem;
    RecordingLogSink log;
    std::unique_ptr<AppState> state;
    std::unique_ptr<UsageCoordinator> coordinator;
    std::unique_ptr<VantorInterface> ui;

private Q_SLOTS:
    void init() {
        state = std::make_unique<AppState>(
            defaults, std::make_unique<ResetAlertAudioManager>(FakeSoundPlayer::factory(
                          std::make_shared<FakeSoundPlayer::Recording>())));
        coordinator =
            std::make_unique<UsageCoordinator>(std::vector<std::unique_ptr<UsageProvider>>{},
                                               UsageCoordinator::Services{defaults, center, log});
        ui = std::make_unique<VantorInterface>(*state, *coordinator, loginItem, defaults, center);
    }
    void cleanup() {
        ui.reset();
        coordinator.reset();
        state.reset();
    }

    void tooltipFollowsMenuState() {
        QCOMPARE(ui->trayIcon()->toolTip(), QStringLiteral("Vantor: providers unavailable"));
        state->setSnapshot(
            ProviderID::codex,
            UsageFixtures::snapshot({UsageFixtures::window(QStringLiteral("codex.primary"),
                                                           UsageWindowState::nearingLimit, 92.0)}));
        QCOMPARE(ui->trayIcon()->toolTip(), QStringLiteral("Vantor: usage nearing limit"));
        QVERIFY(!ui->trayIcon()->icon().isNull());
    }

    void popoverShowsAndNeverToggles() {
        ui->show();
        QVERIFY(ui->popoverWindow() == nullptr);  // Qt Quick waits for the first click
        ui->showPopover();
        QQuickView* popover = ui->popoverWindow();
        QVERIFY(popover != nullptr);
        QCOMPARE(popover->status(), QQuickView::Ready);
        QTRY_VERIFY(popover->isVisible());
        QCOMPARE(popover->width(), 259);
        ui->showPopover();
        QVERIFY(popover->isVisible());
        ui->togglePopover();
        QVERIFY(!popover->isVisible());
        ui->togglePopover();
        QVERIFY(popover->isVisible());
        // Escape asks the window to close.
        ui->popoverModel()->close();
        QVERIFY(!popover->isVisible());
    }

    void oneSettingsWindow() {
        ui->showSettings();
        QPointer<QQuickView> first = ui->settingsPresenter()->window();
        QVERIFY(first);
        QCOMPARE(first->status(), QQuickView::Ready);
        QCOMPARE(first->title(), QStringLiteral("Vantor Settings"));
        QCOMPARE(first->size(), QSize(440, 660));
        QCOMPARE(first->minimumSize(), first->maximumSize());
        QSignalSpy created(ui->settingsPresenter(), &SettingsWindowPresenter::windowCreated);
        ui->popoverModel()->openSettings();
        QCOMPARE(ui->settingsPresenter()->window(), first.data());
        QCOMPARE(created.count(), 0);
        // Closed, it is forgotten; the next request builds a fresh one.
        first->close();
        QTRY_VERIFY(first.isNull());
        ui->showSettings();
        QCOMPARE(created.count(), 1);
        QVERIFY(ui->settingsPresenter()->window() != nullptr);
    }
};

QTEST_MAIN(InterfaceTest)
#include "tst_Interface.moc"
