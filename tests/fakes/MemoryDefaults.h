#pragma once

#include "UserDefaults.h"

#include <QHash>

// User defaults in memory: any QVariant may be planted.
class MemoryDefaults final : public UserDefaults {
public:
    QVariant value(const QString& key) const override { return values_.value(key); }
    void setValue(const QString& key, const QVariant& value) override {
        values_.insert(key, value);
    }
    void remove(const QString& key) override { values_.remove(key); }
    bool contains(const QString& key) const { return values_.contains(key); }

private:
    QHash<QString, QVariant> values_;
};
