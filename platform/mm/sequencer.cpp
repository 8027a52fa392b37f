// The MIDI sequencer behind mciSendCommand.
//
// A device is one opened tune. Whether it is playing is decided on the program's clock: it plays
// from MCI_PLAY until its length (read from the file) has passed, so that scripted runs on the
// virtual clock see tunes end exactly as a listener would. SDL_mixer holds one music stream, so
// playing one device stops any other.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/crt/textfile.h"
#include "platform/mm/audio.h"
#include "platform/mm/audio_device.h"
#include "platform/mm/clock_trace.h"
#include "platform/mm/media_formats.h"
#include "platform/mm/mmsystem.h"

namespace mm {

namespace {

struct Tune {
    std::string name;                  // as the program named it, for the trace
    std::vector<unsigned char> bytes;  // the file, alive as long as the music
    Mix_Music* music = nullptr;
    unsigned long lengthMs = 0;
    bool playing = false;
    unsigned long startedAt = 0;   // clock time of MCI_PLAY
    unsigned long positionMs = 0;  // where a stopped tune stands
};

std::map<MCIDEVICEID, Tune>& Tunes() {
    static std::map<MCIDEVICEID, Tune> tunes;
    return tunes;
}
MCIDEVICEID g_nextId = 1;
MCIDEVICEID g_soundingId = 0;  // the device whose music SDL_mixer is playing

bool ReadFile(const char* name, std::vector<unsigned char>& bytes) {
    std::FILE* f = crt::OpenDataFile(name, "rb");
    if (!f) return false;
    unsigned char buffer[8192];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// Brings a playing tune's state up to the clock.
void Update(Tune& tune) {
    if (!tune.playing) return;
    unsigned long elapsed = NowMs() - tune.startedAt;
    if (elapsed >= tune.lengthMs) {
        tune.playing = false;
        tune.positionMs = tune.lengthMs;
    }
}

void Silence(MCIDEVICEID id) {
    if (g_soundingId == id) {
        Mix_HaltMusic();
        g_soundingId = 0;
    }
}

MCIERROR Open(unsigned long flags, MCI_OPEN_PARMS* parms) {
    if (!parms) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!(flags & MCI_OPEN_ELEMENT) || !parms->lpstrElementName) return MCIERR_MISSING_PARAMETER;
    Tune tune;
    tune.name = parms->lpstrElementName;
    if (!ReadFile(parms->lpstrElementName, tune.bytes)) return MCIERR_FILE_NOT_FOUND;
    long long length = MidiLengthMs(tune.bytes.data(), tune.bytes.size());
    if (length < 0) return MCIERR_INVALID_FILE;
    if (!OpenAudio() || !Mix_HasMusicDecoder("MIDI")) return MCIERR_SEQ_NOMIDIPRESENT;
    SDL_RWops* rw = SDL_RWFromConstMem(tune.bytes.data(), static_cast<int>(tune.bytes.size()));
    tune.music = rw ? Mix_LoadMUSType_RW(rw, MUS_MID, 1) : nullptr;
    if (!tune.music) return MCIERR_INVALID_FILE;
    tune.lengthMs = static_cast<unsigned long>(length);

    MCIDEVICEID id = g_nextId++;
    if (g_nextId == 0) g_nextId = 1;
    parms->wDeviceID = id;
    TraceMidi(tune.name);
    Tunes().emplace(id, std::move(tune));
    return 0;
}

MCIERROR Status(Tune& tune, unsigned long flags, MCI_STATUS_PARMS* parms) {
    if (!parms) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!(flags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;
    Update(tune);
    switch (parms->dwItem) {
        case MCI_STATUS_MODE:
            parms->dwReturn = tune.playing ? MCI_MODE_PLAY : MCI_MODE_STOP;
            return 0;
        case MCI_STATUS_LENGTH:
            parms->dwReturn = tune.lengthMs;
            return 0;
        case MCI_STATUS_POSITION:
            parms->dwReturn = tune.playing ? NowMs() - tune.startedAt : tune.positionMs;
            return 0;
        case MCI_STATUS_READY:
            parms->dwReturn = 1;
            return 0;
        case MCI_SEQ_STATUS_PORT:
            parms->dwReturn = MCI_SEQ_MAPPER;
            return 0;
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

MCIERROR Play(MCIDEVICEID id, Tune& tune, unsigned long flags) {
    if (flags & (MCI_FROM | MCI_TO)) return MCIERR_UNSUPPORTED_FUNCTION;
    Update(tune);
    if (tune.playing) return 0;
    // Only one stream sounds: whatever else was playing stops where it stands.
    for (auto& [otherId, other] : Tunes()) {
        if (otherId == id || !other.playing) continue;
        Update(other);
        if (other.playing) {
            other.positionMs = NowMs() - other.startedAt;
            other.playing = false;
        }
    }
    if (Mix_PlayMusic(tune.music, 0) != 0) return MCIERR_HARDWARE;
    g_soundingId = id;
    tune.playing = true;
    tune.startedAt = NowMs();
    tune.positionMs = 0;
    return 0;
}

void Stop(MCIDEVICEID id, Tune& tune) {
    Update(tune);
    if (tune.playing) {
        tune.positionMs = NowMs() - tune.startedAt;
        tune.playing = false;
    }
    Silence(id);
}

}  // namespace

void ReleaseTunes() {
    auto& tunes = Tunes();
    for (auto& [id, tune] : tunes) {
        Silence(id);
        Mix_FreeMusic(tune.music);
        TraceMidiStop();
    }
    tunes.clear();
}

}  // namespace mm

MCIERROR mciSendCommand(MCIDEVICEID device, unsigned message, unsigned long flags,
                        std::uintptr_t param) {
    using namespace mm;
    std::lock_guard<std::recursive_mutex> lock(DeviceMutex());
    if (message == MCI_OPEN) return Open(flags, reinterpret_cast<MCI_OPEN_PARMS*>(param));

    auto& tunes = Tunes();
    auto it = tunes.find(device);
    if (it == tunes.end()) return MCIERR_INVALID_DEVICE_ID;
    Tune& tune = it->second;
    switch (message) {
        case MCI_STATUS:
            return Status(tune, flags, reinterpret_cast<MCI_STATUS_PARMS*>(param));
        case MCI_PLAY:
            return Play(device, tune, flags);
        case MCI_STOP:
            Stop(device, tune);
            return 0;
        case MCI_CLOSE:
            Stop(device, tune);
            Mix_FreeMusic(tune.music);
            tunes.erase(it);
            TraceMidiStop();
            return 0;
        case MCI_SET:
            // The sequencer has no audio channels to switch; the caller ignores this anyway.
            return MCIERR_UNSUPPORTED_FUNCTION;
        default:
            return MCIERR_UNRECOGNIZED_COMMAND;
    }
}
