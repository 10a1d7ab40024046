#pragma once

#include "Instant.h"
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

    // What is known of why, so that the words, and what to do, are chosen where they are shown
    // and in the reader's language. The message stays for readers that know no cause.
    enum class Cause { none, sessionExpired, missingScope, rateLimited, refreshFailed };
    static ProviderAvailability sessionExpired(QString message);
    static ProviderAvailability missingScope(QString message);
    // Asked again after `until`.
    static ProviderAvailability rateLimited(Instant until, QString message);
    static ProviderAvailability refreshFailed(QString message);
    // The same with its cause and time as a reader got them; a cause that does not go with the
    // kind is none.
    ProviderAvailability withCause(Cause cause, std::optional<Instant> until) const;

    Kind kind() const { return kind_; }
    bool isAvailable() const { return kind_ == Kind::available; }
    // The text shown to the user; only temporarilyUnavailable and notAuthenticated carry one.
    const QString& message() const { return message_; }
    Cause cause() const { return cause_; }
    const std::optional<Instant>& until() const { return until_; }

    friend bool operator==(const ProviderAvailability&, const ProviderAvailability&) = default;

private:
    explicit ProviderAvailability(Kind kind, QString message = {}, Cause cause = Cause::none,
                                  std::optional<Instant> until = std::nullopt);
    Kind kind_;
    QString message_;
    Cause cause_ = Cause::none;
    std::optional<Instant> until_;
};

template <>
struct RawValues<ProviderAvailability::Kind> {
    static constexpr std::array<std::string_view, 6> names{
        "available",       "notInstalled", "notAuthenticated",
        "requiresProPlan", "unsupported",  "temporarilyUnavailable"};
};

template <>
struct RawValues<ProviderAvailability::Cause> {
    static constexpr std::array<std::string_view, 5> names{"none", "sessionExpired", "missingScope",
                                                           "rateLimited", "refreshFailed"};
};
