#include "QSettingsDefaults.h"

#include <QStandardPaths>

QSettingsDefaults::QSettingsDefaults() : QSettingsDefaults(standardFilePath()) {}

QSettingsDefaults::QSettingsDefaults(const QString& filePath)
    : settings_(filePath, QSettings::IniFormat) {}

QString QSettingsDefaults::standardFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vantor/vantor.conf");
}

QVariant QSettingsDefaults::value(const QString& key) const {
    return settings_.value(key);
}

void QSettingsDefaults::setValue(const QString& key, const QVariant& value) {
    settings_.setValue(key, value);
    settings_.sync();
}

void QSettingsDefaults::remove(const QString& key) {
    settings_.remove(key);
    settings_.sync();
}
