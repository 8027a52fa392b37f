#include "tools/assetgen/effects.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>

#include "game/res/resource_ids.h"

namespace assetgen {

const std::vector<EffectInfo>& Effects() {
    static const std::vector<EffectInfo> effects = {
        {IDW_SELECT, 0.04, "first tile selected: a short wooden tick"},
        {IDW_LINK, 0.15, "pair linked: a bright two-note chime"},
        {IDW_NO_PATH, 0.35, "same pictures but no path: a soft low buzz"},
        {IDW_MISMATCH, 0.13, "different pictures or selection cleared: a low double knock"},
        {IDW_LEVEL_CLEARED, 1.52, "level cleared: a rising brass fanfare"},
        {IDW_ALL_CLEARED, 2.69, "last level cleared: a long fanfare with a sparkling chord"},
        {IDW_GAME_OVER, 2.62, "game over: a falling four-note phrase"},
        {IDW_HINT, 0.55, "hint: three rising bell notes"},
        {IDW_RESHUFFLE, 1.12, "reshuffle: a riffle of cards"},
        {IDW_PRIZE_SMALL, 1.69, "small prize: a four-note marimba jingle"},
        {IDW_PENALTY, 2.14, "penalty: a sagging three-note phrase"},
        {IDW_PRIZE_MEDIUM, 0.67, "middle prize: a quick bright run"},
        {IDW_PRIZE_BIG, 2.91, "big prize: runs rising to a high chord"},
    };
    return effects;
}

namespace {

constexpr double kPi = 3.14159265358979323846;

enum class Voice { Sine, Bell, Marimba, Brass, Buzz, Wood };

struct Note {
    double start, length, freq;
    Voice voice;
    double amp = 1.0;
    double glide_to = 0;  // end frequency, 0 = steady
    double vibrato = 0;   // depth in semitones at 5.5 Hz
    double attack = 0.005;
    double release = 0.03;
};

double Midi(double n) { return 440.0 * std::pow(2.0, (n - 69) / 12.0); }

class Mix {
  public:
    explicit Mix(double seconds) : s_(size_t(std::lround(seconds * kEffectRate)), 0.0) {}

    void Add(const Note& n) {
        size_t i0 = size_t(std::max(0.0, n.start) * kEffectRate);
        size_t count = size_t(n.length * kEffectRate);
        double phase[8] = {};
        for (size_t k = 0; k < count && i0 + k < s_.size(); ++k) {
            double t = double(k) / kEffectRate;
            double f = n.glide_to > 0 ? n.freq + (n.glide_to - n.freq) * t / n.length : n.freq;
            if (n.vibrato > 0 && t > 0.08)
                f *= std::pow(2.0, n.vibrato / 12.0 * std::sin(2 * kPi * 5.5 * t));
            double env = std::min(1.0, t / n.attack);
            double left = n.length - t;
            if (left < n.release) env *= std::max(0.0, left / n.release);
            s_[i0 + k] += n.amp * env * Timbre(n.voice, f, t, phase);
        }
    }

    void Noise(double start, double length, double amp, double brightness, unsigned seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> u(-1, 1);
        size_t i0 = size_t(start * kEffectRate), count = size_t(length * kEffectRate);
        double low = 0, prev = 0;
        for (size_t k = 0; k < count && i0 + k < s_.size(); ++k) {
            double t = double(k) / kEffectRate;
            double x = u(rng);
            low += brightness * (x - low);  // one-pole low-pass
            double high = low - prev;       // then a first difference for the papery edge
            prev = low;
            double env = std::min(1.0, t / 0.001) * std::exp(-t * 6.0 / length);
            s_[i0 + k] += amp * env * (0.6 * low + 0.8 * high);
        }
    }

