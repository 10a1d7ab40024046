#pragma once

#include "NotificationCenter.h"

#include <QList>

#include <optional>

// A notification centre that records every call and answers as the test sets it up.
class FakeNotificationCenter final : public NotificationCenter {
public:
    QCoro::Task<AuthorizationStatus> authorizationStatus() override;
    QCoro::Task<> requestAuthorization() override;
    QCoro::Task<> add(Request request) override;

    void setStatus(AuthorizationStatus status) { status_ = status; }
    // The status after a permission request, as the user's answer would leave it.
    void setStatusAfterRequest(AuthorizationStatus status) { statusAfterRequest_ = status; }
    // add() throws, as a service that refuses or fails would.
    void setAddFails(bool fails) { addFails_ = fails; }

    const QList<Request>& added() const { return added_; }
    int statusReads() const { return statusReads_; }
    int authorizationRequests() const { return authorizationRequests_; }
    int addCalls() const { return addCalls_; }

private:
    AuthorizationStatus status_ = AuthorizationStatus::authorized;
    std::optional<AuthorizationStatus> statusAfterRequest_;
    bool addFails_ = false;
    QList<Request> added_;
    int statusReads_ = 0;
    int authorizationRequests_ = 0;
    int addCalls_ = 0;
};
