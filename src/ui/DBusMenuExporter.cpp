#include "DBusMenuExporter.h"

#include <QAction>
#include <QDBusMetaType>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>

namespace {

const char* const idProperty = "vantorDBusMenuId";

QVariantMap filtered(QVariantMap properties, const QStringList& names) {
    if (!names.isEmpty()) {
        properties.removeIf([&names](auto entry) { return !names.contains(entry.key()); });
    }
    return properties;
}

// Qt marks a menu's shortcut key with '&' and writes a literal one as "&&"; dbusmenu marks it
// with '_' and writes a literal one as "__".
QString dbusMenuLabel(const QString& text) {
    QString label;
    label.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size() && text[++i] != u'&') {
            label += u'_';
        }
        label += text[i];
        if (text[i] == u'_') {
            label += u'_';
        }
    }
    return label;
}

}  // namespace

DBusMenuExporter::DBusMenuExporter(QMenu& menu, QObject* parent) : QObject(parent), menu_(&menu) {
    menu.installEventFilter(this);
}

DBusMenuExporter::~DBusMenuExporter() {
    if (menu_) {
        menu_->removeEventFilter(this);
    }
}

void DBusMenuExporter::registerTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<Layout>();
        qDBusRegisterMetaType<ItemProperties>();
        qDBusRegisterMetaType<QList<ItemProperties>>();
        qDBusRegisterMetaType<RemovedProperties>();
        qDBusRegisterMetaType<QList<RemovedProperties>>();
        qDBusRegisterMetaType<MenuEvent>();
        qDBusRegisterMetaType<QList<MenuEvent>>();
        return true;
    }();
    Q_UNUSED(registered);
}

QString DBusMenuExporter::textDirection() const {
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
}

bool DBusMenuExporter::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (watched == menu_ && !updateQueued_ &&
        (type == QEvent::ActionAdded || type == QEvent::ActionChanged ||
         type == QEvent::ActionRemoved)) {
        // A rebuild of the rows changes many actions at once: one new revision for all.
        updateQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            updateQueued_ = false;
            Q_EMIT LayoutUpdated(++revision_, 0);
        });
    }
    return QObject::eventFilter(watched, event);
}

int DBusMenuExporter::idOf(QAction* action) {
    bool ok = false;
    int id = action->property(idProperty).toInt(&ok);
    if (!ok) {
        id = ++lastId_;
        action->setProperty(idProperty, id);
    }
    return id;
}

QAction* DBusMenuExporter::action(int id) const {
    if (menu_ && id > 0) {
        for (QAction* action : menu_->actions()) {
            if (action->property(idProperty).toInt() == id) {
                return action;
            }
        }
    }
    return nullptr;
}

bool DBusMenuExporter::known(int id) const {
    return id == 0 || action(id) != nullptr;
}

void DBusMenuExporter::refuse(int id) {
    if (calledFromDBus()) {
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("No menu item %1").arg(id));
    }
}

QVariantMap DBusMenuExporter::properties(int id, const QStringList& names) {
    QVariantMap properties;
    const QAction* item = action(id);
    if (id == 0) {
        properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else if (item != nullptr && item->isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
    } else if (item != nullptr) {
        // No shortcut: the keys work in the popover, not in a menu the panel draws.
        properties.insert(QStringLiteral("label"), dbusMenuLabel(item->text()));
        if (!item->isEnabled()) {
            properties.insert(QStringLiteral("enabled"), false);
        }
    }
    if (item != nullptr && !item->isVisible()) {
        properties.insert(QStringLiteral("visible"), false);
    }
    return filtered(properties, names);
}

uint DBusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                 Layout& layout) {
    if (!known(parentId)) {
        refuse(parentId);
        return revision_;
    }
    layout = {parentId, properties(parentId, propertyNames), {}};
    if (parentId == 0 && recursionDepth != 0 && menu_) {
        for (QAction* item : menu_->actions()) {
            const int id = idOf(item);
            layout.children.append(
                QVariant::fromValue(Layout{id, properties(id, propertyNames), {}}));
        }
    }
    return revision_;
}

QList<DBusMenuExporter::ItemProperties> DBusMenuExporter::GetGroupProperties(
    const QList<int>& ids, const QStringList& propertyNames) {
    QList<ItemProperties> result;
    for (const int id : ids) {
        if (known(id)) {
            result.append({id, properties(id, propertyNames)});
        }
    }
    return result;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString& name) {
    const QVariantMap all = properties(id, {});
    if (!known(id) || !all.contains(name)) {
        refuse(id);
        return QDBusVariant(QString());
    }
    return QDBusVariant(all.value(name));
}

void DBusMenuExporter::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    QAction* item = action(id);
    if (item == nullptr && id != 0) {
        refuse(id);
        return;
    }
    // After the reply: Quit must not end the process with the host's call unanswered.
    if (item != nullptr && eventId == QLatin1String("clicked") && item->isEnabled() &&
        !item->isSeparator()) {
        QMetaObject::invokeMethod(item, &QAction::trigger, Qt::QueuedConnection);
    }
}

QList<int> DBusMenuExporter::EventGroup(const QList<MenuEvent>& events) {
    QList<int> unknown;
    for (const MenuEvent& event : events) {
        if (known(event.id)) {
            Event(event.id, event.eventId, event.data, event.timestamp);
        } else {
            unknown.append(event.id);
        }
    }
    return unknown;
}

bool DBusMenuExporter::AboutToShow(int id) {
    if (!known(id)) {
        refuse(id);
    } else if (id == 0 && menu_) {
        // The menu's owner brings its rows up to date; a change arrives as LayoutUpdated.
        Q_EMIT menu_->aboutToShow();
    }
    return false;
}

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    for (const int id : ids) {
        if (!known(id)) {
            idErrors.append(id);
        }
    }
    return {};
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuExporter::Layout& layout) {
    argument.beginStructure();
    argument << layout.id << layout.properties;
    argument.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const QVariant& child : layout.children) {
        argument << QDBusVariant(child);
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuExporter::Layout& layout) {
    argument.beginStructure();
    argument >> layout.id >> layout.properties;
    argument.beginArray();
    layout.children.clear();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        layout.children.append(
            QVariant::fromValue(qdbus_cast<DBusMenuExporter::Layout>(child.variant())));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuExporter::ItemProperties& item) {
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument,
                                DBusMenuExporter::ItemProperties& item) {
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument,
                          const DBusMenuExporter::RemovedProperties& item) {
    argument.beginStructure();
    argument << item.id << item.names;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument,
                                DBusMenuExporter::RemovedProperties& item) {
    argument.beginStructure();
    argument >> item.id >> item.names;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuExporter::MenuEvent& event) {
    argument.beginStructure();
    argument << event.id << event.eventId << event.data << event.timestamp;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuExporter::MenuEvent& event) {
    argument.beginStructure();
    argument >> event.id >> event.eventId >> event.data >> event.timestamp;
    argument.endStructure();
    return argument;
}
