// The clock seam and the timer queue: virtual time, blocked threads, due order, coalescing.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/seams/seams.h"

namespace {

class VirtualClockTest : public ::testing::Test {
  protected:
    void SetUp() override { seams::UseVirtualClock(1700000000, 5000); }
    void TearDown() override {
        for (int id = 1; id <= 4; ++id) seams::KillTimer(this, static_cast<unsigned>(id));
        seams::UseRealClock();
    }
};

TEST_F(VirtualClockTest, TimeMovesOnlyWhenTold) {
    EXPECT_EQ(seams::Time(), 1700000000);
    EXPECT_EQ(GetTickCount(), 5000u);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(GetTickCount(), 5000u);
    seams::AdvanceClock(1999);
    EXPECT_EQ(GetTickCount(), 6999u);
    EXPECT_EQ(seams::Time(), 1700000001);  // whole seconds only
    seams::AdvanceClock(1);
    int64_t out = 0;
    EXPECT_EQ(seams::Time(&out), 1700000002);
    EXPECT_EQ(out, 1700000002);
}

TEST_F(VirtualClockTest, SleepOnTheOwnerThreadLetsTimePassAtOnce) {
    const auto before = std::chrono::steady_clock::now();
    Sleep(60000);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
    EXPECT_EQ(GetTickCount(), 65000u);
}

TEST_F(VirtualClockTest, SleepOnAnotherThreadWaitsForTheClock) {
    std::atomic<bool> woke{false};
    std::thread sleeper([&] {
        Sleep(100);
        woke = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(woke);
    seams::AdvanceClock(99);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(woke);
    seams::AdvanceClock(1);
    sleeper.join();
    EXPECT_TRUE(woke);
}

TEST_F(VirtualClockTest, ReturningToRealTimeReleasesSleepers) {
    std::thread sleeper([] { Sleep(1000000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    seams::UseRealClock();
    sleeper.join();
    SUCCEED();
}

TEST_F(VirtualClockTest, DueTimersComeInOrderOfDueTime) {
    seams::SetTimer(this, 1, 1000);
    seams::SetTimer(this, 2, 600);
    std::vector<std::pair<unsigned, int64_t>> fired;
    const int64_t start = seams::NowMs();
    const int64_t end = start + 2500;
    for (;;) {
        const int64_t due = seams::NextTimerDue();
        if (due < 0 || due > end) break;
        seams::AdvanceClockTo(due);
        seams::TimerKey key{};
        ASSERT_TRUE(seams::TakeDueTimer(&key));
        EXPECT_EQ(key.owner, this);
        fired.emplace_back(key.id, seams::NowMs() - start);
    }
    const std::vector<std::pair<unsigned, int64_t>> expected = {{2, 600},  {1, 1000}, {2, 1200},
                                                                {2, 1800}, {1, 2000}, {2, 2400}};
    EXPECT_EQ(fired, expected);
}

TEST_F(VirtualClockTest, ATimerDueManyTimesWhileBlockedDeliversOnce) {
    seams::SetTimer(this, 3, 100);
    Sleep(350);  // the window thread is blocked past three periods
    seams::TimerKey key{};
    ASSERT_TRUE(seams::TakeDueTimer(&key));
    EXPECT_EQ(key.id, 3u);
    EXPECT_FALSE(seams::TakeDueTimer(&key));
    // The next one comes a full period after the one delivered.
    EXPECT_EQ(seams::NextTimerDue(), seams::NowMs() + 100);
}

TEST_F(VirtualClockTest, SettingATimerAgainRestartsItAndKillingRemovesIt) {
    seams::SetTimer(this, 1, 500);
    seams::AdvanceClock(400);
    seams::SetTimer(this, 1, 500);
    EXPECT_EQ(seams::NextTimerDue(), seams::NowMs() + 500);
    EXPECT_TRUE(seams::KillTimer(this, 1));
    EXPECT_FALSE(seams::KillTimer(this, 1));
    EXPECT_EQ(seams::NextTimerDue(), -1);
    seams::SetTimer(this, 1, 10);
    seams::SetTimer(this, 2, 10);
    seams::KillTimers(this);
    seams::AdvanceClock(100);
    seams::TimerKey key{};
    EXPECT_FALSE(seams::TakeDueTimer(&key));
}

TEST_F(VirtualClockTest, TimersOfDifferentWindowsAreSeparate) {
    int other = 0;
    seams::SetTimer(this, 1, 100);
    seams::SetTimer(&other, 1, 50);
    seams::AdvanceClock(100);
    seams::TimerKey key{};
    ASSERT_TRUE(seams::TakeDueTimer(&key));
    EXPECT_EQ(key.owner, &other);  // due at 50, before this one's 100
    ASSERT_TRUE(seams::TakeDueTimer(&key));
    EXPECT_EQ(key.owner, this);
    seams::KillTimers(&other);
}

TEST(RealClock, TicksFollowTheSteadyClock) {
    seams::UseRealClock();
    const uint32_t a = GetTickCount();
    Sleep(30);
    const uint32_t b = GetTickCount();
    EXPECT_GE(b - a, 29u);
    EXPECT_LT(b - a, 2000u);
    EXPECT_NEAR(static_cast<double>(seams::Time()), static_cast<double>(std::time(nullptr)), 2.0);
}

}  // namespace
