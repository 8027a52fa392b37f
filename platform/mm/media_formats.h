// Readers for the two file formats the sound layer measures itself: RIFF WAVE (the length of an
// effect decides how long a synchronous PlaySound waits) and Standard MIDI Files (the length of
// a tune decides when the sequencer reports it stopped, on whichever clock the program runs).
#pragma once

#include <cstddef>
#include <cstdint>

namespace mm {

struct WaveInfo {
    int channels = 0;                        // 1 or 2
    int samplesPerSec = 0;                   // frames per second
    int bitsPerSample = 0;                   // 8 or 16
    const unsigned char* samples = nullptr;  // the "data" chunk
    std::uint32_t dataBytes = 0;             // whole frames only
    std::uint32_t lengthMs = 0;              // dataBytes as time, rounded to the nearest ms
};

// Reads the header of a PCM RIFF WAVE image. False for anything else (wrong magic, a chunk that
// runs past the end, a format other than 8- or 16-bit PCM with one or two channels, no data).
bool ParseWave(const unsigned char* data, std::size_t size, WaveInfo& info);

// Playing time of a Standard MIDI File in milliseconds: the time of the last event of its
// longest track, following every tempo change. -1 when the bytes are not a MIDI file or a
// track is malformed (a length past the end, an event without a status byte).
long long MidiLengthMs(const unsigned char* data, std::size_t size);

}  // namespace mm
