#pragma once

#include "RawValue.h"

#include <QString>

// Whether a provider can be asked for usage right now, and if not, why.
class ProviderAvailability {
public:
    enum class Kind {
        available,
        notInstalled,
        notAuthenticated,
        requiresProPlan,
        unsupported,
        temporarilyUnavailable
    };

    static ProviderAvailability available() { return ProviderAvailability(Kind::available); }
    static ProviderAvailability notInstalled() { return ProviderAvailability(Kind::notInstalled); }
    // With a message when the provider knows more than that no sign-in was found.
    static ProviderAvailability notAuthenticated(QString message = {});
    static ProviderAvailability requiresProPlan() {
        return ProviderAvailability(Kind::requiresProPlan);
    }
    static ProviderAvailability unsupported() { return ProviderAvailability(Kind::unsupported); }
    static ProviderAvailability temporarilyUnavailable(QString message);

    Kind kind() const { return kind_; }
    bool isAvailable() const { return kind_ == Kind::available; }
    // The text shown to the user; only temporarilyUnavailable and notAuthenticated carry one.
    const QString& message() const { return message_; }

    friend bool operator==(const ProviderAvailability&, const ProviderAvailability&) = default;

private:
    explicit ProviderAvailability(Kind kind, QString message = {});
    Kind kind_;
    QString message_;
};

template <>
struct RawValues<ProviderAvailability::Kind> {
    static constexpr std::array<std::string_view, 6> names{
        "available",       "notInstalled", "notAuthenticated",
        "requiresProPlan", "unsupported",  "temporarilyUnavailable"};
};
