// Pixels of the game's drawing: a tile's raster steps, the overdraw order of the board, the
// hint and selection tints, the time bar, the panel's text columns, the prize line, the link
// path and the single-cell redraw.
#include <gtest/gtest.h>

#include "game/view/view.h"
#include "tests/gdi/helpers.h"
#include "tests/view/artwork.h"

using gditest::Canvas;
using viewtest::kFrameColours;
using viewtest::PictureColour;

namespace {

constexpr COLORREF kBack = RGB(7, 7, 7);

class ViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        viewtest::SharedArtwork();
        ASSERT_TRUE(view.Init(nullptr));
    }
    COLORREF Back(int x, int y) { return view.BackBuffer().GetPixel(x, y); }
    void ClearBack(COLORREF c) {
        view.BackBuffer().FillSolidRect(0, 0, CGameView::kBackWidth, CGameView::kBackHeight, c);
    }
    CGameView view;
};

COLORREF And(COLORREF a, COLORREF b) { return a & b; }

TEST_F(ViewTest, TileIsFrameMaskFrameColourThenPictureMaskAndPicture) {
    ClearBack(kBack);
    view.DrawTile(100, 200, 7, 3, 0, 1);
    const COLORREF frame = kFrameColours[3], pic = PictureColour(1, 7);
    // The cut corners keep what was underneath.
    EXPECT_EQ(Back(145, 200), kBack);
    EXPECT_EQ(Back(140, 200), kBack);
    EXPECT_EQ(Back(139, 200), frame);
    EXPECT_EQ(Back(145, 205), kBack);
    EXPECT_EQ(Back(145, 206), frame);
    EXPECT_EQ(Back(100, 255), kBack);
    EXPECT_EQ(Back(104, 255), kBack);
    EXPECT_EQ(Back(105, 255), frame);
    EXPECT_EQ(Back(100, 250), frame);
    // Frame all round the picture, the 35 x 37 picture at (x + 3, y + 6).
    EXPECT_EQ(Back(102, 206), frame);
    EXPECT_EQ(Back(103, 206), pic);
    EXPECT_EQ(Back(137, 242), pic);
    EXPECT_EQ(Back(138, 242), frame);
    EXPECT_EQ(Back(137, 243), frame);
    EXPECT_EQ(Back(103, 205), frame);
    // Nothing outside the 46 x 56 block.
    EXPECT_EQ(Back(146, 230), kBack);
    EXPECT_EQ(Back(120, 256), kBack);
    EXPECT_EQ(Back(99, 230), kBack);
}

TEST_F(ViewTest, SelectionAndHintTintOnlyTheFrameFace) {
    ClearBack(kBack);
    view.DrawTile(100, 100, 1, 1, 1, 0);  // selected
    view.DrawTile(200, 100, 1, 1, 2, 0);  // hinted
    const COLORREF frame = kFrameColours[1];
    EXPECT_EQ(Back(101, 101), And(frame, RGB(128, 128, 128)));
    EXPECT_EQ(Back(201, 101), And(frame, RGB(0, 128, 128)));
    EXPECT_EQ(Back(140, 120), And(frame, RGB(128, 128, 128)));  // x + 40: still inside 41 columns
    EXPECT_EQ(Back(141, 120), frame);                           // the right bevel is not tinted
    EXPECT_EQ(Back(120, 150), frame);                           // nor the bottom bevel
    EXPECT_EQ(Back(120, 120), PictureColour(0, 1));             // the picture is on top
    EXPECT_EQ(Back(220, 120), PictureColour(0, 1));
}

