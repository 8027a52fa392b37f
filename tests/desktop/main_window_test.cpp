// The main window of the real program: the menu bar is 20 pixels tall above the client area,
// and the status panel draws the difficulty numerals Ⅰ to Ⅳ 16 pixels wide.
#include <string>
#include <vector>

#include "tests/desktop/desktop_fixture.h"
#include "tests/support/process.h"
#include "tests/support/status_panel.h"

namespace desktop {
namespace {

using testsupport::Rgb;
using testsupport::WaitUntil;

using MainWindowTest = DesktopTest;

constexpr uint32_t kNumeralColour = Rgb(128, 128, 255);

// How many columns the numeral's ink spans in its 16-pixel cell at client (40, 0).
int NumeralSpan(const Image& cell) {
    int first = -1, last = -1;
    for (int x = cell.area.x; x < cell.area.Right(); ++x) {
        bool ink = false;
        for (int y = cell.area.y; y < cell.area.Bottom(); ++y)
            ink = ink || cell.At(x, y) == kNumeralColour;
        if (!ink) continue;
        if (first < 0) first = x;
        last = x;
    }
    return first < 0 ? 0 : last - first + 1;
}

TEST_F(MainWindowTest, DifficultyNumeralsAreDrawnFullWidth) {
    const XWindow main = StartGame();
    ASSERT_NE(main, 0u);
    const char* const numerals[4] = {"Ⅰ", "Ⅱ", "Ⅲ", "Ⅳ"};
    // The font's half-width pictures of Ⅰ..Ⅳ span 3, 6, 7 and 7 px (Ⅳ reads as Ⅱ with a foot);
    // stretched over the 16-px cell each spans about twice as much.
    const int least[4] = {5, 9, 11, 11};
    std::vector<Image> cells;
    for (int d = 1; d <= 4; ++d) {
        if (d > 1) x_.Key("F8");  // F2 to F4 start a game only when none runs
        testsupport::SleepMs(100);
        x_.Key("F" + std::to_string(d));
        Image cell;
        const bool shown = WaitUntil(
            kShowMs,
            [&] {
                int ox = 0, oy = 0;
                const Image screen = x_.Shot(x_.Geometry(main));
                if (!testsupport::FindStatusPanel(screen, &ox, &oy)) return false;
                cell = screen.Crop(Rect{ox + 40, oy, 16, 16});
                return NumeralSpan(cell) > 0 && (cells.empty() || !cell.SameAs(cells.back()));
            },
            100);
        ASSERT_TRUE(shown) << "no status panel showing " << numerals[d - 1] << " after F" << d;
        cells.push_back(cell);
        EXPECT_GE(NumeralSpan(cell), least[d - 1])
            << numerals[d - 1] << " spans " << NumeralSpan(cell) << " px: drawn half-width";
    }
}

TEST_F(MainWindowTest, MenuBarIsTwentyPixelsTall) {
    const XWindow main = StartGame();
    ASSERT_NE(main, 0u);
    x_.Key("F1");
    int ox = 0, oy = 0;
    ASSERT_TRUE(WaitUntil(
        kShowMs, [&] { return testsupport::FindStatusPanel(x_.Shot(x_.Geometry(main)), &ox, &oy); },
        100))
        << "no status panel after F1";
    const Rect frame = x_.Geometry(main);
    EXPECT_EQ(oy - frame.y, 20) << "the client area starts " << oy - frame.y
                                << " px below the top of the menu bar";
}

}  // namespace
}  // namespace desktop
