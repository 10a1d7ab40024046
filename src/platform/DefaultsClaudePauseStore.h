#pragma once

#include "ClaudePauseStore.h"

class UserDefaults;

// The Claude provider's 429 pause in the user defaults, so that a restart does not ask the
// endpoint again early. Stored as seconds since 2001-01-01T00:00:00Z.
class DefaultsClaudePauseStore final : public ClaudePauseStore {
public:
    static inline const QString key = QStringLiteral("claudeUsagePausedUntil");

    explicit DefaultsClaudePauseStore(UserDefaults& defaults);

    std::optional<Instant> pausedUntil() const override;
    void setPausedUntil(Instant until) override;

private:
    UserDefaults& defaults_;
};
