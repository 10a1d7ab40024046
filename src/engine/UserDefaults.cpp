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

std::optional<bool> UserDefaults::boolean(const QString& key) const {
    const QVariant stored = value(key);
    switch (stored.typeId()) {
        case QMetaType::Bool:
            return stored.toBool();
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return stored.toLongLong() != 0;
        case QMetaType::QString: {
            const QString text = stored.toString().trimmed();
            if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
                text == QLatin1String("1")) {
                return true;
            }
            if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
                text == QLatin1String("0")) {
                return false;
            }
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

std::optional<QString> UserDefaults::string(const QString& key) const {
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return stored.toString();
}
