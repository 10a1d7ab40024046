#pragma once

#include <QString>

class LoginItemService;
class UserDefaults;

// Starts Vantor at login: registers it once on the first launch of an installed copy, and
// afterwards follows the settings switch. Keeps no state beyond one defaults key.
namespace LaunchAtLoginController {

// Its presence, whatever its value, means the login item has been configured once.
inline const QString configuredKey = QStringLiteral("launchAtLoginConfigured");

// Called once per launch before polling starts; never throws. A failed registration is
// retried at the next launch.
void enableByDefaultIfNeeded(LoginItemService& loginItem, UserDefaults& defaults);
// Follows the settings switch; throws the desktop's VantorError and then stores nothing.
void setEnabled(bool enabled, LoginItemService& loginItem, UserDefaults& defaults);
// What the switch shows.
bool isEnabled(const LoginItemService& loginItem);

}  // namespace LaunchAtLoginController
