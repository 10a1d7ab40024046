#pragma once

#include "ClaudePauseStore.h"

class MemoryPauseStore final : public ClaudePauseStore {
public:
    std::optional<Instant> pausedUntil() const override { return until_; }
    void setPausedUntil(Instant until) override { until_ = until; }

private:
    std::optional<Instant> until_;
};
