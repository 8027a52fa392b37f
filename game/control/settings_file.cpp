#include "game/control/settings_file.h"

#include <cstdio>

#include "platform/crt/textfile.h"

namespace {

constexpr const char* kSettingsFile = "mavek.cfg";

std::int32_t Le32(const unsigned char* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

}  // namespace

Settings ParseSettings(const unsigned char* data, std::size_t size) {
    Settings s;
    int* fields[] = {&s.sound, &s.music, &s.theme};
    for (std::size_t i = 0; i < 3 && data && size >= 4 * (i + 1); ++i)
        *fields[i] = Le32(data + 4 * i);
    return s;
}

Settings LoadSettingsFrom(const char* path) {
    std::FILE* f = crt::OpenDataFile(path, "rb");
    if (!f) return Settings{};
    unsigned char bytes[12];
    std::size_t got = std::fread(bytes, 1, sizeof bytes, f);
    std::fclose(f);
    return ParseSettings(bytes, got);
}

Settings LoadSettings() { return LoadSettingsFrom(kSettingsFile); }

bool SaveSettingsField(const char* path, int offset, std::int32_t value) {
    std::FILE* f = crt::OpenDataFile(path, "rb+");  // update in place; never create or truncate
    if (!f) return false;
    auto v = static_cast<std::uint32_t>(value);
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    bool ok = std::fseek(f, offset, SEEK_SET) == 0 && std::fwrite(bytes, 1, 4, f) == 4;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

void SaveSoundSetting(int sound) { SaveSettingsField(kSettingsFile, kSettingsSoundOffset, sound); }
void SaveMusicSetting(int music) { SaveSettingsField(kSettingsFile, kSettingsMusicOffset, music); }
void SaveThemeSetting(int theme) { SaveSettingsField(kSettingsFile, kSettingsThemeOffset, theme); }

int EffectiveTheme(int theme) { return theme >= 0 && theme <= 2 ? theme : 0; }
