// The text of menus and tooltips is drawn in the dialogs' font without smoothing, like the menu
// bar: every line of text is made of exactly two colours, its background and its ink.
#include <string>
#include <vector>

#include "tests/desktop/desktop_fixture.h"
#include "tests/support/process.h"

namespace desktop {
namespace {

// The lines whose pixels are more than background and text, for a failure message; lines
// drawn on another background (a highlighted item) are left out.
std::string SmoothedLines(const Image& img, const std::vector<Rect>& lines, uint32_t background) {
    std::string report;
    for (const Rect& r : lines) {
        if (img.CommonColour(r) != background) continue;
        const std::vector<uint32_t> colours = img.Colours(r);
        if (colours.size() <= 2) continue;
        report += " " + ToString(r) + " has " + std::to_string(colours.size()) + " colours:";
        for (size_t i = 0; i < colours.size() && i < 6; ++i)
            report += " " + testsupport::ToString(colours[i]);
        report += ";";
    }
    return report;
}

class FontsTest : public DesktopTest {
  protected:
    // Checks the lines of text of an open menu or tooltip.
    void ExpectUnsmoothed(XWindow popup, const std::string& what) {
        const Rect g = x_.Geometry(popup);
        const Rect inside{g.x + 2, g.y + 2, g.w - 4, g.h - 4};
        const Image img = SettledShot(inside);
        const std::vector<Rect> lines = InkRows(img, inside, 2, Dark);
        ASSERT_FALSE(lines.empty()) << what << " shows no text";
        EXPECT_EQ(SmoothedLines(img, lines, img.CommonColour(inside)), "")
            << what << " is drawn with a smoothed font";
    }
};

TEST_F(FontsTest, DropDownMenusLikeTheMenuBar) {
    const XWindow main = StartGame();
    ASSERT_NE(main, 0u);
    const Rect bar = MenuBar(main);
    const Image barImage = x_.Shot(bar);
    const std::vector<Rect> titles = MenuTitles(main);
    ASSERT_EQ(titles.size(), 3u);
    ASSERT_EQ(SmoothedLines(barImage, titles, barImage.CommonColour(bar)), "")
        << "the menu bar itself is smoothed";

    for (int index : {0, 2}) {
        const XWindow menu = OpenMenu(main, index);
        ASSERT_NE(menu, 0u);
        ExpectUnsmoothed(menu, "drop-down menu " + std::to_string(index));
        x_.Key("Escape");
        testsupport::WaitUntil(kReactMs, [&] { return !x_.Viewable(menu); });
    }
}

TEST_F(FontsTest, SystemMenu) {
    const XWindow main = StartGame();
    ASSERT_NE(main, 0u);
    const auto before = x_.Popups();
    x_.Key("space", {"Alt_L"});
    const XWindow menu = x_.WaitForNewPopup(before, kShowMs);
    ASSERT_NE(menu, 0u) << "Alt+Space opened no menu";
    ExpectUnsmoothed(menu, "the Alt+Space menu");
    x_.Key("Escape");
}

TEST_F(FontsTest, LinkTooltip) {
    const XWindow main = StartGame();
    ASSERT_NE(main, 0u);
    const XWindow about = OpenAbout(main);
    ASSERT_NE(about, 0u);
    const Rect client = x_.Geometry(about);
    const Image img = x_.Shot(client);
    const Rect label = DialogUnits(52, 88, 109, 8);
    const Rect link = img.Ink(Rect{client.x + label.x, client.y + label.y, label.w, label.h},
                              img.CommonColour(client));
    ASSERT_FALSE(link.Empty()) << "no link in the About box";
    const auto before = x_.Popups();
    x_.Move(link.x + link.w / 2, link.y + link.h / 2);
    const XWindow tip = x_.WaitForNewPopup(before, kShowMs);
    ASSERT_NE(tip, 0u) << "no tooltip over the link";
    ExpectUnsmoothed(tip, "the link's tooltip");
}

}  // namespace
}  // namespace desktop
