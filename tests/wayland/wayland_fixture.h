// The fixture of the Wayland group: every test gets a compositor nested in its own Xvfb server
// (the test's parameter), a scratch game folder as in the desktop group, and the environment a
// program of that Wayland session has, with nothing that names a Qt platform: the game chooses
// its platform itself, as it does on the player's desktop.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/desktop/desktop_fixture.h"
#include "tests/desktop/driver.h"
#include "tests/wayland/compositor.h"

namespace wayland {

using testsupport::XWindow;

class WaylandTest : public ::testing::TestWithParam<Compositor> {
  protected:
    void SetUp() override;
    void TearDown() override;
    // The output's scale, in device pixels to a logical pixel.
    virtual double Scale() const { return 1.0; }

    std::vector<std::string> GameEnvironment() const;
    // Starts the real program in the game folder and waits for its main window to settle; 0
    // (with a failure) when it does not appear on the compositor's X server.
    XWindow StartGame();
    // Starts the driver on the desktop the game chooses (--desktop) and sends it `script`.
    void StartDriver(const std::vector<std::string>& script);
    // Opens the About box from the help menu with the keyboard (Alt+A, then A).
    XWindow OpenAbout();

    // The outer display (screenshots, input) and the compositor's X server (windows).
    testsupport::XSession& Screen() { return compositor_.Screen(); }
    testsupport::XSession& Windows() { return compositor_.Windows(); }
    // A window's rectangle with its decorations, in the outer display's pixels.
    testsupport::Rect OnScreen(XWindow w);
    // Waits until the pixels of `r` stop changing and returns them.
    testsupport::Image SettledShot(const testsupport::Rect& r, int timeoutMs = 3000);

    std::string GamePath(const std::string& name) const { return gameDir_ + "/" + name; }
    std::string ReadGameFile(const std::string& name) const;

    NestedCompositor compositor_;
    desktop::Driver driver_;
    pid_t game_ = -1;
    std::string scratch_, gameDir_;
};

// The compositors of the group: every one that is installed.
std::vector<Compositor> InstalledCompositors();
std::string CompositorName(const ::testing::TestParamInfo<Compositor>& info);

}  // namespace wayland