    // Fades both ends (no clicks), normalises to the peak and converts to unsigned 8 bits.
    std::vector<uint8_t> Finish(double peak) {
        const size_t in = size_t(0.002 * kEffectRate), out = size_t(0.008 * kEffectRate);
        const size_t n = s_.size();
        for (size_t i = 0; i < std::min(in, n); ++i) s_[i] *= double(i) / in;
        for (size_t i = 0; i < std::min(out, n); ++i) s_[n - 1 - i] *= double(i) / out;
        double m = 1e-9;
        for (double v : s_) m = std::max(m, std::fabs(v));
        // Eight bits leave audible grain on quiet decays; feeding each sample's rounding error
        // into the next pushes that error up to high frequencies, where it is far less heard.
        std::vector<uint8_t> pcm(n);
        double err = 0;
        for (size_t i = 0; i < n; ++i) {
            double want = 127 * peak * s_[i] / m - err;
            long q = std::clamp(std::lround(want), -128L, 127L);
            err = double(q) - want;
            pcm[i] = uint8_t(128 + q);
        }
        return pcm;
    }

  private:
    static double Timbre(Voice v, double f, double t, double* ph) {
        auto osc = [&](int slot, double freq) {
            if (freq >= kEffectRate / 2.0) return 0.0;  // never alias
            ph[slot] += 2 * kPi * freq / kEffectRate;
            return std::sin(ph[slot]);
        };
        switch (v) {
            case Voice::Sine:
                return osc(0, f) + 0.15 * osc(1, 2 * f);
            case Voice::Bell:
                return std::exp(-t * 5) * osc(0, f) + 0.5 * std::exp(-t * 9) * osc(1, 2.76 * f) +
                       0.25 * std::exp(-t * 16) * osc(2, 5.4 * f) +
                       0.15 * std::exp(-t * 3) * osc(3, 2 * f);
            case Voice::Marimba:
                return std::exp(-t * 9) * osc(0, f) + 0.35 * std::exp(-t * 40) * osc(1, 4 * f) +
                       0.1 * std::exp(-t * 60) * osc(2, 9.2 * f);
            case Voice::Brass: {
                double bright = std::min(1.0, t / 0.05);
                double s = 0;
                for (int h = 1; h <= 7; ++h) s += osc(h - 1, h * f) / h * (h == 1 ? 1.0 : bright);
                return 0.7 * s;
            }
            case Voice::Buzz: {
                double s = 0;
                for (int h = 1, k = 0; h <= 9; h += 2, ++k) s += osc(k, h * f) / (h * h);
                return s;
            }
            case Voice::Wood:
                return std::exp(-t * 120) *
                       (osc(0, f) + 0.5 * osc(1, 2.3 * f) + 0.3 * osc(2, 4.1 * f));
        }
        return 0;
    }

