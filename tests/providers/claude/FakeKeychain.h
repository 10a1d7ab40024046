#pragma once

#include "ClaudeKeychain.h"

// A keychain holding at most one secret, counting the lookups made.
class FakeKeychain final : public ClaudeKeychain {
public:
    explicit FakeKeychain(std::optional<QByteArray> stored = std::nullopt)
        : stored_(std::move(stored)) {}

    QCoro::Task<std::optional<QByteArray>> secret(QString service) override {
        ++lookups_;
        lastService_ = service;
        co_return stored_;
    }

    int lookups() const { return lookups_; }
    const QString& lastService() const { return lastService_; }

private:
    std::optional<QByteArray> stored_;
    int lookups_ = 0;
    QString lastService_;
};
