#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>

class DBusMenuExporter;
class QDBusServiceWatcher;
class QMenu;
class QSystemTrayIcon;
class StatusNotifierItem;

// Vantor's place in the panel. A StatusNotifierItem of its own on the session bus, registered
// with org.kde.StatusNotifierWatcher whenever that name gets an owner, so a panel that starts
// after Vantor still shows it; the XEmbed tray icon only while no watcher is on the bus.
// Qt's own item would do neither: it decides once, at creation, and drops the click position.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    static constexpr const char* watcherService = "org.kde.StatusNotifierWatcher";

    explicit TrayIcon(QMenu& menu, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Exports the item and looks for a watcher; the XEmbed icon stands in until one answers.
    void show();
    // Pixmaps alone, with no themed name: see TrayGlyph.
    void setIcon(const QIcon& icon);
    // Plain text, shown as it is by the item's host and by the XEmbed icon.
    void setToolTip(const QString& text);
    void setNeedsAttention(bool needsAttention);

    // Registered with a watcher right now.
    bool registered() const { return registered_; }
    // The item's bus name, "org.kde.StatusNotifierItem-<pid>-<n>".
    QString serviceName() const { return serviceName_; }
    StatusNotifierItem& item() const { return *item_; }
    // The XEmbed icon while it stands in, else null.
    QSystemTrayIcon* fallback() const { return fallback_.get(); }
    // Where the XEmbed icon sits; empty under the item (a host passes a position instead).
    QRect geometry() const;

Q_SIGNALS:
    // A left click; `position` is where the host clicked, null when it did not say.
    void activated(QPoint position);
    void secondaryActivated();
    void registeredChanged();

private:
    void registerWithWatcher();
    void setRegistered(bool registered);
    void useFallback(bool use);

    QMenu& menu_;
    std::unique_ptr<StatusNotifierItem> item_;
    std::unique_ptr<DBusMenuExporter> exporter_;
    std::unique_ptr<QSystemTrayIcon> fallback_;
    QDBusServiceWatcher* watcher_ = nullptr;
    QString serviceName_;
    QIcon icon_;
    QString toolTip_;
    bool shown_ = false;
    bool registered_ = false;
    // Answers to an older registration are stale once the watcher's owner changes.
    int attempt_ = 0;
};
