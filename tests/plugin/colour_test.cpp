// The inverse transform, the colour conversion and the bitmap layout.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "plugin/idct.h"
#include "plugin/jpeg_decoder.h"
#include "plugin/planes.h"

namespace plugintest {
namespace {

TEST(Transform, ADcOnlyBlockRoundsAsThePassesDo) {
    const struct {
        int dc;
        int sample;
    } cases[] = {{0, 128},  {80, 138}, {-80, 118},  {3, 128},  {4, 129},
                 {-4, 128}, {-5, 127}, {2000, 255}, {-2000, 0}};
    for (const auto& c : cases) {
        std::int16_t block[64] = {};
        block[0] = static_cast<std::int16_t>(c.dc);
        std::uint8_t samples[64];
        vantor::IntegerInverseDct(block, samples);
        for (int i = 0; i < 64; ++i) ASSERT_EQ(samples[i], c.sample) << c.dc << " at " << i;
    }
}

// The inverse DCT of T.81 A.3.3 in double precision.
void ReferenceIdct(const std::int16_t* in, double* out) {
    const double pi = std::acos(-1.0);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            double sum = 0;
            for (int v = 0; v < 8; ++v) {
                for (int u = 0; u < 8; ++u) {
                    const double cu = u == 0 ? std::sqrt(0.5) : 1.0;
                    const double cv = v == 0 ? std::sqrt(0.5) : 1.0;
                    sum += cu * cv * in[v * 8 + u] * std::cos((2 * x + 1) * u * pi / 16) *
                           std::cos((2 * y + 1) * v * pi / 16);
                }
            }
            out[y * 8 + x] = sum / 4 + 128;
        }
    }
}

TEST(Transform, AgreesWithTheExactTransformWithinOne) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 300; ++trial) {
        std::int16_t block[64] = {};
        const int nonZero = 1 + trial % 20;
        for (int i = 0; i < nonZero; ++i) {
            block[random() % (trial % 3 == 0 ? 10 : 64)] =
                static_cast<std::int16_t>(static_cast<int>(random() % 401) - 200);
        }
        std::uint8_t samples[64];
        double exact[64];
        vantor::IntegerInverseDct(block, samples);
        ReferenceIdct(block, exact);
        for (int i = 0; i < 64; ++i) {
            const double clamped = std::fmin(255.0, std::fmax(0.0, exact[i]));
            ASSERT_LE(std::fabs(samples[i] - clamped), 1.0) << "trial " << trial << " at " << i;
        }
    }
}

TEST(Transform, ExtremeCoefficientsWrapWithoutFault) {
    // Far outside what an encoder produces: the 32-bit arithmetic wraps (the sanitizer build
    // would stop on signed overflow) and every sample is still clamped to a byte.
    std::int16_t block[64];
    for (int i = 0; i < 64; ++i) block[i] = (i % 2) ? 32767 : -32768;
    std::uint8_t samples[64];
    vantor::IntegerInverseDct(block, samples);
    std::int16_t dcOnly[64] = {32767};
    vantor::IntegerInverseDct(dcOnly, samples);
    EXPECT_EQ(samples[63], 255);
    dcOnly[0] = -32768;
    vantor::IntegerInverseDct(dcOnly, samples);
    EXPECT_EQ(samples[63], 0);
}

TEST(Colour, ConversionExamples) {
    const struct {
        std::uint8_t y, cb, cr, r, g, b;
    } cases[] = {
        {128, 128, 128, 128, 128, 128}, {128, 127, 127, 126, 129, 126},
        {100, 128, 228, 240, 28, 100},  {0, 0, 0, 0, 135, 0},
        {255, 255, 255, 255, 120, 255}, {255, 0, 0, 75, 255, 28},
    };
    for (const auto& c : cases) {
        std::uint8_t p0 = c.y, p1 = c.cb, p2 = c.cr;
        vantor::ConvertYCbCrToRgb(&p0, &p1, &p2, 1);
        EXPECT_EQ(p0, c.r) << int(c.y) << " " << int(c.cb) << " " << int(c.cr);
        EXPECT_EQ(p1, c.g) << int(c.y) << " " << int(c.cb) << " " << int(c.cr);
        EXPECT_EQ(p2, c.b) << int(c.y) << " " << int(c.cb) << " " << int(c.cr);
    }
}

