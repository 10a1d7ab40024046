#include "FakeNotificationCenter.h"

#include "VantorError.h"

QCoro::Task<NotificationCenter::AuthorizationStatus> FakeNotificationCenter::authorizationStatus() {
    ++statusReads_;
    co_return status_;
}

QCoro::Task<> FakeNotificationCenter::requestAuthorization() {
    ++authorizationRequests_;
    if (statusAfterRequest_) {
        status_ = *statusAfterRequest_;
    }
    co_return;
}

QCoro::Task<> FakeNotificationCenter::add(Request request) {
    ++addCalls_;
    if (addFails_) {
        throw VantorError(QStringLiteral("Notifications"), 1, QStringLiteral("refused"));
    }
    added_.append(std::move(request));
    co_return;
}
