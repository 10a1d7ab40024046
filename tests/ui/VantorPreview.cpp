// Shows the interface over fake providers and stored snapshots, without the runtime: for a
// look at it, and for the screenshot test, which passes --screenshots <folder>.
#include "AccountRegistry.h"
#include "AppState.h"
#include "ClaudeParser.h"
#include "CodexParser.h"
#include "FakeLoginItemService.h"
#include "FakeNotificationCenter.h"
#include "FakeSoundPlayer.h"
#include "InterfaceLanguage.h"
#include "MemoryDefaults.h"
#include "PopoverViewModel.h"
#include "RecordingLogSink.h"
#include "SettingsWindowPresenter.h"
#include "StatusNotifierItem.h"
#include "StatusReport.h"
#include "TrayIcon.h"
#include "UsageCoordinator.h"
#include "UsageHistory.h"
#include "UsageJson.h"
#include "VantorInterface.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocale>
#include <QMenu>
#include <QPalette>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <QStyleFactory>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>

namespace {

// The snapshots of tests/data/ui/preview.json, their reset times counted from now: one window
// exhausted, one nearing its limit, the others fine, and the account line and the extra usage,
// the longest texts a card has.
SnapshotMap storedSnapshots(Instant now) {
    QFile file(QStringLiteral(VANTOR_TEST_DATA_DIR "/ui/preview.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", qPrintable(file.fileName()));
    }
    SnapshotMap map;
    for (ProviderUsageSnapshot snapshot : UsageJson::decodeSnapshots(file.readAll())) {
        for (UsageWindowSnapshot& w : snapshot.windows) {
            w.resetAt = now.addingSeconds(w.resetAt->secondsSinceReferenceDate());
        }
        map.insert(snapshot.providerID, snapshot);
    }
    return map;
}

// A second account of each assistant beside the default one, in a home folder of its own, with
// the stored snapshots at lower figures.
void addWorkAccounts(const QString& home, SnapshotMap& snapshots) {
    for (const char* file : {".codex/auth.json", ".codex-work/auth.json",
                             ".claude/.credentials.json", ".claude-work/.credentials.json"}) {
        QFile sign(QDir(home).filePath(QLatin1String(file)));
        if (!QDir(home).mkpath(QFileInfo(sign).path()) || !sign.open(QIODevice::WriteOnly)) {
            qFatal("cannot write %s", qPrintable(sign.fileName()));
        }
    }
    for (ProviderUsageSnapshot snapshot : SnapshotMap(snapshots)) {
        const ProviderKind kind = snapshot.providerID.kind;
        const QString folder = QStringLiteral("%1/.%2-work").arg(home, rawValue(kind));
        snapshot.assignProvider({kind, AccountDiscovery::accountID(kind, folder)});
        for (UsageWindowSnapshot& w : snapshot.windows) {
            w.usedPercent = std::round(*w.usedPercent * 0.4);
            w.state = UsageWindowState::available;
        }
        snapshots.insert(snapshot.providerID, snapshot);
    }
}

// Texts cut short or running past their item or the window: each as "<text>: <why>".
QStringList unfitTexts(QQuickWindow* window) {
    QStringList unfit;
    const qreal windowWidth = window->contentItem()->width();
    for (const QQuickItem* item : window->contentItem()->findChildren<QQuickItem*>()) {
        const QString text = item->property("text").toString();
        const bool isText = item->inherits("QQuickText") || item->inherits("QQuickTextInput");
        if (!isText || text.isEmpty() || !item->isVisible() || item->width() <= 0.0) {
            continue;
        }
        // Wrapped text only grows; unwrapped text must fit the width it was given.
        const bool wraps = item->property("wrapMode").toInt() != 0;
        const qreal needed =
            item->property(item->inherits("QQuickText") ? "implicitWidth" : "contentWidth")
                .toReal();
        const qreal right = item->mapToScene(QPointF(std::min(item->width(), needed), 0)).x();
        if (item->property("truncated").toBool()) {
            unfit.append(text + QStringLiteral(": elided"));
        } else if (!wraps && needed > item->width() + 1.0) {
            unfit.append(
                QStringLiteral("%1: needs %2 px, has %3").arg(text).arg(needed).arg(item->width()));
        } else if (right > windowWidth + 1.0) {
            unfit.append(
                QStringLiteral("%1: ends at %2 of %3").arg(text).arg(right).arg(windowWidth));
        }
    }
    return unfit;
}

// Saves the window's next frame as <folder>/<name>.png, then calls next; fails when a text in it
// does not fit.
void capture(QQuickWindow* window, const QString& path, std::function<void()> next) {
    QObject::connect(
        window, &QQuickWindow::frameSwapped, window,
        [window, path, next] {
            // Leave the frame to finish before reading it back.
            QTimer::singleShot(0, window, [window, path, next] {
                if (!window->grabWindow().save(path)) {
                    qCritical("cannot save %s", qPrintable(path));
                    QCoreApplication::exit(1);
                    return;
                }
                if (const QStringList unfit = unfitTexts(window); !unfit.isEmpty()) {
                    qCritical("texts that do not fit in %s:\n  %s", qPrintable(path),
                              qPrintable(unfit.join(QStringLiteral("\n  "))));
                    QCoreApplication::exit(1);
                    return;
                }
                next();
            });
        },
        Qt::SingleShotConnection);
    window->update();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InterfaceLanguage::apply();
    // vantor_preview [--dark] [--accounts] [--screenshots <folder>] [--claude <usage body>]
    // [--codex <rate limits result>] [--first-run | --stale] [--alerts-off] [--focus <name>]:
    // with a body, that card from it, expanded in the second shot; --accounts adds a second
    // account of each assistant; --focus gives the settings control of that name the keyboard
    const QStringList arguments = QApplication::arguments();
    const auto option = [&](const char* name) {
        const qsizetype at = arguments.indexOf(QLatin1String(name)) + 1;
        return at > 0 && at < arguments.size() ? arguments[at] : QString();
    };
    const bool dark = arguments.contains(QStringLiteral("--dark"));
    const bool accounts = arguments.contains(QStringLiteral("--accounts"));
    const qsizetype shots = arguments.indexOf(QStringLiteral("--screenshots")) + 1;
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (dark) {
        // Light text and shades follow from a dark button and window colour.
        app.setPalette(QPalette(QColor(0x33, 0x33, 0x33), QColor(0x24, 0x24, 0x24)));
    }

    MemoryDefaults defaults;
    FakeNotificationCenter notificationCenter;
    FakeLoginItemService loginItem;
    RecordingLogSink log;
    AppState state(defaults, std::make_unique<ResetAlertAudioManager>(FakeSoundPlayer::factory(
                                 std::make_shared<FakeSoundPlayer::Recording>())));
    // No providers: the stored snapshots stay as they are.
    UsageCoordinator coordinator({}, {defaults, notificationCenter, log});
    // The accounts live in a home folder of the preview's own, which the settings show as "~".
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    SnapshotMap stored = storedSnapshots(Instant::now());
    if (accounts) {
        addWorkAccounts(home.path(), stored);
    }
    AccountRegistry registry(defaults, state, AccountDiscovery({home.path(), {}, {}}));
    // An hour of readings climbing to the stored figures, so the rows show their pace.
    UsageHistory history;
    for (int minutesAgo = 60; minutesAgo >= 0; minutesAgo -= 5) {
        for (ProviderUsageSnapshot past : stored) {
            for (UsageWindowSnapshot& w : past.windows) {
                w.observedAt = Instant::now().addingSeconds(-60.0 * minutesAgo);
                w.usedPercent = *w.usedPercent * (1.0 - minutesAgo / 200.0);
            }
            history.record(past);
        }
    }
    state.setSnapshots(stored);
    AvailabilityMap available;
    for (const ProviderID& provider : state.watchedProviders()) {
        available.insert(provider, ProviderAvailability::available());
    }
    state.setAvailability(available);
    // A first run: nothing read, Codex not installed and Claude Code signed out; or values
    // kept through a sign-out and a rate limit.
    if (arguments.contains(QStringLiteral("--first-run"))) {
        state.setSnapshots({});
        state.setAvailability({{ProviderID::codex, ProviderAvailability::notInstalled()},
                               {ProviderID::claude, ProviderAvailability::notAuthenticated()}});
    } else if (arguments.contains(QStringLiteral("--stale"))) {
        state.setAvailability({{ProviderID::codex, ProviderAvailability::notAuthenticated()},
                               {ProviderID::claude, ProviderAvailability::rateLimited(
                                                        Instant::now().addingSeconds(600), {})}});
    } else if (arguments.contains(QStringLiteral("--expired"))) {
        state.setAvailability({{ProviderID::codex, ProviderAvailability::available()},
                               {ProviderID::claude, ProviderAvailability::sessionExpired({})}});
    }
    if (arguments.contains(QStringLiteral("--alerts-off"))) {
        state.setAlertsEnabled(false);
    }
    if (QFile body(option("--claude")); body.open(QIODevice::ReadOnly)) {
        SnapshotMap snapshots = state.snapshots();
        snapshots.insert(ProviderID::claude, ClaudeParser::parse(body.readAll(), Instant::now()));
        state.setSnapshots(snapshots);
    }
    if (QFile result(option("--codex")); result.open(QIODevice::ReadOnly)) {
        SnapshotMap snapshots = state.snapshots();
        snapshots.insert(
            ProviderID::codex,
            CodexParser::parse(QJsonDocument::fromJson(result.readAll()).object(), Instant::now()));
        state.setSnapshots(snapshots);
    }

    VantorInterface interface(state, coordinator, registry, loginItem, defaults,
                              notificationCenter);
    interface.show();
    interface.showPopover();
    // --texts <file>: what the tray's tooltip and menu, `vantor status` and Waybar say.
    if (const QString texts = option("--texts"); !texts.isEmpty()) {
        QStringList lines{QStringLiteral("tooltip:"), interface.trayIcon()->item().toolTip().text,
                          QStringLiteral("menu:")};
        for (const QAction* action : interface.trayMenu()->actions()) {
            lines.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        StatusReport report{state.snapshots(), state.availability(), {}};
        report.nearingPercent = state.nearingPercent();
        lines << QStringLiteral("vantor status:") << report.text(Instant::now(), QLocale())
              << QStringLiteral("vantor status --waybar:")
              << QString::fromUtf8(report.waybar(Instant::now(), QLocale()));
        QFile out(texts);
        if (!out.open(QIODevice::WriteOnly) || out.write(lines.join(u'\n').toUtf8() + '\n') < 0) {
            return 1;
        }
    }

    if (shots == 0 || shots >= arguments.size()) {
        return QApplication::exec();
    }
    auto file = [&](const QString& name) {
        // English shots keep their plain names; other languages add theirs.
        const QString language = QLocale().name().left(2);
        return QDir(arguments[shots])
            .filePath(name + (accounts ? "-accounts" : "") + (dark ? "-dark" : "-light") +
                      (language == QLatin1String("en") ? QString() : u'-' + language) + ".png");
    };
    // Still frames: no animation between states.
    interface.popoverModel()->setReduceMotion(true);
    QQuickView* popover = interface.popoverWindow();
    if (popover->status() != QQuickView::Ready) {
        return 1;
    }
    capture(popover, file(QStringLiteral("popover")), [&] {
        // The window follows its content's height: shoot once it has.
        QObject::connect(
            popover, &QWindow::heightChanged, popover,
            [&] {
                capture(popover, file(QStringLiteral("popover-expanded")), [&] {
                    interface.showSettings();
                    QQuickView* settings = interface.settingsPresenter()->window();
                    if (settings->status() != QQuickView::Ready) {
                        QCoreApplication::exit(1);
                        return;
                    }
                    const auto shoot = [&, settings] {
                        capture(settings, file(QStringLiteral("settings")), [&] {
                            const QImage screen =
                                QGuiApplication::primaryScreen()->grabWindow(0).toImage();
                            screen.save(file(QStringLiteral("screen")));
                            QCoreApplication::quit();
                        });
                    };
                    auto* control =
                        settings->rootObject()->findChild<QQuickItem*>(option("--focus"));
                    if (control == nullptr || option("--focus").isEmpty()) {
                        shoot();
                        return;
                    }
                    // Focus shows as from the keyboard once the window has it.
                    const auto focus = [control, shoot] {
                        control->forceActiveFocus(Qt::TabFocusReason);
                        shoot();
                    };
                    if (settings->isActive()) {
                        focus();
                        return;
                    }
                    QObject::connect(settings, &QWindow::activeChanged, control, focus,
                                     Qt::SingleShotConnection);
                    settings->requestActivate();
                });
            },
            Qt::SingleShotConnection);
        interface.popoverModel()->toggleExpansion(
            option("--claude").isEmpty() || !option("--codex").isEmpty() ? ProviderID::codex
                                                                         : ProviderID::claude);
    });
    return QApplication::exec();
}
