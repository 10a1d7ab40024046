#include "VantorInterface.h"

#include "AppState.h"
#include "CardText.h"
#include "Countdown.h"
#include "MoneyText.h"
#include "MotionPreference.h"
#include "PopoverDismissal.h"
#include "PopoverPlacement.h"
#include "PopoverViewModel.h"
#include "ProviderStatusText.h"
#include "SettingsWindowPresenter.h"
#include "StatusLabelText.h"
#include "SymbolImageProvider.h"
#include "TrayFigure.h"
#include "TrayGlyph.h"
#include "TrayIcon.h"
#include "UsageCoordinator.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QQuickWindow>
#include <QTimer>

// Made by the QML module's type registrar; called once, as the module is linked statically.
void qml_register_types_Vantor_Ui();

namespace {

constexpr int popoverWidth = 259;

}  // namespace

VantorInterface::VantorInterface(AppState& state, UsageCoordinator& coordinator,
                                 AccountRegistry& accounts, LoginItemService& loginItem,
                                 UserDefaults& defaults, NotificationCenter& notificationCenter,
                                 QObject* parent)
    : QObject(parent),
      state_(state),
      coordinator_(coordinator),
      accounts_(accounts),
      model_(std::make_unique<PopoverViewModel>(state, coordinator)),
      motion_(std::make_unique<MotionPreference>()),
      menu_(std::make_unique<QMenu>()),
      tray_(std::make_unique<TrayIcon>(*menu_)),
      loginItem_(loginItem),
      defaults_(defaults),
      notificationCenter_(notificationCenter) {
    // No shortcut hints: the keys act in the popover, never in a menu the panel draws.
    // First what a left click does, for panels that give the icon only a menu.
    QAction* showUsage = menu_->addAction(model_->showUsageText());
    connect(showUsage, &QAction::triggered, this, &VantorInterface::showPopover);
    menu_->addSeparator();
    firstCommand_ = menu_->addSeparator();
    QAction* refresh = menu_->addAction(model_->refreshText());
    connect(refresh, &QAction::triggered, model_.get(), &PopoverViewModel::refresh);
    QAction* settings = menu_->addAction(model_->settingsText());
    connect(settings, &QAction::triggered, this, &VantorInterface::showSettings);
    menu_->addSeparator();
    QAction* quit = menu_->addAction(model_->quitText());
    connect(quit, &QAction::triggered, model_.get(), &PopoverViewModel::quit);
    connect(tray_.get(), &TrayIcon::activated, this, &VantorInterface::activate);
    connect(tray_.get(), &TrayIcon::secondaryActivated, model_.get(), &PopoverViewModel::refresh);
    // Reset times such as "12 min" age: read again whenever the menu opens.
    connect(menu_.get(), &QMenu::aboutToShow, this, &VantorInterface::updateRows);
    connect(&state_, &AppState::snapshotsChanged, this, &VantorInterface::updateRows);
    connect(&state_, &AppState::availabilityChanged, this, &VantorInterface::updateRows);
    connect(&state_, &AppState::accountsChanged, this, &VantorInterface::updateRows);
    connect(model_.get(), &PopoverViewModel::settingsRequested, this,
            &VantorInterface::showSettings);
    connect(model_.get(), &PopoverViewModel::closeRequested, this, &VantorInterface::hidePopover);
    connect(&state_, &AppState::menuStateChanged, this, &VantorInterface::updateStatus);
    // Countdowns and reset times passing change what the icon, tooltip and rows say: all are
    // read again at the next instant one of their texts changes, and not before.
    grabRetry_.setSingleShot(true);
    connect(&grabRetry_, &QTimer::timeout, this, &VantorInterface::takeGrab);
    clock_ = new QTimer(this);
    clock_->setObjectName(QStringLiteral("countdownClock"));
    clock_->setSingleShot(true);
    clock_->setTimerType(Qt::PreciseTimer);
    connect(clock_, &QTimer::timeout, this, [this] {
        updateIcon();
        updateRows();
        updateStatus();
    });
    // The warning threshold sets the figure's colour.
    connect(&state_, &AppState::limitWarningThresholdChanged, this, &VantorInterface::updateIcon);
    connect(motion_.get(), &MotionPreference::reduceMotionChanged, model_.get(),
            &PopoverViewModel::setReduceMotion);
    connect(&state_, &AppState::snapshotsChanged, this, &VantorInterface::updateIcon);
    connect(&state_, &AppState::trayShowsFigureChanged, this, &VantorInterface::updateIcon);
    // Values that stop being current fade the figure's ring.
    connect(&state_, &AppState::availabilityChanged, this, &VantorInterface::updateIcon);
    updateIcon();
    updateStatus();
    updateRows();
    motion_->probe();
}

