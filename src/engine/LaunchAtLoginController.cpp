#include "LaunchAtLoginController.h"

#include "LoginItemService.h"
#include "UserDefaults.h"
#include "VantorError.h"

namespace LaunchAtLoginController {

void enableByDefaultIfNeeded(LoginItemService& loginItem, UserDefaults& defaults) {
    if (defaults.value(configuredKey).isValid() || !loginItem.isInstalledLocation()) {
        return;
    }
    if (loginItem.status() == LoginItemService::Status::notRegistered) {
        try {
            loginItem.registerItem();
        } catch (const VantorError&) {
            return;
        }
    }
    defaults.setValue(configuredKey, true);
}

void setEnabled(bool enabled, LoginItemService& loginItem, UserDefaults& defaults) {
    const LoginItemService::Status status = loginItem.status();
    if (enabled && status != LoginItemService::Status::enabled) {
        loginItem.registerItem();
    } else if (!enabled && status != LoginItemService::Status::notRegistered) {
        loginItem.unregisterItem();
    }
    defaults.setValue(configuredKey, true);
}

bool isEnabled(const LoginItemService& loginItem) {
    return loginItem.status() == LoginItemService::Status::enabled;
}

}  // namespace LaunchAtLoginController
