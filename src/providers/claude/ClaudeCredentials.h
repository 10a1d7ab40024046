#pragma once

#include "Instant.h"

#include <QString>

#include <optional>

// What the provider takes from Claude Code's credentials: the access token and, when the
// source says, when it stops being accepted.
struct ClaudeCredentials {
    QString accessToken;
    std::optional<Instant> expiresAt;

    bool isExpired(Instant now) const { return expiresAt && *expiresAt <= now; }

    friend bool operator==(const ClaudeCredentials&, const ClaudeCredentials&) = default;
};
