// Movable global memory: allocation, lock counts, sizes and freeing.
#include "platform/winmem/winmem.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(GlobalMemory, ZeroInitialisedBlocksAreCleared) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4096);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 4096u);
    auto* p = static_cast<std::uint8_t*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 4096; ++i) ASSERT_EQ(p[i], 0) << i;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(std::max_align_t), 0u);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, LockCountRisesAndFalls) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalFlags(h), 0u);
    void* first = GlobalLock(h);
    void* second = GlobalLock(h);
    EXPECT_EQ(first, second);
    EXPECT_EQ(GlobalFlags(h), 2u);
    EXPECT_EQ(GlobalUnlock(h), TRUE);   // still locked once
    EXPECT_EQ(GlobalUnlock(h), FALSE);  // now unlocked
    EXPECT_EQ(GlobalUnlock(h), FALSE);  // not locked: nothing changes
    EXPECT_EQ(GlobalFlags(h), 0u);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, DataSurvivesUnlockAndRelock) {
    HGLOBAL h = GlobalAlloc(GHND, 3);
    auto* p = static_cast<char*>(GlobalLock(h));
    p[0] = 'a';
    p[2] = 'c';
    GlobalUnlock(h);
    auto* q = static_cast<char*>(GlobalLock(h));
    EXPECT_EQ(q[0], 'a');
    EXPECT_EQ(q[1], 0);
    EXPECT_EQ(q[2], 'c');
    GlobalUnlock(h);
    GlobalFree(h);
}

TEST(GlobalMemory, EmptyAndImpossibleRequests) {
    HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(GlobalSize(empty), 0u);
    EXPECT_EQ(GlobalFree(empty), nullptr);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_MAX), nullptr);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_MAX - 8), nullptr);
}

TEST(GlobalMemory, ForeignHandlesAreRefused) {
    EXPECT_EQ(GlobalLock(nullptr), nullptr);
    EXPECT_EQ(GlobalSize(nullptr), 0u);
    EXPECT_EQ(GlobalUnlock(nullptr), FALSE);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
    alignas(std::max_align_t) unsigned char notABlock[64] = {};
    EXPECT_EQ(GlobalLock(notABlock), nullptr);
    EXPECT_EQ(GlobalFree(notABlock), static_cast<HGLOBAL>(notABlock));
}

}  // namespace
