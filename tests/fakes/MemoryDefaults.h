#pragma once

#include "UserDefaults.h"

#include <QHash>

// User defaults in memory: any QVariant may be planted, and writes are counted.
class MemoryDefaults final : public UserDefaults {
public:
    QVariant value(const QString& key) const override { return values_.value(key); }
    void setValue(const QString& key, const QVariant& value) override {
        values_.insert(key, value);
        ++writes_;
    }
    void remove(const QString& key) override {
        values_.remove(key);
        ++writes_;
    }
    int writeCount() const { return writes_; }
    bool contains(const QString& key) const { return values_.contains(key); }

private:
    QHash<QString, QVariant> values_;
    int writes_ = 0;
};
