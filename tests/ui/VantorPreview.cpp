// Shows the interface over fake providers and stored snapshots, without the runtime: for a
// look at it, and for the screenshot test, which passes --screenshots <folder>.
#include "AppState.h"
#include "FakeLoginItemService.h"
#include "FakeNotificationCenter.h"
#include "FakeSoundPlayer.h"
#include "FakeUsageProvider.h"
#include "MemoryDefaults.h"
#include "PopoverViewModel.h"
#include "RecordingLogSink.h"
#include "SettingsWindowPresenter.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"
#include "VantorInterface.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QPalette>
#include <QQuickView>
#include <QScreen>
#include <QStyleFactory>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

UsageWindowSnapshot window(const QString& id, ProviderID provider, UsageWindowKind kind,
                           UsageWindowState state, double used, Instant resetAt) {
    UsageWindowSnapshot w = UsageFixtures::window(id, state, used, resetAt, provider);
    w.kind = kind;
    w.label = kind == UsageWindowKind::fiveHour ? QStringLiteral("5h") : QStringLiteral("Weekly");
    return w;
}

// One window exhausted, one nearing its limit, the others fine.
SnapshotMap storedSnapshots(Instant now) {
    SnapshotMap map;
    map.insert(
        ProviderID::codex,
        UsageFixtures::snapshot(
            {window(QStringLiteral("codex.primary"), ProviderID::codex, UsageWindowKind::fiveHour,
                    UsageWindowState::exhausted, 100.0, now.addingSeconds(40 * 60)),
             window(QStringLiteral("codex.secondary"), ProviderID::codex, UsageWindowKind::weekly,
                    UsageWindowState::available, 58.5, now.addingSeconds(3 * 86400))},
            ProviderID::codex));
    map.insert(
        ProviderID::claude,
        UsageFixtures::snapshot(
            {window(QStringLiteral("claude.five_hour"), ProviderID::claude,
                    UsageWindowKind::fiveHour, UsageWindowState::nearingLimit, 91.0,
                    now.addingSeconds(2 * 3600)),
             window(QStringLiteral("claude.seven_day"), ProviderID::claude, UsageWindowKind::weekly,
                    UsageWindowState::available, 23.0, now.addingSeconds(5 * 86400))},
            ProviderID::claude));
    return map;
}

QPalette darkPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x24, 0x24, 0x24));
    palette.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::AlternateBase, QColor(0x2c, 0x2c, 0x2c));
    palette.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    palette.setColor(QPalette::Button, QColor(0x33, 0x33, 0x33));
    palette.setColor(QPalette::ButtonText, QColor(0xf0, 0xf0, 0xf0));
    palette.setColor(QPalette::Highlight, QColor(0x35, 0x84, 0xe4));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0x9a));
    return palette;
}

// Saves the window's next frame as <folder>/<name>.png, then calls next.
void capture(QQuickWindow* window, const QString& path, std::function<void()> next) {
    auto* connection = new QMetaObject::Connection;
    *connection = QObject::connect(window, &QQuickWindow::frameSwapped, window,
                                   [window, path, next, connection] {
                                       QObject::disconnect(*connection);
                                       delete connection;
                                       // Leave the frame to finish before reading it back.
                                       QTimer::singleShot(0, window, [window, path, next] {
                                           const QImage image = window->grabWindow();
                                           if (!image.save(path)) {
                                               qCritical("cannot save %s", qPrintable(path));
                                               QCoreApplication::exit(1);
                                               return;
                                           }
                                           next();
                                       });
                                   });
    window->update();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("dark"), QStringLiteral("Use a dark palette.")});
    parser.addOption({QStringLiteral("screenshots"),
                      QStringLiteral("Save the popover and settings to <folder> and quit."),
                      QStringLiteral("folder")});
    parser.process(app);
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (parser.isSet(QStringLiteral("dark"))) {
        app.setPalette(darkPalette());
    }

    MemoryDefaults defaults;
    FakeNotificationCenter notificationCenter;
    FakeLoginItemService loginItem;
    RecordingLogSink log;
    auto recording = std::make_shared<FakeSoundPlayer::Recording>();
    AppState state(defaults,
                   std::make_unique<ResetAlertAudioManager>(FakeSoundPlayer::factory(recording)));
    const SnapshotMap snapshots = storedSnapshots(Instant::now());
    std::vector<std::unique_ptr<UsageProvider>> providers;
    for (const ProviderID id : {ProviderID::codex, ProviderID::claude}) {
        auto provider = std::make_unique<FakeUsageProvider>(id);
        provider->answer(snapshots.value(id));
        providers.push_back(std::move(provider));
    }
    UsageCoordinator coordinator(std::move(providers), {defaults, notificationCenter, log});
    state.setSnapshots(snapshots);
    state.setAvailability(AvailabilityMap{{ProviderID::codex, ProviderAvailability::available()},
                                          {ProviderID::claude, ProviderAvailability::available()}});

    VantorInterface interface(state, coordinator, loginItem, defaults, notificationCenter);
    interface.show();
    interface.showPopover();

    if (!parser.isSet(QStringLiteral("screenshots"))) {
        return QApplication::exec();
    }
    const QDir folder(parser.value(QStringLiteral("screenshots")));
    const QString theme =
        parser.isSet(QStringLiteral("dark")) ? QStringLiteral("dark") : QStringLiteral("light");
    auto file = [&](const QString& name) {
        return folder.filePath(name + u'-' + theme + QStringLiteral(".png"));
    };
    // Still frames: no animation between states.
    interface.popoverModel()->setReduceMotion(true);
    QQuickView* popover = interface.popoverWindow();
    if (popover->status() != QQuickView::Ready) {
        return 1;
    }
    capture(popover, file(QStringLiteral("popover")), [&] {
        // The window follows its content's height: shoot once it has.
        auto* resized = new QMetaObject::Connection;
        *resized = QObject::connect(popover, &QWindow::heightChanged, popover, [&, resized] {
            QObject::disconnect(*resized);
            delete resized;
            capture(popover, file(QStringLiteral("popover-expanded")), [&] {
                interface.showSettings();
                QQuickView* settings = interface.settingsPresenter()->window();
                if (settings->status() != QQuickView::Ready) {
                    QCoreApplication::exit(1);
                    return;
                }
                capture(settings, file(QStringLiteral("settings")), [&] {
                    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
                    screen.save(file(QStringLiteral("screen")));
                    QCoreApplication::quit();
                });
            });
        });
        interface.popoverModel()->toggleExpansion(ProviderID::codex);
    });
    return QApplication::exec();
}
