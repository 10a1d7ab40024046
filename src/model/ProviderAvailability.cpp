#include "ProviderAvailability.h"

#include <utility>

ProviderAvailability::ProviderAvailability(Kind kind, QString message, Cause cause,
                                           std::optional<Instant> until)
    : kind_(kind), message_(std::move(message)), cause_(cause), until_(until) {}

ProviderAvailability ProviderAvailability::temporarilyUnavailable(QString message) {
    return ProviderAvailability(Kind::temporarilyUnavailable, std::move(message));
}

ProviderAvailability ProviderAvailability::notAuthenticated(QString message) {
    return ProviderAvailability(Kind::notAuthenticated, std::move(message));
}

ProviderAvailability ProviderAvailability::sessionExpired(QString message) {
    return ProviderAvailability(Kind::notAuthenticated, std::move(message), Cause::sessionExpired);
}

ProviderAvailability ProviderAvailability::missingScope(QString message) {
    return ProviderAvailability(Kind::notAuthenticated, std::move(message), Cause::missingScope);
}

ProviderAvailability ProviderAvailability::rateLimited(Instant until, QString message) {
    return ProviderAvailability(Kind::temporarilyUnavailable, std::move(message),
                                Cause::rateLimited, until);
}

ProviderAvailability ProviderAvailability::refreshFailed(QString message) {
    return ProviderAvailability(Kind::temporarilyUnavailable, std::move(message),
                                Cause::refreshFailed);
}

ProviderAvailability ProviderAvailability::withCause(Cause cause,
                                                     std::optional<Instant> until) const {
    const bool fits = (kind_ == Kind::notAuthenticated &&
                       (cause == Cause::sessionExpired || cause == Cause::missingScope)) ||
                      (kind_ == Kind::temporarilyUnavailable &&
                       (cause == Cause::refreshFailed || (cause == Cause::rateLimited && until)));
    if (!fits) {
        return ProviderAvailability(kind_, message_);
    }
    return ProviderAvailability(kind_, message_, cause,
                                cause == Cause::rateLimited ? until : std::nullopt);
}
