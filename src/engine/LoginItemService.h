#pragma once

// The desktop's mechanism for starting Vantor at login (on Linux an XDG autostart entry).
class LoginItemService {
public:
    enum class Status { notRegistered, enabled, requiresApproval, notFound };

    virtual ~LoginItemService();

    virtual Status status() const = 0;
    // Both throw VantorError when the desktop refuses.
    virtual void registerItem() = 0;
    virtual void unregisterItem() = 0;
    // Whether the running executable is an installed one (under an install prefix), as opposed
    // to a build tree, which must never register itself.
    virtual bool isInstalledLocation() const = 0;

protected:
    LoginItemService() = default;
    LoginItemService(const LoginItemService&) = default;
    LoginItemService& operator=(const LoginItemService&) = default;
};
