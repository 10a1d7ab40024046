#include "UserDefaults.h"

UserDefaults::~UserDefaults() = default;

std::optional<QByteArray> UserDefaults::data(const QString& key) const {
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    return stored.toByteArray();
}

std::optional<QStringList> UserDefaults::stringList(const QString& key) const {
    const QVariant stored = value(key);
    switch (stored.typeId()) {
        case QMetaType::QStringList:
            return stored.toStringList();
        case QMetaType::QString:
            return QStringList{stored.toString()};
        case QMetaType::QVariantList: {
            QStringList strings;
            for (const QVariant& element : stored.toList()) {
                if (element.typeId() != QMetaType::QString) {
                    return std::nullopt;
                }
                strings.append(element.toString());
            }
            return strings;
        }
        default:
            return std::nullopt;
    }
}
