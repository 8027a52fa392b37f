// Minimal versions of the calls declared in stand_ins.h, until the high-score tables, the
// advert window, the About box and the leaderboard are linked in.
#include "game/control/stand_ins.h"

#include <cstdint>
#include <cstdio>

#include "platform/crt/textfile.h"
#include "platform/mm/mmsystem.h"

void RecordHighScore(CWnd*, int, int) {}

void ShowLeaderboard(CWnd*, int) {}

namespace {

int ReadInt(std::FILE* f, int fallback) {
    unsigned char b[4];
    if (std::fread(b, 1, 4, f) != 4) return fallback;
    return static_cast<int>(
        static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
        static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
}

void SaveField(long offset, int value) {
    std::FILE* f = crt::OpenDataFile("mavek.cfg", "rb+");
    if (!f) return;
    const auto v = static_cast<std::uint32_t>(value);
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 24)};
    if (std::fseek(f, offset, SEEK_SET) == 0) std::fwrite(b, 1, 4, f);
    std::fclose(f);
}

MCIDEVICEID g_tune = 0;

}  // namespace

Settings LoadSettings() {
    Settings s;
    std::FILE* f = crt::OpenDataFile("mavek.cfg", "rb");
    if (!f) return s;
    s.sound = ReadInt(f, s.sound);
    s.music = ReadInt(f, s.music);
    s.theme = ReadInt(f, s.theme);
    std::fclose(f);
    return s;
}

void SaveSoundSetting(int sound) { SaveField(0, sound ? 1 : 0); }
void SaveMusicSetting(int music) { SaveField(4, music ? 1 : 0); }
void SaveThemeSetting(int theme) { SaveField(8, theme); }

void PlayTune(CWnd*, int number) {
    char name[80];
    std::snprintf(name, sizeof name, "midi\\%d.mid", number);
    MCI_OPEN_PARMS open{};
    open.lpstrElementName = name;
    if (mciSendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<std::uintptr_t>(&open)) != 0)
        return;
    g_tune = open.wDeviceID;
    MCI_PLAY_PARMS play{};
    if (mciSendCommand(g_tune, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<std::uintptr_t>(&play)) !=
        0) {
        mciSendCommand(g_tune, MCI_CLOSE, 0, 0);
    }
}

void StopMusic() {
    mciSendCommand(g_tune, MCI_STOP, 0, 0);
    mciSendCommand(g_tune, MCI_CLOSE, 0, 0);
}

bool TuneStopped() {
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_MODE;
    if (mciSendCommand(g_tune, MCI_STATUS, MCI_STATUS_ITEM,
                       reinterpret_cast<std::uintptr_t>(&status)) != 0)
        return true;
    return status.dwReturn == MCI_MODE_STOP;
}
