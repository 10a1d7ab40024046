#include "SettingsWindowPresenter.h"

#include "PopoverViewModel.h"
#include "SettingsViewModel.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <QtMath>

#include <algorithm>

namespace {

// Room left around the window on its screen for the window manager's frame and a little air.
constexpr QSize frameRoom(32, 64);

}  // namespace

QSize SettingsWindowPresenter::fittedSize(QSizeF content, QSize available) {
    const QSize wanted(std::max(1, qCeil(content.width())), std::max(1, qCeil(content.height())));
    // Without a known screen the form gets what it asks for.
    if (available.isEmpty()) {
        return wanted;
    }
    const QSize room = (available - frameRoom).expandedTo(QSize(1, 1));
    return wanted.boundedTo(room);
}

SettingsWindowPresenter::SettingsWindowPresenter(Services services, QQmlEngine& engine,
                                                 PopoverViewModel& popover, QObject* parent)
    : QObject(parent), services_(services), engine_(engine), popover_(popover) {}

SettingsWindowPresenter::~SettingsWindowPresenter() {
    if (window_) {
        // A window going away says it is hidden: nobody is left here to hear it.
        window_->disconnect(this);
        delete window_.data();
    }
}

void SettingsWindowPresenter::fit(QQuickView* view) {
    const QQuickItem* root = view->rootObject();
    if (root == nullptr) {
        return;
    }
    const QScreen* screen = view->screen();
    const QSize size = fittedSize(QSizeF(root->implicitWidth(), root->implicitHeight()),
                                  screen != nullptr ? screen->availableGeometry().size() : QSize());
    // Equal bounds keep it of fixed size, so tiling window managers float it; widened first so
    // no window manager clamps the new size to the old one.
    view->setMaximumSize(size.expandedTo(view->size()));
    view->setMinimumSize(size);
    view->setMaximumSize(size);
    view->resize(size);
    // Grown while open, it stays on its screen: moved up or left as far as it must.
    if (screen != nullptr && view->isVisible()) {
        const QRect area = screen->availableGeometry();
        const QPoint at(std::clamp(view->x(), area.left(),
                                   std::max(area.left(), area.right() + 1 - size.width())),
                        std::clamp(view->y(), area.top(),
                                   std::max(area.top(), area.bottom() + 1 - size.height())));
        if (at != view->position()) {
            view->setPosition(at);
        }
    }
}

void SettingsWindowPresenter::show() {
    if (window_) {
        window_->show();
        window_->raise();
        window_->requestActivate();
        return;
    }
    auto* view = new QQuickView(&engine_, nullptr);
    auto* model = new SettingsViewModel(services_.state, services_.accounts, services_.loginItem,
                                        services_.defaults, services_.notificationCenter,
                                        SettingsViewModel::Launcher(), view);
    view->setFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinimizeButtonHint);
    view->setTitle(tr("Vantor Settings"));
    view->setResizeMode(QQuickView::SizeRootObjectToView);
    view->setInitialProperties({{QStringLiteral("model"), QVariant::fromValue(model)},
                                {QStringLiteral("popover"), QVariant::fromValue(&popover_)}});
    view->setSource(QUrl(QStringLiteral("qrc:/Vantor/Ui/SettingsView.qml")));
    fit(view);
    if (QScreen* screen = view->screen()) {
        QRect frame(QPoint(), view->size());
        frame.moveCenter(screen->availableGeometry().center());
        view->setPosition(frame.topLeft());
    }
    // The form grows and shrinks with its accounts and messages: the window follows.
    if (QQuickItem* root = view->rootObject()) {
        connect(root, &QQuickItem::implicitHeightChanged, view, [view] { fit(view); });
        connect(root, &QQuickItem::implicitWidthChanged, view, [view] { fit(view); });
    }
    // Closing forgets the window, and with it the form's state.
    connect(view, &QWindow::visibleChanged, this, [this, view](bool visible) {
        if (!visible) {
            if (window_ == view) {
                window_.clear();
            }
            view->deleteLater();
        }
    });
    window_ = view;
    Q_EMIT windowCreated();
    view->show();
    view->raise();
    view->requestActivate();
}
