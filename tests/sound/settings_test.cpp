#include <gtest/gtest.h>

#include "game/control/settings_file.h"
#include "tests/sound/sound_folder.h"

namespace {

using Bytes = std::vector<unsigned char>;

class SettingsFile : public soundtest::InFolder {};

TEST_F(SettingsFile, NoFileMeansDefaultsAndNothingWritten) {
    Settings s = LoadSettings();
    EXPECT_EQ(s.sound, 1);
    EXPECT_EQ(s.music, 0);
    EXPECT_EQ(s.theme, 0);
    SaveSoundSetting(0);
    SaveMusicSetting(1);
    SaveThemeSetting(2);
    EXPECT_FALSE(Exists("mavek.cfg"));
    EXPECT_FALSE(SaveSettingsField("mavek.cfg", 0, 1));
}

TEST_F(SettingsFile, ReadsThreeLittleEndianIntegers) {
    WriteBytes("mavek.cfg", {1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0});
    Settings s = LoadSettings();
    EXPECT_EQ(s.sound, 1);
    EXPECT_EQ(s.music, 1);
    EXPECT_EQ(s.theme, 2);

    // Byte order matters: the high byte set is a large value, still "on"; -1 reads as -1.
    WriteBytes("mavek.cfg", {0, 0, 0, 1, 7, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
    s = LoadSettings();
    EXPECT_EQ(s.sound, 1 << 24);
    EXPECT_EQ(s.music, 7);
    EXPECT_EQ(s.theme, -1);
    EXPECT_EQ(EffectiveTheme(s.theme), 0);
    EXPECT_EQ(EffectiveTheme(3), 0);
    EXPECT_EQ(EffectiveTheme(2), 2);
}

TEST_F(SettingsFile, StoredSevenCountsAsOnAndTheNextToggleStoresZero) {
    WriteBytes("mavek.cfg", {1, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0});
    Settings s = LoadSettings();
    ASSERT_NE(s.music, 0);
    int music = s.music ? 0 : 1;  // what the toggle does with a switch that is on
    SaveMusicSetting(music);
    EXPECT_EQ(ReadBytes("mavek.cfg"), (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
}

TEST_F(SettingsFile, TogglingSoundTwiceLeavesTheFileAsItWas) {
    const Bytes original = {1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0};
    WriteBytes("mavek.cfg", original);
    SaveSoundSetting(0);
    EXPECT_EQ(ReadBytes("mavek.cfg"), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0}));
    SaveSoundSetting(1);
    EXPECT_EQ(ReadBytes("mavek.cfg"), original);
}

TEST_F(SettingsFile, ThemeRewritesOnlyBytesEightToEleven) {
    // Odd values elsewhere and bytes past the twelfth must survive.
    const Bytes original = {9, 8, 7, 6, 5, 4, 3, 2, 1, 1, 1, 1, 0xAA, 0xBB};
    WriteBytes("mavek.cfg", original);
    SaveThemeSetting(2);
    Bytes expected = original;
    expected[8] = 2;
    expected[9] = expected[10] = expected[11] = 0;
    EXPECT_EQ(ReadBytes("mavek.cfg"), expected);
}

TEST_F(SettingsFile, ShortFileKeepsDefaultsAndGrowsWithZeros) {
    WriteBytes("mavek.cfg", {0, 0, 0, 0, 1, 0});  // sound off, music cut short
    Settings s = LoadSettings();
    EXPECT_EQ(s.sound, 0);
    EXPECT_EQ(s.music, 0);  // default: not held completely
    EXPECT_EQ(s.theme, 0);
    SaveThemeSetting(1);
    EXPECT_EQ(ReadBytes("mavek.cfg"), (Bytes{0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}));

    WriteBytes("mavek.cfg", {});
    s = LoadSettings();
    EXPECT_EQ(s.sound, 1);
    SaveMusicSetting(1);
    EXPECT_EQ(ReadBytes("mavek.cfg"), (Bytes{0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(LoadSettings().sound, 0);  // the gap reads as zeros: sound off
}

TEST_F(SettingsFile, ParseIgnoresMissingData) {
    Settings s = ParseSettings(nullptr, 12);
    EXPECT_EQ(s.sound, 1);
    const unsigned char eight[] = {0, 0, 0, 0, 2, 0, 0, 0};
    s = ParseSettings(eight, sizeof eight);
    EXPECT_EQ(s.sound, 0);
    EXPECT_EQ(s.music, 2);
    EXPECT_EQ(s.theme, 0);
}

}  // namespace
