// Builders of small WAVE and MIDI files for the sound tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mmtest {

// An 8-bit PCM mono WAVE holding a sine tone of `hz` for `ms` milliseconds at `rate`.
std::vector<unsigned char> SineWave(int hz, int ms, int rate = 11025, int channels = 1);

// A format 1 MIDI file: a tempo track, then one piano track playing `notes` quarter notes of
// middle C upwards at `bpm` (division 96), ending at the end of the last note.
std::vector<unsigned char> MidiTune(int notes, int bpm);

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes);

// Interleaved 16-bit stereo samples of a raw file written by SDL's disk audio driver.
std::vector<std::int16_t> ReadSamples(const std::string& path);

// First and last frame whose left or right sample exceeds `threshold` in size; -1 when none.
struct Span {
    long first = -1;
    long last = -1;
};
Span LoudSpan(const std::vector<std::int16_t>& samples, int threshold);

}  // namespace mmtest
