#pragma once

#include "Instant.h"

#include <optional>

// Where the provider remembers, across restarts, until when the usage endpoint must not be
// asked again after it answered 429. Declared here so the provider needs no settings layer.
class ClaudePauseStore {
public:
    virtual ~ClaudePauseStore();

    // No value when nothing usable is stored.
    virtual std::optional<Instant> pausedUntil() const = 0;
    virtual void setPausedUntil(Instant until) = 0;

protected:
    ClaudePauseStore() = default;
    ClaudePauseStore(const ClaudePauseStore&) = default;
    ClaudePauseStore& operator=(const ClaudePauseStore&) = default;
};
