#include "FakeLoginItemService.h"

#include "VantorError.h"

void FakeLoginItemService::registerItem() {
    calls.append(QStringLiteral("register"));
    if (refuses) {
        throw VantorError(QStringLiteral("LoginItem"), 1, QStringLiteral("Refused."));
    }
    currentStatus = Status::enabled;
}

void FakeLoginItemService::unregisterItem() {
    calls.append(QStringLiteral("unregister"));
    if (refuses) {
        throw VantorError(QStringLiteral("LoginItem"), 1, QStringLiteral("Refused."));
    }
    currentStatus = Status::notRegistered;
}