VantorInterface::~VantorInterface() {
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
    tray_->show();
    // The QML engine and the font database are made by the first show of a window: a Vantor
    // whose popover is never opened does not carry them.
}

void VantorInterface::updateStatus() {
    tray_->setNeedsAttention(state_.menuState() == MenuBarVisualState::exhausted);
}

void VantorInterface::armClock() {
    const Instant now = Instant::now();
    QList<Instant> moments;
    bool stale = false;
    for (const ProviderUsageSnapshot& snapshot : state_.snapshots()) {
        moments += Countdown::moments(snapshot);
        stale = stale ||
                CardText::isStale(snapshot, entryOf(state_.availability(), snapshot.providerID));
    }
    // The rows' and tooltip's reset phrases, and the moment each reset passes.
    std::optional<Instant> next = Countdown::nextChange(now, moments, Countdown::Form::resetPhrase);
    if (countsTo_) {
        next = Countdown::earliest(
            next, Countdown::nextChange(now, *countsTo_, Countdown::Form::shortDuration));
    }
    // "As of" values name their day once it is not today.
    if (stale) {
        next = Countdown::earliest(next, Countdown::nextMidnight(now));
    }
    if (next) {
        clock_->start(Countdown::waitMs(now, *next));
    } else {
        clock_->stop();
    }
}

void VantorInterface::updateIcon() {
    std::optional<TrayFigure> figure =
        state_.trayShowsFigure()
            ? TrayFigure::from(state_.snapshots(), Instant::now(), state_.nearingPercent())
            : std::nullopt;
    if (figure && figure->provider) {
        figure->faded = CardText::isStale(entryOf(state_.snapshots(), *figure->provider),
                                          entryOf(state_.availability(), *figure->provider));
    }
    countsTo_ = figure ? figure->countsTo : std::nullopt;
    armClock();
    const QString shown = figure ? figure->text + u' ' + QString::number(figure->usedPercent) +
                                       u' ' + QString::number(static_cast<int>(figure->severity)) +
                                       (figure->faded ? QStringLiteral(" faded") : QString())
                                 : QStringLiteral("symbol");
    if (shown == iconShown_) {
        return;
    }
    iconShown_ = shown;
    if (!figure) {
        tray_->setIcon(TrayGlyph::icon());
        return;
    }
    // The figure carries its own shades: the bar's is unknown, whatever the palette says.
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 48, 64}) {
        icon.addPixmap(QPixmap::fromImage(figure->render(side)));
    }
    tray_->setIcon(icon);
}

void VantorInterface::updateRows() {
    QStringList texts;
    // The tooltip also has each account's money line, after its rows.
    QStringList tip;
    const Instant now = Instant::now();
    for (const ProviderID& provider : state_.watchedProviders()) {
        const std::optional<ProviderUsageSnapshot> snapshot = entryOf(state_.snapshots(), provider);
        // Named as `vantor status` and the notifications name an account: "Claude (work)".
        const QString name =
            ProviderStatusText::namedProvider(provider.kind, state_.accountLabel(provider));
        const QStringList rows =
            CardText::trayMenuRows(name, provider.kind, snapshot,
                                   entryOf(state_.availability(), provider), now, QLocale());
        texts += rows;
        tip += rows;
        if (snapshot) {
            if (const QString money = MoneyText::line(*snapshot, now, QLocale());
                !money.isEmpty()) {
                tip.append(CardText::namedLine(name, money));
            }
        }
    }
    // The same number of rows keeps their actions, so an open menu only changes its words.
    if (texts.size() != rows_.size()) {
        qDeleteAll(rows_);
        rows_.clear();
        while (rows_.size() < texts.size()) {
            // A row reads as an item of its own and opens the popover with the details.
            auto* row = new QAction(menu_.get());
            connect(row, &QAction::triggered, this, &VantorInterface::showPopover);
            menu_->insertAction(firstCommand_, row);
            rows_.append(row);
        }
    }
    for (qsizetype i = 0; i < rows_.size(); ++i) {
        // A limit's name is plain text: its '&' marks no shortcut key.
        rows_[i]->setText(QString(texts[i]).replace(u'&', QStringLiteral("&&")));
    }
    // The state in a word, then every window, for a glance without a click.
    // First the one figure the tray names, as that account's card words it; else the state.
    const std::optional<TrayFigure> figure =
        TrayFigure::from(state_.snapshots(), now, state_.nearingPercent());
    if (figure && figure->provider) {
        // As `vantor status` words it, with the mark of values not current.
        const ProviderID provider = *figure->provider;
        const std::optional<ProviderUsageSnapshot> snapshot = entryOf(state_.snapshots(), provider);
        const std::optional<ProviderAvailability> availability =
            entryOf(state_.availability(), provider);
        QString line =
            snapshot ? ProviderStatusText::accountLine(*snapshot, now, QLocale()) : QString();
        if (line.isEmpty()) {
            line = CardText::summary(snapshot, availability, now, QLocale());
        }
        if (const QString stale =
                ProviderStatusText::staleMark(snapshot, availability, now, QLocale());
            !stale.isEmpty()) {
            line += QStringLiteral(" \u00b7 ") + stale;
        }
        tip.prepend(CardText::namedLine(
            ProviderStatusText::namedProvider(provider.kind, state_.accountLabel(provider)), line));
    } else {
        tip.prepend(StatusLabelText::accessibilityText(state_.menuState()));
    }
    tray_->setToolTip(tip.join(u'\n'));
    armClock();
}

