#include "game/control/game_sound.h"

#include <cstdint>
#include <cstdio>

#include "game/res/data_layout.h"
#include "game/res/resource_ids.h"
#include "platform/crt/rand.h"
#include "platform/seams/seams.h"

namespace {

MCIDEVICEID g_musicDevice = 0;
char g_musicFileName[80] = "";

std::uintptr_t Parms(void* p) { return reinterpret_cast<std::uintptr_t>(p); }

}  // namespace

void PlayEffect(int soundSwitch, int id) {
    if (soundSwitch)
        PlaySound(MAKEINTRESOURCE(id), nullptr, SND_RESOURCE | SND_APPLICATION | SND_ASYNC);
}

void PlayLinkEffect(int soundSwitch) {
    if (soundSwitch)
        PlaySound(MAKEINTRESOURCE(IDW_LINK), nullptr, SND_RESOURCE | SND_APPLICATION);
    else
        seams::Sleep(300);
}

MCIERROR PlayMidi(const void* notifyWindow, const char* path) {
    const auto callback = reinterpret_cast<std::uintptr_t>(notifyWindow);
    MCI_OPEN_PARMS open{};
    open.lpstrElementName = path;
    if (MCIERROR err = mciSendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT, Parms(&open))) return err;
    g_musicDevice = open.wDeviceID;

    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_SEQ_STATUS_PORT;
    if (MCIERROR err = mciSendCommand(g_musicDevice, MCI_STATUS, MCI_STATUS_ITEM, Parms(&status))) {
        mciSendCommand(g_musicDevice, MCI_CLOSE, 0, 0);
        return err;
    }

    MCI_SET_PARMS set{};
    set.dwCallback = callback;
    set.dwAudio = MCI_SET_AUDIO_LEFT;
    mciSendCommand(g_musicDevice, MCI_SET, MCI_SET_AUDIO | MCI_SET_OFF | MCI_NOTIFY, Parms(&set));

    MCI_PLAY_PARMS play{};
    play.dwCallback = callback;
    if (MCIERROR err = mciSendCommand(g_musicDevice, MCI_PLAY, MCI_NOTIFY, Parms(&play))) {
        mciSendCommand(g_musicDevice, MCI_CLOSE, 0, 0);
        return err;
    }
    return 0;
}

MCIERROR PlayTune(const void* notifyWindow, int number) {
    std::snprintf(g_musicFileName, sizeof g_musicFileName, "midi\\%d.mid", number);
    return PlayMidi(notifyWindow, g_musicFileName);
}

void StartRandomTune(const void* notifyWindow) {
    PlayTune(notifyWindow, crt::rand() % kTuneCount + kFirstTune);
}

void StopMusic() {
    MCI_GENERIC_PARMS parms{};
    mciSendCommand(g_musicDevice, MCI_STOP, 0, Parms(&parms));
    mciSendCommand(g_musicDevice, MCI_CLOSE, 0, Parms(&parms));
}

void CloseMusic() {
    MCI_GENERIC_PARMS parms{};
    mciSendCommand(g_musicDevice, MCI_CLOSE, 0, Parms(&parms));
}

bool TuneStopped() {
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_MODE;
    if (mciSendCommand(g_musicDevice, MCI_STATUS, MCI_STATUS_ITEM, Parms(&status)) != 0)
        return true;
    return status.dwReturn == MCI_MODE_STOP;
}

void MusicWatchdog(int musicSwitch, const void* notifyWindow) {
    if (!musicSwitch) return;
    if (!TuneStopped()) return;
    StopMusic();
    StartRandomTune(notifyWindow);
}

int ToggleMusic(int musicSwitch, const void* notifyWindow) {
    if (musicSwitch) {
        StopMusic();
        return 0;
    }
    StartRandomTune(notifyWindow);
    return 1;
}

MCIDEVICEID MusicDevice() { return g_musicDevice; }
const char* MusicFileName() { return g_musicFileName; }
