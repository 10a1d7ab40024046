// Qt Quick Test of the views' behaviour over the real view models and a state over fakes.
#include "AppState.h"
#include "FakeLoginItemService.h"
#include "FakeNotificationCenter.h"
#include "FakeSoundPlayer.h"
#include "MemoryDefaults.h"
#include "PopoverViewModel.h"
#include "RecordingLogSink.h"
#include "SettingsViewModel.h"
#include "SymbolImageProvider.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QtQuickTest>

void qml_register_types_Vantor_Ui();

// Hands each test case fresh view models over a state with one snapshot per provider.
class Fixtures : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE QObject* popover() {
        reset();
        return new PopoverViewModel(*state_, *coordinator_, Instant::now, state_.get());
    }
    Q_INVOKABLE QObject* settings() {
        reset();
        return new SettingsViewModel(*state_, loginItem_, defaults_, center_, {}, state_.get());
    }
    // The login item refuses every change, as a read-only autostart folder would.
    Q_INVOKABLE void refuseLoginItem() { loginItem_.refuses = true; }
    Q_INVOKABLE QString voiceID() const { return state_->customVoiceID().value_or(QString()); }

private:
    void reset() {
        coordinator_.reset();
        state_ = std::make_unique<AppState>(
            defaults_, std::make_unique<ResetAlertAudioManager>(FakeSoundPlayer::factory(
                           std::make_shared<FakeSoundPlayer::Recording>())));
        for (const ProviderID id : {ProviderID::codex, ProviderID::claude}) {
            state_->setSnapshot(id, UsageFixtures::snapshot(
                                        {UsageFixtures::window(rawValue(id) + QStringLiteral(".w"),
                                                               UsageWindowState::available, 30.0,
                                                               std::nullopt, id)},
                                        id));
        }
        coordinator_ = std::make_unique<UsageCoordinator>(
            std::vector<std::unique_ptr<UsageProvider>>{},
            UsageCoordinator::Services{defaults_, center_, log_});
    }

    MemoryDefaults defaults_;
    FakeNotificationCenter center_;
    FakeLoginItemService loginItem_;
    RecordingLogSink log_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<UsageCoordinator> coordinator_;
};

class Setup : public QObject {
    Q_OBJECT

public Q_SLOTS:
    void applicationAvailable() {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        qml_register_types_Vantor_Ui();
    }
    void qmlEngineAvailable(QQmlEngine* engine) {
        engine->addImportPath(QStringLiteral("qrc:/"));
        engine->addImageProvider(QStringLiteral("symbol"), new SymbolImageProvider);
        engine->rootContext()->setContextProperty(QStringLiteral("fixtures"), &fixtures_);
    }

private:
    Fixtures fixtures_;
};

QUICK_TEST_MAIN_WITH_SETUP(qml_behaviour, Setup)
#include "tst_QmlBehaviour.moc"
