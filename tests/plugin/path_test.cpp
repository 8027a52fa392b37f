// The fast decode path (lookup tables over a 64-bit bit buffer, vector transform and colour
// conversion) against the reference path (bit-serial tree walk, scalar kernels): the same result,
// reason and planes on valid files, on damaged copies of them, and in each case where the fast
// path hands a block back to the exact byte-wise reader. The kernels are compared with the
// scalar reference on their own as well.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "plugin/idct.h"
#include "plugin/planes.h"
#include "tests/plugin/test_support.h"

namespace plugintest {
namespace {

using vantor::JpegDecoder;

// Decodes with both paths and compares everything the decoders produced; returns the result.
int ExpectSameOnBothPaths(const Bytes& file, const std::string& label) {
    JpegDecoder fast, reference;
    reference.SetDecodePath(vantor::DecodePath::kReference);
    std::istringstream a(std::string(file.begin(), file.end()));
    std::istringstream b(std::string(file.begin(), file.end()));
    const int fastResult = fast.Open(a, vantor::kIntegerTransform);
    const int referenceResult = reference.Open(b, vantor::kIntegerTransform);
    EXPECT_EQ(DifferenceBetween(fast, fastResult, reference, referenceResult), "") << label;
    return fastResult;
}

// A valid picture with short and long codes: a DC table whose codes run from 1 to 12 bits and
// varied AC coefficients, with restart markers.
Bytes VariedPicture(int seed) {
    std::vector<std::pair<int, std::uint8_t>> dcCodes;
    for (int s = 0; s <= 11; ++s) dcCodes.emplace_back(s + 1, static_cast<std::uint8_t>(s));
    const HuffTable dc = HuffTable::FromLengths(dcCodes);
    const HuffTable ac = HuffTable::StandardAc();
    std::mt19937 random(static_cast<unsigned>(seed));
    const int across = 6, down = 4;
    BitWriter w;
    int predictor = 0;
    for (int n = 0; n < across * down; ++n) {
        if (n > 0 && n % 5 == 0) {
            w.Raw({0xFF, static_cast<std::uint8_t>(0xD0 + (n / 5 - 1) % 8)});
            predictor = 0;
        }
        int coefficients[63] = {};
        for (int i = 0; i < 6; ++i) {
            coefficients[random() % 63] = static_cast<int>(random() % 61) - 30;
        }
        const int dcValue = static_cast<int>(random() % 801) - 400;
        EncodeBlock(w, dc, ac, dcValue - predictor, coefficients);
        predictor = dcValue;
    }
    w.PadWithOnes();
    JpegBuilder b;
    b.Soi().Dqt(0, 3).Sof0(8 * down, 8 * across, {{1, 1, 1, 0}});
    b.Dht(0, 0, dc).Dht(1, 0, ac).Dri(5);
    b.Sos({{1, 0, 0}}).Raw(w.bytes()).Eoi();
    return b.bytes();
}

TEST(DecodePaths, AgreeOnValidFiles) {
    for (int seed = 0; seed < 20; ++seed) {
        EXPECT_EQ(ExpectSameOnBothPaths(VariedPicture(seed), "seed " + std::to_string(seed)), 1);
    }
}

TEST(DecodePaths, AgreeOnDamagedFiles) {
    std::mt19937 random(99);
    int failures = 0;
    for (int seed = 0; seed < 20; ++seed) {
        const Bytes original = VariedPicture(seed);
        for (int trial = 0; trial < 40; ++trial) {
            Bytes damaged = original;
            const int changes = 1 + trial % 6;
            for (int c = 0; c < changes; ++c) {
                const std::size_t at = random() % damaged.size();
                switch (random() % 4) {
                    case 0:
                        damaged[at] = static_cast<std::uint8_t>(random());
                        break;
                    case 1:
                        damaged[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
                        break;
                    case 2:
                        damaged[at] = 0xFF;
                        break;
                    default:
                        damaged.erase(damaged.begin() + static_cast<std::ptrdiff_t>(at));
                        break;
                }
            }
            failures += ExpectSameOnBothPaths(damaged, "seed " + std::to_string(seed) + " trial " +
                                                           std::to_string(trial)) == 0;
        }
    }
    // The damage must reach both outcomes, or the comparison proves little.
    EXPECT_GT(failures, 0);
    EXPECT_LT(failures, 20 * 40);
}

// A grey picture of `across` x 1 blocks, tables of the builder, quantisation `q`, no restarts.
Bytes GreyFile(int across, const Bytes& data, std::uint8_t q = 1) {
    JpegBuilder b;
    b.Soi().Dqt(0, q).Sof0(8, 8 * across, {{1, 1, 1, 0}});
    b.Dht(0, 0, HuffTable::StandardDc()).Dht(1, 0, HuffTable::StandardAc());
    b.Sos({{1, 0, 0}}).Raw(data).Eoi();
    return b.bytes();
}

std::vector<int> FirstSamples(const JpegDecoder& decoder, int across) {
    std::vector<int> out;
    for (int c = 0; c < across; ++c) out.push_back(decoder.GetInfo().planes[0][8 * c]);
    return out;
}

TEST(DecodePaths, AMarkerInsideACodeDropsTheBlockOnBothPaths) {
    // Block 2 is cut by a restart marker in the middle of its DC code; block 3 follows it and
    // takes block 2's place.
    const HuffTable dc = HuffTable::StandardDc(), ac = HuffTable::StandardAc();
    BitWriter w;
    EncodeDcOnlyBlock(w, dc, ac, 16);
    w.Put(dc.code[5] >> 2, dc.length[5] - 2);
    w.Raw({0xFF, 0xD0});
    EncodeDcOnlyBlock(w, dc, ac, 40);
    w.PadWithOnes();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, GreyFile(3, w.bytes())), 1);
    EXPECT_EQ(FirstSamples(decoder, 3), (std::vector<int>{130, 133, 0}));
}

TEST(DecodePaths, AdditionalBitsThatMeetAMarkerDropTheBlockOnBothPaths) {
    const HuffTable dc = HuffTable::StandardDc(), ac = HuffTable::StandardAc();
    BitWriter w;
    EncodeDcOnlyBlock(w, dc, ac, 24);
    // Category 9 announces nine additional bits; three come before the marker.
    w.Put(dc.code[9], dc.length[9]);
    w.Put(0x5, 3);
    w.Raw({0xFF, 0xD1});
    EncodeDcOnlyBlock(w, dc, ac, -16);
    w.PadWithOnes();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, GreyFile(3, w.bytes())), 1);
    EXPECT_EQ(FirstSamples(decoder, 3), (std::vector<int>{131, 126, 0}));
}

