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

    AuthorizationStatus status = AuthorizationStatus::authorized;
    bool addFails = false;
    QList<Request> added;
};