QQmlEngine& VantorInterface::engine() {
    if (!engine_) {
        // Registered with the first engine, not before: the type registry is memory too.
        static const bool registered = [] {
            qml_register_types_Vantor_Ui();
            return true;
        }();
        Q_UNUSED(registered);
        // Two small windows: the software renderer draws all they need at a fraction of the
        // GPU path's memory and shows the first frame sooner. Chosen here, with the first
        // window, so an idle Vantor runs none of Qt Quick.
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        engine_ = std::make_unique<QQmlEngine>();
        engine_->addImportPath(QStringLiteral("qrc:/"));
        engine_->addImageProvider(QStringLiteral("symbol"), new SymbolImageProvider);
    }
    return *engine_;
}

void VantorInterface::showPopover() {
    if (popover_ == nullptr) {
        popover_ = new QQuickView(&engine(), nullptr);
        // Of fixed size: tiling window managers and compositors float it. Under X it is a popup
        // outside the window manager, as for any tray popup (sway's XWayland and others centre a
        // managed window whatever position it asks for); a tool window would not be given the
        // keyboard there.
        const bool grabs = PopoverDismissal::grabsInput(PopoverDismissal::current());
        const Qt::WindowFlags flags =
            (grabs ? Qt::Popup : Qt::Tool) | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
        popover_->setFlags(flags);
        popover_->setTitle(model_->title());
        popover_->setResizeMode(QQuickView::SizeRootObjectToView);
        popover_->setInitialProperties(
            {{QStringLiteral("model"), QVariant::fromValue(model_.get())}});
        popover_->setSource(QUrl(QStringLiteral("qrc:/Vantor/Ui/UsagePopoverView.qml")));
        if (QQuickItem* root = popover_->rootObject()) {
            connect(root, &QQuickItem::implicitHeightChanged, this, &VantorInterface::fitPopover);
            connect(root, &QQuickItem::implicitWidthChanged, this, &VantorInterface::fitPopover);
        }
        fitPopover();
        connect(popover_, &QQuickView::visibleChanged, model_.get(), &PopoverViewModel::setShown);
        connect(popover_, &QQuickView::activeChanged, this, [this] {
            if (popover_->isActive()) {
                hadFocus_ = true;
                return;
            }
            dismissOn(PopoverDismissal::Event::focusLost);
        });
        popover_->installEventFilter(this);
        settle_.setSingleShot(true);
        settle_.setInterval(static_cast<int>(PopoverDismissal::settleMs));
        connect(&settle_, &QTimer::timeout, this,
                [this] { dismissOn(PopoverDismissal::Event::settled); });
    }
    model_->refreshTime();
    // Many cards scroll rather than run off the screen the popover opens on.
    if (QQuickItem* root = popover_->rootObject()) {
        root->setProperty("maximumHeight", PopoverPlacement::maximumHeight(anchor()));
    }
    placePopover();
    const bool wasShown = popover_->isVisible();
    popover_->show();
    if (!wasShown) {
        shownAt_.start();
        hadFocus_ = popover_->isActive();
        settle_.start();
    }
    popover_->raise();
    popover_->requestActivate();
    if (QQuickItem* root = popover_->rootObject()) {
        QMetaObject::invokeMethod(root, "focusFirstCard");
    }
}

void VantorInterface::activate(QPoint position) {
    anchor_ = position;
    togglePopover();
}

void VantorInterface::togglePopover() {
    dismissOn(PopoverDismissal::Event::iconClick);
}

