#pragma once

#include "NotificationCenter.h"
#include "VantorError.h"

#include <QList>

// A notification centre that keeps what it accepted and answers as the test sets it up.
class FakeNotificationCenter final : public NotificationCenter {
public:
    QCoro::Task<AuthorizationStatus> authorizationStatus() override { co_return status; }
    QCoro::Task<> requestAuthorization() override { co_return; }
    QCoro::Task<> add(Request request) override {
        if (addFails) {  // as a service that refuses or fails would
            throw VantorError(QStringLiteral("Notifications"), 1, QStringLiteral("refused"));
        }
        added.append(std::move(request));
        co_return;
    }

    void whenServerAppears(std::function<void()> callback) override {
        appeared = std::move(callback);
    }
    void serverAppears() { appeared(); }

    AuthorizationStatus status = AuthorizationStatus::authorized;
    std::function<void()> appeared;
    bool addFails = false;
    QList<Request> added;
};
