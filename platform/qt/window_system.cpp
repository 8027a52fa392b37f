// Which of Qt's platforms shows the game's windows on the player's desktop.
//
// On a Wayland desktop Qt takes its Wayland platform by itself whenever its Wayland plug-in is
// installed. Qt 6.4 speaks too little of the compositors' protocols for the game's boxes and
// dialogs: GNOME's compositor learns neither that a dialog is modal nor where to put it (it
// opens in the screen's corner, and a click on the game takes the keyboard from it), draws no
// title bar, so Qt draws one with buttons the window does not have, and no compositor can ask
// Qt for a fractional scale, so the game is drawn at twice its size and shrunk, losing strokes
// of its text. Through the X server that every one of these desktops runs beside the compositor
// (XWayland), the compositor's own X window manager treats the game's windows as on any X11
// desktop: dialogs transient for the game, modal, centred on it, with the desktop's own title
// bars; at a fractional scale the compositor enlarges the game's picture evenly; and the game
// starts in half the time. So on a Wayland desktop with an X server the game uses the X server,
// and Wayland itself only where there is none (Qt falls back to it when the X server cannot be
// reached). A player who names a platform in QT_QPA_PLATFORM keeps it.
#include "platform/qt/window_system.h"

#include <cstdlib>
#include <cstring>

namespace afx {

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

}  // namespace

const char* PreferredQtPlatform() {
    if (Set("QT_QPA_PLATFORM")) return nullptr;
    const char* session = std::getenv("XDG_SESSION_TYPE");
    const bool wayland =
        Set("WAYLAND_DISPLAY") || (session && std::strcmp(session, "wayland") == 0);
    if (wayland && Set("DISPLAY")) return "xcb;wayland";
    return nullptr;
}

void ChooseQtPlatform() {
    if (const char* platform = PreferredQtPlatform()) setenv("QT_QPA_PLATFORM", platform, 1);
}

}  // namespace afx
