#include "UsageEvent.h"

#include <utility>

UsageEvent UsageEvent::limitReached(ProviderID provider, QString windowID) {
    return {Kind::limitReached, provider, std::move(windowID), std::nullopt};
}

UsageEvent UsageEvent::resetConfirmed(ProviderID provider, QString windowID,
                                      std::optional<Instant> resetAt) {
    return {Kind::resetConfirmed, provider, std::move(windowID), resetAt};
}

UsageEvent UsageEvent::nearingLimit(ProviderID provider, QString windowID) {
    return {Kind::nearingLimit, provider, std::move(windowID), std::nullopt};
}

UsageEvent UsageEvent::providerUnavailable(ProviderID provider) {
    return {Kind::providerUnavailable, provider, {}, std::nullopt};
}

UsageEvent UsageEvent::providerRecovered(ProviderID provider) {
    return {Kind::providerRecovered, provider, {}, std::nullopt};
}

UsageEvent UsageEvent::blockLifted(ProviderID provider, const QString& bucket,
                                   std::optional<Instant> since) {
    return {Kind::blockLifted, provider, blockID(bucket), since};
}

QString UsageEvent::blockID(const QString& bucket) {
    return bucket.isEmpty() ? QStringLiteral("block") : QStringLiteral("block.") + bucket;
}

QString UsageEvent::blockBucket() const {
    return windowID.mid(QStringLiteral("block.").size());
}
