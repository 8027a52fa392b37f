// The program's own effects and tunes through the sound layer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "game/res/resource_ids.h"
#include "kivra_resources.h"
#include "platform/crt/resources.h"
#include "platform/mm/audio.h"
#include "platform/mm/media_formats.h"
#include "platform/mm/mmsystem.h"
#include "tests/mm/audio_fixture.h"
#include "tests/mm/media_files.h"

namespace {

namespace fs = std::filesystem;

struct Effect {
    int id;
    int lengthMs;
};
// Every effect of the game with its length.
const Effect kEffects[] = {
    {IDW_SELECT, 40},        {IDW_LINK, 150},           {IDW_NO_PATH, 350},
    {IDW_MISMATCH, 130},     {IDW_LEVEL_CLEARED, 1520}, {IDW_ALL_CLEARED, 2690},
    {IDW_GAME_OVER, 2620},   {IDW_HINT, 550},           {IDW_RESHUFFLE, 1120},
    {IDW_PRIZE_SMALL, 1690}, {IDW_PENALTY, 2140},       {IDW_PRIZE_MEDIUM, 670},
    {IDW_PRIZE_BIG, 2910}};

TEST(GeneratedEffects, EveryEffectIsPlayableWaveOfItsLength) {
    RegisterKivraResources();
    for (const Effect& e : kEffects) {
        const res::Resource* r = res::FindResource(e.id, res::Kind::Wave);
        ASSERT_NE(r, nullptr) << e.id;
        mm::WaveInfo info;
        ASSERT_TRUE(mm::ParseWave(r->data, r->size, info)) << e.id;
        EXPECT_EQ(info.bitsPerSample, 8) << e.id;
        EXPECT_NEAR(static_cast<int>(info.lengthMs), e.lengthMs, 10) << e.id;
    }
}

class GeneratedTunes : public mmtest::AudioTest {
  protected:
    void SetUp() override {
        m_old = fs::current_path();
        fs::current_path(KIVRA_DATA_DIR);
    }
    void TearDown() override {
        AudioTest::TearDown();
        fs::current_path(m_old);
    }
    MCIERROR Open(const std::string& name, MCIDEVICEID* id) {
        MCI_OPEN_PARMS open{};
        open.lpstrElementName = name.c_str();
        MCIERROR err =
            mciSendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<std::uintptr_t>(&open));
        *id = open.wDeviceID;
        return err;
    }

  private:
    fs::path m_old;
};

TEST_F(GeneratedTunes, EveryTuneOpensWithItsLength) {
    UseDriver("dummy");
    for (int n = 101; n <= 117; ++n) {
        MCIDEVICEID id = 0;
        std::string name = "midi\\" + std::to_string(n) + ".mid";
        ASSERT_EQ(Open(name, &id), 0u) << name;
        MCI_STATUS_PARMS status{};
        status.dwItem = MCI_STATUS_LENGTH;
        ASSERT_EQ(mciSendCommand(id, MCI_STATUS, MCI_STATUS_ITEM,
                                 reinterpret_cast<std::uintptr_t>(&status)),
                  0u);
        EXPECT_GE(status.dwReturn, 30000u) << name;
        EXPECT_LE(status.dwReturn, 240000u) << name;
        EXPECT_EQ(mciSendCommand(id, MCI_CLOSE, 0, 0), 0u);
    }
}

TEST_F(GeneratedTunes, ATuneIsHeardOnTheDevice) {
    UseDriver("disk");
    MCIDEVICEID id = 0;
    ASSERT_EQ(Open("midi\\101.mid", &id), 0u);
    MCI_PLAY_PARMS play{};
    ASSERT_EQ(mciSendCommand(id, MCI_PLAY, 0, reinterpret_cast<std::uintptr_t>(&play)), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_EQ(mciSendCommand(id, MCI_CLOSE, 0, 0), 0u);
    mm::CloseAudio();
    auto samples = mmtest::ReadSamples(DiskFile());
    // Count loud frames: a tune fills most of its first seconds with sound.
    long loud = 0;
    for (std::size_t i = 0; i + 1 < samples.size(); i += 2)
        if (std::abs(samples[i]) > 300 || std::abs(samples[i + 1]) > 300) ++loud;
    EXPECT_GT(loud, 22050 / 2) << "less than half a second of sound";
}

}  // namespace
