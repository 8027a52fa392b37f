// The About box and its hyperlink labels with the real program: the box that reports a link
// that cannot be opened (no browser can be found here) answers its button and keys and leaves
// no grab behind; the links are underlined and the hand cursor leaves with the pointer; the
// icon stays sharp at a device-pixel ratio of 2.
#include <algorithm>
#include <string>

#include "tests/desktop/desktop_fixture.h"
#include "tests/support/process.h"

namespace desktop {
namespace {

using testsupport::CursorImage;
using testsupport::SleepMs;
using testsupport::WaitUntil;

// The two hyperlink labels of the About box (controls 1006 and 1007) in its client area, with
// room below the text for an underline.
Rect LinkLabel(const Rect& client, int index) {
    const Rect r = index == 0 ? DialogUnits(52, 88, 109, 8) : DialogUnits(52, 104, 97, 8);
    return Rect{client.x + r.x, client.y + r.y, r.w, r.h + 4};
}

// Where the link's text is drawn: its ink on the dialog's background.
Rect LinkText(const Image& img, const Rect& client, int index) {
    const uint32_t background = img.CommonColour(client);
    return img.Ink(LinkLabel(client, index), background);
}

// A clearly coloured pixel (an icon's), unlike the greys of text, frames and background.
bool Chromatic(uint32_t c) {
    const int hi = std::max({testsupport::Red(c), testsupport::Green(c), testsupport::Blue(c)});
    const int lo = std::min({testsupport::Red(c), testsupport::Green(c), testsupport::Blue(c)});
    return hi - lo > 60;
}

class AboutBoxTest : public DesktopTest {
  protected:
    // Starts the game, opens the About box and clicks the first link. Returns the box that
    // reports the link cannot be opened (0 with a failure when none appears).
    XWindow OpenLinkErrorBox() {
        main_ = StartGame();
        if (!main_) return 0;
        about_ = OpenAbout(main_);
        if (!about_) return 0;
        const Rect client = x_.Geometry(about_);
        const Rect link = LinkText(x_.Shot(client), client, 0);
        EXPECT_FALSE(link.Empty()) << "no link text in the About box";
        if (link.Empty()) return 0;
        bells_ = x_.WatchBell() ? x_.BellsRung() : -1;
        // Onto the link, a moment to show it is one, then a click.
        x_.Move(link.x + link.w / 2, link.y + link.h / 2);
        SleepMs(300);
        x_.Click(link.x + link.w / 2, link.y + link.h / 2);
        const XWindow box = x_.WaitForClient(kProgramCaption, kShowMs);
        EXPECT_NE(box, 0u) << "no box reports the link that cannot be opened";
        if (box) SettledShot(x_.Geometry(box));
        return box;
    }

    void ExpectNoGrab(const std::string& when) {
        std::string status;
        EXPECT_TRUE(x_.CanGrabPointer(&status))
            << "another client cannot grab the pointer " << when << ": " << status;
        EXPECT_TRUE(x_.CanGrabKeyboard(&status))
            << "another client cannot grab the keyboard " << when << ": " << status;
    }

