#pragma once

#include <QDBusArgument>
#include <QDBusContext>
#include <QDBusVariant>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

class QAction;
class QMenu;

// A flat QMenu as com.canonical.dbusmenu, the menu a StatusNotifierItem host draws itself:
// text, enabled and separator of each action, one layout revision per change, and a click
// triggers the action. Exported with every public slot and property and the scriptable
// signals, so no other slot or property is public here.
class DBusMenuExporter : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    // One item and, to the depth asked for, its children (each a variant holding a Layout).
    struct Layout {
        int id = 0;
        QVariantMap properties;
        QVariantList children;
    };
    struct ItemProperties {
        int id = 0;
        QVariantMap properties;
    };
    struct RemovedProperties {
        int id = 0;
        QStringList names;
    };
    struct MenuEvent {
        int id = 0;
        QString eventId;
        QDBusVariant data;
        uint timestamp = 0;
    };

    explicit DBusMenuExporter(QMenu& menu, QObject* parent = nullptr);
    ~DBusMenuExporter() override;

    // Once per process, before the menu is exported or read.
    static void registerTypes();

    uint version() const { return 4; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   DBusMenuExporter::Layout& layout);
    QList<DBusMenuExporter::ItemProperties> GetGroupProperties(const QList<int>& ids,
                                                               const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const QList<DBusMenuExporter::MenuEvent>& events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

Q_SIGNALS:
    Q_SCRIPTABLE void ItemsPropertiesUpdated(
        const QList<DBusMenuExporter::ItemProperties>& updatedProps,
        const QList<DBusMenuExporter::RemovedProperties>& removedProps);
    Q_SCRIPTABLE void LayoutUpdated(uint revision, int parent);
    Q_SCRIPTABLE void ItemActivationRequested(int id, uint timestamp);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    int idOf(QAction* action);
    QAction* action(int id) const;
    QVariantMap properties(int id, const QStringList& names);
    bool known(int id) const;
    void refuse(int id);

    QPointer<QMenu> menu_;
    uint revision_ = 1;
    int lastId_ = 0;
    bool updateQueued_ = false;
};

Q_DECLARE_METATYPE(DBusMenuExporter::Layout)
Q_DECLARE_METATYPE(DBusMenuExporter::ItemProperties)
Q_DECLARE_METATYPE(DBusMenuExporter::RemovedProperties)
Q_DECLARE_METATYPE(DBusMenuExporter::MenuEvent)

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuExporter::Layout& layout);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuExporter::Layout& layout);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuExporter::ItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument,
                                DBusMenuExporter::ItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuExporter::RemovedProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument,
                                DBusMenuExporter::RemovedProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuExporter::MenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuExporter::MenuEvent& event);
