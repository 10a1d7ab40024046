#include "ProviderError.h"

QString description(ProviderError error) {
    switch (error) {
        case ProviderError::notInstalled:
            return QStringLiteral("Provider is not installed.");
        case ProviderError::notAuthenticated:
            return QStringLiteral("Sign in with the provider.");
        case ProviderError::malformedResponse:
            return QStringLiteral("Provider returned unusable data.");
        case ProviderError::requestTimedOut:
            return QStringLiteral("Provider did not respond in time.");
        case ProviderError::temporarilyUnavailable:
            return QStringLiteral("Provider is temporarily unavailable.");
    }
    return {};
}
