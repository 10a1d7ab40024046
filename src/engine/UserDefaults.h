#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// The user's preferences: a persistent key-value domain. Implementations store QVariants;
// the typed readers here decide what counts as a value of each shape, so that a wrongly
// typed or hand-edited entry reads as absent instead of as garbage.
class UserDefaults {
public:
    virtual ~UserDefaults();

    // An invalid QVariant when the key holds nothing.
    virtual QVariant value(const QString& key) const = 0;
    // Writes through; a failure to persist keeps the value for this process.
    virtual void setValue(const QString& key, const QVariant& value) = 0;
    virtual void remove(const QString& key) = 0;

    // A byte string; anything else is absent.
    std::optional<QByteArray> data(const QString& key) const;
    // A list of strings. A single string counts as a one-element list: that is how the INI
    // form reads back a list holding one entry.
    std::optional<QStringList> stringList(const QString& key) const;
    // A Boolean. The INI form reads a stored bool back as the text "true" or "false", and a
    // hand-edited file may say 1 or 0; any other value is absent.
    std::optional<bool> boolean(const QString& key) const;
    // A text; anything else, a list included, is absent.
    std::optional<QString> string(const QString& key) const;

protected:
    UserDefaults() = default;
    UserDefaults(const UserDefaults&) = default;
    UserDefaults& operator=(const UserDefaults&) = default;
};