TEST_F(ViewTest, BoardDrawsColumnByColumnSoFacesCoverTheBevels) {
    CBoard board;
    board.SetDifficultyAndLevel(Easy, 1);
    board.Set(2, 2, 5);
    board.Set(3, 2, 6);
    board.Set(5, 2, 8);  // no right neighbour
    GameViewState s;
    s.board = &board;
    ClearBack(kBack);
    view.DrawBoard(&view.BackBuffer(), s);
    const int x0 = 160, y0 = 115;
    const COLORREF frame = kFrameColours[board.FrameStyle()];
    // Right neighbour present: its face (and picture) covers the left tile's bevel.
    EXPECT_EQ(Back(x0 + 43, y0 + 10), PictureColour(0, 6));
    EXPECT_EQ(Back(x0 + 45, y0), frame);
    // No right neighbour: the bevel shows, with its cut corner.
    EXPECT_EQ(Back(x0 + 120 + 43, y0 + 10), frame);
    EXPECT_EQ(Back(x0 + 120 + 45, y0), kBack);
    // Empty cell between: background.
    EXPECT_EQ(Back(x0 + 100, y0 + 25), kBack);
    EXPECT_EQ(Back(x0 + 100, y0 + 3), kBack);
}

TEST_F(ViewTest, HintedTileShowsTheHintTintEvenWhenSelected) {
    CBoard board;
    board.SetDifficultyAndLevel(Normal, 1);
    board.Set(2, 2, 9);
    board.Set(3, 2, 9);
    board.Set(6, 4, 11);
    board.Set(6, 6, 12);
    ASSERT_EQ(board.LeftClick(Cell{2, 2}).outcome, ClickOutcome::FirstSelected);
    const CBoard selectedOnly = board;
    ASSERT_TRUE(board.ShowHint());
    EXPECT_EQ(TileLook(board, 2, 2), 2);
    EXPECT_EQ(TileLook(board, 3, 2), 2);
    EXPECT_EQ(TileLook(board, 6, 4), 0);
    GameViewState s;
    s.board = &board;
    ClearBack(kBack);
    view.DrawBoard(&view.BackBuffer(), s);
    const COLORREF frame = kFrameColours[board.FrameStyle()];
    EXPECT_EQ(Back(120 + 1, 90 + 1), And(frame, RGB(0, 128, 128)));
    EXPECT_EQ(TileLook(selectedOnly, 2, 2), 1);
    s.board = &selectedOnly;
    view.DrawBoard(&view.BackBuffer(), s);
    EXPECT_EQ(Back(120 + 1, 90 + 1), And(frame, RGB(128, 128, 128)));
    EXPECT_EQ(Back(160 + 1, 90 + 1), frame);
}

// Ink of colour `c` in columns [x0, x1) of the status line (rows 0..15).
int InkIn(Canvas& w, int x0, int x1, COLORREF c) {
    int n = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = x0; x < x1; ++x) n += w.At(x, y) == c;
    return n;
}

