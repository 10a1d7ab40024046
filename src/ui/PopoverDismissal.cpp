#include "PopoverDismissal.h"

#include <QGuiApplication>

namespace PopoverDismissal {

Platform platform(const QString& name, const QString& waylandDisplay, const QString& sessionType) {
    if (name.startsWith(QLatin1String("wayland"))) {
        return Platform::wayland;
    }
    if (name == QLatin1String("xcb")) {
        const bool waylandSession =
            !waylandDisplay.isEmpty() ||
            sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
        return waylandSession ? Platform::xwayland : Platform::x11;
    }
    return Platform::offscreen;
}

Platform current() {
    return platform(QGuiApplication::platformName(), qEnvironmentVariable("WAYLAND_DISPLAY"),
                    qEnvironmentVariable("XDG_SESSION_TYPE"));
}

bool grabsInput(Platform platform) {
    return platform == Platform::x11 || platform == Platform::xwayland;
}

Outcome decide(Event event, const State& state) {
    switch (event) {
        case Event::focusLost:
            // Too early to tell: looked at again when the settle time is up.
            return state.shown && state.sinceShown >= settleMs ? Outcome::dismiss : Outcome::stays;
        case Event::settled:
            // A window that never had the focus cannot have lost it: a compositor that shows new
            // windows without focusing them leaves it open until a click or a key closes it.
            return state.shown && state.hadFocus && !state.active ? Outcome::dismiss
                                                                  : Outcome::stays;
        case Event::escape:
            return state.shown ? Outcome::hides : Outcome::stays;
        case Event::pressInside:
            return Outcome::stays;
        case Event::pressOutside:
            return state.shown ? Outcome::dismiss : Outcome::stays;
        case Event::iconClick:
            if (state.shown) {
                return Outcome::hides;
            }
            return state.sinceDismissed >= 0 && state.sinceDismissed < reopenGuardMs
                       ? Outcome::stays
                       : Outcome::shows;
    }
    return Outcome::stays;
}

}  // namespace PopoverDismissal
