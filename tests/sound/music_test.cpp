#include <gtest/gtest.h>

#include <cstdlib>

#include "game/control/game_sound.h"
#include "game/res/resource_ids.h"
#include "platform/crt/rand.h"
#include "platform/crt/resources.h"
#include "platform/seams/seams.h"
#include "tests/mm/media_files.h"
#include "tests/sound/rand_reference.h"
#include "tests/sound/sound_folder.h"

namespace {

using soundtest::RandSequence;

std::string Midi(int number) {
    return seams::TraceToJson("midi", {{"file", "midi\\" + std::to_string(number) + ".mid"}});
}
const std::string kStop = seams::TraceToJson("midi_stop", {});

// Music on the virtual clock with a silent device: tunes open and end by the clock.
class Music : public soundtest::InFolder {
  protected:
    void SetUp() override {
        InFolder::SetUp();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        seams::UseVirtualClock(1000);
    }
    void TearDown() override {
        CloseMusic();
        InFolder::TearDown();
    }
    // Tunes 101..117; tune n lasts (n - 100) quarter notes at 120 bpm: (n - 100) / 2 seconds.
    void WriteTunes() {
        for (int n = 101; n <= 117; ++n)
            WriteBytes("midi/" + std::to_string(n) + ".mid", mmtest::MidiTune(n - 100, 120));
    }
    // Lets `ms` pass with the watchdog ticking every second, as timer 1 does.
    void RunWatchdog(int musicSwitch, int ms) {
        for (int t = 0; t < ms; t += 1000) {
            seams::AdvanceClock(1000);
            MusicWatchdog(musicSwitch, this);
        }
    }
};

TEST_F(Music, RandomTuneComesFromTheProgramsGenerator) {
    WriteTunes();
    crt::srand(1234);
    auto r = RandSequence(1234, 2);
    StartRandomTune(this);
    int number = r[0] % 17 + 101;
    EXPECT_EQ(std::string(MusicFileName()), "midi\\" + std::to_string(number) + ".mid");
    EXPECT_EQ(traces, std::vector<std::string>{Midi(number)});
    EXPECT_FALSE(TuneStopped());
    EXPECT_EQ(crt::rand(), r[1]);  // exactly one draw
}

TEST_F(Music, EndedTuneIsFollowedByTheNextWithinASecond) {
    WriteTunes();
    crt::srand(99);
    auto r = RandSequence(99, 3);
    StartRandomTune(this);
    int first = r[0] % 17 + 101;
    int lengthMs = (first - 100) * 500;
    // Tick by tick until the tune has ended: the next one starts at the first tick after.
    int elapsed = 0;
    while (elapsed < lengthMs) {
        RunWatchdog(1, 1000);
        elapsed += 1000;
        if (elapsed < lengthMs) {
            EXPECT_EQ(traces.size(), 1u) << "replaced before its end at " << elapsed;
        }
    }
    EXPECT_LT(elapsed - lengthMs, 1000);
    int second = r[1] % 17 + 101;
    EXPECT_EQ(traces, (std::vector<std::string>{Midi(first), kStop, Midi(second)}));
    EXPECT_FALSE(TuneStopped());
}

TEST_F(Music, WatchdogDoesNothingWithMusicOff) {
    WriteTunes();
    crt::srand(5);
    StartRandomTune(this);
    RunWatchdog(0, 30000);  // long past the end of any tune
    EXPECT_EQ(traces.size(), 1u);
    EXPECT_TRUE(TuneStopped());
}

TEST_F(Music, ToggleOffStopsAndClosesOnStartsANewRandomTune) {
    WriteTunes();
    crt::srand(7);
    auto r = RandSequence(7, 2);
    int music = ToggleMusic(0, this);
    EXPECT_EQ(music, 1);
    MCIDEVICEID first = MusicDevice();
    RunWatchdog(music, 200);
    music = ToggleMusic(music, this);
    EXPECT_EQ(music, 0);
    EXPECT_TRUE(TuneStopped());  // the device is gone
    RunWatchdog(music, 5000);
    music = ToggleMusic(music, this);
    EXPECT_EQ(music, 1);
    EXPECT_NE(MusicDevice(), first);
    EXPECT_FALSE(TuneStopped());  // playing from its beginning
    EXPECT_EQ(traces,
              (std::vector<std::string>{Midi(r[0] % 17 + 101), kStop, Midi(r[1] % 17 + 101)}));
}

TEST_F(Music, MissingTuneIsSkippedWithinASecond) {
    WriteTunes();
    crt::srand(42);
    auto r = RandSequence(42, 3);
    int missing = r[0] % 17 + 101;
    std::remove(("midi/" + std::to_string(missing) + ".mid").c_str());
    StartRandomTune(this);
    EXPECT_TRUE(traces.empty());  // nothing opened, nothing said
    EXPECT_TRUE(TuneStopped());   // the status query fails: counted as ended
    RunWatchdog(1, 1000);
    int next = r[1] % 17 + 101;
    ASSERT_NE(next, missing) << "pick a seed whose second tune differs from its first";
    EXPECT_EQ(traces, std::vector<std::string>{Midi(next)});
}

TEST_F(Music, WithoutTunesEachTickTriesAgainAndShowsNothing) {
    crt::srand(3);
    StartRandomTune(this);
    RunWatchdog(1, 5000);
    EXPECT_TRUE(traces.empty());
    // One draw at the start and one per tick.
    auto r = RandSequence(3, 7);
    EXPECT_EQ(crt::rand(), r[6]);
}

TEST_F(Music, PlayMidiReportsTheOpenErrorAndKeepsTheOldDevice) {
    WriteTunes();
    ASSERT_EQ(PlayTune(this, 101), 0u);
    MCIDEVICEID device = MusicDevice();
    StopMusic();
    EXPECT_EQ(PlayMidi(this, "midi\\999.mid"), MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(MusicDevice(), device);
    WriteBytes("midi/broken.mid", {'M', 'T', 'h', 'd', 0, 0});
    EXPECT_EQ(PlayMidi(this, "midi\\broken.mid"), MCIERR_INVALID_FILE);
    // Stop and close of the device that is no longer open fail harmlessly.
    StopMusic();
    CloseMusic();
    EXPECT_EQ(traces, (std::vector<std::string>{Midi(101), kStop}));
}

// ---- effects ----

class Effects : public soundtest::InFolder {
  protected:
    void SetUp() override {
        InFolder::SetUp();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        seams::UseVirtualClock(1000);
        static const auto link = mmtest::SineWave(880, 150);
        static const auto select = mmtest::SineWave(660, 40);
        const res::Resource table[] = {
            {res::Kind::Wave, IDW_LINK, link.data(), static_cast<unsigned>(link.size())},
            {res::Kind::Wave, IDW_SELECT, select.data(), static_cast<unsigned>(select.size())}};
        res::RegisterResources(table, 2);
    }
    static std::string Sound(int id, bool sync) {
        return seams::TraceToJson("sound", {{"id", id}, {"sync", sync}});
    }
};

TEST_F(Effects, SoundSwitchDecidesWhetherEffectsPlay) {
    std::int64_t t0 = seams::NowMs();
    PlayEffect(1, IDW_SELECT);
    PlayEffect(0, IDW_SELECT);
    EXPECT_EQ(seams::NowMs(), t0);  // asynchronous
    EXPECT_EQ(traces, std::vector<std::string>{Sound(IDW_SELECT, false)});
}

TEST_F(Effects, LinkEffectHoldsThePathForItsLengthOr300ms) {
    std::int64_t t0 = seams::NowMs();
    PlayLinkEffect(1);
    EXPECT_EQ(seams::NowMs() - t0, 150);
    EXPECT_EQ(traces, std::vector<std::string>{Sound(IDW_LINK, true)});
    PlayLinkEffect(0);
    EXPECT_EQ(seams::NowMs() - t0, 150 + 300);
    EXPECT_EQ(traces.size(), 1u);  // silent wait
}

}  // namespace
