#pragma once

#include "UserDefaults.h"

#include <QSettings>

// The user defaults in an INI file, by default $XDG_CONFIG_HOME/vantor/vantor.conf, with the
// keys at top level. Every write is synced at once; QSettings replaces the file atomically.
class QSettingsDefaults final : public UserDefaults {
public:
    QSettingsDefaults();
    explicit QSettingsDefaults(const QString& filePath);

    static QString standardFilePath();

    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;

    // The outcome of the last write: a failure leaves the values in memory for this process.
    QSettings::Status status() const { return settings_.status(); }

private:
    QSettings settings_;
};
