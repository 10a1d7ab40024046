#include "QSettingsDefaults.h"

#include "BadFileKeeper.h"
#include "LogSink.h"

#include <QFile>
#include <QStandardPaths>

namespace {

// Whether a double quote is still open at the end, by the rules QSettings splits lines with:
// a backslash escapes the next character, and outside quotes a semicolon starts a comment
// that runs to the end of the line. An open quote makes the rest of the file one value.
bool quoteLeftOpen(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray data = file.readAll();
    bool inQuotes = false;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c == '\\') {
            ++i;
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';' && !inQuotes) {
            while (i + 1 < data.size() && data[i + 1] != '\n' && data[i + 1] != '\r') {
                ++i;
            }
        }
    }
    return inQuotes;
}

}  // namespace

QSettingsDefaults::QSettingsDefaults() : QSettingsDefaults(standardFilePath()) {}

QSettingsDefaults::QSettingsDefaults(const QString& filePath, LogSink* log)
    : path_(filePath),
      log_(log),
      settings_(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {}

QSettingsDefaults::~QSettingsDefaults() = default;

QString QSettingsDefaults::standardFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vantor/vantor.conf");
}

QVariant QSettingsDefaults::value(const QString& key) const {
    const auto unsaved = unsaved_.constFind(key);
    if (unsaved != unsaved_.cend()) {
        return unsaved->value_or(QVariant());
    }
    return settings_->value(key);
}

void QSettingsDefaults::setValue(const QString& key, const QVariant& value) {
    write(key, value);
}

void QSettingsDefaults::remove(const QString& key) {
    write(key, std::nullopt);
}

void QSettingsDefaults::write(const QString& key, std::optional<QVariant> value) {
    // Changes wait only while writes fail.
    const bool failing = !unsaved_.isEmpty();
    unsaved_.insert(key, std::move(value));
    if (save()) {
        unsaved_.clear();
        return;
    }
    if (!failing && log_ != nullptr) {
        log_->write(LogSink::Priority::error, QStringLiteral("settings"),
                    QStringLiteral("Cannot write the settings to %1; changes are kept until the "
                                   "next one can be written")
                        .arg(path_));
    }
}

bool QSettingsDefaults::save() {
    // Only a program about to write over the file needs to know whether it reads whole; Qt
    // parses each section on first use: all of them now.
    if (!checked_) {
        settings_->allKeys();
        const bool unreadable =
            settings_->status() == QSettings::FormatError || quoteLeftOpen(path_);
        if (unreadable && !BadFileKeeper::setAside(path_, BadFileKeeper::Method::copy)) {
            return false;
        }
        checked_ = true;
    }
    // QSettings keeps the first error it met for good: a fresh object tells this write's outcome.
    if (settings_->status() != QSettings::NoError) {
        settings_.reset();
        settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    }
    for (auto it = unsaved_.cbegin(); it != unsaved_.cend(); ++it) {
        if (*it) {
            settings_->setValue(it.key(), **it);
        } else {
            settings_->remove(it.key());
        }
    }
    settings_->sync();
    return settings_->status() != QSettings::AccessError;
}
