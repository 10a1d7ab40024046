#pragma once

#include "ClaudePauseStore.h"
#include "ProviderID.h"

#include <QString>

class UserDefaults;

// One Claude account's 429 pause in the user defaults, so that a restart does not ask the
// endpoint again early. Stored as seconds since 2001-01-01T00:00:00Z.
class DefaultsClaudePauseStore final : public ClaudePauseStore {
public:
    // The default account's key, as it always was; another account's adds "." and its id.
    static inline const QString key = QStringLiteral("claudeUsagePausedUntil");
    static QString keyFor(const ProviderID& account);

    explicit DefaultsClaudePauseStore(UserDefaults& defaults,
                                      const ProviderID& account = ProviderID::claude);

    std::optional<Instant> pausedUntil() const override;
    void setPausedUntil(Instant until) override;

private:
    UserDefaults& defaults_;
    QString key_;
};
