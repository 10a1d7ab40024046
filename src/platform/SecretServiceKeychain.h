#pragma once

#include "ClaudeKeychain.h"

#include <chrono>

// The keychain in the desktop's Secret Service (gnome-keyring, KWallet, KeePassXC), through
// libsecret. Items of any schema match by their attribute "service". The lookup runs on a
// worker thread, because libsecret's calls block; the caller waits at most `timeout`, then the
// lookup is cancelled and counts as no item. Items in a locked collection are skipped rather
// than unlocked: a background poll must never raise a password dialog.
class SecretServiceKeychain final : public ClaudeKeychain {
public:
    static constexpr std::chrono::milliseconds defaultTimeout{2000};

    explicit SecretServiceKeychain(std::chrono::milliseconds timeout = defaultTimeout);

    QCoro::Task<std::optional<QByteArray>> secret(QString service) override;

private:
    std::chrono::milliseconds timeout_;
};