TEST_F(ViewTest, StatusPanelColumnsAndColours) {
    CBoard board;
    board.SetDifficultyAndLevel(Super, 1);
    GameViewState s;
    s.board = &board;
    s.score = 1234;
    s.hints = 4;
    s.reshuffles = 3;
    s.timeLeft = 150;
    Canvas window(794, 530, RGB(1, 1, 1));
    view.PaintGame(&window.dc, s, CRect(0, 0, 794, 530));
    const COLORREF yellow = RGB(255, 255, 0), blue = RGB(128, 128, 255), green = RGB(0, 255, 0);
    EXPECT_GT(InkIn(window, 0, 40, yellow), 20);  // 难度:
    EXPECT_GT(InkIn(window, 40, 56, blue), 5);    // Ⅳ
    int numeralLeft = 56, numeralRight = 40;      // Ⅳ fills its 16-pixel cell
    for (int x = 40; x < 56; ++x)
        if (InkIn(window, x, x + 1, blue) > 0) {
            numeralLeft = std::min(numeralLeft, x);
            numeralRight = x + 1;
        }
    EXPECT_GT(numeralRight - numeralLeft, 12);
    EXPECT_EQ(InkIn(window, 56, 88, yellow) + InkIn(window, 56, 88, blue), 0);
    EXPECT_GT(InkIn(window, 88, 128, yellow), 20);  // 关卡:
    EXPECT_GT(InkIn(window, 128, 136, blue), 5);    // 0
    EXPECT_EQ(InkIn(window, 136, 160, blue), 0);
    EXPECT_GT(InkIn(window, 160, 208, blue), 40);  // 不变化
    EXPECT_EQ(InkIn(window, 208, 248, blue), 0);
    EXPECT_GT(InkIn(window, 564, 600, yellow), 20);  // 生命:
    EXPECT_GT(InkIn(window, 602, 610, green), 5);    // 3
    EXPECT_EQ(InkIn(window, 610, 628, green), 0);
    EXPECT_GT(InkIn(window, 628, 664, yellow), 20);  // 提示:
    EXPECT_GT(InkIn(window, 664, 672, green), 5);    // 4
    EXPECT_GT(InkIn(window, 692, 732, yellow), 20);  // 得分:
    EXPECT_GT(InkIn(window, 732, 764, green), 20);   // 1234
    EXPECT_EQ(InkIn(window, 764, 794, green), 0);
    // The frame: cyan outline, black inside, the bar red from x = 250 for 150 pixels.
    EXPECT_EQ(window.At(248, 0), RGB(0, 255, 255));
    EXPECT_EQ(window.At(551, 17), RGB(0, 255, 255));
    EXPECT_EQ(window.At(249, 1), RGB(0, 0, 0));
    EXPECT_EQ(InkIn(window, 248, 552, RGB(255, 0, 0)) + 0, 150 * 14);
    EXPECT_EQ(window.At(399, 15), RGB(255, 0, 0));
    EXPECT_EQ(window.At(400, 15), RGB(0, 0, 0));
    // The rest of the frame is black: nothing left over from the window's old content.
    EXPECT_EQ(window.At(700, 300), RGB(0, 0, 0));
}

TEST_F(ViewTest, TimeBarLengths) {
    CBoard board;
    board.SetDifficultyAndLevel(Easy, 1);
    GameViewState s;
    s.board = &board;
    const struct {
        int timeLeft;
        int red;
    } cases[] = {{0, 0}, {-1, 0}, {1, 14}, {150, 2100}, {300, 4200}, {302, 4200}};
    for (const auto& c : cases) {
        s.timeLeft = c.timeLeft;
        Canvas window(794, 530);
        view.PaintGame(&window.dc, s, CRect(0, 0, 794, 530));
        EXPECT_EQ(InkIn(window, 248, 552, RGB(255, 0, 0)), c.red) << c.timeLeft;
        EXPECT_EQ(window.At(550, 8), RGB(0, 0, 0)) << c.timeLeft;
    }
}

TEST_F(ViewTest, PrizeTextIsCentredOnTheSecondLineOverTheTiles) {
    CBoard board;
    board.SetDifficultyAndLevel(Super, 1);
    for (int x = 2; x <= 19; ++x) board.Set(x, 2, 1);  // the top row of a Super board
    GameViewState s;
    s.board = &board;
    s.prizeShown = 2;
    s.prizeText = "奖励提示3次";  // 88 pixels wide
    Canvas window(794, 530);
    view.PaintGame(&window.dc, s, CRect(0, 0, 794, 530));
    CRect box(794, 530, 0, 0);
    int ink = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 794; ++x)
            if (window.At(x, y) == RGB(255, 0, 255)) {
                ++ink;
                box.left = std::min<LONG>(box.left, x);
                box.right = std::max<LONG>(box.right, x + 1);
                box.top = std::min<LONG>(box.top, y);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    ASSERT_GT(ink, 50);
    EXPECT_GE(box.left, 346);
    EXPECT_LE(box.right, 346 + 88);
    EXPECT_GE(box.top, 19);
    EXPECT_LE(box.bottom, 35);
    // Transparent: the tiles show between the letters, nothing of the box is blacked out.
    int black = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) black += window.At(x, y) == RGB(0, 0, 0);
    EXPECT_EQ(black, 0);
    EXPECT_NE(window.At(60, 30), RGB(0, 0, 0));
}

