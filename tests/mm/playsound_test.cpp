#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/mm/audio.h"
#include "platform/mm/mmsystem.h"
#include "tests/mm/audio_fixture.h"
#include "tests/mm/media_files.h"

namespace {

using mmtest::AudioTest;
constexpr int kRate = 22050;  // the device's rate

std::string SoundJson(int id, bool sync) {
    return seams::TraceToJson("sound", {{"id", id}, {"sync", sync}});
}

// Sign changes of the left channel between two frames: twice the frequency per second.
int Crossings(const std::vector<std::int16_t>& s, long from, long to) {
    int n = 0;
    for (long i = from + 1; i <= to; ++i) n += (s[2 * i] >= 0) != (s[2 * (i - 1)] >= 0);
    return n;
}

void RealSleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Waits (at most two seconds) until the device has mixed the last effect, then a little more so
// that its last buffer is written.
void DrainEffects() {
    for (int i = 0; i < 200 && mm::EffectPlaying(); ++i) RealSleep(10);
    RealSleep(100);
}

TEST_F(AudioTest, SynchronousEffectSoundsForItsLengthOnTheDevice) {
    UseDriver("disk");
    RegisterWave(9001, mmtest::SineWave(440, 300));
    auto start = std::chrono::steady_clock::now();
    EXPECT_NE(PlaySound(MAKEINTRESOURCE(9001), nullptr, SND_RESOURCE | SND_APPLICATION), 0);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_LT(waited, std::chrono::milliseconds(600));
    DrainEffects();
    mm::CloseAudio();

    auto samples = mmtest::ReadSamples(DiskFile());
    auto span = mmtest::LoudSpan(samples, 2000);
    ASSERT_GE(span.first, 0) << "the effect produced only silence";
    double seconds = double(span.last - span.first + 1) / kRate;
    EXPECT_NEAR(seconds, 0.300, 0.010);
    // It is the tone that was played: 440 Hz gives 880 sign changes a second.
    EXPECT_NEAR(Crossings(samples, span.first, span.last) / seconds, 880, 20);
    EXPECT_EQ(TraceJson(), std::vector<std::string>{SoundJson(9001, true)});
}

TEST_F(AudioTest, NewEffectCutsOffThePlayingOne) {
    UseDriver("disk");
    RegisterWave(9002, mmtest::SineWave(440, 800));
    RegisterWave(9003, mmtest::SineWave(1000, 100));
    EXPECT_NE(PlaySound(MAKEINTRESOURCE(9002), nullptr, SND_RESOURCE | SND_ASYNC), 0);
    RealSleep(200);
    EXPECT_NE(PlaySound(MAKEINTRESOURCE(9003), nullptr, SND_RESOURCE | SND_ASYNC), 0);
    DrainEffects();
    mm::CloseAudio();

    auto samples = mmtest::ReadSamples(DiskFile());
    auto span = mmtest::LoudSpan(samples, 2000);
    ASSERT_GE(span.first, 0);
    double seconds = double(span.last - span.first + 1) / kRate;
    // About 0.2 s of the first and 0.1 s of the second; the first alone would have lasted
    // 0.8 s. The margin allows for a device thread that runs late on a busy machine.
    EXPECT_GT(seconds, 0.100);
    EXPECT_LT(seconds, 0.600);
    // The sound ends with the second effect's tone (2000 sign changes a second).
    long tail = kRate / 20;
    EXPECT_NEAR(Crossings(samples, span.last - tail, span.last) * 20.0, 2000, 100);
    EXPECT_EQ(TraceJson(),
              (std::vector<std::string>{SoundJson(9002, false), SoundJson(9003, false)}));
}

TEST_F(AudioTest, NoStopRefusesWhileAnEffectPlays) {
    UseDriver("dummy");
    RegisterWave(9004, mmtest::SineWave(440, 500));
    RegisterWave(9005, mmtest::SineWave(880, 50));
    EXPECT_NE(PlaySound(MAKEINTRESOURCE(9004), nullptr, SND_RESOURCE | SND_ASYNC), 0);
    EXPECT_EQ(PlaySound(MAKEINTRESOURCE(9005), nullptr, SND_RESOURCE | SND_ASYNC | SND_NOSTOP), 0);
    EXPECT_NE(PlaySound(nullptr, nullptr, 0), 0);  // stops it
    EXPECT_NE(PlaySound(MAKEINTRESOURCE(9005), nullptr, SND_RESOURCE | SND_ASYNC | SND_NOSTOP), 0);
    EXPECT_EQ(TraceJson(),
              (std::vector<std::string>{SoundJson(9004, false), SoundJson(9005, false)}));
}

TEST_F(AudioTest, WithoutDeviceEffectsAreSilentButSynchronousOnesTakeTheirLength) {
    UseDriver("no-such-driver");
    seams::UseVirtualClock(1000);
    RegisterWave(9006, mmtest::SineWave(440, 150));
    RegisterWave(9007, mmtest::SineWave(440, 1520, 11025, 2));
    std::int64_t t0 = seams::NowMs();
    EXPECT_NE(PlaySound(MAKEINTRESOURCE(9006), nullptr, SND_RESOURCE | SND_APPLICATION), 0);
    EXPECT_EQ(seams::NowMs() - t0, 150);
    EXPECT_NE(PlaySound(MAKEINTRESOURCE(9007), nullptr, SND_RESOURCE | SND_ASYNC), 0);
    EXPECT_EQ(seams::NowMs() - t0, 150);  // asynchronous: no wait
    EXPECT_NE(PlaySound(MAKEINTRESOURCE(9007), nullptr, SND_RESOURCE), 0);
    EXPECT_EQ(seams::NowMs() - t0, 150 + 1520);
    EXPECT_FALSE(mm::OpenAudio());
    EXPECT_EQ(TraceJson(), (std::vector<std::string>{SoundJson(9006, true), SoundJson(9007, false),
                                                     SoundJson(9007, true)}));
}

TEST_F(AudioTest, UnknownOrBrokenResourcesPlayNothing) {
    UseDriver("dummy");
    seams::UseVirtualClock(1000);
    auto broken = mmtest::SineWave(440, 100);
    broken[0] = 'X';
    RegisterWave(9008, broken);
    std::int64_t t0 = seams::NowMs();
    EXPECT_EQ(PlaySound(MAKEINTRESOURCE(9099), nullptr, SND_RESOURCE), 0);
    EXPECT_EQ(PlaySound(MAKEINTRESOURCE(9008), nullptr, SND_RESOURCE), 0);
    EXPECT_EQ(PlaySound("chimes.wav", nullptr, SND_ASYNC), 0);  // only resources are known
    EXPECT_EQ(seams::NowMs(), t0);
    EXPECT_TRUE(Traces().empty());
}

}  // namespace
