#include "ProviderAvailability.h"

#include <utility>

ProviderAvailability::ProviderAvailability(Kind kind, QString message)
    : kind_(kind), message_(std::move(message)) {}

ProviderAvailability ProviderAvailability::temporarilyUnavailable(QString message) {
    return ProviderAvailability(Kind::temporarilyUnavailable, std::move(message));
}

ProviderAvailability ProviderAvailability::notAuthenticated(QString message) {
    return ProviderAvailability(Kind::notAuthenticated, std::move(message));
}
