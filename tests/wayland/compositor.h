// A Wayland desktop for tests of the real program: a compositor (GNOME's mutter, sway or KWin)
// nested in an Xvfb server, so that real X input on the Xvfb display reaches its clients through
// it and a screenshot of the Xvfb display shows what its output shows. Each compositor runs its
// own X server (XWayland) with its own window manager; the test sees that server's windows and
// their properties as an X client of it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/x_session.h"

namespace wayland {

enum class Compositor { Mutter, Sway, KWin };
const char* Name(Compositor c);

class NestedCompositor {
  public:
    NestedCompositor() = default;
    NestedCompositor(const NestedCompositor&) = delete;
    NestedCompositor& operator=(const NestedCompositor&) = delete;
    ~NestedCompositor() { Stop(); }

    // Whether the compositor's program is installed.
    static bool Installed(Compositor c);

    // Starts Xvfb, then the compositor on it with one output of 1024 x 768 logical pixels at
    // `scale` (sway and mutter; KWin runs at 1), its Wayland socket and its X server in folders
    // under `scratch`, and waits until both take clients. False with a reason in `error`.
    bool Start(Compositor c, const std::string& scratch, double scale, std::string* error);
    void Stop();

    // The outer display: screenshots and real input.
    testsupport::XSession& Screen() { return screen_; }
    // The compositor's X server: the game's windows, their titles, properties and frames (in
    // the output's logical pixels, which are the outer display's pixels at scale 1).
    testsupport::XSession& Windows() { return windows_; }

    // What a program of the compositor's session has in its environment (WAYLAND_DISPLAY,
    // DISPLAY and XAUTHORITY of its X server, XDG_SESSION_TYPE and XDG_CURRENT_DESKTOP); its
    // XDG_RUNTIME_DIR is the program's own.
    std::vector<std::string> SessionEnvironment() const;
    // How many pixels of the outer display one pixel of the compositor's X server covers: sway
    // enlarges its X clients by the output's scale; mutter gives them the output's own pixels
    // and tells them its scale through the Xft.dpi resource, as GNOME's settings daemon does.
    double XToScreen() const { return xToScreen_; }
    // Where the compositor's own messages went.
    const std::string& Log() const { return log_; }

  private:
    bool FindXServer(int timeoutMs, std::string* error);

    Compositor kind_ = Compositor::Mutter;
    double xToScreen_ = 1.0;
    testsupport::XSession screen_;
    testsupport::XSession windows_;
    pid_t compositor_ = -1;
    std::string runtimeDir_, waylandDisplay_, xDisplay_, xAuthority_, log_;
};

}  // namespace wayland
