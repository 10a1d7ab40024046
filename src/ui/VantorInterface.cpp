#include "VantorInterface.h"

#include "AppState.h"
#include "MotionPreference.h"
#include "PopoverViewModel.h"
#include "SettingsWindowPresenter.h"
#include "StatusLabelText.h"
#include "SymbolImageProvider.h"
#include "UsageCoordinator.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QQmlEngine>
#include <QQuickView>
#include <QQuickWindow>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

// Made by the QML module's type registrar; called once, as the module is linked statically.
void qml_register_types_Vantor_Ui();

namespace {

constexpr int popoverWidth = 259;
constexpr int popoverMargin = 8;
constexpr qint64 reopenGuardMs = 300;
const QString statusGlyph = QStringLiteral(":/Vantor/Ui/icons/VantorStatus.svg");

}  // namespace

VantorInterface::VantorInterface(AppState& state, UsageCoordinator& coordinator,
                                 LoginItemService& loginItem, UserDefaults& defaults,
                                 NotificationCenter& notificationCenter, QObject* parent)
    : QObject(parent),
      state_(state),
      coordinator_(coordinator),
      model_(std::make_unique<PopoverViewModel>(state, coordinator)),
      motion_(std::make_unique<MotionPreference>()),
      menu_(std::make_unique<QMenu>()),
      tray_(std::make_unique<QSystemTrayIcon>()),
      loginItem_(loginItem),
      defaults_(defaults),
      notificationCenter_(notificationCenter) {
    // Two small windows: the software renderer draws all they need at a fraction of the GPU
    // path's memory and shows the first frame sooner.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);

    QAction* refresh = menu_->addAction(model_->refreshText());
    connect(refresh, &QAction::triggered, model_.get(), &PopoverViewModel::refresh);
    QAction* settings = menu_->addAction(model_->settingsText());
    connect(settings, &QAction::triggered, this, &VantorInterface::showSettings);
    menu_->addSeparator();
    QAction* quit = menu_->addAction(model_->quitText());
    connect(quit, &QAction::triggered, model_.get(), &PopoverViewModel::quit);
    tray_->setContextMenu(menu_.get());
    connect(tray_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    togglePopover();
                }
            });
    connect(model_.get(), &PopoverViewModel::settingsRequested, this,
            &VantorInterface::showSettings);
    connect(model_.get(), &PopoverViewModel::closeRequested, this, &VantorInterface::hidePopover);
    connect(&state_, &AppState::menuStateChanged, this, &VantorInterface::updateStatus);
    connect(motion_.get(), &MotionPreference::reduceMotionChanged, model_.get(),
            &PopoverViewModel::setReduceMotion);
    qApp->installEventFilter(this);
    updateIcon();
    updateStatus();
    motion_->probe();
}

VantorInterface::~VantorInterface() {
    qApp->removeEventFilter(this);
    settings_.reset();
    if (popover_ != nullptr) {
        popover_->disconnect(this);
        delete popover_;
    }
}

bool VantorInterface::headless() {
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

void VantorInterface::show() {
    // Asking whether a tray exists is a blocking bus call; the icon registers on its own
    // once one appears, so it is simply shown from the event loop.
    QTimer::singleShot(0, tray_.get(), &QSystemTrayIcon::show);
    // The QML engine and the font database are made by the first show of a window: a Vantor
    // whose popover is never opened does not carry them.
}

void VantorInterface::updateStatus() {
    const QString text = StatusLabelText::accessibilityText(state_.menuState());
    tray_->setToolTip(text);
}

void VantorInterface::updateIcon() {
    // A one-colour glyph in the panel's text colour, so it shows on light and dark panels.
    // Trays ask for square icons of their own size: the 20 x 18 glyph sits centred in each.
    const QColor color = QGuiApplication::palette().color(QPalette::WindowText);
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 48, 64}) {
        const QImage glyph =
            SymbolImageProvider::render(statusGlyph, QSize(side, side * 18 / 20), color);
        QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
        square.fill(Qt::transparent);
        QPainter painter(&square);
        painter.drawImage(0, (side - glyph.height()) / 2, glyph);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(square));
    }
    tray_->setIcon(icon);
}

