// Writes the seed corpus of the media fuzz target into the folder given: Standard MIDI Files of
// both formats with tempo changes, running status, a system exclusive message and long delta
// times, and PCM WAVE files of 8 and 16 bits, mono and stereo.
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void Write(const std::string& dir, const char* name, const Bytes& bytes) {
    std::FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void Be(Bytes& b, unsigned value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) b.push_back(static_cast<unsigned char>(value >> (8 * i)));
}
void Le(Bytes& b, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

Bytes Midi(int format, int division, const std::vector<Bytes>& tracks) {
    Bytes b{'M', 'T', 'h', 'd'};
    Be(b, 6, 4);
    Be(b, unsigned(format), 2);
    Be(b, unsigned(tracks.size()), 2);
    Be(b, unsigned(division), 2);
    for (const Bytes& t : tracks) {
        b.insert(b.end(), {'M', 'T', 'r', 'k'});
        Be(b, unsigned(t.size()), 4);
        b.insert(b.end(), t.begin(), t.end());
    }
    return b;
}

Bytes Wave(int channels, int rate, int bits, int frames) {
    const int align = channels * bits / 8;
    Bytes data;
    for (int i = 0; i < frames * align; ++i) data.push_back(static_cast<unsigned char>(i * 37));
    Bytes b{'R', 'I', 'F', 'F'};
    Le(b, unsigned(4 + 8 + 16 + 8 + data.size()), 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Le(b, 16, 4);
    Le(b, 1, 2);
    Le(b, unsigned(channels), 2);
    Le(b, unsigned(rate), 4);
    Le(b, unsigned(rate * align), 4);
    Le(b, unsigned(align), 2);
    Le(b, unsigned(bits), 2);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    Le(b, unsigned(data.size()), 4);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string dir = argv[1];
    // One track: a tempo, notes with running status, the end.
    Write(dir, "format0.mid", Midi(0, 96, {{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0x90,
                                            0x3C, 0x64, 0x60, 0x3C, 0x00, 0x00, 0x40, 0x64, 0x81,
                                            0x40, 0x40, 0x00, 0x00, 0xFF, 0x2F, 0x00}}));
    // A tempo track with a change half-way, a note track with a system exclusive message, a
    // program change and a long delta time.
    Write(dir, "format1.mid",
          Midi(1, 480,
               {{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x83, 0x60, 0xFF, 0x51, 0x03, 0x03, 0xD0,
                 0x90, 0x00, 0xFF, 0x2F, 0x00},
                {0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x00, 0xC0, 0x05, 0x00,
                 0x90, 0x45, 0x50, 0x87, 0x68, 0x80, 0x45, 0x00, 0x00, 0xFF, 0x2F, 0x00}}));
    Write(dir, "effect8.wav", Wave(1, 11025, 8, 200));
    Write(dir, "effect16.wav", Wave(2, 22050, 16, 150));
    return 0;
}
