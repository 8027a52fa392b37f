// The settings file mavek.cfg: sound switch, music switch and theme as three signed 32-bit
// little-endian integers at offsets 0, 4 and 8, read once at start-up and patched one field at
// a time. The program never creates the file: without one, settings last until it ends.
#pragma once

#include <cstddef>
#include <cstdint>

// Sound on, music off, theme 0 (海洋世界) when the file holds nothing else.
struct Settings {
    int sound = 1;
    int music = 0;
    int theme = 0;
};

constexpr int kSettingsSoundOffset = 0;
constexpr int kSettingsMusicOffset = 4;
constexpr int kSettingsThemeOffset = 8;

// The settings held by the bytes of a settings file. A field the bytes do not hold completely
// keeps its default, as do the fields after it; bytes past the twelfth are ignored.
Settings ParseSettings(const unsigned char* data, std::size_t size);

// Reads mavek.cfg in the current directory; the defaults when it does not open.
Settings LoadSettings();
Settings LoadSettingsFrom(const char* path);

// Writes one field in place, without truncating the file. Nothing happens when the file does
// not exist or cannot be written. A field beyond the end of a short file extends it, the gap
// reading as zeros. False when nothing was written.
bool SaveSettingsField(const char* path, int offset, std::int32_t value);

// The three saves of the window's commands, on mavek.cfg in the current directory.
void SaveSoundSetting(int sound);
void SaveMusicSetting(int music);
void SaveThemeSetting(int theme);

// The theme the tiles are drawn in and the menu checks: a stored value other than 0, 1 or 2
// counts as 0.
int EffectiveTheme(int theme);
