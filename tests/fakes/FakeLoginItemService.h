#pragma once

#include "LoginItemService.h"
#include "VantorError.h"

#include <QStringList>

// A login item whose status, location and refusals the test sets; records each change asked.
class FakeLoginItemService final : public LoginItemService {
public:
    Status currentStatus = Status::notRegistered;
    bool installed = true;
    bool refuses = false;
    QStringList calls;

    Status status() const override { return currentStatus; }
    void registerItem() override { change(QStringLiteral("register"), Status::enabled); }
    void unregisterItem() override { change(QStringLiteral("unregister"), Status::notRegistered); }
    bool isInstalledLocation() const override { return installed; }

    void change(const QString& call, Status after) {
        calls.append(call);
        if (refuses) {
            throw VantorError(QStringLiteral("LoginItem"), 1, QStringLiteral("Refused."));
        }
        currentStatus = after;
    }
};