TEST_F(ViewTest, LinkPathThroughTheRingLeftOfTheBoard) {
    Canvas window(794, 530);
    GameViewState s;
    PathRecord path;
    path.bends = 2;
    path.corners[0] = Cell{1, 3};
    path.corners[1] = Cell{1, 5};
    view.DrawLinkPath(&window.dc, s, path, Cell{2, 3}, Cell{2, 5});
    const COLORREF orange = RGB(255, 128, 0);
    // Corner column 1 lies at x = x0 - 20 = 140: the vertical leg covers 137..142.
    for (int y = 200; y <= 280; y += 10) {
        EXPECT_EQ(window.At(137, y), orange) << y;
        EXPECT_EQ(window.At(142, y), orange) << y;
        EXPECT_NE(window.At(136, y), orange) << y;
        EXPECT_NE(window.At(143, y), orange) << y;
    }
    EXPECT_EQ(window.At(180, 190), orange);
    EXPECT_EQ(window.At(160, 290), orange);
    EXPECT_NE(window.At(184, 240), orange);
    // The pen selected before is back.
    window.dc.MoveTo(0, 500);
    window.dc.LineTo(10, 500);
    EXPECT_EQ(window.At(5, 500), RGB(0, 0, 0));
}

TEST_F(ViewTest, LinkPathAboveTheSuperBoardIsClipped) {
    Canvas window(794, 530);
    CBoard board;
    board.SetDifficultyAndLevel(Super, 1);
    GameViewState s;
    s.board = &board;
    PathRecord path;
    path.bends = 2;
    path.corners[0] = Cell{2, 1};
    path.corners[1] = Cell{6, 1};
    view.DrawLinkPath(&window.dc, s, path, Cell{2, 2}, Cell{6, 2});
    const COLORREF orange = RGB(255, 128, 0);
    // Row 1's centre is at y = -7: the legs reach the top edge, the cross piece stays outside.
    EXPECT_EQ(window.At(60, 0), orange);
    EXPECT_EQ(window.At(220, 0), orange);
    EXPECT_NE(window.At(140, 0), orange);
    EXPECT_EQ(window.At(60, 43), orange);
}

TEST_F(ViewTest, RedrawCellCopiesOnlyTheFaceToTheWindow) {
    CBoard board;
    board.SetDifficultyAndLevel(Hard, 1);
    board.Set(4, 3, 2);
    board.Set(5, 3, 3);
    ASSERT_EQ(board.LeftClick(Cell{4, 3}).outcome, ClickOutcome::FirstSelected);
    GameViewState s;
    s.board = &board;
    s.theme = 2;
    Canvas window(794, 530, RGB(1, 2, 3));
    view.RedrawCell(&window.dc, s, Cell{4, 3});
    const int x = 80 + 80, y = 65 + 50;  // tile origin of (4, 3) on the Hard board
    const COLORREF frame = kFrameColours[board.FrameStyle()];
    EXPECT_EQ(window.At(x + 1, y + 1), And(frame, RGB(128, 128, 128)));
    EXPECT_EQ(window.At(x + 20, y + 20), PictureColour(2, 2));
    EXPECT_EQ(window.At(x + 39, y + 49), And(frame, RGB(128, 128, 128)));
    EXPECT_EQ(window.At(x + 40, y + 20), RGB(1, 2, 3));
    EXPECT_EQ(window.At(x + 20, y + 50), RGB(1, 2, 3));
    EXPECT_EQ(window.Count(RGB(1, 2, 3)), 794 * 530 - 40 * 50);
    // An empty cell is left alone.
    view.RedrawCell(&window.dc, s, Cell{7, 7});
    EXPECT_EQ(window.Count(RGB(1, 2, 3)), 794 * 530 - 40 * 50);
}

}  // namespace
