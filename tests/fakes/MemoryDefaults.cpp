#include "MemoryDefaults.h"

void MemoryDefaults::setValue(const QString& key, const QVariant& value) {
    values_.insert(key, value);
    ++writes_;
}

void MemoryDefaults::remove(const QString& key) {
    values_.remove(key);
    ++writes_;
}
