// Window surfaces: drawing through an attached DC reports the changed area, and several
// threads may draw on one surface.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/gdi/helpers.h"

namespace {

TEST(Surface, DrawingOnAnAttachedSurfaceReportsWhatChanged) {
    auto surface = std::make_shared<gdi::Surface>(100, 50);
    std::vector<CRect> changes;
    surface->SetChangeHook([&](const RECT& r) { changes.emplace_back(r); });
    CDC dc;
    ASSERT_TRUE(dc.AttachSurface(surface));
    dc.FillSolidRect(90, 40, 20, 20, RGB(1, 2, 3));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], CRect(90, 40, 100, 50));
    EXPECT_EQ(surface->Row(45)[95], 0xFF010203u);

    changes.clear();
    CPen pen(PS_SOLID, 6, RGB(255, 128, 0));
    dc.SelectObject(&pen);
    dc.MoveTo(10, 10);
    dc.LineTo(30, 10);
    ASSERT_FALSE(changes.empty());
    CRect all;
    for (const CRect& r : changes) all.UnionRect(&all, &r);
    EXPECT_EQ(all, CRect(7, 7, 33, 13));
    dc.SelectStockObject(BLACK_PEN);

    // Drawing entirely outside reports nothing; a bitmap cannot be selected into a window DC.
    changes.clear();
    dc.FillSolidRect(-30, -30, 10, 10, RGB(1, 1, 1));
    EXPECT_TRUE(changes.empty());
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(nullptr, 2, 2);
    EXPECT_EQ(dc.SelectObject(&bmp), nullptr);

    // A copy from a memory DC onto the window reaches it at once.
    gditest::Canvas back(100, 50, RGB(0, 255, 0));
    dc.BitBlt(0, 0, 40, 50, &back.dc, 0, 0, SRCCOPY);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], CRect(0, 0, 40, 50));
    EXPECT_EQ(dc.GetPixel(39, 49), RGB(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(40, 49), RGB(0, 0, 0));
}

TEST(Surface, ResizeKeepsTheOverlappingPixels) {
    gdi::Surface s(4, 4);
    s.Row(1)[2] = 0xFF123456u;
    s.Resize(3, 6, 0xFFABCDEFu);
    EXPECT_EQ(s.Width(), 3);
    EXPECT_EQ(s.Row(1)[2], 0xFF123456u);
    EXPECT_EQ(s.Row(5)[0], 0xFFABCDEFu);
}

TEST(Surface, TwoThreadsDrawOnOneWindowSurface) {
    auto surface = std::make_shared<gdi::Surface>(64, 64);
    std::atomic<int> reports{0};
    surface->SetChangeHook([&](const RECT&) { ++reports; });
    auto worker = [&](int column, COLORREF colour) {
        CDC dc;
        dc.AttachSurface(surface);
        gditest::Canvas frame(32, 64, colour);
        for (int i = 0; i < 200; ++i) {
            dc.BitBlt(column, 0, 32, 64, &frame.dc, 0, 0, SRCCOPY);
            dc.FillSolidRect(column, i % 64, 32, 1, colour);
        }
    };
    std::thread a(worker, 0, RGB(255, 0, 0));
    std::thread b(worker, 32, RGB(0, 0, 255));
    // Meanwhile a presenter reads the surface under its lock.
    uint64_t sum = 0;
    for (int i = 0; i < 200; ++i) {
        std::lock_guard<std::mutex> lock(surface->Mutex());
        sum += surface->Row(i % 64)[i % 64];
    }
    a.join();
    b.join();
    EXPECT_GT(sum, 0u);
    EXPECT_EQ(reports.load(), 800);
    EXPECT_EQ(surface->Row(10)[5], 0xFFFF0000u);
    EXPECT_EQ(surface->Row(60)[40], 0xFF0000FFu);
}

}  // namespace
