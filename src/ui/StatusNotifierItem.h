#pragma once

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

// The tray item of the StatusNotifierItem protocol, the object a panel's host reads over the
// session bus: identity, icon by name and as pixmaps, tooltip, status, and where the menu
// lives. Clicks come back as methods and leave as signals; registering with a watcher is the
// caller's business. Exported with every public slot and property and the scriptable signals,
// so no other slot or property is public here.
class StatusNotifierItem : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ iconThemePath)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(QList<StatusNotifierItem::Pixmap> IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ emptyName)
    Q_PROPERTY(QList<StatusNotifierItem::Pixmap> OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ iconName)
    Q_PROPERTY(QList<StatusNotifierItem::Pixmap> AttentionIconPixmap READ iconPixmap)
    Q_PROPERTY(QString AttentionMovieName READ emptyName)
    Q_PROPERTY(StatusNotifierItem::ToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

public:
    // Where the item's menu is exported.
    static constexpr const char* menuPath = "/MenuBar";
    // A host's click position is taken at most this far from the origin: beyond any screen,
    // and far enough from int's ends that placing a window from it cannot overflow.
    static constexpr int coordinateLimit = 1 << 24;

    // One image in ARGB32, its bytes in network order.
    struct Pixmap {
        int width = 0;
        int height = 0;
        QByteArray bytes;
        bool operator==(const Pixmap&) const = default;
    };
    struct ToolTip {
        QString iconName;
        QList<Pixmap> pixmaps;
        QString title;
        QString text;
    };

    explicit StatusNotifierItem(QString iconName, QObject* parent = nullptr);

    // Once per process, before the item is exported or read.
    static void registerTypes();
    static QList<Pixmap> pixmaps(const QIcon& icon);

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("com.quorvel.vantor"); }
    QString title() const { return QStringLiteral("Vantor"); }
    QString status() const;
    int windowId() const { return 0; }
    QString iconThemePath() const { return iconThemePath_; }
    QString iconName() const { return iconName_; }
    QList<Pixmap> iconPixmap() const { return pixmaps_; }
    QString emptyName() const { return {}; }
    QList<Pixmap> noPixmaps() const { return {}; }
    // Hosts render the tooltip's text as markup: the plain text goes out escaped.
    ToolTip toolTip() const { return {iconName_, {}, title(), toolTip_.toHtmlEscaped()}; }
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(QString::fromLatin1(menuPath)); }

    void setIconThemePath(const QString& path) { iconThemePath_ = path; }
    // `name` is the themed icon hosts prefer to the pixmaps; empty while the pixmaps carry a
    // figure. One change, so a host reads the icon once.
    void setIcon(const QIcon& icon, const QString& name);
    // Plain text.
    void setToolTip(const QString& text);
    void setNeedsAttention(bool needsAttention);

public Q_SLOTS:
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    // Nothing of Vantor's changes by scrolling.
    void Scroll(int delta, const QString& orientation);

Q_SIGNALS:
    Q_SCRIPTABLE void NewTitle();
    Q_SCRIPTABLE void NewIcon();
    Q_SCRIPTABLE void NewAttentionIcon();
    Q_SCRIPTABLE void NewOverlayIcon();
    Q_SCRIPTABLE void NewToolTip();
    Q_SCRIPTABLE void NewStatus(const QString& status);

    // Not part of the protocol; a null point where the host gave no position.
    void activated(QPoint position);
    void secondaryActivated();
    void contextMenuRequested(QPoint position);

private:
    QString iconName_;
    QString iconThemePath_;
    QList<Pixmap> pixmaps_;
    QString toolTip_;
    bool needsAttention_ = false;
};

Q_DECLARE_METATYPE(StatusNotifierItem::Pixmap)
Q_DECLARE_METATYPE(StatusNotifierItem::ToolTip)

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierItem::Pixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierItem::Pixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierItem::ToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument,
                                StatusNotifierItem::ToolTip& toolTip);
