#pragma once

#include <QString>
#include <QtGlobal>

// When the popover opens and closes, apart from its window so the rules can be walked in a
// table: a popup closes when it loses the keyboard, when a press lands outside it and on
// Escape; a click on the icon toggles it, but does not reopen what that very click closed.
namespace PopoverDismissal {

enum class Platform { offscreen, x11, xwayland, wayland };

// The window system behind Qt's platform `name` (QGuiApplication::platformName()): xcb in a
// Wayland session (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE "wayland") is XWayland.
Platform platform(const QString& name, const QString& waylandDisplay, const QString& sessionType);
// The same for this process.
Platform current();

// Under X the popover is a popup outside the window manager that takes the keyboard and the
// pointer while shown, so Escape reaches it and a press elsewhere arrives at it. A Wayland
// compositor hands a popup no such grab; it places a floating window and takes its focus away.
bool grabsInput(Platform platform);

// A focus lost this soon after showing is looked at again once this time is up rather than
// believed at once: a window manager, or XWayland's, may take a new window's focus and give it
// back.
constexpr qint64 settleMs = 300;
// A click on the icon this soon after the popover closed for losing the focus (or for a press
// outside it) is the click that closed it: it does not reopen it.
constexpr qint64 reopenGuardMs = 300;

enum class Event {
    focusLost,     // the window stopped being the active one
    settled,       // the settle time after showing ran out
    escape,        // Escape reached the window
    pressInside,   // a button press on the window
    pressOutside,  // a press beyond the window's edges (it arrives under the pointer grab)
    iconClick,     // the tray icon was clicked, or its host asked to activate it
};

// The popover as an event finds it: shown or not, active now, active at any time since it was
// shown, how long it has been shown and how long ago it was dismissed (negative: never).
struct State {
    bool shown = false;
    bool active = false;
    bool hadFocus = false;
    qint64 sinceShown = 0;
    qint64 sinceDismissed = -1;
};

enum class Outcome {
    stays,    // nothing changes
    hides,    // closed on the user's own request (Escape, the icon)
    dismiss,  // closed because the user went elsewhere: the reopen guard starts
    shows,
};

Outcome decide(Event event, const State& state);

}  // namespace PopoverDismissal
