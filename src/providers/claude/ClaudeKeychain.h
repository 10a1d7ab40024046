#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QString>

#include <optional>

// The desktop's store of secrets, as far as the Claude provider needs it. The provider only
// declares it; the platform layer implements it, so the provider builds and tests without one.
class ClaudeKeychain {
public:
    virtual ~ClaudeKeychain();

    // The secret of the first unlocked item whose attribute "service" equals `service`, any
    // schema, or no value. Never throws, never asks the user anything (a locked item counts as
    // absent) and answers in bounded time even when no store or no session bus exists.
    virtual QCoro::Task<std::optional<QByteArray>> secret(QString service) = 0;

protected:
    ClaudeKeychain() = default;
    ClaudeKeychain(const ClaudeKeychain&) = default;
    ClaudeKeychain& operator=(const ClaudeKeychain&) = default;
};