bool VantorInterface::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) {
        updateIcon();
    }
    return QObject::eventFilter(watched, event);
}

QQmlEngine& VantorInterface::engine() {
    if (!engine_) {
        // Registered with the first engine, not before: the type registry is memory too.
        static const bool registered = [] {
            qml_register_types_Vantor_Ui();
            return true;
        }();
        Q_UNUSED(registered);
        engine_ = std::make_unique<QQmlEngine>();
        engine_->addImportPath(QStringLiteral("qrc:/"));
        engine_->addImageProvider(QStringLiteral("symbol"), new SymbolImageProvider);
    }
    return *engine_;
}

void VantorInterface::showPopover() {
    if (popover_ == nullptr) {
        popover_ = new QQuickView(&engine(), nullptr);
        popover_->setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        popover_->setTitle(model_->title());
        popover_->setResizeMode(QQuickView::SizeViewToRootObject);
        popover_->setInitialProperties(
            {{QStringLiteral("model"), QVariant::fromValue(model_.get())}});
        popover_->setSource(QUrl(QStringLiteral("qrc:/Vantor/Ui/UsagePopoverView.qml")));
        connect(popover_, &QQuickView::visibleChanged, model_.get(), &PopoverViewModel::setShown);
        connect(popover_, &QQuickView::activeChanged, this, [this] {
            if (popover_ != nullptr && !popover_->isActive() && popover_->isVisible()) {
                closedByFocusLoss_.start();
                hidePopover();
            }
        });
    }
    model_->refreshTime();
    placePopover();
    popover_->show();
    popover_->raise();
    popover_->requestActivate();
}

void VantorInterface::togglePopover() {
    if (popover_ != nullptr && popover_->isVisible()) {
        hidePopover();
        return;
    }
    if (closedByFocusLoss_.isValid() && closedByFocusLoss_.elapsed() < reopenGuardMs) {
        closedByFocusLoss_.invalidate();
        return;
    }
    showPopover();
}

void VantorInterface::hidePopover() {
    if (popover_ != nullptr) {
        popover_->hide();
    }
}

void VantorInterface::showSettings() {
    if (!settings_) {
        settings_ = std::make_unique<SettingsWindowPresenter>(
            SettingsWindowPresenter::Services{state_, loginItem_, defaults_, notificationCenter_},
            engine(), *model_);
    }
    settings_->show();
}

void VantorInterface::placePopover() {
    const QSize size(popoverWidth, std::max(popover_->height(), 1));
    const QRect icon = tray_->geometry();
    // An unplaced XEmbed icon reports a small square at the origin; the protocol of
    // StatusNotifierItem reports nothing.
    const bool iconKnown = icon.isValid() && icon.topLeft() != QPoint(0, 0);
    QScreen* screen = iconKnown ? QGuiApplication::screenAt(icon.center()) : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect full = screen->geometry();
    const QRect free = screen->availableGeometry();
    QPoint origin;
    if (iconKnown) {
        const bool below = icon.center().y() < full.center().y();
        origin = QPoint(
            icon.center().x() - size.width() / 2,
            below ? icon.bottom() + popoverMargin : icon.top() - popoverMargin - size.height());
    } else {
        // The panel's corner: the edge the work area gives up, top right by default.
        const bool bottom = free.bottom() < full.bottom() && free.top() == full.top();
        const bool left = free.left() > full.left() && free.right() == full.right();
        origin = QPoint(
            left ? free.left() + popoverMargin : free.right() - popoverMargin - size.width(),
            bottom ? free.bottom() - popoverMargin - size.height() : free.top() + popoverMargin);
    }
    origin.setX(
        std::clamp(origin.x(), free.left(), std::max(free.left(), free.right() - size.width())));
    origin.setY(
        std::clamp(origin.y(), free.top(), std::max(free.top(), free.bottom() - size.height())));
    popover_->setPosition(origin);
}