TEST(Colour, ConversionMatchesTheFixedPointFormulaEverywhere) {
    // Every (Cb, Cr) pair for a few luma values, against the 64-bit form of the same formula.
    for (int y : {0, 1, 77, 128, 200, 255}) {
        for (int cb = 0; cb < 256; ++cb) {
            for (int cr = 0; cr < 256; ++cr) {
                std::uint8_t p0 = static_cast<std::uint8_t>(y), p1 = static_cast<std::uint8_t>(cb),
                             p2 = static_cast<std::uint8_t>(cr);
                vantor::ConvertYCbCrToRgb(&p0, &p1, &p2, 1);
                auto floorShift = [](std::int64_t v) {
                    return static_cast<int>(v >= 0 ? v / 65536 : -((-v + 65535) / 65536));
                };
                auto clamp = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
                const std::int64_t Y = 65536LL * y;
                ASSERT_EQ(p0, clamp(floorShift(Y + 0x166E9LL * (cr - 128))));
                ASSERT_EQ(p1, clamp(floorShift(Y - 0xB6D1LL * (cr - 128) - 0x5819LL * (cb - 128))));
                ASSERT_EQ(p2, clamp(floorShift(Y + 0x1C5A1LL * (cb - 128))));
            }
        }
    }
}

TEST(Bitmap, StrideIsThreeBytesAPixelRoundedUpToFour) {
    const struct {
        std::uint32_t width;
        std::uint64_t stride;
    } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {17, 52}, {640, 1920}, {65535, 196608}};
    for (const auto& c : cases) EXPECT_EQ(vantor::BitmapStride(c.width), c.stride) << c.width;
}

TEST(Bitmap, RowsAreStoredBottomUpInBlueGreenRedOrder) {
    // A 3 x 2 picture in planes of padded width 8: R = 10 + x + 10 y, G = 100 + ..., B = 200 + ...
    std::uint8_t r[16] = {}, g[16] = {}, b[16] = {};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 8; ++x) {
            r[y * 8 + x] = static_cast<std::uint8_t>(10 + x + 10 * y);
            g[y * 8 + x] = static_cast<std::uint8_t>(100 + x + 10 * y);
            b[y * 8 + x] = static_cast<std::uint8_t>(200 + x + 10 * y);
        }
    }
    vantor::ImageInfo info{3, 2, 8, 2, 3, {r, g, b, nullptr, nullptr}};
    HGLOBAL handle = vantor::BuildBitmap(info);
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(GlobalSize(handle), 40u + 12 * 2);
    const auto* dib = static_cast<const std::uint8_t*>(GlobalLock(handle));
    const std::uint8_t header[40] = {40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0};
    EXPECT_EQ(std::memcmp(dib, header, 40), 0);
    // Bottom row (y = 1) first: byte 40 is the blue of the bottom-left pixel.
    const std::uint8_t rows[24] = {210, 110, 20, 211, 111, 21, 212, 112, 22, 0, 0, 0,
                                   200, 100, 10, 201, 101, 11, 202, 102, 12, 0, 0, 0};
    EXPECT_EQ(std::memcmp(dib + 40, rows, 24), 0);
    // Returned locked once, locked once more above.
    EXPECT_EQ(GlobalFlags(handle), 2u);
    GlobalUnlock(handle);
    GlobalUnlock(handle);
    EXPECT_EQ(GlobalFree(handle), nullptr);
}

}  // namespace
}  // namespace plugintest