TEST(DecodePaths, AnAbsentBranchDiscardsTheRestOfItsByteOnBothPaths) {
    // An AC table of two codes (0 and 10): the code 11 has no branch. The walk drops the rest of
    // that byte and goes on with the next one, where the block's end of block waits.
    const HuffTable dc = HuffTable::StandardDc();
    const HuffTable ac = HuffTable::FromLengths({{1, 0x00}, {2, 0x01}});
    BitWriter w;
    w.Put(dc.code[Category(24)], dc.length[Category(24)]);
    w.Put(AdditionalBits(24, Category(24)), Category(24));
    while (w.pendingBits() != 0) w.Put(1, 1);  // 11...: no such code
    w.Put(0, 1);                               // end of block at the start of the next byte
    w.PadWithOnes();
    JpegBuilder b;
    b.Soi().Dqt(0, 1).Sof0(8, 8, {{1, 1, 1, 0}}).Dht(0, 0, dc).Dht(1, 0, ac);
    b.Sos({{1, 0, 0}}).Raw(w.bytes()).Eoi();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, b.bytes()), 1);
    EXPECT_EQ(FirstSamples(decoder, 1), (std::vector<int>{131}));
}

TEST(DecodePaths, DequantisedCoefficientsAreTruncatedTo16BitsOnBothPaths) {
    // DC 2000 x 255 = 510000 keeps its low 16 bits: 510000 - 7 x 65536 = 51248, as a signed
    // 16-bit value -14288; the block is flat at 128 + (-14288 / 8) clamped to 0.
    const HuffTable dc = HuffTable::StandardDc(), ac = HuffTable::StandardAc();
    BitWriter w;
    EncodeDcOnlyBlock(w, dc, ac, 2000);
    EncodeDcOnlyBlock(w, dc, ac, 130 - 2000);  // DC 130: 130 x 255 = 33150
    w.PadWithOnes();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, GreyFile(2, w.bytes(), 255)), 1);
    // 33150 as a signed 16-bit value is -32386: clamped to 0 as well; without the truncation
    // both blocks would be 255.
    EXPECT_EQ(FirstSamples(decoder, 2), (std::vector<int>{0, 0}));
    // A value that stays inside 16 bits is not touched: DC 100 x 255 = 25500 gives 255.
    BitWriter small;
    EncodeDcOnlyBlock(small, dc, ac, 100);
    small.PadWithOnes();
    JpegDecoder inside;
    ASSERT_EQ(Decode(inside, GreyFile(1, small.bytes(), 255)), 1);
    EXPECT_EQ(FirstSamples(inside, 1), (std::vector<int>{255}));
}

