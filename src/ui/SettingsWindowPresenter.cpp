#include "SettingsWindowPresenter.h"

#include "PopoverViewModel.h"
#include "SettingsViewModel.h"

#include <QGuiApplication>
#include <QQuickView>
#include <QScreen>

namespace {

constexpr QSize windowSize(440, 660);

}  // namespace

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
    view->setMinimumSize(windowSize);
    view->setMaximumSize(windowSize);
    view->resize(windowSize);
    view->setResizeMode(QQuickView::SizeRootObjectToView);
    view->setInitialProperties({{QStringLiteral("model"), QVariant::fromValue(model)},
                                {QStringLiteral("popover"), QVariant::fromValue(&popover_)}});
    view->setSource(QUrl(QStringLiteral("qrc:/Vantor/Ui/SettingsView.qml")));
    if (QScreen* screen = view->screen()) {
        QRect frame(QPoint(), windowSize);
        frame.moveCenter(screen->availableGeometry().center());
        view->setPosition(frame.topLeft());
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
