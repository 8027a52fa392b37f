// Any bytes as a tune or a sound effect: the MIDI reader that finds a tune's length and the
// WAVE reader that finds an effect's samples and length end on every input, give the same answer
// twice, and never point outside the bytes they were given.
#include <cstdint>
#include <cstdlib>

#include "platform/mm/media_formats.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const long long length = mm::MidiLengthMs(data, size);
    Check(length >= -1);
    Check(mm::MidiLengthMs(data, size) == length);

    mm::WaveInfo info;
    if (mm::ParseWave(data, size, info)) {
        Check(info.channels == 1 || info.channels == 2);
        Check(info.bitsPerSample == 8 || info.bitsPerSample == 16);
        Check(info.samplesPerSec > 0);
        const std::size_t frame = std::size_t(info.channels) * std::size_t(info.bitsPerSample / 8);
        Check(info.dataBytes % frame == 0);
        Check(info.samples >= data && info.samples <= data + size);
        Check(std::size_t(data + size - info.samples) >= info.dataBytes);
        const std::uint64_t frames = info.dataBytes / frame;
        Check(info.lengthMs == (frames * 1000 + std::uint64_t(info.samplesPerSec) / 2) /
                                   std::uint64_t(info.samplesPerSec));
    }
    return 0;
}
