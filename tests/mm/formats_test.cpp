#include <gtest/gtest.h>

#include "platform/mm/media_formats.h"
#include "tests/mm/media_files.h"

namespace {

using mm::MidiLengthMs;
using mm::ParseWave;
using mm::WaveInfo;

TEST(WaveHeader, LengthFollowsDataAndFormat) {
    WaveInfo info;
    auto mono = mmtest::SineWave(440, 150, 11025);
    ASSERT_TRUE(ParseWave(mono.data(), mono.size(), info));
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.bitsPerSample, 8);
    EXPECT_EQ(info.lengthMs, 150u);

    auto stereo = mmtest::SineWave(440, 2690, 22050, 2);
    ASSERT_TRUE(ParseWave(stereo.data(), stereo.size(), info));
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.lengthMs, 2690u);  // stereo frames take two bytes each
}

TEST(WaveHeader, SkipsOtherChunksAndKeepsCutData) {
    auto wav = mmtest::SineWave(440, 100, 10000);
    // Put a "LIST" chunk of odd size (padded) before "fmt ".
    std::vector<unsigned char> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    wav.insert(wav.begin() + 12, list.begin(), list.end());
    wav[4] += 12;  // the RIFF size covers it
    WaveInfo info;
    ASSERT_TRUE(ParseWave(wav.data(), wav.size(), info));
    EXPECT_EQ(info.lengthMs, 100u);

    // A file cut in the middle of its samples plays what it holds.
    wav.resize(wav.size() - 500);
    ASSERT_TRUE(ParseWave(wav.data(), wav.size(), info));
    EXPECT_EQ(info.lengthMs, 50u);
}

TEST(WaveHeader, RejectsWhatIsNotPlayablePcm) {
    WaveInfo info;
    auto wav = mmtest::SineWave(440, 100);
    auto broken = wav;
    broken[8] = 'X';  // not WAVE
    EXPECT_FALSE(ParseWave(broken.data(), broken.size(), info));
    broken = wav;
    broken[20] = 3;  // float samples
    EXPECT_FALSE(ParseWave(broken.data(), broken.size(), info));
    broken = wav;
    broken[22] = 6;  // six channels
    EXPECT_FALSE(ParseWave(broken.data(), broken.size(), info));
    broken = wav;
    broken[16] = 0xF0;  // fmt chunk claiming more than the file
    broken[17] = 0xFF;
    EXPECT_FALSE(ParseWave(broken.data(), broken.size(), info));
    EXPECT_FALSE(ParseWave(wav.data(), 30, info));  // format chunk cut off, no data chunk
    EXPECT_FALSE(ParseWave(nullptr, 0, info));
}

TEST(MidiLength, FollowsTempo) {
    // 8 quarter notes at 120 bpm = 4 s; at 60 bpm = 8 s.
    auto fast = mmtest::MidiTune(8, 120);
    EXPECT_EQ(MidiLengthMs(fast.data(), fast.size()), 4000);
    auto slow = mmtest::MidiTune(8, 60);
    EXPECT_EQ(MidiLengthMs(slow.data(), slow.size()), 8000);
}

TEST(MidiLength, TempoChangeMidwayAndRunningStatus) {
    // Format 0, division 100: two notes (the second in running status), 100 ticks at the
    // default 120 bpm (0.5 s), a tempo of 1 s per quarter, then 200 ticks (2 s): 2.5 s.
    std::vector<unsigned char> f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 100};
    std::vector<unsigned char> ev = {0x00, 0x90, 60,   100,                    // note on
                                     0x00, 61,   100,                          // running status
                                     0x64, 0xFF, 0x51, 3,   0x0F, 0x42, 0x40,  // tempo at 100
                                     0x81, 0x48, 0x80, 60,  0,                 // +200 ticks
                                     0x00, 0xFF, 0x2F, 0};
    f.insert(f.end(), {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<unsigned char>(ev.size())});
    f.insert(f.end(), ev.begin(), ev.end());
    EXPECT_EQ(MidiLengthMs(f.data(), f.size()), 2500);
}

TEST(MidiLength, SmpteDivision) {
    // 25 frames per second x 40 ticks per frame: 1000 ticks per second; 1500 ticks = 1.5 s.
    std::vector<unsigned char> f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0xE7, 40};
    std::vector<unsigned char> ev = {0x00, 0x90, 60,   100,  0x8B, 0x5C, 0x80,
                                     60,   0,    0x00, 0xFF, 0x2F, 0};
    f.insert(f.end(), {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<unsigned char>(ev.size())});
    f.insert(f.end(), ev.begin(), ev.end());
    EXPECT_EQ(MidiLengthMs(f.data(), f.size()), 1500);
}

TEST(MidiLength, RejectsBrokenFiles) {
    auto good = mmtest::MidiTune(4, 120);
    auto f = good;
    f[0] = 'X';
    EXPECT_EQ(MidiLengthMs(f.data(), f.size()), -1);
    // A track length past the end of the file.
    EXPECT_EQ(MidiLengthMs(good.data(), good.size() - 3), -1);
    // Running status with nothing before it.
    std::vector<unsigned char> g = {'M', 'T', 'h', 'd', 0,   0, 0, 6, 0, 0,    0,  1,  0,
                                    96,  'M', 'T', 'r', 'k', 0, 0, 0, 3, 0x00, 60, 100};
    EXPECT_EQ(MidiLengthMs(g.data(), g.size()), -1);
    // A variable-length quantity of five bytes.
    std::vector<unsigned char> h = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0,    0,    0,    1,    0,   96,
                                    'M', 'T', 'r', 'k', 0, 0, 0, 5, 0x81, 0x81, 0x81, 0x81, 0x01};
    EXPECT_EQ(MidiLengthMs(h.data(), h.size()), -1);
    // Division zero.
    std::vector<unsigned char> z = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0};
    EXPECT_EQ(MidiLengthMs(z.data(), z.size()), -1);
}

}  // namespace
