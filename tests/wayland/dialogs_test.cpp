// The game's windows on Wayland desktops, as a player meets them: which server shows them, where
// a box opens, who has the keyboard after a click on the game, which buttons the title bars
// offer, and a name typed into the high-score entry without a click.
#include <cstdlib>
#include <string>

#include "tests/support/process.h"
#include "tests/wayland/wayland_fixture.h"

namespace wayland {
namespace {

using testsupport::Rect;
using testsupport::WaitUntil;

using WaylandDialogs = WaylandTest;

int CentreX(const Rect& r) { return r.x + r.w / 2; }
int CentreY(const Rect& r) { return r.y + r.h / 2; }
std::string Text(const Rect& r) {
    return std::to_string(r.w) + "x" + std::to_string(r.h) + "+" + std::to_string(r.x) + "+" +
           std::to_string(r.y);
}

// On a Wayland desktop the game's windows go through the desktop's X server, whose window
// manager is the compositor itself.
TEST_P(WaylandDialogs, TheGameUsesTheXServerOfTheDesktop) {
    const XWindow main = StartGame();
    ASSERT_NE(main, 0u);
    EXPECT_TRUE(Windows().IsManaged(main));
    EXPECT_EQ(Windows().Title(main), desktop::kMainTitle);
}

// The About box opens centred on the game; a click on the game leaves it on top with the
// keyboard, so that Return closes it.
TEST_P(WaylandDialogs, AboutBoxIsCentredAndKeepsTheKeyboardWhenTheGameIsClicked) {
    const XWindow main = StartGame();
    ASSERT_NE(main, 0u);
    const XWindow about = OpenAbout();
    ASSERT_NE(about, 0u);
    const Rect game = Windows().FrameRect(main), box = Windows().FrameRect(about);
    EXPECT_NEAR(CentreX(box), CentreX(game), 4) << "game " << Text(game) << ", box " << Text(box);
    EXPECT_NEAR(CentreY(box), CentreY(game), 12) << "game " << Text(game) << ", box " << Text(box);

    const Rect shown = OnScreen(about);
    const testsupport::Image before = SettledShot(shown);
    // A click on the game, well away from the box.
    const Rect g = OnScreen(main);
    Screen().Click(g.x + 30, g.Bottom() - 30);
    EXPECT_TRUE(WaitUntil(desktop::kReactMs, [&] {
        testsupport::SleepMs(300);  // long enough for a box shown anew to settle
        return SettledShot(OnScreen(about)).SameAs(before);
    })) << "the About box is not on top after a click on the game";
    Screen().Key("Return");
    EXPECT_TRUE(Windows().WaitGone(about, desktop::kReactMs))
        << "Return did not reach the About box after a click on the game";
}

// The name typed into the high-score entry after the time-up box, without a click, is stored.
TEST_P(WaylandDialogs, NameTypedWithoutAClickIsStored) {
    StartDriver({"time 1000", "start", "key F1", "answer hold", "answer hold", "wait 181000"});
    std::string line;
    ASSERT_TRUE(driver_.WaitForEvent("msgbox", desktop::kStartMs, &line)) << driver_.Transcript();
    const XWindow box = Windows().WaitForClient(desktop::kTimeUpCaption, desktop::kShowMs);
    ASSERT_NE(box, 0u) << "the time-up box is not shown";
    SettledShot(OnScreen(box));
    Screen().Key("Return");
    ASSERT_TRUE(driver_.WaitForEvent("dialog", desktop::kShowMs, &line)) << driver_.Transcript();
    const XWindow entry = Windows().WaitForClient(desktop::kNameEntryTitle, desktop::kShowMs);
    ASSERT_NE(entry, 0u) << "the name entry is not shown";
    SettledShot(OnScreen(entry));
    Screen().Type("ADA");
    Screen().Key("Return");
    ASSERT_TRUE(driver_.WaitForEvent("dialog_closed", desktop::kReactMs, &line))
        << "Return did not close the name entry";
    EXPECT_EQ(desktop::JsonNumber(line, "result", 0), 1) << line;
    driver_.Send("quit");
    EXPECT_EQ(driver_.Finish(desktop::kShowMs), 0) << driver_.Transcript();
    EXPECT_EQ(ReadGameFile("score.1"), desktop::ScoreTable({{100, "ADA"}}));
}

INSTANTIATE_TEST_SUITE_P(Compositors, WaylandDialogs, ::testing::ValuesIn(InstalledCompositors()),
                         CompositorName);

// Where the compositor draws title bars with buttons (GNOME, KDE), its window manager offers
// the actions the windows allow: no maximising, and no minimising a box (KWin lets a modal box
// be minimised, taking its owner with it, whatever the box asks).
using WaylandTitleBars = WaylandTest;

TEST_P(WaylandTitleBars, OfferOnlyTheButtonsTheWindowsHave) {
    const XWindow main = StartGame();
    ASSERT_NE(main, 0u);
    const XWindow about = OpenAbout();
    ASSERT_NE(about, 0u);
    auto offers = [&](XWindow w, const std::string& action) {
        for (const std::string& a : Windows().AtomList(w, "_NET_WM_ALLOWED_ACTIONS"))
            if (a == action) return true;
        return false;
    };
    ASSERT_FALSE(Windows().AtomList(main, "_NET_WM_ALLOWED_ACTIONS").empty());
    EXPECT_TRUE(offers(main, "_NET_WM_ACTION_CLOSE"));
    EXPECT_TRUE(offers(main, "_NET_WM_ACTION_MINIMIZE"));
    EXPECT_FALSE(offers(main, "_NET_WM_ACTION_MAXIMIZE_HORZ"));
    EXPECT_TRUE(offers(about, "_NET_WM_ACTION_CLOSE"));
    if (GetParam() != Compositor::KWin) {
        EXPECT_FALSE(offers(about, "_NET_WM_ACTION_MINIMIZE"));
    }
    EXPECT_FALSE(offers(about, "_NET_WM_ACTION_MAXIMIZE_HORZ"));
}

std::vector<Compositor> CompositorsWithButtons() {
    std::vector<Compositor> out;
    for (Compositor c : InstalledCompositors())
        if (c != Compositor::Sway) out.push_back(c);
    return out;
}

INSTANTIATE_TEST_SUITE_P(Compositors, WaylandTitleBars,
                         ::testing::ValuesIn(CompositorsWithButtons()), CompositorName);

}  // namespace
}  // namespace wayland
