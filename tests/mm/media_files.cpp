#include "tests/mm/media_files.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace mmtest {

namespace {

void Le32(std::vector<unsigned char>& v, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<unsigned char>(x >> (8 * i)));
}
void Le16(std::vector<unsigned char>& v, unsigned x) {
    v.push_back(static_cast<unsigned char>(x));
    v.push_back(static_cast<unsigned char>(x >> 8));
}
void Be32(std::vector<unsigned char>& v, std::uint32_t x) {
    for (int i = 3; i >= 0; --i) v.push_back(static_cast<unsigned char>(x >> (8 * i)));
}
void Tag(std::vector<unsigned char>& v, const char* t) { v.insert(v.end(), t, t + 4); }

void Track(std::vector<unsigned char>& file, const std::vector<unsigned char>& events) {
    Tag(file, "MTrk");
    Be32(file, static_cast<std::uint32_t>(events.size()));
    file.insert(file.end(), events.begin(), events.end());
}

}  // namespace

std::vector<unsigned char> SineWave(int hz, int ms, int rate, int channels) {
    std::uint32_t frames = static_cast<std::uint32_t>(static_cast<long long>(rate) * ms / 1000);
    std::vector<unsigned char> wav;
    Tag(wav, "RIFF");
    Le32(wav, 36 + frames * channels);
    Tag(wav, "WAVE");
    Tag(wav, "fmt ");
    Le32(wav, 16);
    Le16(wav, 1);
    Le16(wav, channels);
    Le32(wav, rate);
    Le32(wav, rate * channels);
    Le16(wav, channels);
    Le16(wav, 8);
    Tag(wav, "data");
    Le32(wav, frames * channels);
    for (std::uint32_t i = 0; i < frames; ++i) {
        double s = std::sin(2 * M_PI * hz * i / rate);
        for (int c = 0; c < channels; ++c)
            wav.push_back(static_cast<unsigned char>(128 + std::lround(100 * s)));
    }
    return wav;
}

std::vector<unsigned char> MidiTune(int notes, int bpm) {
    std::vector<unsigned char> file;
    Tag(file, "MThd");
    Be32(file, 6);
    file.insert(file.end(), {0, 1, 0, 2, 0, 96});
    std::uint32_t tempo = 60000000u / static_cast<std::uint32_t>(bpm);
    Track(file, {0x00, 0xFF, 0x51, 0x03, static_cast<unsigned char>(tempo >> 16),
                 static_cast<unsigned char>(tempo >> 8), static_cast<unsigned char>(tempo), 0x00,
                 0xFF, 0x2F, 0x00});
    std::vector<unsigned char> ev = {0x00, 0xC0, 0x00};  // piano
    for (int i = 0; i < notes; ++i) {
        unsigned char key = static_cast<unsigned char>(60 + i % 12);
        ev.insert(ev.end(), {0x00, 0x90, key, 100});
        ev.insert(ev.end(), {0x60, 0x80, key, 0});  // 96 ticks later
    }
    ev.insert(ev.end(), {0x00, 0xFF, 0x2F, 0x00});
    Track(file, ev);
    return file;
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::vector<std::int16_t> ReadSamples(const std::string& path) {
    std::vector<std::int16_t> samples;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return samples;
    std::int16_t buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, sizeof buffer[0], 4096, f)) > 0)
        samples.insert(samples.end(), buffer, buffer + n);
    std::fclose(f);
    return samples;
}

Span LoudSpan(const std::vector<std::int16_t>& samples, int threshold) {
    Span span;
    for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
        if (std::abs(samples[i]) > threshold || std::abs(samples[i + 1]) > threshold) {
            long frame = static_cast<long>(i / 2);
            if (span.first < 0) span.first = frame;
            span.last = frame;
        }
    }
    return span;
}

}  // namespace mmtest
