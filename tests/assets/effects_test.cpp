// The thirteen WAVE effects, read back through the program's resource table and analysed:
// format, length, loudness, clean starts and ends, and the shape that makes each one
// recognisable for its event.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "asset_files.h"
#include "kivra_resources.h"
#include "platform/crt/resources.h"

namespace {

using namespace assets_test;

struct Wave {
    int rate = 0;
    std::vector<double> s;  // -1..1
    double seconds() const { return rate ? double(s.size()) / rate : 0; }
};

Wave Load(int id) {
    RegisterKivraResources();
    const res::Resource* r = res::FindResource(id, res::Kind::Wave);
    Wave w;
    if (!r) {
        ADD_FAILURE() << "WAVE " << id << " is missing";
        return w;
    }
    const uint8_t* d = r->data;
    const size_t n = r->size;
    EXPECT_GE(n, 44u);
    if (n < 44) return w;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(d), 4), "RIFF");
    EXPECT_EQ(Le32(d + 4), n - 8) << id;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(d + 8), 4), "WAVE");
    // Walk the chunks: fmt then data.
    size_t pos = 12;
    int channels = 0, bits = 0;
    while (pos + 8 <= n) {
        std::string tag(reinterpret_cast<const char*>(d + pos), 4);
        uint32_t len = Le32(d + pos + 4);
        EXPECT_LE(pos + 8 + len, n) << id << " chunk " << tag;
        if (pos + 8 + len > n) break;
        const uint8_t* c = d + pos + 8;
        if (tag == "fmt ") {
            EXPECT_EQ(Le16(c), 1u) << "PCM";
            channels = int(Le16(c + 2));
            w.rate = int(Le32(c + 4));
            bits = int(Le16(c + 14));
            EXPECT_EQ(Le32(c + 8), uint32_t(w.rate * channels * bits / 8));
            EXPECT_EQ(Le16(c + 12), unsigned(channels * bits / 8));
        } else if (tag == "data") {
            EXPECT_EQ(bits, 8) << id;
            EXPECT_TRUE(channels == 1 || channels == 2) << id;
            for (uint32_t i = 0; channels && i + channels <= len; i += channels)
                w.s.push_back((c[i] - 128) / 128.0);
        }
        pos += 8 + len + (len & 1);
    }
    return w;
}

double Rms(const Wave& w, double from, double to) {
    size_t a = size_t(from * w.rate), b = std::min(w.s.size(), size_t(to * w.rate));
    double sum = 0;
    for (size_t i = a; i < b; ++i) sum += w.s[i] * w.s[i];
    return b > a ? std::sqrt(sum / double(b - a)) : 0;
}

// Energy-weighted pitch estimate of a window: the frequency of the strongest DFT bin
// between 80 Hz and 5 kHz (coarse, but enough to tell rising from falling).
double Pitch(const Wave& w, double from, double to) {
    size_t a = size_t(from * w.rate), b = std::min(w.s.size(), size_t(to * w.rate));
    double best = 0, best_f = 0;
    for (double f = 80; f < 5000; f *= 1.02) {
        double re = 0, im = 0;
        for (size_t i = a; i < b; ++i) {
            double ph = 2 * M_PI * f * double(i) / w.rate;
            re += w.s[i] * std::cos(ph), im += w.s[i] * std::sin(ph);
        }
        double p = re * re + im * im;
        if (p > best) best = p, best_f = f;
    }
    return best_f;
}

const std::map<int, double> kLengths = {
    {138, 0.04}, {139, 0.15}, {140, 0.35}, {147, 0.13}, {149, 1.52}, {148, 2.69}, {151, 2.62},
    {150, 0.55}, {152, 1.12}, {143, 1.69}, {144, 2.14}, {145, 0.67}, {146, 2.91}};

TEST(Effects, EveryEffectHasItsLengthWithinTenMilliseconds) {
    for (auto [id, seconds] : kLengths) {
        Wave w = Load(id);
        ASSERT_GT(w.rate, 8000) << id;
        EXPECT_NEAR(w.seconds(), seconds, 0.010) << "WAVE " << id;
    }
}

TEST(Effects, AudibleAndFreeOfClicksAtBothEnds) {
    for (auto [id, seconds] : kLengths) {
        Wave w = Load(id);
        ASSERT_FALSE(w.s.empty()) << id;
        EXPECT_GT(Rms(w, 0, seconds), 0.05) << "WAVE " << id << " is nearly silent";
        double peak = 0;
        for (double v : w.s) peak = std::max(peak, std::fabs(v));
        EXPECT_GT(peak, 0.5) << id;
        EXPECT_LT(peak, 1.0) << id << " clips";
        // Starts and ends at the centre line: no step the speaker would click on.
        EXPECT_LE(std::fabs(w.s.front()), 2 / 128.0) << id;
        EXPECT_LE(std::fabs(w.s.back()), 2 / 128.0) << id;
        for (size_t i = 0; i < 5; ++i) EXPECT_LE(std::fabs(w.s[i]), 0.25) << id << " attack";
    }
}

TEST(Effects, AllThirteenDiffer) {
    std::vector<Wave> all;
    for (auto [id, seconds] : kLengths) all.push_back(Load(id));
    for (size_t a = 0; a < all.size(); ++a)
        for (size_t b = a + 1; b < all.size(); ++b) EXPECT_NE(all[a].s, all[b].s);
}

// The selection tick is a click that dies away within its 40 ms.
TEST(Effects, SelectionTickDecays) {
    Wave w = Load(138);
    EXPECT_GT(Rms(w, 0, 0.01), 3 * Rms(w, 0.025, 0.04));
}

// The failure buzz is low; the link chime is high.
TEST(Effects, LinkChimeIsHighAndFailureBuzzIsLow) {
    EXPECT_GT(Pitch(Load(139), 0.06, 0.14), 1000);
    EXPECT_LT(Pitch(Load(140), 0.05, 0.3), 400);
}

// Game over and the penalty fall; the prize jingles rise, and the bigger the prize, the
// higher the jingle climbs.
TEST(Effects, GameOverAndPenaltyFallPrizesRise) {
    Wave over = Load(151), penalty = Load(144);
    EXPECT_GT(Pitch(over, 0.05, 0.35), Pitch(over, 1.4, 2.0));
    EXPECT_GT(Pitch(penalty, 0.05, 0.4), Pitch(penalty, 1.1, 1.6));
    Wave small = Load(143), middle = Load(145), big = Load(146);
    EXPECT_LT(Pitch(small, 0.0, 0.12), Pitch(small, 0.46, 0.58));
    EXPECT_LT(Pitch(middle, 0.0, 0.06), Pitch(middle, 0.28, 0.34));
    double top_small = Pitch(small, 0.46, 0.58), top_middle = Pitch(middle, 0.28, 0.34);
    EXPECT_LT(top_small, top_middle);
    EXPECT_LT(Pitch(big, 0.0, 0.06), Pitch(big, 0.9, 1.0));
}

// Fanfares hold their final chord: the second half is not silent.
TEST(Effects, FanfaresSustainTheirLastChord) {
    for (int id : {149, 148, 146}) {
        Wave w = Load(id);
        EXPECT_GT(Rms(w, w.seconds() * 0.5, w.seconds() * 0.8), 0.05) << id;
    }
}

}  // namespace
