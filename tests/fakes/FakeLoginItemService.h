#pragma once

#include "LoginItemService.h"

#include <QStringList>

// A login item whose status, installed location and refusals the test sets, and which
// records every register and unregister call.
class FakeLoginItemService final : public LoginItemService {
public:
    Status currentStatus = Status::notRegistered;
    bool installed = true;
    bool refuses = false;
    QStringList calls;

    Status status() const override { return currentStatus; }
    void registerItem() override;
    void unregisterItem() override;
    bool isInstalledLocation() const override { return installed; }
};
