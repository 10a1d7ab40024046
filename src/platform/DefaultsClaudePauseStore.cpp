#include "DefaultsClaudePauseStore.h"

#include "UserDefaults.h"

#include <cmath>

DefaultsClaudePauseStore::DefaultsClaudePauseStore(UserDefaults& defaults) : defaults_(defaults) {}

std::optional<Instant> DefaultsClaudePauseStore::pausedUntil() const {
    const QVariant stored = defaults_.value(key);
    bool ok = false;
    double seconds = 0.0;
    // The INI form reads a number back as text.
    switch (stored.typeId()) {
        case QMetaType::Double:
        case QMetaType::Int:
        case QMetaType::LongLong:
            seconds = stored.toDouble(&ok);
            break;
        case QMetaType::QString:
            seconds = stored.toString().toDouble(&ok);
            break;
        default:
            break;
    }
    if (!ok || !std::isfinite(seconds)) {
        return std::nullopt;
    }
    return Instant::fromReferenceSeconds(seconds);
}

void DefaultsClaudePauseStore::setPausedUntil(Instant until) {
    defaults_.setValue(key, until.secondsSinceReferenceDate());
}
