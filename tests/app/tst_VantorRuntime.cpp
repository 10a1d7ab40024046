#include "AppState.h"
#include "FakeLoginItemService.h"
#include "FakeNotificationCenter.h"
#include "FakeSoundPlayer.h"
#include "FakeUsageProvider.h"
#include "LaunchAtLoginController.h"
#include "MemoryDefaults.h"
#include "RecordingLogSink.h"
#include "SnapshotStore.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"
#include "VantorRuntime.h"

#include <QSignalSpy>
#include <QTest>

using namespace UsageFixtures;

class VantorRuntimeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linuxPlatformAsksCodexFirstThenClaude() {
        const VantorRuntime::Platform platform = VantorRuntime::linuxPlatform({});
        QCOMPARE(platform.providers.size(), std::size_t(2));
        QCOMPARE(platform.providers[0]->id(), ProviderID::codex);
        QCOMPARE(platform.providers[0]->displayName(), QStringLiteral("Codex"));
        QCOMPARE(platform.providers[1]->id(), ProviderID::claude);
        QCOMPARE(platform.providers[1]->displayName(), QStringLiteral("Claude Code"));
    }

    // The login item is registered before polling starts; the first refresh loads the stored
    // snapshots and asks the providers in list order; a second launch changes nothing.
    void launchRegistersThenStartsPollingOnce() {
        VantorRuntime::Platform platform;
        auto defaults = std::make_unique<MemoryDefaults>();
        SnapshotStore(*defaults).save({{ProviderID::claude, snapshot({}, ProviderID::claude)}});
        platform.defaults = std::move(defaults);
        platform.notificationCenter = std::make_unique<FakeNotificationCenter>();
        platform.log = std::make_unique<RecordingLogSink>();
        auto loginItem = std::make_unique<FakeLoginItemService>();
        FakeLoginItemService& item = *loginItem;
        platform.loginItem = std::move(loginItem);
        platform.makePlayer =
            FakeSoundPlayer::factory(std::make_shared<FakeSoundPlayer::Recording>());
        auto codex = std::make_unique<FakeUsageProvider>(ProviderID::codex);
        codex->answer(
            snapshot({window(QStringLiteral("codex.5h"), UsageWindowState::available, 10)}));
        FakeUsageProvider& codexRef = *codex;
        auto claude = std::make_unique<FakeUsageProvider>(ProviderID::claude,
                                                          ProviderAvailability::notAuthenticated());
        FakeUsageProvider& claudeRef = *claude;
        platform.providers.push_back(std::move(codex));
        platform.providers.push_back(std::move(claude));

        VantorRuntime runtime(std::move(platform));
        QSignalSpy refreshed(&runtime.coordinator(), &UsageCoordinator::refreshFinished);
        runtime.launch();
        QCOMPARE(item.calls, QStringList{QStringLiteral("register")});
        QCOMPARE(runtime.defaults().boolean(LaunchAtLoginController::configuredKey), true);
        // Polling starts from the event loop, after the launch step returned.
        QCOMPARE(codexRef.availabilityCalls(), 0);
        QTRY_COMPARE(refreshed.size(), 1);
        QCOMPARE(codexRef.fetchCalls(), 1);
        QCOMPARE(claudeRef.availabilityCalls(), 1);
        QCOMPARE(runtime.state().snapshots().keys(),
                 (QList<ProviderID>{ProviderID::codex, ProviderID::claude}));

        runtime.launch();
        runtime.refresh();
        QTRY_COMPARE(refreshed.size(), 2);
        QCOMPARE(item.calls.size(), 1);
        QCOMPARE(codexRef.fetchCalls(), 2);
    }
};

QTEST_GUILESS_MAIN(VantorRuntimeTest)
#include "tst_VantorRuntime.moc"
