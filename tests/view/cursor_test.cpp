// Pixels of the keyboard's cursor: its frame differs from the selection and the hint on every
// pixel it covers and never reaches the back buffer, and the cells it leaves are put back
// exactly, also where the back buffer holds a neighbour's bevel that the window does not show.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/view/view.h"
#include "tests/gdi/helpers.h"
#include "tests/view/artwork.h"

using gditest::Canvas;

void PrintTo(const Rect& r, std::ostream* os) {
    *os << r.left << " " << r.top << " " << r.right << " " << r.bottom;
}

namespace {

const CRect kClient(0, 0, 794, 530);

std::vector<COLORREF> Pixels(Canvas& c) {
    std::vector<COLORREF> p;
    for (int y = 0; y < kClient.bottom; ++y)
        for (int x = 0; x < kClient.right; ++x) p.push_back(c.At(x, y));
    return p;
}

// The smallest rectangle holding every pixel of `c` that differs from `before`.
Rect Changed(const std::vector<COLORREF>& before, Canvas& c) {
    const std::vector<COLORREF> now = Pixels(c);
    Rect r{kClient.right, kClient.bottom, 0, 0};
    for (int i = 0; i < static_cast<int>(now.size()); ++i) {
        if (now[i] == before[i]) continue;
        const int x = i % kClient.right, y = i / kClient.right;
        r = Rect{std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
                 std::max(r.bottom, y + 1)};
    }
    return r.left < r.right ? r : Rect{};
}

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
    CGameView view;
    CBoard board;
    GameViewState s;
};

TEST_F(CursorView, FrameDiffersFromTheSelectionAndTheHintOnEveryPixel) {
    CBoard selected = board, hinted = board;
    ASSERT_EQ(selected.LeftClick(Cell{3, 2}).outcome, ClickOutcome::FirstSelected);
    ASSERT_TRUE(hinted.ShowHint());
    const Rect face = CellRect(Easy, 3, 2);
    for (int theme = 0; theme < 3; ++theme) {
        GameViewState sel = s, hint = s, cursor = s;
        sel.board = &selected;
        hint.board = &hinted;
        sel.theme = hint.theme = cursor.theme = theme;
        cursor.cursor = Cell{3, 2};
        Canvas withSelection(794, 530), withHint(794, 530), withCursor(794, 530);
        view.PaintGame(&withSelection.dc, sel, kClient);
        view.PaintGame(&withHint.dc, hint, kClient);
        view.PaintGame(&withCursor.dc, cursor, kClient);
        int same = 0;  // over the five-pixel frame along the face's edges
        for (int y = face.top; y < face.bottom; ++y)
            for (int x = face.left; x < face.right; ++x) {
                if (std::min({x - face.left, face.right - 1 - x, y - face.top,
                              face.bottom - 1 - y}) >= 5)
                    continue;
                const COLORREF c = withCursor.At(x, y);
                same += c == withSelection.At(x, y) || c == withHint.At(x, y) ||
                        c == view.BackBuffer().GetPixel(x, y);
            }
        EXPECT_EQ(same, 0) << "theme " << theme;
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
    EXPECT_EQ(Changed(shown, window), CellRect(Easy, 3, 2));
    s.cursor = Cell{3, 3};
    view.UpdateCursor(&window.dc, s);
    EXPECT_EQ(Changed(shown, window), CellRect(Easy, 3, 3)) << "(3, 2) was not put back";
    // A cell redrawn under the cursor gets the frame again on top.
    const std::vector<COLORREF> framed = Pixels(window);
    view.RedrawCell(&window.dc, s, Cell{3, 3});
    EXPECT_EQ(Changed(framed, window), Rect{});

    // An empty cell on black, where the frame's outer dark ring does not show; then none.
    s.cursor = Cell{6, 5};
    view.UpdateCursor(&window.dc, s);
    const Rect empty = CellRect(Easy, 6, 5);
    EXPECT_EQ(Changed(shown, window),
              (Rect{empty.left + 1, empty.top + 1, empty.right - 1, empty.bottom - 1}));
    s.cursor = Cell{};
    view.UpdateCursor(&window.dc, s);
    EXPECT_EQ(Changed(shown, window), Rect{});
}

}  // namespace