    std::vector<double> s_;
};

std::vector<uint8_t> Tick(double len) {
    Mix m(len);
    m.Add({0.0, len, 1650, Voice::Wood, 1.0, 0, 0, 0.0008, 0.01});
    m.Add({0.0, len, 3300, Voice::Sine, 0.2, 0, 0, 0.0008, 0.02});
    return m.Finish(0.7);
}

std::vector<uint8_t> LinkChime(double len) {
    Mix m(len);
    m.Add({0.0, len, Midi(88), Voice::Bell, 0.8, 0, 0, 0.002, 0.05});          // E6
    m.Add({0.05, len - 0.05, Midi(95), Voice::Bell, 1.0, 0, 0, 0.002, 0.06});  // B6
    return m.Finish(0.85);
}

std::vector<uint8_t> SoftBuzz(double len) {
    Mix m(len);
    m.Add({0.0, len, 185, Voice::Buzz, 1.0, 120, 0.0, 0.02, 0.12});
    m.Add({0.0, len, 92.5, Voice::Sine, 0.5, 60, 0.0, 0.02, 0.12});
    return m.Finish(0.7);
}

std::vector<uint8_t> Knock(double len) {
    Mix m(len);
    m.Add({0.0, 0.06, Midi(69), Voice::Wood, 1.0, 0, 0, 0.001, 0.02});
    m.Add({0.055, len - 0.055, Midi(64), Voice::Wood, 1.0, 0, 0, 0.001, 0.03});
    m.Add({0.0, len, Midi(45), Voice::Sine, 0.35, Midi(40), 0, 0.002, 0.05});
    return m.Finish(0.8);
}

std::vector<uint8_t> Fanfare(double len) {
    Mix m(len);
    const int notes[] = {60, 64, 67};  // C5 E5 G5, then the C major chord on C6
    for (int i = 0; i < 3; ++i)
        m.Add({i * 0.16, 0.2, Midi(notes[i] + 12), Voice::Brass, 0.8, 0, 0, 0.015, 0.04});
    double t = 0.48;
    for (int n : {72, 76, 79, 84})
        m.Add({t, len - t, Midi(n), Voice::Brass, n == 84 ? 0.7 : 0.55, 0, 0.15, 0.02, 0.5});
    m.Add({t, len - t, Midi(48), Voice::Sine, 0.5, 0, 0, 0.02, 0.5});
    return m.Finish(0.85);
}

std::vector<uint8_t> GrandFanfare(double len) {
    Mix m(len);
    const int run[] = {67, 72, 67, 72, 76, 79};
    const double at[] = {0.0, 0.14, 0.28, 0.42, 0.56, 0.70};
    for (int i = 0; i < 6; ++i)
        m.Add({at[i], 0.16, Midi(run[i]), Voice::Brass, 0.8, 0, 0, 0.012, 0.04});
    double t = 0.86;
    for (int n : {72, 76, 79, 84, 88})
        m.Add({t, len - t, Midi(n), Voice::Brass, 0.5, 0, 0.12, 0.03, 0.9});
    m.Add({t, len - t, Midi(48), Voice::Sine, 0.6, 0, 0, 0.02, 0.9});
    // Sparkles over the final chord.
    for (int i = 0; i < 8; ++i)
        m.Add({t + 0.12 * i, 0.4, Midi(96 + (i % 4) * 3), Voice::Bell, 0.25, 0, 0, 0.002, 0.1});
    return m.Finish(0.85);
}

std::vector<uint8_t> GameOver(double len) {
    Mix m(len);
    const int notes[] = {67, 66, 65};  // G F# F, then a long sagging E
    for (int i = 0; i < 3; ++i)
        m.Add({i * 0.42, 0.4, Midi(notes[i] - 12), Voice::Brass, 0.8, 0, 0, 0.03, 0.08});
    double t = 1.26;
    m.Add({t, len - t, Midi(52), Voice::Brass, 0.9, Midi(50.5), 0.35, 0.03, 0.6});
    m.Add({t, len - t, Midi(40), Voice::Sine, 0.45, Midi(38.5), 0, 0.03, 0.6});
    return m.Finish(0.8);
}

std::vector<uint8_t> Hint(double len) {
    Mix m(len);
    const int notes[] = {84, 88, 91};  // C7 E7 G7
    for (int i = 0; i < 3; ++i)
        m.Add({i * 0.09, len - i * 0.09, Midi(notes[i]), Voice::Bell, 0.7, 0, 0, 0.002, 0.15});
    return m.Finish(0.8);
}

std::vector<uint8_t> Riffle(double len) {
    Mix m(len);
    // About two dozen card flicks that speed up, over a quiet swish.
    double t = 0.0, gap = 0.06;
    unsigned seed = 7;
    while (t < len - 0.12) {
        m.Noise(t, 0.035, 0.9, 0.55, seed++);
        t += gap;
        gap = std::max(0.022, gap * 0.93);
    }
    m.Noise(0.0, len, 0.25, 0.08, 99);
    m.Add({len - 0.14, 0.13, 520, Voice::Wood, 0.8, 0, 0, 0.001, 0.02});  // the deck squared up
    return m.Finish(0.75);
}

// Prize jingles: each rises higher and runs longer with the size of the prize.
std::vector<uint8_t> PrizeSmall(double len) {
    Mix m(len);
    const int notes[] = {72, 76, 79, 84};
    for (int i = 0; i < 4; ++i)
        m.Add({i * 0.15, len - i * 0.15, Midi(notes[i]), Voice::Marimba, 0.8, 0, 0, 0.002, 0.2});
    m.Add({0.6, len - 0.6, Midi(60), Voice::Sine, 0.3, 0, 0, 0.05, 0.5});
    m.Add({0.6, len - 0.6, Midi(64), Voice::Sine, 0.25, 0, 0, 0.05, 0.5});
    return m.Finish(0.8);
}

std::vector<uint8_t> Penalty(double len) {
    Mix m(len);
    const int notes[] = {67, 63, 60};  // G, E flat, C: down into the minor
    for (int i = 0; i < 3; ++i) {
        double start = i * 0.5, dur = i == 2 ? len - start : 0.48;
        m.Add({start, dur, Midi(notes[i] - 12), Voice::Buzz, 0.8, i == 2 ? Midi(notes[i] - 13) : 0,
               i == 2 ? 0.3 : 0.1, 0.03, i == 2 ? 0.5 : 0.08});
    }
    return m.Finish(0.7);
}

std::vector<uint8_t> PrizeMiddle(double len) {
    Mix m(len);
    const int notes[] = {79, 83, 86, 91, 95};
    for (int i = 0; i < 5; ++i)
        m.Add({i * 0.07, len - i * 0.07, Midi(notes[i]), Voice::Marimba, 0.75, 0, 0, 0.002, 0.12});
    m.Add({0.3, len - 0.3, Midi(103), Voice::Bell, 0.3, 0, 0, 0.002, 0.1});
    return m.Finish(0.85);
}

std::vector<uint8_t> PrizeBig(double len) {
    Mix m(len);
    double t = 0;
    // Two rising runs, the second a fifth higher, then a bright chord with bells.
    for (int base : {72, 79}) {
        for (int step : {0, 4, 7, 12, 16, 19}) {
            m.Add({t, 0.3, Midi(base + step), Voice::Marimba, 0.7, 0, 0, 0.002, 0.1});
            t += 0.07;
        }
        t += 0.1;
    }
    for (int n : {84, 88, 91, 96})
        m.Add({t, len - t, Midi(n), Voice::Brass, 0.4, 0, 0.1, 0.02, 0.8});
    for (int i = 0; i < 10; ++i)
        m.Add({t + 0.1 * i, 0.35, Midi(96 + (i * 5) % 12), Voice::Bell, 0.3, 0, 0, 0.002, 0.1});
    m.Add({t, len - t, Midi(60), Voice::Sine, 0.5, 0, 0, 0.02, 0.8});
    return m.Finish(0.85);
}

}  // namespace

std::vector<uint8_t> SynthesiseEffect(int id) {
    for (const EffectInfo& e : Effects()) {
        if (e.id != id) continue;
        switch (id) {
            case IDW_SELECT:
                return Tick(e.seconds);
            case IDW_LINK:
                return LinkChime(e.seconds);
            case IDW_NO_PATH:
                return SoftBuzz(e.seconds);
            case IDW_MISMATCH:
                return Knock(e.seconds);
            case IDW_LEVEL_CLEARED:
                return Fanfare(e.seconds);
            case IDW_ALL_CLEARED:
                return GrandFanfare(e.seconds);
            case IDW_GAME_OVER:
                return GameOver(e.seconds);
            case IDW_HINT:
                return Hint(e.seconds);
            case IDW_RESHUFFLE:
                return Riffle(e.seconds);
            case IDW_PRIZE_SMALL:
                return PrizeSmall(e.seconds);
            case IDW_PENALTY:
                return Penalty(e.seconds);
            case IDW_PRIZE_MEDIUM:
                return PrizeMiddle(e.seconds);
            case IDW_PRIZE_BIG:
                return PrizeBig(e.seconds);
        }
    }
    throw std::invalid_argument("no such effect");
}

}  // namespace assetgen