void VantorInterface::dismissOn(PopoverDismissal::Event event) {
    const bool shown = popover_ != nullptr && popover_->isVisible();
    const PopoverDismissal::State state{
        shown,
        shown && popover_->isActive(),
        shown && hadFocus_,
        shown ? shownAt_.elapsed() : 0,
        dismissedAt_.isValid() ? dismissedAt_.elapsed() : -1,
    };
    switch (PopoverDismissal::decide(event, state)) {
        case PopoverDismissal::Outcome::stays:
            return;
        case PopoverDismissal::Outcome::shows:
            showPopover();
            return;
        case PopoverDismissal::Outcome::dismiss:
            dismissedAt_.start();
            hidePopover();
            return;
        case PopoverDismissal::Outcome::hides:
            dismissedAt_.invalidate();
            hidePopover();
            return;
    }
}

bool VantorInterface::eventFilter(QObject* watched, QEvent* event) {
    if (popover_ == nullptr || watched != popover_) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::Expose:
            // A grab needs a window on the screen: taken once it is, again after every show.
            if (popover_->isExposed() && popover_->type() == Qt::Popup) {
                grabAttempts_ = 0;
                takeGrab();
            }
            break;
        case QEvent::KeyPress:
            // Under the keyboard grab keys arrive here even while the window is not the focused
            // one, where the view's own Escape shortcut does not fire.
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                dismissOn(PopoverDismissal::Event::escape);
                return true;
            }
            break;
        case QEvent::MouseButtonPress: {
            // Under the pointer grab a press anywhere comes here, placed where it happened.
            const QPointF at = static_cast<QMouseEvent*>(event)->position();
            const bool inside = QRectF(QPointF(), popover_->size()).contains(at);
            dismissOn(inside ? PopoverDismissal::Event::pressInside
                             : PopoverDismissal::Event::pressOutside);
            if (!inside) {
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void VantorInterface::takeGrab() {
    if (popover_ == nullptr || !popover_->isExposed() || grabbed_) {
        return;
    }
    const bool keyboard = popover_->setKeyboardGrabEnabled(true);
    grabbed_ = popover_->setMouseGrabEnabled(true) && keyboard;
    // Another client may hold a grab for a moment (a panel's own menu closing): 10 tries 50 ms
    // apart, then the focus rules alone close the popover.
    constexpr int attempts = 10;
    if (!grabbed_ && ++grabAttempts_ < attempts) {
        grabRetry_.start(50);
    }
}

void VantorInterface::clockJumped() {
    updateIcon();
    updateRows();
    updateStatus();
    model_->tick();
}

void VantorInterface::hidePopover() {
    if (popover_ != nullptr) {
        settle_.stop();
        grabRetry_.stop();
        // A popup, as made where it grabs (under X).
        if (popover_->type() == Qt::Popup) {
            popover_->setKeyboardGrabEnabled(false);
            popover_->setMouseGrabEnabled(false);
        }
        grabbed_ = false;
        popover_->hide();
    }
}

void VantorInterface::showSettings() {
    // The settings take the focus: the popover, and its grab under X, go first.
    if (popover_ != nullptr && popover_->isVisible()) {
        hidePopover();
    }
    if (!settings_) {
        settings_ = std::make_unique<SettingsWindowPresenter>(
            SettingsWindowPresenter::Services{state_, accounts_, loginItem_, defaults_,
                                              notificationCenter_},
            engine(), *model_);
    }
    settings_->show();
}

void VantorInterface::fitPopover() {
    const QQuickItem* root = popover_->rootObject();
    const int height = root != nullptr ? std::max(1, qRound(root->implicitHeight())) : 1;
    const int width =
        root != nullptr ? std::max(popoverWidth, qRound(root->implicitWidth())) : popoverWidth;
    const QSize size(width, height);
    // Equal bounds are what marks a window as fixed; they move with the content, widened
    // first so no window manager clamps the new size to the old one.
    popover_->setMaximumSize(size.expandedTo(popover_->size()));
    popover_->setMinimumSize(size);
    popover_->setMaximumSize(size);
    popover_->resize(size);
    if (popover_->isVisible()) {
        placePopover();
    }
}

void VantorInterface::placePopover() {
    // A Wayland compositor places its windows itself and tells a client nothing of where.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        return;
    }
    popover_->setPosition(PopoverPlacement::origin(anchor(), popover_->size()));
}

QRect VantorInterface::anchor() const {
    const QRect anchor = anchor_.isNull() ? tray_->geometry() : QRect(anchor_, QSize(1, 1));
    // An unplaced XEmbed icon reports a small square at the origin.
    if (!anchor.isValid() || anchor.topLeft() == QPoint(0, 0)) {
        return QRect(QCursor::pos(), QSize(1, 1));
    }
    return anchor;
}
