#pragma once

#include "ClaudeKeychain.h"

#include <QDeadlineTimer>

#include <chrono>
#include <memory>

class QDBusServiceWatcher;

// The keychain in the desktop's Secret Service (gnome-keyring, KWallet, KeePassXC), through
// libsecret. Items of any schema match by their attribute "service". The lookup runs on a
// worker thread, because libsecret's calls block; the caller waits at most `timeout`, then the
// lookup is cancelled and counts as no item. Items in a locked collection are skipped rather
// than unlocked: a background poll must never raise a password dialog.
//
// When the session bus has no Secret Service at all (nothing owns its name and nothing can be
// started under it), later lookups answer "no item" at once instead of asking the bus again:
// a watcher on the name ends that as soon as a service appears, and the bus is asked again
// after recheckInterval in any case. Items themselves are never remembered.
class SecretServiceKeychain final : public ClaudeKeychain {
public:
    static constexpr std::chrono::milliseconds defaultTimeout{2000};
    static constexpr std::chrono::minutes recheckInterval{10};

    explicit SecretServiceKeychain(std::chrono::milliseconds timeout = defaultTimeout);
    ~SecretServiceKeychain() override;
    SecretServiceKeychain(const SecretServiceKeychain&) = delete;
    SecretServiceKeychain& operator=(const SecretServiceKeychain&) = delete;

    QCoro::Task<std::optional<QByteArray>> secret(QString service) override;

    // What one lookup found out.
    struct Answer {
        std::optional<QByteArray> secret;
        bool serviceAbsent = false;
    };

private:
    void rememberAbsence();

    std::chrono::milliseconds timeout_;
    std::optional<QDeadlineTimer> absent_;
    std::unique_ptr<QDBusServiceWatcher> watcher_;
};
