#include "StatusNotifierItem.h"

#include <QDBusMetaType>
#include <QImage>
#include <QtEndian>

#include <algorithm>

namespace {

QPoint bounded(int x, int y) {
    constexpr int limit = StatusNotifierItem::coordinateLimit;
    return {std::clamp(x, -limit, limit), std::clamp(y, -limit, limit)};
}

}  // namespace

StatusNotifierItem::StatusNotifierItem(QString iconName, QObject* parent)
    : QObject(parent), iconName_(std::move(iconName)) {}

void StatusNotifierItem::registerTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<Pixmap>();
        qDBusRegisterMetaType<QList<Pixmap>>();
        qDBusRegisterMetaType<ToolTip>();
        return true;
    }();
    Q_UNUSED(registered);
}

QList<StatusNotifierItem::Pixmap> StatusNotifierItem::pixmaps(const QIcon& icon) {
    QList<Pixmap> result;
    for (const QSize& size : icon.availableSizes()) {
        const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        Pixmap pixmap{image.width(), image.height(), {}};
        pixmap.bytes.resize(qsizetype(image.width()) * image.height() * 4);
        auto* out = reinterpret_cast<quint32*>(pixmap.bytes.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                *out++ = qToBigEndian(line[x]);
            }
        }
        result.append(pixmap);
    }
    return result;
}

QString StatusNotifierItem::status() const {
    return needsAttention_ ? QStringLiteral("NeedsAttention") : QStringLiteral("Active");
}

void StatusNotifierItem::setIcon(const QIcon& icon, const QString& name) {
    QList<Pixmap> images = pixmaps(icon);
    if (images == pixmaps_ && name == iconName_) {
        return;
    }
    pixmaps_ = std::move(images);
    iconName_ = name;
    Q_EMIT NewIcon();
    Q_EMIT NewAttentionIcon();
}

void StatusNotifierItem::setToolTip(const QString& text) {
    if (text != toolTip_) {
        toolTip_ = text;
        Q_EMIT NewToolTip();
    }
}

void StatusNotifierItem::setNeedsAttention(bool needsAttention) {
    if (needsAttention != needsAttention_) {
        needsAttention_ = needsAttention;
        Q_EMIT NewStatus(status());
    }
}

void StatusNotifierItem::Activate(int x, int y) {
    // Hosts that know no position send the origin.
    Q_EMIT activated(x == 0 && y == 0 ? QPoint() : bounded(x, y));
}

void StatusNotifierItem::SecondaryActivate(int, int) {
    Q_EMIT secondaryActivated();
}

void StatusNotifierItem::ContextMenu(int x, int y) {
    Q_EMIT contextMenuRequested(bounded(x, y));
}

void StatusNotifierItem::Scroll(int, const QString&) {}

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierItem::Pixmap& pixmap) {
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.bytes;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierItem::Pixmap& pixmap) {
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.bytes;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierItem::ToolTip& toolTip) {
    argument.beginStructure();
    argument << toolTip.iconName << toolTip.pixmaps << toolTip.title << toolTip.text;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument,
                                StatusNotifierItem::ToolTip& toolTip) {
    argument.beginStructure();
    argument >> toolTip.iconName >> toolTip.pixmaps >> toolTip.title >> toolTip.text;
    argument.endStructure();
    return argument;
}
