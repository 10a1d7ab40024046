#pragma once

#include "UserDefaults.h"

#include <QHash>

// User defaults held in memory. Any QVariant may be planted, wrongly typed ones included,
// and every write is counted so tests can tell whether an operation wrote at all.
class MemoryDefaults final : public UserDefaults {
public:
    QVariant value(const QString& key) const override { return values_.value(key); }
    void setValue(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;

    int writeCount() const { return writes_; }
    bool contains(const QString& key) const { return values_.contains(key); }

private:
    QHash<QString, QVariant> values_;
    int writes_ = 0;
};
