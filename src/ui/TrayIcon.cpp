#include "TrayIcon.h"

#include "DBusMenuExporter.h"
#include "PopoverPlacement.h"
#include "StatusNotifierItem.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTextDocument>

namespace {

const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString menuPath = QString::fromLatin1(StatusNotifierItem::menuPath);
constexpr int registerTimeoutMs = 5000;

// Qt guesses whether a tooltip is rich text from its first line: the plain text goes as rich
// text made from it, so that no line of it is ever read as markup.
QString richToolTip(const QString& text) {
    return text.isEmpty() ? text : Qt::convertFromPlainText(text);
}

}  // namespace

TrayIcon::TrayIcon(QMenu& menu, QObject* parent)
    : QObject(parent),
      menu_(menu),
      item_(std::make_unique<StatusNotifierItem>(QString())),
      exporter_(std::make_unique<DBusMenuExporter>(menu)) {
    StatusNotifierItem::registerTypes();
    DBusMenuExporter::registerTypes();
    connect(item_.get(), &StatusNotifierItem::activated, this, &TrayIcon::activated);
    connect(item_.get(), &StatusNotifierItem::secondaryActivated, this,
            &TrayIcon::secondaryActivated);
    connect(item_.get(), &StatusNotifierItem::contextMenuRequested, this, [this](QPoint position) {
        // Where the popover would open: the click lies inside the panel.
        menu_.popup(PopoverPlacement::origin(QRect(position, QSize(1, 1)), menu_.sizeHint()));
    });
}

TrayIcon::~TrayIcon() {
    if (!serviceName_.isEmpty()) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(itemPath);
        bus.unregisterObject(menuPath);
        bus.unregisterService(serviceName_);
    }
}

void TrayIcon::show() {
    if (shown_) {
        return;
    }
    shown_ = true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    static int instances = 0;
    const QString name = QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(++instances);
    const auto flags = QDBusConnection::ExportAllSlots | QDBusConnection::ExportScriptableSignals |
                       QDBusConnection::ExportAllProperties;
    if (!bus.isConnected() || !bus.registerObject(itemPath, item_.get(), flags) ||
        !bus.registerObject(menuPath, exporter_.get(), flags) || !bus.registerService(name)) {
        bus.unregisterObject(itemPath);
        bus.unregisterObject(menuPath);
        useFallback(true);
        return;
    }
    serviceName_ = name;
    watcher_ = new QDBusServiceWatcher(QString::fromLatin1(watcherService), bus,
                                       QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
                if (owner.isEmpty()) {
                    ++attempt_;
                    setRegistered(false);
                } else {
                    registerWithWatcher();
                }
            });
    registerWithWatcher();
}

void TrayIcon::registerWithWatcher() {
    const int attempt = ++attempt_;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(watcherService), QStringLiteral("/StatusNotifierWatcher"),
        QString::fromLatin1(watcherService), QStringLiteral("RegisterStatusNotifierItem"));
    call << serviceName_;
    auto* pending = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call, registerTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, attempt](QDBusPendingCallWatcher* reply) {
                reply->deleteLater();
                if (attempt == attempt_) {
                    setRegistered(!reply->isError());
                }
            });
}

void TrayIcon::setRegistered(bool registered) {
    useFallback(!registered);
    if (registered != registered_) {
        registered_ = registered;
        Q_EMIT registeredChanged();
    }
}

void TrayIcon::useFallback(bool use) {
    if (!use) {
        fallback_.reset();
        return;
    }
    if (fallback_) {
        return;
    }
    // An X11 tray that comes later is found by the icon itself.
    fallback_ = std::make_unique<QSystemTrayIcon>();
    fallback_->setIcon(icon_);
    fallback_->setToolTip(richToolTip(toolTip_));
    fallback_->setContextMenu(&menu_);
    connect(fallback_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    Q_EMIT activated(QPoint());
                } else if (reason == QSystemTrayIcon::MiddleClick) {
                    Q_EMIT secondaryActivated();
                }
            });
    fallback_->show();
}

void TrayIcon::setIcon(const QIcon& icon) {
    icon_ = icon;
    item_->setIcon(icon, {});
    if (fallback_) {
        fallback_->setIcon(icon);
    }
}

void TrayIcon::setToolTip(const QString& text) {
    toolTip_ = text;
    item_->setToolTip(text);
    if (fallback_) {
        fallback_->setToolTip(richToolTip(text));
    }
}

void TrayIcon::setNeedsAttention(bool needsAttention) {
    item_->setNeedsAttention(needsAttention);
}

QRect TrayIcon::geometry() const {
    return fallback_ ? fallback_->geometry() : QRect();
}
