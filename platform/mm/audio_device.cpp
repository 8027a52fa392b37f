#include "platform/mm/audio_device.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>

#include "platform/mm/audio.h"

namespace mm {

namespace {

enum class DeviceState { Closed, Open, Failed };
DeviceState g_state = DeviceState::Closed;

constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

}  // namespace

std::recursive_mutex& DeviceMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

const char* SoundFontPath() {
    const char* fromEnvironment = std::getenv("SDL_SOUNDFONTS");
    return fromEnvironment && *fromEnvironment ? fromEnvironment : kDefaultSoundFont;
}

bool OpenAudio() {
    std::lock_guard<std::recursive_mutex> lock(DeviceMutex());
    if (g_state != DeviceState::Closed) return g_state == DeviceState::Open;
    g_state = DeviceState::Failed;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    // 22050 Hz stereo is plenty for 8-bit effects and General MIDI, and light on the machine.
    if (Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(1);  // one channel: a new effect always replaces the last
    Mix_SetSoundFonts(SoundFontPath());
    Mix_Init(MIX_INIT_MID);
    g_state = DeviceState::Open;
    return true;
}

void CloseAudio() {
    std::lock_guard<std::recursive_mutex> lock(DeviceMutex());
    ReleaseTunes();
    ReleaseEffects();
    if (g_state == DeviceState::Open) {
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    g_state = DeviceState::Closed;
}

}  // namespace mm