TEST(DecodePaths, ThousandsOfFillBytesInsideTheDataAreOneByteOnBothPaths) {
    // Every stuffed FF 00 of a long picture becomes FF, 6000 x FF, 00: far more than the fast
    // path reads ahead, so its window ends inside such runs.
    // DC differences of +255 and -255 in turn: eight 1-bits that now and then fill a byte.
    const HuffTable dc = HuffTable::StandardDc(), ac = HuffTable::StandardAc();
    BitWriter w;
    for (int n = 0; n < 64; ++n) EncodeDcOnlyBlock(w, dc, ac, n % 2 ? -255 : 255);
    w.PadWithOnes();
    const Bytes data = w.bytes();
    Bytes padded;
    int stuffed = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        padded.push_back(data[i]);
        if (data[i] == 0xFF && i + 1 < data.size() && data[i + 1] == 0x00) {
            padded.insert(padded.end(), 6000, 0xFF);
            ++stuffed;
        }
    }
    ASSERT_GT(stuffed, 0);
    JpegDecoder plain, long_;
    ASSERT_EQ(Decode(plain, GreyFile(64, data)), 1);
    ASSERT_EQ(Decode(long_, GreyFile(64, padded)), 1);
    EXPECT_EQ(FirstSamples(plain, 64), FirstSamples(long_, 64));
}

TEST(DecodePaths, FollowARedefinedTable) {
    // The same scan data read with two different table definitions in turn: the memoised steps
    // of the first must not serve the second.
    std::vector<std::pair<int, std::uint8_t>> first, second;
    for (int s = 0; s <= 11; ++s) {
        first.emplace_back(4, static_cast<std::uint8_t>(s));
        second.emplace_back(4, static_cast<std::uint8_t>(11 - s));
    }
    const HuffTable dcA = HuffTable::FromLengths(first), dcB = HuffTable::FromLengths(second);
    const HuffTable ac = HuffTable::StandardAc();
    BitWriter w;
    EncodeDcOnlyBlock(w, dcA, ac, 40);
    w.PadWithOnes();
    JpegBuilder b;
    b.Soi().Dqt(0, 1).Sof0(8, 8, {{1, 1, 1, 0}}).Dht(0, 0, dcA).Dht(1, 0, ac);
    b.Sos({{1, 0, 0}}).Raw(w.bytes());
    b.Dht(0, 0, dcB).Sos({{1, 0, 0}}).Raw(w.bytes()).Eoi();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, b.bytes()), 1);
    // Under the second table the code of category 6 reads as category 5: DC 40 -> a different
    // difference, and the block differs from the first scan's 133.
    EXPECT_NE(decoder.GetInfo().planes[0][0], 133);
}

// Blocks of every shape the transform meets: DC only, first row only, sparse, dense, and the
// extremes of 16-bit coefficients (whose sums wrap in 32 bits).
std::vector<std::int16_t> TransformInputs() {
    std::mt19937 random(5);
    std::vector<std::int16_t> blocks;
    for (int n = 0; n < 20000; ++n) {
        std::int16_t block[64] = {};
        const int kind = n % 6;
        const int count = kind == 0 ? 1 : kind == 1 ? 8 : kind == 2 ? 6 : 64;
        for (int i = 0; i < count; ++i) {
            const int at = kind == 1 ? i : kind == 0 ? 0 : static_cast<int>(random() % 64);
            std::int32_t value;
            if (kind == 5) {
                value = static_cast<std::int32_t>(random() % 65536) - 32768;
            } else if (kind == 4) {
                value = (random() % 2) ? 32767 : -32768;
            } else {
                value = static_cast<std::int32_t>(random() % 2048) - 1024;
            }
            block[at] = static_cast<std::int16_t>(value);
        }
        blocks.insert(blocks.end(), block, block + 64);
    }
    return blocks;
}

TEST(Kernels, VectorTransformsEqualTheScalarOneOnEveryBlock) {
    const std::vector<std::int16_t> blocks = TransformInputs();
    int tried = 0;
    for (vantor::VectorLevel level : {vantor::VectorLevel::kSse2, vantor::VectorLevel::kAvx2}) {
        const vantor::InverseTransform vector = vantor::VectorInverseDct(level);
        if (vector == nullptr) continue;
        ++tried;
        for (std::size_t b = 0; b < blocks.size(); b += 64) {
            std::uint8_t expected[64], actual[64];
            vantor::IntegerInverseDct(&blocks[b], expected);
            vector(&blocks[b], actual);
            ASSERT_EQ(std::memcmp(expected, actual, 64), 0)
                << "level " << static_cast<int>(level) << " block " << b / 64;
        }
    }
    if (tried == 0) GTEST_SKIP() << "no vector transform on this processor or build";
}

