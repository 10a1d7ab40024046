#include "ProviderStatusText.h"

#include <QCoreApplication>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ProviderStatusText", text);
}

}  // namespace

namespace ProviderStatusText {

QString title(ProviderID provider) {
    return provider == ProviderID::codex ? tr("Codex") : tr("Claude Code");
}

QString availability(const std::optional<ProviderAvailability>& availability) {
    if (!availability) {
        return tr("Not detected");
    }
    switch (availability->kind()) {
        case ProviderAvailability::Kind::available:
            return tr("Connected");
        case ProviderAvailability::Kind::notInstalled:
            return tr("Not installed");
        case ProviderAvailability::Kind::notAuthenticated:
            // An expired session or a token of the wrong kind says so.
            return availability->message().isEmpty() ? tr("Sign in required")
                                                     : availability->message();
        case ProviderAvailability::Kind::requiresProPlan:
            return tr("Upgrade to Pro");
        case ProviderAvailability::Kind::unsupported:
            return tr("Not detected");
        case ProviderAvailability::Kind::temporarilyUnavailable:
            break;
    }
    return tr("Unavailable");
}

}  // namespace ProviderStatusText
