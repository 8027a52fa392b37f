#include "platform/mm/media_formats.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

namespace mm {

namespace {

std::uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Be32(const unsigned char* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
std::uint16_t Be16(const unsigned char* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

bool Tag(const unsigned char* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

}  // namespace

bool ParseWave(const unsigned char* data, std::size_t size, WaveInfo& info) {
    info = WaveInfo{};
    if (!data || size < 12) return false;
    if (!Tag(data, "RIFF") || !Tag(data + 8, "WAVE")) return false;
    // The RIFF size may claim less or more than there is; the chunks are walked within both.
    std::size_t end = std::min<std::size_t>(size, std::size_t{Le32(data + 4)} + 8);
    bool haveFormat = false;
    int blockAlign = 0;
    std::size_t pos = 12;
    while (pos + 8 <= end) {
        const unsigned char* chunk = data + pos;
        std::uint32_t chunkSize = Le32(chunk + 4);
        std::size_t body = pos + 8;
        if (chunkSize > end - body) {
            // A data chunk cut short keeps what is there; any other chunk is broken.
            if (!Tag(chunk, "data")) return false;
            chunkSize = static_cast<std::uint32_t>(end - body);
        }
        if (Tag(chunk, "fmt ")) {
            if (chunkSize < 16) return false;
            const unsigned char* f = data + body;
            if (Le16(f) != 1) return false;  // PCM only
            info.channels = Le16(f + 2);
            info.samplesPerSec = static_cast<int>(Le32(f + 4));
            info.bitsPerSample = Le16(f + 14);
            if (info.channels < 1 || info.channels > 2) return false;
            if (info.bitsPerSample != 8 && info.bitsPerSample != 16) return false;
            if (info.samplesPerSec < 1000 || info.samplesPerSec > 192000) return false;
            blockAlign = info.channels * info.bitsPerSample / 8;
            haveFormat = true;
        } else if (Tag(chunk, "data")) {
            if (!haveFormat) return false;
            info.samples = data + body;
            info.dataBytes = chunkSize - chunkSize % static_cast<std::uint32_t>(blockAlign);
            std::uint64_t frames = info.dataBytes / static_cast<std::uint32_t>(blockAlign);
            info.lengthMs =
                static_cast<std::uint32_t>((frames * 1000 + info.samplesPerSec / 2) /
                                           static_cast<std::uint64_t>(info.samplesPerSec));
            return true;
        }
        pos = body + chunkSize + (chunkSize & 1);  // chunks are padded to even sizes
    }
    return false;
}

namespace {

class Reader {
  public:
    Reader(const unsigned char* p, std::size_t n) : m_p(p), m_n(n) {}
    bool AtEnd() const { return m_pos >= m_n; }
    bool Byte(unsigned& v) {
        if (m_pos >= m_n) return false;
        v = m_p[m_pos++];
        return true;
    }
    bool VarLen(std::uint32_t& v) {
        v = 0;
        for (int i = 0; i < 4; ++i) {
            unsigned b;
            if (!Byte(b)) return false;
            v = (v << 7) | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;  // a quantity longer than four bytes
    }
    bool Skip(std::uint32_t n) {
        if (n > m_n - m_pos) return false;
        m_pos += n;
        return true;
    }
    const unsigned char* Here() const { return m_p + m_pos; }

  private:
    const unsigned char* m_p;
    std::size_t m_n;
    std::size_t m_pos = 0;
};

// Walks one track; records its tempo changes (tick -> microseconds per quarter note) and
// returns the tick of its last event, or -1 when the track is malformed.
long long WalkTrack(const unsigned char* p, std::size_t n,
                    std::map<long long, std::uint32_t>& tempos) {
    Reader r(p, n);
    long long tick = 0;
    unsigned status = 0;
    while (!r.AtEnd()) {
        std::uint32_t delta;
        if (!r.VarLen(delta)) return -1;
        tick += delta;
        unsigned b;
        if (!r.Byte(b)) return -1;
        if (b == 0xFF) {
            unsigned type;
            std::uint32_t len;
            if (!r.Byte(type) || !r.VarLen(len)) return -1;
            const unsigned char* body = r.Here();
            if (!r.Skip(len)) return -1;
            if (type == 0x51 && len == 3) {
                std::uint32_t tempo = (body[0] << 16) | (body[1] << 8) | body[2];
                if (tempo > 0) tempos[tick] = tempo;
            }
            if (type == 0x2F) return tick;  // end of track
            status = 0;
            continue;
        }
        if (b == 0xF0 || b == 0xF7) {
            std::uint32_t len;
            if (!r.VarLen(len) || !r.Skip(len)) return -1;
            status = 0;
            continue;
        }
        unsigned first;
        if (b & 0x80) {
            status = b;
            if (!r.Byte(first)) return -1;
        } else {
            if (!status) return -1;  // running status with no status before it
            first = b;
        }
        (void)first;
        unsigned kind = status & 0xF0;
        if (kind != 0xC0 && kind != 0xD0) {
            unsigned second;
            if (!r.Byte(second)) return -1;
        }
    }
    return tick;  // a track without its end marker ends with its data
}

}  // namespace

long long MidiLengthMs(const unsigned char* data, std::size_t size) {
    if (!data || size < 14 || !Tag(data, "MThd")) return -1;
    std::uint32_t headerLen = Be32(data + 4);
    if (headerLen < 6 || headerLen > size - 8) return -1;
    unsigned tracks = Be16(data + 10);
    std::uint16_t division = Be16(data + 12);
    if (division == 0) return -1;

    std::map<long long, std::uint32_t> tempos;
    long long lastTick = 0;
    std::size_t pos = 8 + headerLen;
    unsigned found = 0;
    while (found < tracks && pos + 8 <= size) {
        std::uint32_t len = Be32(data + pos + 4);
        std::size_t body = pos + 8;
        if (len > size - body) return -1;
        if (Tag(data + pos, "MTrk")) {
            long long end = WalkTrack(data + body, len, tempos);
            if (end < 0) return -1;
            lastTick = std::max(lastTick, end);
            ++found;
        }
        pos = body + len;  // chunks of other types are skipped
    }
    if (found == 0) return -1;

    if (division & 0x8000) {
        // SMPTE time: frames per second (negative, -29 meaning 29.97) times ticks per frame.
        int fps = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
        int ticksPerFrame = division & 0xFF;
        if (fps <= 0 || ticksPerFrame == 0) return -1;
        double perSecond = (fps == 29 ? 29.97 : fps) * ticksPerFrame;
        return std::llround(lastTick * 1000.0 / perSecond);
    }
    // Metrical time: sum each stretch between tempo changes at its own tempo (120 bpm before
    // the first change).
    double us = 0;
    long long at = 0;
    std::uint32_t tempo = 500000;
    for (const auto& [tick, value] : tempos) {
        if (tick >= lastTick) break;
        us += static_cast<double>(tick - at) * tempo / division;
        at = tick;
        tempo = value;
    }
    us += static_cast<double>(lastTick - at) * tempo / division;
    return std::llround(us / 1000.0);
}

}  // namespace mm
