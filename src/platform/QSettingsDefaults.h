#pragma once

#include "UserDefaults.h"

#include <QHash>
#include <QSettings>

#include <memory>
#include <optional>

class LogSink;

// The user defaults in an INI file, by default $XDG_CONFIG_HOME/vantor/vantor.conf, with the
// keys at top level. Every write is synced at once; QSettings replaces the file atomically.
// Reading alone never creates, moves or writes a file. A file Qt cannot read whole (it drops
// what it cannot parse, and an unterminated quote swallows the rest) is copied aside before
// the first write. A write that fails keeps its values in memory, is logged once for a run of
// failures, and is tried again, with every value changed since, at the next change.
class QSettingsDefaults final : public UserDefaults {
public:
    QSettingsDefaults();
    // log: where failed writes are told; may be null.
    explicit QSettingsDefaults(const QString& filePath, LogSink* log = nullptr);
    ~QSettingsDefaults() override;

    static QString standardFilePath();

    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;

    // The outcome of the last write: AccessError while changes wait in memory for the file.
    QSettings::Status status() const {
        return unsaved_.isEmpty() ? QSettings::NoError : QSettings::AccessError;
    }

private:
    // none: the key is removed.
    void write(const QString& key, std::optional<QVariant> value);
    bool save();

    QString path_;
    LogSink* log_ = nullptr;
    std::unique_ptr<QSettings> settings_;
    // What has not reached the file yet, by key; none for a removal.
    QHash<QString, std::optional<QVariant>> unsaved_;
    // Whether the file was found to read whole, or set aside, before the first write.
    bool checked_ = false;
};
