#include "tools/assetgen/tunes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <stdexcept>

#include "tools/assetgen/formats.h"

namespace assetgen {

namespace {

constexpr int kPpq = 480;

enum class Comp { Pad, Arpeggio, Offbeat, Waltz, Strum };
enum class Drums { None, Soft, Pop, Waltz, Shuffle };

struct Style {
    const char* title;
    int bpm;
    int beats;  // per bar: 3 or 4
    int tonic;  // MIDI note of the key's tonic near middle C
    bool minor;
    std::array<int, 8> verse, bridge;  // scale degrees 0..6, one chord per bar
    int lead, counter, chords, bass;   // General MIDI programs
    Comp comp;
    Drums drums;
};

// clang-format off
const Style kStyles[kTuneCount] = {
    {"Morning Tide",    96, 4, 60, false, {0,4,5,3,0,4,3,4}, {3,4,2,5,1,4,0,4},  73, 71, 24, 32, Comp::Arpeggio, Drums::Soft},
    {"Bamboo Breeze",  132, 3, 62, false, {0,3,4,0,5,3,1,4}, {3,0,3,4,5,3,1,4},  75, 68, 46, 32, Comp::Arpeggio, Drums::None},
    {"Coral Garden",   110, 4, 65, false, {0,5,3,4,0,5,3,4}, {3,4,2,5,3,1,4,4},  11, 73,  4, 33, Comp::Offbeat,  Drums::Pop},
    {"Lantern Night",   84, 4, 57, true,  {0,5,2,6,0,5,3,4}, {3,0,5,4,3,0,4,4},  40, 71, 48, 32, Comp::Pad,      Drums::Soft},
    {"Kite Day",       126, 4, 67, false, {0,4,5,3,0,4,3,4}, {3,0,3,4,5,3,1,4},  71, 73,  0, 33, Comp::Offbeat,  Drums::Pop},
    {"Pebble Stream",  108, 3, 63, false, {0,5,3,4,0,5,1,4}, {3,4,0,5,3,1,4,4},  10, 73, 46, 32, Comp::Arpeggio, Drums::None},
    {"Harbour Lights", 100, 4, 58, false, {0,5,1,4,0,5,1,4}, {3,3,0,0,1,1,4,4},  65, 66,  4, 33, Comp::Offbeat,  Drums::Shuffle},
    {"Cloud Walk",      92, 4, 64, true,  {0,3,4,0,0,3,6,4}, {5,6,0,0,5,3,4,4},  68, 42, 49, 32, Comp::Arpeggio, Drums::Soft},
    {"Festival",       138, 4, 60, false, {0,3,4,0,0,3,4,4}, {5,3,0,4,5,3,1,4},  56, 60,  1, 34, Comp::Strum,    Drums::Pop},
    {"Moon Pond",       90, 3, 62, true,  {0,6,5,4,0,6,5,4}, {3,0,3,4,5,2,3,4}, 107, 73, 48, 32, Comp::Pad,      Drums::None},
    {"Tea House",       88, 4, 67, false, {0,2,5,3,1,4,0,4}, {3,4,2,5,1,4,0,4},  77, 73, 24, 32, Comp::Arpeggio, Drums::Soft},
    {"Spring Rain",    104, 4, 69, false, {5,3,0,4,5,3,4,4}, {3,4,0,5,3,4,0,4},  12, 11,  5, 33, Comp::Offbeat,  Drums::Soft},
    {"Summer Sail",    120, 4, 65, false, {0,4,5,3,0,4,3,4}, {5,3,0,4,5,3,1,4},  21, 22, 25, 33, Comp::Strum,    Drums::Pop},
    {"Autumn Leaves",  116, 3, 60, true,  {3,6,2,5,1,4,0,0}, {3,6,2,5,1,4,0,4},  40, 71,  0, 32, Comp::Waltz,    Drums::Waltz},
    {"Snow Lantern",    76, 4, 64, false, {0,3,0,4,5,3,1,4}, {3,4,2,5,3,4,0,4},   8, 73, 48, 32, Comp::Pad,      Drums::None},
    {"Firefly Dance",  132, 4, 62, false, {0,0,3,4,0,0,3,4}, {5,5,3,4,5,2,3,4},  72, 73, 12, 33, Comp::Arpeggio, Drums::Pop},
    {"Evening Bells",   96, 4, 55, true,  {0,5,2,6,0,5,3,4}, {5,2,3,0,5,2,4,4},  69, 73, 46, 32, Comp::Arpeggio, Drums::Soft},
};
// clang-format on

struct Event {
    int tick;
    int order;  // at equal ticks: 0 meta and controls, 1 note off, 2 note on
    std::vector<uint8_t> bytes;
};

class Track {
  public:
    void Meta(int tick, uint8_t type, const std::string& data) {
        std::vector<uint8_t> b = {0xFF, type};
        PutVarLen(b, uint32_t(data.size()));
        b.insert(b.end(), data.begin(), data.end());
        events_.push_back({tick, 0, b});
    }
    void Tempo(int tick, double bpm) {
        uint32_t us = uint32_t(std::lround(60000000.0 / bpm));
        events_.push_back(
            {tick, 0, {0xFF, 0x51, 3, uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)}});
    }
    void Program(int tick, int ch, int program) {
        events_.push_back({tick, 0, {uint8_t(0xC0 | ch), uint8_t(program)}});
    }
    void Control(int tick, int ch, int cc, int value) {
        events_.push_back({tick, 0, {uint8_t(0xB0 | ch), uint8_t(cc), uint8_t(value)}});
    }
    void Note(int tick, int length, int ch, int key, int velocity) {
        key = std::clamp(key, 0, 127);
        velocity = std::clamp(velocity, 1, 127);
        events_.push_back({tick, 2, {uint8_t(0x90 | ch), uint8_t(key), uint8_t(velocity)}});
        events_.push_back({tick + std::max(1, length), 1, {uint8_t(0x80 | ch), uint8_t(key), 0}});
    }
    int End() const {
        int end = 0;
        for (const Event& e : events_) end = std::max(end, e.tick);
        return end;
    }
    Bytes Encode(int end_tick) {
        std::stable_sort(events_.begin(), events_.end(), [](const Event& a, const Event& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        Bytes body;
        int now = 0;
        for (const Event& e : events_) {
            PutVarLen(body, uint32_t(e.tick - now));
            now = e.tick;
            body.insert(body.end(), e.bytes.begin(), e.bytes.end());
        }
        PutVarLen(body, uint32_t(std::max(0, end_tick - now)));
        body.insert(body.end(), {0xFF, 0x2F, 0x00});
        Bytes chunk = {'M', 'T', 'r', 'k'};
        PutBe32(chunk, uint32_t(body.size()));
        chunk.insert(chunk.end(), body.begin(), body.end());
        return chunk;
    }

  private:
    static void PutVarLen(std::vector<uint8_t>& b, uint32_t v) {
        uint8_t tmp[5];
        int n = 0;
        tmp[n++] = v & 0x7F;
        while (v >>= 7) tmp[n++] = uint8_t(0x80 | (v & 0x7F));
        while (n) b.push_back(tmp[--n]);
    }
    std::vector<Event> events_;
};

class Composer {
  public:
    Composer(const Style& s, unsigned seed) : s_(s), rng_(seed) {
        static const int major[7] = {0, 2, 4, 5, 7, 9, 11};
        static const int minor[7] = {0, 2, 3, 5, 7, 8, 10};
        for (int i = 0; i < 7; ++i) scale_[i] = s.minor ? minor[i] : major[i];
        bar_ = s.beats * kPpq;
    }

    Bytes Compose() {
        // Sections: intro, then verse / verse' / bridge / verse cycles, then the ending.
        const double bar_seconds = s_.beats * 60.0 / s_.bpm;
        int cycles = std::max(1, int(std::lround(110.0 / (32 * bar_seconds))));
        while (cycles > 1 && (8 + 32 * cycles) * bar_seconds > 170) --cycles;

        meta_.Meta(0, 0x03, s_.title);
        meta_.Meta(0, 0x01, "Qarven Vorn");
        std::vector<uint8_t> sig = {uint8_t(s_.beats), 2, 24, 8};
        meta_.Meta(0, 0x58, std::string(sig.begin(), sig.end()));
        meta_.Tempo(0, s_.bpm);
        SetUp();

        verse_motif_ = {MakeMotif(), MakeMotif()};
        bridge_motif_ = {MakeMotif(), MakeMotif()};
        int bar = 0;
        Section(bar, s_.verse, 4, nullptr, false, false);  // intro: accompaniment only
        bar += 4;
        for (int c = 0; c < cycles; ++c) {
            Section(bar, s_.verse, 8, &verse_motif_, false, c == 0);
            bar += 8;
            Section(bar, s_.verse, 8, &verse_motif_, c > 0, false);
            bar += 8;
            Section(bar, s_.bridge, 8, &bridge_motif_, true, false);
            bar += 8;
            Section(bar, s_.verse, 8, &verse_motif_, true, false);
            bar += 8;
        }
        Ending(bar);
        bar += 4;
        int end = bar * bar_ + kPpq;

        Bytes file = {'M', 'T', 'h', 'd'};
        PutBe32(file, 6);
        PutBe16(file, 1);
        PutBe16(file, 6);
        PutBe16(file, kPpq);
        for (Track* t : {&meta_, &lead_, &counter_, &chords_, &bass_, &drums_}) {
            Bytes chunk = t->Encode(end);
            file.insert(file.end(), chunk.begin(), chunk.end());
        }
        return file;
    }

  private:
    struct MotifNote {
        int start, length;  // ticks within the two bars
        int step;           // scale steps from the phrase's first note
    };
    using Motif = std::vector<MotifNote>;

    int Rand(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    void SetUp() {
        const int pans[] = {64, 40, 88, 64, 64};
        Track* tracks[] = {&lead_, &counter_, &chords_, &bass_};
        const int programs[] = {s_.lead, s_.counter, s_.chords, s_.bass};
        const int volumes[] = {100, 72, 78, 96};
        for (int i = 0; i < 4; ++i) {
            tracks[i]->Meta(0, 0x03,
                            i == 0   ? "Melody"
                            : i == 1 ? "Counter"
                            : i == 2 ? "Chords"
                                     : "Bass");
            tracks[i]->Program(0, i, programs[i]);
            tracks[i]->Control(0, i, 7, volumes[i]);
            tracks[i]->Control(0, i, 10, pans[i]);
            tracks[i]->Control(0, i, 91, 52);
            tracks[i]->Control(0, i, 93, 18);
        }
        drums_.Meta(0, 0x03, "Drums");
        drums_.Control(0, 9, 7, 84);
        drums_.Control(0, 9, 91, 40);
    }

    // Pitch of scale degree d (any integer) counted from the tonic.
    int Degree(int d) const {
        int oct = d >= 0 ? d / 7 : -((-d + 6) / 7);
        return s_.tonic + 12 * oct + scale_[d - 7 * oct];
    }
    // The chord on degree `root` as three degrees; the minor key's dominant is major.
    std::array<int, 3> ChordTones(int root) const {
        std::array<int, 3> p = {Degree(root), Degree(root + 2), Degree(root + 4)};
        if (s_.minor && root % 7 == 4) p[1] += 1;
        return p;
    }
    bool InChord(int pitch, int root) const {
        for (int p : ChordTones(root))
            if ((pitch - p) % 12 == 0) return true;
        return false;
    }
    // Scale degree index nearest to a pitch.
    int NearestDegree(int pitch) const {
        int best = 0, dist = 1000;
        for (int d = -14; d <= 28; ++d)
            if (std::abs(Degree(d) - pitch) < dist) dist = std::abs(Degree(d) - pitch), best = d;
        return best;
    }

    Motif MakeMotif() {
        static const std::vector<std::vector<int>> four = {
            {2, 2, 2, 2},       {3, 1, 2, 2}, {2, 1, 1, 2, 2}, {4, 2, 2},
            {1, 1, 2, 1, 1, 2}, {2, 2, 4},    {3, 3, 2},       {2, 1, 1, 4}};
        static const std::vector<std::vector<int>> three = {{2, 2, 2},    {3, 1, 2}, {4, 2},
                                                            {2, 1, 1, 2}, {2, 4},    {1, 1, 2, 2}};
        const auto& pool = s_.beats == 4 ? four : three;
        Motif m;
        int step = 0;
        for (int b = 0; b < 2; ++b) {
            const auto& rhythm = pool[size_t(Rand(0, int(pool.size()) - 1))];
            int t = b * bar_;
            for (size_t i = 0; i < rhythm.size(); ++i) {
                int len = rhythm[i] * kPpq / 2;
                m.push_back({t, len, step});
                int r = Rand(0, 9);
                step += r < 3 ? 1 : r < 6 ? -1 : r < 7 ? 2 : r < 8 ? -2 : r < 9 ? 0 : 3;
                step = std::clamp(step, -4, 5);
                t += len;
            }
        }
        return m;
    }

    // One two-bar phrase from a motif, fitted to the chords of its bars: notes that start on
    // a strong beat move to the nearest chord tone.
    void Phrase(int bar, const std::array<int, 8>& prog, int index, const Motif& motif,
                int start_degree, bool cadence, Track& track, int ch, int velocity, int transpose) {
        for (size_t i = 0; i < motif.size(); ++i) {
            const MotifNote& n = motif[i];
            int tick = bar * bar_ + n.start;
            int which = index + n.start / bar_;
            int root = prog[size_t(which % 8)];
            int pitch = Degree(start_degree + n.step) + transpose;
            // Over the major dominant of a minor key the seventh degree is raised too, or the
            // melody would rub against the chord's leading note.
            if (s_.minor && root % 7 == 4 && ((pitch - s_.tonic) % 12 + 12) % 12 == 10) pitch += 1;
            bool strong = (n.start % bar_) % (2 * kPpq) == 0;
            if (strong && !InChord(pitch, root)) {
                for (int d = 1; d < 4; ++d) {
                    if (InChord(pitch + d, root)) {
                        pitch += d;
                        break;
                    }
                    if (InChord(pitch - d, root)) {
                        pitch -= d;
                        break;
                    }
                }
            }
            // A semitone against a chord tone rubs over held chords even on a weak beat: such a
            // note becomes the chord tone itself.
            if (!InChord(pitch, root)) {
                if (InChord(pitch + 1, root))
                    pitch += 1;
                else if (InChord(pitch - 1, root))
                    pitch -= 1;
            }
            int length = n.length;
            if (cadence && i + 1 == motif.size()) {
                // Land on the tonic (or the chord root) and hold it to the end of the bar.
                int target = ChordTones(root)[0] + transpose;
                while (target < pitch - 6) target += 12;
                while (target > pitch + 6) target -= 12;
                pitch = target;
                length = bar_ * 2 - n.start;
            }
            int accent = (n.start % bar_) == 0 ? 10 : strong ? 4 : 0;
            track.Note(tick, length * 9 / 10, ch, pitch, velocity + accent + Rand(-5, 5));
        }
    }

    // A section of eight bars is four two-bar phrases: statement, answer, statement again,
    // and the answer ending on the chord's root (the cadence).
    void Section(int bar, const std::array<int, 8>& prog, int bars,
                 const std::array<Motif, 2>* motif, bool with_counter, bool crash_first) {
        for (int b = 0; b < bars; ++b) Accompany(bar + b, prog[size_t(b % 8)], b, bars);
        if (s_.drums != Drums::None && (crash_first || motif))
            drums_.Note(bar * bar_, kPpq, 9, 49, 70);
        if (!motif) return;
        const int starts[4] = {4, 5, 4, 2};
        // The melody sits around the fifth above the upper tonic; the counter-melody an
        // octave and a third lower.
        const int lead = s_.tonic < 63 ? 12 : 0;
        for (int p = 0; p < bars / 2; ++p) {
            bool cadence = p == 3;
            const Motif& m = (*motif)[size_t(p % 2)];
            Phrase(bar + 2 * p, prog, 2 * p, m, starts[p % 4], cadence, lead_, 0, 88, lead);
            if (with_counter)
                Phrase(bar + 2 * p, prog, 2 * p, m, starts[p % 4] - 2, cadence, counter_, 1, 62,
                       lead - 12);
        }
    }

    void Accompany(int bar, int root, int index, int bars) {
        const int t0 = bar * bar_;
        auto tones = ChordTones(root);
        int low = tones[0];
        while (low > 59) low -= 12;
        while (low < 48) low += 12;
        std::array<int, 3> voicing = {low, low + (tones[1] - tones[0]),
                                      low + (tones[2] - tones[0])};
        // Bass.
        int bass_root = low - 12;
        while (bass_root > 47) bass_root -= 12;
        int fifth = bass_root + (voicing[2] - voicing[0]);
        if (s_.beats == 4) {
            bass_.Note(t0, kPpq * 2 - 30, 3, bass_root, 92 + Rand(-4, 4));
            bass_.Note(t0 + 2 * kPpq, kPpq - 30, 3, fifth, 80 + Rand(-4, 4));
            bass_.Note(t0 + 3 * kPpq, kPpq - 30, 3, index % 2 ? bass_root + 12 : bass_root, 78);
        } else {
            bass_.Note(t0, kPpq * 2 - 30, 3, bass_root, 90 + Rand(-4, 4));
            bass_.Note(t0 + 2 * kPpq, kPpq - 30, 3, fifth, 74);
        }
        // Chords.
        switch (s_.comp) {
            case Comp::Pad:
                for (int p : voicing) chords_.Note(t0, bar_ - 20, 2, p, 58);
                break;
            case Comp::Arpeggio: {
                const int order[8] = {0, 1, 2, 3, 4, 3, 2, 1};
                int pitches[5] = {voicing[0], voicing[1], voicing[2], voicing[0] + 12,
                                  voicing[1] + 12};
                for (int i = 0; i < s_.beats * 2; ++i)
                    chords_.Note(t0 + i * kPpq / 2, kPpq, 2, pitches[order[i % 8]],
                                 (i % 2 ? 56 : 66) + Rand(-4, 4));
                break;
            }
            case Comp::Offbeat:
                for (int beat = 0; beat < s_.beats; ++beat)
                    for (int p : voicing)
                        chords_.Note(t0 + beat * kPpq + kPpq / 2, kPpq / 2 - 40, 2, p + 12,
                                     60 + Rand(-4, 4));
                break;
            case Comp::Waltz:
                for (int beat = 1; beat < 3; ++beat)
                    for (int p : voicing) chords_.Note(t0 + beat * kPpq, kPpq - 60, 2, p + 12, 58);
                break;
            case Comp::Strum:
                for (int beat = 0; beat < s_.beats; ++beat)
                    for (int k = 0; k < 3; ++k)
                        chords_.Note(t0 + beat * kPpq + k * 18, kPpq - 60, 2,
                                     voicing[size_t(k)] + 12, (beat % 2 ? 56 : 68) + Rand(-3, 3));
                break;
        }
        Drum(t0, index == bars - 1);
    }

    void Drum(int t0, bool fill) {
        auto hit = [&](double beat, int key, int vel) {
            drums_.Note(t0 + int(beat * kPpq), kPpq / 4, 9, key, vel + Rand(-6, 6));
        };
        switch (s_.drums) {
            case Drums::None:
                return;
            case Drums::Soft:
                hit(0, 36, 70);
                hit(2, 37, 52);
                for (int b = 0; b < s_.beats; ++b) hit(b, 42, 40);
                break;
            case Drums::Pop:
                hit(0, 36, 90);
                hit(2, 36, 80);
                hit(1, 38, 80);
                hit(3, 38, 84);
                for (int i = 0; i < 8; ++i) hit(i / 2.0, 42, i % 2 ? 44 : 60);
                break;
            case Drums::Waltz:
                hit(0, 36, 78);
                hit(1, 42, 50);
                hit(2, 42, 50);
                break;
            case Drums::Shuffle:
                hit(0, 36, 80);
                hit(2, 36, 70);
                hit(1, 38, 64);
                hit(3, 38, 66);
                for (int b = 0; b < 4; ++b) {
                    hit(b, 42, 56);
                    hit(b + 2.0 / 3, 42, 40);
                }
                break;
        }
        if (fill && s_.beats == 4) {
            hit(3.0, 48, 74);
            hit(3.25, 47, 72);
            hit(3.5, 45, 76);
            hit(3.75, 41, 80);
        }
    }

    void Ending(int bar) {
        // Three bars of the verse's last chords, then the tonic chord held, slowing down.
        for (int b = 0; b < 3; ++b) Accompany(bar + b, s_.verse[size_t(b) + 5], b, 4);
        int t = (bar + 3) * bar_;
        meta_.Tempo((bar + 2) * bar_, s_.bpm * 0.9);
        meta_.Tempo(t, s_.bpm * 0.75);
        auto tones = ChordTones(0);
        for (int p : tones) chords_.Note(t, bar_ + kPpq, 2, p, 64);
        lead_.Note(t, bar_ + kPpq, 0, tones[0] + 12, 84);
        bass_.Note(t, bar_ + kPpq, 3, tones[0] - 24, 90);
        if (s_.drums != Drums::None) {
            drums_.Note(t, kPpq, 9, 49, 76);
            drums_.Note(t, kPpq, 9, 36, 80);
        }
    }

    const Style& s_;
    std::mt19937 rng_;
    int scale_[7];
    int bar_;
    std::array<Motif, 2> verse_motif_, bridge_motif_;
    Track meta_, lead_, counter_, chords_, bass_, drums_;
};

}  // namespace

std::string TuneTitle(int number) {
    if (number < kFirstTune || number >= kFirstTune + kTuneCount)
        throw std::invalid_argument("no such tune");
    return kStyles[number - kFirstTune].title;
}

std::vector<uint8_t> ComposeTune(int number) {
    if (number < kFirstTune || number >= kFirstTune + kTuneCount)
        throw std::invalid_argument("no such tune");
    Composer c(kStyles[number - kFirstTune], unsigned(number) * 7919u);
    return c.Compose();
}

}  // namespace assetgen
