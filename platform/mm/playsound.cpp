// PlaySound of the program's WAVE resources.
#include <SDL.h>
#include <SDL_mixer.h>

#include <map>

#include "platform/crt/resources.h"
#include "platform/mm/audio.h"
#include "platform/mm/audio_device.h"
#include "platform/mm/clock_trace.h"
#include "platform/mm/media_formats.h"
#include "platform/mm/mmsystem.h"

namespace mm {

namespace {

// Decoded effects by resource; the key includes the bytes so a replaced resource reloads.
struct LoadedEffect {
    const unsigned char* data;
    Mix_Chunk* chunk;
};
std::map<int, LoadedEffect>& Effects() {
    static std::map<int, LoadedEffect> effects;
    return effects;
}

Mix_Chunk* ChunkFor(int id, const res::Resource& resource) {
    auto& effects = Effects();
    auto it = effects.find(id);
    if (it != effects.end()) {
        if (it->second.data == resource.data) return it->second.chunk;
        Mix_HaltChannel(-1);
        Mix_FreeChunk(it->second.chunk);
        effects.erase(it);
    }
    SDL_RWops* rw = SDL_RWFromConstMem(resource.data, static_cast<int>(resource.size));
    Mix_Chunk* chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
    if (chunk) effects[id] = LoadedEffect{resource.data, chunk};
    return chunk;
}

}  // namespace

bool EffectPlaying() {
    std::lock_guard<std::recursive_mutex> lock(DeviceMutex());
    return OpenAudio() && Mix_Playing(0) != 0;
}

void ReleaseEffects() {
    auto& effects = Effects();
    if (!effects.empty()) Mix_HaltChannel(-1);
    for (auto& [id, effect] : effects) Mix_FreeChunk(effect.chunk);
    effects.clear();
}

}  // namespace mm

int PlaySound(const char* sound, const void* /*module*/, unsigned long flags) {
    using namespace mm;
    std::unique_lock<std::recursive_mutex> lock(DeviceMutex());
    if (!sound || (flags & SND_PURGE)) {
        if (OpenAudio()) Mix_HaltChannel(-1);
        return 1;
    }
    if ((flags & SND_RESOURCE) != SND_RESOURCE) return 0;  // only the program's resources
    auto value = reinterpret_cast<std::uintptr_t>(sound);
    if (value > 0xFFFF) return 0;  // a resource name, not an id: the program has none
    int id = static_cast<int>(value);
    const res::Resource* resource = res::FindResource(id, res::Kind::Wave);
    if (!resource) return 0;
    WaveInfo wave;
    if (!ParseWave(resource->data, resource->size, wave)) return 0;

    bool sync = !(flags & SND_ASYNC);
    if (OpenAudio()) {
        if ((flags & SND_NOSTOP) && Mix_Playing(0)) return 0;
        Mix_Chunk* chunk = ChunkFor(id, *resource);
        if (!chunk) return 0;
        Mix_HaltChannel(0);
        Mix_PlayChannel(0, chunk, 0);
    }
    TraceSound(id, sync);
    if (sync) {
        // The caller waits for the effect's length whether or not it can be heard; the lock is
        // released so that nothing else is held up meanwhile.
        lock.unlock();
        SleepMs(wave.lengthMs);
    }
    return 1;
}