    XWindow main_ = 0, about_ = 0;
    int bells_ = -1;
};

// ---- the box for a link that cannot be opened

enum class Closer { OkButton, Return, Escape, CloseButton, AltF4 };

const char* ToString(Closer c) {
    switch (c) {
        case Closer::OkButton:
            return "OkButton";
        case Closer::Return:
            return "Return";
        case Closer::Escape:
            return "Escape";
        case Closer::CloseButton:
            return "CloseButton";
        case Closer::AltF4:
            return "AltF4";
    }
    return "";
}
void PrintTo(Closer c, std::ostream* out) { *out << ToString(c); }
std::string CloserName(const ::testing::TestParamInfo<Closer>& info) {
    return ToString(info.param);
}

class LinkErrorBoxTest : public AboutBoxTest, public ::testing::WithParamInterface<Closer> {};

TEST_P(LinkErrorBoxTest, AnswersAndLeavesNoGrab) {
    const XWindow box = OpenLinkErrorBox();
    ASSERT_NE(box, 0u);
    ExpectNoGrab("while the box is open");

    const Rect client = x_.Geometry(box);
    const Image img = x_.Shot(client);
    switch (GetParam()) {
        case Closer::OkButton: {
            const Rect button = LowestBlock(img, client, img.CommonColour(client));
            ASSERT_FALSE(button.Empty()) << "no button in the box";
            x_.Click(button.x + button.w / 2, button.y + button.h / 2);
            break;
        }
        case Closer::Return:
            x_.Key("Return");
            break;
        case Closer::Escape:
            x_.Key("Escape");
            break;
        case Closer::CloseButton: {
            // The window manager's close button, at the right end of the title bar.
            const Rect frame = x_.FrameRect(box);
            const testsupport::FrameExtents e = x_.Extents(box);
            ASSERT_GT(e.top, 10) << "the box has no title bar";
            x_.Click(frame.Right() - e.right - 10, frame.y + e.top / 2);
            break;
        }
        case Closer::AltF4:
            x_.Key("F4", {"Alt_L"});
            break;
    }
    EXPECT_TRUE(x_.WaitGone(box, kReactMs)) << "the box is still open";
    EXPECT_TRUE(x_.Viewable(about_)) << "the About box went away with it";
    ExpectNoGrab("after the box closed");
    SleepMs(300);
    ExpectNoGrab("a moment after the box closed");
}

INSTANTIATE_TEST_SUITE_P(Closers, LinkErrorBoxTest,
                         ::testing::Values(Closer::OkButton, Closer::Return, Closer::Escape,
                                           Closer::CloseButton, Closer::AltF4),
                         CloserName);

TEST_F(AboutBoxTest, LinkErrorBoxRingsAndShowsAnIcon) {
    const XWindow box = OpenLinkErrorBox();
    ASSERT_NE(box, 0u);
    ASSERT_GE(bells_, 0) << "the X server reports no bell events";
    EXPECT_TRUE(WaitUntil(kReactMs, [&] { return x_.BellsRung() > bells_; }))
        << "the exclamation box did not ring the bell";

    // The exclamation icon: coloured pixels at the left of the text, above the button.
    const Rect client = x_.Geometry(box);
    const Image img = x_.Shot(client);
    const Rect button = LowestBlock(img, client, img.CommonColour(client));
    const Rect left{client.x, client.y, std::min(64, client.w / 3), button.y - client.y};
    int coloured = 0;
    for (int y = left.y; y < left.Bottom(); ++y)
        for (int x = left.x; x < left.Right(); ++x) coloured += Chromatic(img.At(x, y));
    EXPECT_GT(coloured, 40) << "no icon at the left of the box " << ToString(left);
}

// ---- the links

// A closed box's window is destroyed, not kept hidden: each box opened again would otherwise
// leave one more window (and its widgets) behind for the program's life.
TEST_F(AboutBoxTest, ClosedBoxLeavesNoWindowBehind) {
    main_ = StartGame();
    ASSERT_NE(main_, 0u);
    about_ = OpenAbout(main_);
    ASSERT_NE(about_, 0u);
    x_.Key("Return");
    ASSERT_TRUE(x_.WaitGone(about_, kReactMs)) << "the About box is still open";
    EXPECT_TRUE(WaitUntil(kReactMs, [&] { return !x_.Exists(about_); }))
        << "the closed About box's window still exists";
}

TEST_F(AboutBoxTest, LinksAreUnderlined) {
    main_ = StartGame();
    ASSERT_NE(main_, 0u);
    about_ = OpenAbout(main_);
    ASSERT_NE(about_, 0u);
    x_.Move(kNeutralX, kNeutralY);  // no link is hovered
    const Rect client = x_.Geometry(about_);
    const Image img = SettledShot(client);
    for (int index = 0; index < 2; ++index) {
        const Rect text = LinkText(img, client, index);
        ASSERT_GT(text.w, 40) << "no text in link " << index;
        const uint32_t background = img.CommonColour(client);
        // The link's colour: what most of its ink is drawn in.
        std::vector<uint32_t> colours = img.Colours(text);
        colours.erase(std::remove(colours.begin(), colours.end(), background), colours.end());
        ASSERT_FALSE(colours.empty());
        uint32_t ink = colours[0];
        for (uint32_t c : colours)
            if (img.Count(text, c) > img.Count(text, ink)) ink = c;
        // An underline: a row of that colour under the whole text.
        int longest = 0;
        for (int y = text.y; y < text.Bottom(); ++y) {
            int run = 0;
            for (int x = text.x; x < text.Right(); ++x) {
                run = img.At(x, y) == ink ? run + 1 : 0;
                longest = std::max(longest, run);
            }
        }
        EXPECT_GE(longest, text.w * 9 / 10)
            << "link " << index << " at " << ToString(text) << " in " << testsupport::ToString(ink)
            << " is not underlined: its longest row of that colour is " << longest << " px";
    }
}

TEST_F(AboutBoxTest, HandCursorLeavesWithOneQuickMove) {
    main_ = StartGame();
    ASSERT_NE(main_, 0u);
    // A point of the main window that the About box does not cover, and its plain cursor.
    const Rect g = x_.Geometry(main_);
    const int awayX = g.x + 30, awayY = g.Bottom() - 30;
    x_.Move(awayX, awayY);
    SleepMs(300);
    const CursorImage plain = x_.Cursor();
    ASSERT_GT(plain.width, 0) << "no cursor image";

    about_ = OpenAbout(main_);
    ASSERT_NE(about_, 0u);
    const Rect client = x_.Geometry(about_);
    ASSERT_FALSE(client.Contains(awayX, awayY));
    const Rect link = LinkText(x_.Shot(client), client, 0);
    ASSERT_FALSE(link.Empty());
    x_.Move(link.x + link.w / 2, link.y + link.h / 2);
    EXPECT_TRUE(WaitUntil(kReactMs, [&] { return x_.Cursor() != plain; }))
        << "the cursor over the link is the plain one";
    SleepMs(200);

    // One motion event from the link straight out of the box onto the main window.
    x_.Move(awayX, awayY);
    EXPECT_TRUE(WaitUntil(kReactMs, [&] { return x_.Cursor() == plain; }))
        << "the link's cursor stays on the main window after the pointer left the About box";
    // And on the bare desktop.
    x_.Move(kNeutralX, kNeutralY);
    EXPECT_TRUE(WaitUntil(kReactMs, [&] { return x_.Cursor() == plain; }))
        << "the link's cursor stays on the desktop";
}

// ---- a device-pixel ratio of 2

TEST_F(AboutBoxTest, IconIsPixelDoubledAtScaleTwo) {
    main_ = StartGame({"QT_SCALE_FACTOR=2"});
    ASSERT_NE(main_, 0u);
    // The window is larger than the screen at this scale: the menu by its keys, Alt+A for 帮助,
    // then A for 关于.
    const auto before = x_.Popups();
    x_.Key("a", {"Alt_L"});
    ASSERT_NE(x_.WaitForNewPopup(before, kShowMs), 0u) << "Alt+A opened no menu";
    SleepMs(200);
    x_.Key("a");
    about_ = x_.WaitForClient(kAboutTitle, kShowMs);
    ASSERT_NE(about_, 0u) << "no About box";
    const Rect client = x_.Geometry(about_);
    const Image img = SettledShot(client);

    const Rect label = DialogUnits(11, 17, 21, 20, 2);
    const Rect icon{client.x + label.x, client.y + label.y, 64, std::min(64, label.h)};
    ASSERT_GT(img.Colours(icon).size(), 4u) << "no icon at " << ToString(icon);
    int smoothed = 0;
    std::string first;
    for (int y = icon.y; y + 1 < icon.Bottom(); y += 2) {
        for (int x = icon.x; x + 1 < icon.Right(); x += 2) {
            const uint32_t c = img.At(x, y);
            if (img.At(x + 1, y) == c && img.At(x, y + 1) == c && img.At(x + 1, y + 1) == c)
                continue;
            if (!smoothed++)
                first = "(" + std::to_string(x - icon.x) + ", " + std::to_string(y - icon.y) + ")";
        }
    }
    EXPECT_EQ(smoothed, 0) << "2x2 blocks of the icon that are not one colour; the first at "
                           << first << " of the icon";
}

}  // namespace
}  // namespace desktop
