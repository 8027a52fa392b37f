// Pixels of the keyboard's cursor: its frame differs from the selection and the hint on every
// pixel it covers, never reaches the back buffer, and the cells it leaves are put back exactly,
// also where the back buffer holds a neighbour's bevel that the window does not show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/view/view.h"
#include "tests/gdi/helpers.h"
#include "tests/view/artwork.h"

using gditest::Canvas;

namespace {

constexpr int kRingWidth = 5;
const CRect kClient(0, 0, 794, 530);

class CursorView : public ::testing::Test {
  protected:
    void SetUp() override {
        viewtest::SharedArtwork();
        ASSERT_TRUE(view.Init(nullptr));
        board.SetDifficultyAndLevel(Easy, 1);
        for (int x = 2; x <= 5; ++x)
            for (int y = 2; y <= 3; ++y) board.Set(x, y, x + 10 * y);
        board.Set(4, 2, board.At(3, 2));  // the one pair: a hint names (3, 2)
        s.board = &board;
        s.gameInProgress = true;
    }
    // Every pixel of the face of `cell` that the frame covers.
    template <typename F>
    void ForRing(Cell cell, F f) {
        const Rect r = CellRect(Easy, cell.x, cell.y);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (x < r.left + kRingWidth || x >= r.right - kRingWidth ||
                    y < r.top + kRingWidth || y >= r.bottom - kRingWidth)
                    f(x, y);
    }
    static std::vector<COLORREF> Pixels(Canvas& c) {
        std::vector<COLORREF> p;
        for (int y = 0; y < kClient.bottom; ++y)
            for (int x = 0; x < kClient.right; ++x) p.push_back(c.At(x, y));
        return p;
    }
    // Pixels where `now` differs from `before`, as the bounding rectangle "l t r b"; "" when
    // none.
    static std::string Changed(const std::vector<COLORREF>& before,
                               const std::vector<COLORREF>& now) {
        CRect r(kClient.right, kClient.bottom, 0, 0);
        for (int y = 0; y < kClient.bottom; ++y)
            for (int x = 0; x < kClient.right; ++x) {
                const size_t i = static_cast<size_t>(y) * kClient.right + x;
                if (before[i] == now[i]) continue;
                r.left = std::min<int>(r.left, x);
                r.top = std::min<int>(r.top, y);
                r.right = std::max<int>(r.right, x + 1);
                r.bottom = std::max<int>(r.bottom, y + 1);
            }
        return r.left < r.right ? Str(r) : "";
    }
    static std::string Face(Cell c, int inset = 0) {
        const Rect r = CellRect(Easy, c.x, c.y);
        return Str(CRect(r.left + inset, r.top + inset, r.right - inset, r.bottom - inset));
    }
    static std::string Str(const CRect& r) {
        return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
               std::to_string(r.right) + " " + std::to_string(r.bottom);
    }

    CGameView view;
    CBoard board;
    GameViewState s;
};

TEST_F(CursorView, FrameDiffersFromTheSelectionAndTheHintOnEveryPixel) {
    const Cell cell{3, 2};
    for (int theme = 0; theme < 3; ++theme) {
        s.theme = theme;
        CBoard selected = board, hinted = board;
        ASSERT_EQ(selected.LeftClick(cell).outcome, ClickOutcome::FirstSelected);
        ASSERT_TRUE(hinted.ShowHint());
        GameViewState sel = s, hint = s;
        sel.board = &selected;
        hint.board = &hinted;
        Canvas withSelection(794, 530), withHint(794, 530), withCursor(794, 530);
        view.PaintGame(&withSelection.dc, sel, kClient);
        view.PaintGame(&withHint.dc, hint, kClient);
        s.cursor = cell;
        view.PaintGame(&withCursor.dc, s, kClient);
        int same = 0;
        ForRing(cell, [&](int x, int y) {
            same += withCursor.At(x, y) == withSelection.At(x, y);
            same += withCursor.At(x, y) == withHint.At(x, y);
            // The back buffer holds the plain tile: the frame lies on the window only.
            same += withCursor.At(x, y) == view.BackBuffer().GetPixel(x, y);
        });
        EXPECT_EQ(same, 0) << "theme " << theme;
        s.cursor = Cell{};
    }
}

TEST_F(CursorView, CellsTheCursorLeavesArePutBackExactly) {
    Canvas window(794, 530);
    view.PaintGame(&window.dc, s, kClient);
    // Selecting (2, 2) puts its bevel over the face of (3, 2) in the back buffer only.
    ASSERT_EQ(board.LeftClick(Cell{2, 2}).outcome, ClickOutcome::FirstSelected);
    view.RedrawCell(&window.dc, s, Cell{2, 2});
    const std::vector<COLORREF> shown = Pixels(window);

    s.cursor = Cell{3, 2};
    view.UpdateCursor(&window.dc, s);
    EXPECT_EQ(Changed(shown, Pixels(window)), Face(Cell{3, 2}));
    s.cursor = Cell{3, 3};
    view.UpdateCursor(&window.dc, s);
    EXPECT_EQ(Changed(shown, Pixels(window)), Face(Cell{3, 3})) << "(3, 2) was not put back";

    // A cell redrawn under the cursor gets the frame again on top.
    const std::vector<COLORREF> framed = Pixels(window);
    view.RedrawCell(&window.dc, s, Cell{3, 3});
    EXPECT_EQ(Changed(framed, Pixels(window)), "");

    // An empty cell on black, where the frame's outer dark ring does not show; then no cursor.
    s.cursor = Cell{6, 5};
    view.UpdateCursor(&window.dc, s);
    EXPECT_EQ(Changed(shown, Pixels(window)), Face(Cell{6, 5}, 1));
    s.cursor = Cell{};
    view.UpdateCursor(&window.dc, s);
    EXPECT_EQ(Changed(shown, Pixels(window)), "");
}

}  // namespace
