#include "DefaultsClaudePauseStore.h"

#include "UserDefaults.h"

#include <cmath>

QString DefaultsClaudePauseStore::keyFor(const ProviderID& account) {
    return account.isDefault() ? key : key + u'.' + account.account;
}

DefaultsClaudePauseStore::DefaultsClaudePauseStore(UserDefaults& defaults,
                                                   const ProviderID& account)
    : defaults_(defaults), key_(keyFor(account)) {}

std::optional<Instant> DefaultsClaudePauseStore::pausedUntil() const {
    const QVariant stored = defaults_.value(key_);
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
    defaults_.setValue(key_, until.secondsSinceReferenceDate());
}