TEST(Kernels, VectorRowConversionEqualsTheScalarOneForEveryTriple) {
    const vantor::RowConversion vector = vantor::VectorRowToBgr();
    if (vector == nullptr) GTEST_SKIP() << "no vector colour conversion on this processor or build";
    // All 2^24 (Y, Cb, Cr) triples, in rows whose width is not a multiple of the vector width.
    const std::size_t count = std::size_t{1} << 24, width = 4099;
    std::vector<std::uint8_t> y(count + width), cb(count + width), cr(count + width);
    for (std::size_t i = 0; i < y.size(); ++i) {
        y[i] = static_cast<std::uint8_t>(i);
        cb[i] = static_cast<std::uint8_t>(i >> 8);
        cr[i] = static_cast<std::uint8_t>(i >> 16);
    }
    std::vector<std::uint8_t> expected(3 * width), actual(3 * width);
    for (std::size_t x = 0; x < count; x += width) {
        vantor::ConvertRowToBgr(&y[x], &cb[x], &cr[x], expected.data(), width);
        vector(&y[x], &cb[x], &cr[x], actual.data(), width);
        ASSERT_TRUE(expected == actual) << "row at " << x;
    }
    // And the scalar row is the plane conversion of ConvertYCbCrToRgb written as B, G, R.
    std::vector<std::uint8_t> r(y.begin(), y.begin() + width), g(cb.begin(), cb.begin() + width),
        b(cr.begin(), cr.begin() + width);
    vantor::ConvertYCbCrToRgb(r.data(), g.data(), b.data(), width);
    vantor::ConvertRowToBgr(y.data(), cb.data(), cr.data(), expected.data(), width);
    for (std::size_t x = 0; x < width; ++x) {
        ASSERT_EQ(expected[3 * x], b[x]);
        ASSERT_EQ(expected[3 * x + 1], g[x]);
        ASSERT_EQ(expected[3 * x + 2], r[x]);
    }
}

TEST(DecodePaths, TheReadEntrysPlanesGiveTheReferenceBitmap) {
    // Samplings whose factors divide the largest ones (planes at the component's own resolution)
    // and ones that do not (3 and 2: full-size planes with unwritten parts), valid and damaged.
    struct Shape {
        int h, v, ch, cv;
    } shapes[] = {{1, 1, 1, 1}, {2, 2, 1, 1}, {2, 1, 1, 1}, {1, 2, 1, 1},
                  {4, 1, 1, 1}, {1, 1, 2, 2}, {3, 2, 2, 1}, {2, 2, 2, 1}};
    std::mt19937 random(17);
    int seed = 0;
    for (const Shape& s : shapes) {
        const Bytes original = ColourPicture(s.h, s.v, s.ch, s.cv, 5, 3, seed++);
        const std::string label = std::to_string(s.h) + "x" + std::to_string(s.v) + " " +
                                  std::to_string(s.ch) + "x" + std::to_string(s.cv);
        EXPECT_EQ(BitmapPathDifference(std::string(original.begin(), original.end())), "") << label;
        for (int trial = 0; trial < 30; ++trial) {
            Bytes damaged = original;
            for (int c = 0; c <= trial % 3; ++c) {
                damaged[200 + random() % (damaged.size() - 200)] ^=
                    static_cast<std::uint8_t>(1u << (random() % 8));
            }
            EXPECT_EQ(BitmapPathDifference(std::string(damaged.begin(), damaged.end())), "")
                << label << " trial " << trial;
        }
    }
}

TEST(DecodePaths, AgreeOnLargeDamagedFilesThatTakeManyRefills) {
    // Nearly two hundred kilobytes of entropy-coded data: the fast path's window is refilled many
    // times, with damage before, inside and after those points.
    const Bytes original = ColourPicture(2, 2, 1, 1, 160, 120, 9);
    ASSERT_GT(original.size(), 150000u);
    EXPECT_EQ(BitmapPathDifference(std::string(original.begin(), original.end())), "");
    std::mt19937 random(23);
    for (int trial = 0; trial < 12; ++trial) {
        Bytes damaged = original;
        for (int c = 0; c < 1 + trial % 4; ++c) {
            const std::size_t at = 400 + random() % (damaged.size() - 400);
            switch (trial % 3) {
                case 0:
                    damaged[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
                    break;
                case 1:
                    damaged.insert(damaged.begin() + static_cast<std::ptrdiff_t>(at), 3000, 0xFF);
                    break;
                default:
                    damaged.erase(damaged.begin() + static_cast<std::ptrdiff_t>(at));
                    break;
            }
        }
        EXPECT_EQ(BitmapPathDifference(std::string(damaged.begin(), damaged.end())), "")
            << "trial " << trial;
        JpegDecoder decoder;
        Decode(decoder, damaged);  // full-size planes on both paths, compared inside
    }
}

}  // namespace
}  // namespace plugintest
