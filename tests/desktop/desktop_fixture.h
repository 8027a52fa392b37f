// The fixture of the desktop group: every test gets its own X server (1024x768x24) with the
// window manager and its configuration, a scratch game folder (the generated data, fresh
// settings with sound and music off, four cleared score tables) and a scratch home with empty
// XDG folders, so that no browser can be found and nothing of the machine's desktop is used.
// The game runs as the real program or as the scripted driver in its desktop mode.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/desktop/driver.h"
#include "tests/desktop/screen_parts.h"
#include "tests/support/x_session.h"

namespace desktop {

using testsupport::XWindow;

// Captions of the game's windows.
extern const char* const kMainTitle;
extern const char* const kAboutTitle;
extern const char* const kLeaderboardTitle;
extern const char* const kNameEntryTitle;
extern const char* const kProgramCaption;  // the caption of the program's own message boxes
extern const char* const kTimeUpCaption;

// How long a window or a reaction to input may take to show; when the game misbehaves, one of
// these usually runs out.
constexpr int kStartMs = 20000;
constexpr int kShowMs = 5000;
constexpr int kReactMs = 3000;

class DesktopTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The environment every run of the game gets, plus `extra`.
    std::vector<std::string> GameEnvironment(const std::vector<std::string>& extra = {}) const;
    // Starts the real program in the game folder and waits for its main window; 0 (with a
    // test failure) when it does not appear.
    XWindow StartGame(const std::vector<std::string>& extraEnv = {});
    // Starts the driver in its desktop mode in the game folder and sends it `script`.
    void StartDriver(const std::vector<std::string>& script);

    // The menu bar of the main window, from the top of its frame down to the client area.
    Rect MenuBar(XWindow main) const;
    // Its titles, left to right, found by their text.
    std::vector<Rect> MenuTitles(XWindow main) const;
    // Clicks the `index`-th title and returns the drop-down menu that opens (0 when none).
    XWindow OpenMenu(XWindow main, int index);
    // The items of an open menu: one rectangle per line of text.
    std::vector<Rect> MenuItems(XWindow menu) const;
    // Opens the `index`-th menu, clicks its last item and waits for a window titled `title`.
    XWindow ChooseLastItem(XWindow main, int index, const std::string& title);
    XWindow OpenAbout(XWindow main) { return ChooseLastItem(main, 2, kAboutTitle); }
    XWindow OpenLeaderboard(XWindow main) { return ChooseLastItem(main, 1, kLeaderboardTitle); }

    // Files of the game folder.
    std::string GamePath(const std::string& name) const { return gameDir_ + "/" + name; }
    void WriteGameFile(const std::string& name, const std::string& bytes) const;
    std::string ReadGameFile(const std::string& name) const;

    // Waits until the pixels of `r` stop changing and returns them.
    Image SettledShot(const Rect& r, int timeoutMs = kReactMs) const;
    // A point on the bare desktop, outside every window of the game.
    static constexpr int kNeutralX = 4, kNeutralY = 764;

    class FailureShots;
    FailureShots* shots_ = nullptr;  // owned by the test framework while registered
    testsupport::XSession x_;
    Driver driver_;
    pid_t game_ = -1;
    std::string scratch_, gameDir_;
};

// The score table text of ten entries (best first) as the game stores it.
std::string ScoreTable(const std::vector<std::pair<int, std::string>>& entries);

// A scratch folder (named in `scratch`) holding a game folder ("game": links to the generated
// data, fresh settings with sound and music off, four cleared score tables) and a home with
// empty XDG folders, so that nothing of the machine's desktop is used. Returns the game folder,
// "" when the scratch folder cannot be made.
std::string MakeScratchGameFolder(std::string* scratch);
// The environment of a program run in that scratch folder: no sound, no browser, its home.
std::vector<std::string> ScratchEnvironment(const std::string& scratch);
// Waits until the pixels of `r` stop changing and returns them.
Image SettledShot(const testsupport::XSession& x, const Rect& r, int timeoutMs);

}  // namespace desktop
