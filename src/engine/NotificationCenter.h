#pragma once

#include <QCoroTask>
#include <QString>

#include <functional>

// The desktop's notification service as the notification manager sees it. The real one speaks
// org.freedesktop.Notifications; tests put a recording double in its place.
class NotificationCenter {
public:
    enum class AuthorizationStatus { notDetermined, denied, authorized, provisional, ephemeral };

    // Shown at once; carries a title and a body and nothing else.
    struct Request {
        // Chosen by the caller: the delivered-event key, or the test identifier.
        QString identifier;
        QString title;
        QString body;
        // Vantor plays its own clip for this one, so the server should stay silent. Not kept
        // with an announcement handed over later: the clip has played by then.
        bool silent = false;
    };

    virtual ~NotificationCenter();

    // Never throws: a service that cannot be asked counts as denied.
    virtual QCoro::Task<AuthorizationStatus> authorizationStatus() = 0;
    // Asks the user to allow alerts; the answer is read back through authorizationStatus().
    // Never throws.
    virtual QCoro::Task<> requestAuthorization() = 0;
    // Throws VantorError when the service refuses the notification or does not answer.
    virtual QCoro::Task<> add(Request request) = 0;
    // Calls back whenever a notification server appears (one that was missing, or a new one),
    // so that what it missed can be handed over. A centre that cannot tell never calls.
    virtual void whenServerAppears(std::function<void()> callback);
    // Calls back when the user clicks one of Vantor's notifications. A centre that cannot tell
    // (or a server without actions) never calls.
    virtual void whenActivated(std::function<void()> callback);

protected:
    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = default;
    NotificationCenter& operator=(const NotificationCenter&) = default;
};
