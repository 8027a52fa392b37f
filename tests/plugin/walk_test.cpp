// The memoised walk steps against the strict bit-by-bit walk of the code trees: the same
// outcome and the same planes on valid files and on damaged copies of them.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/plugin/test_support.h"

namespace plugintest {
namespace {

using vantor::JpegDecoder;

// Decodes with both walks and compares everything the decoder produced.
void ExpectSameWithBothWalks(const Bytes& file, const std::string& label) {
    JpegDecoder fast, reference;
    reference.SetWalkSteps(false);
    const int fastResult = Decode(fast, file);
    const int referenceResult = Decode(reference, file);
    ASSERT_EQ(fastResult, referenceResult) << label;
    const vantor::ImageInfo a = fast.GetInfo(), b = reference.GetInfo();
    ASSERT_EQ(a.componentCount, b.componentCount) << label;
    const std::size_t planeBytes = static_cast<std::size_t>(a.paddedWidth) * a.paddedHeight;
    for (int p = 0; p < vantor::kMaxPlanes; ++p) {
        ASSERT_EQ(a.planes[p] == nullptr, b.planes[p] == nullptr) << label;
        if (a.planes[p] != nullptr) {
            ASSERT_EQ(std::memcmp(a.planes[p], b.planes[p], planeBytes), 0)
                << label << " plane " << p;
        }
    }
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

TEST(WalkSteps, AgreeWithTheBitByBitWalkOnValidFiles) {
    for (int seed = 0; seed < 20; ++seed) {
        ExpectSameWithBothWalks(VariedPicture(seed), "seed " + std::to_string(seed));
    }
}

TEST(WalkSteps, AgreeWithTheBitByBitWalkOnDamagedFiles) {
    std::mt19937 random(99);
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
            ExpectSameWithBothWalks(
                damaged, "seed " + std::to_string(seed) + " trial " + std::to_string(trial));
        }
    }
}

TEST(WalkSteps, FollowARedefinedTable) {
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
    ExpectSameWithBothWalks(b.bytes(), "redefined");
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, b.bytes()), 1);
    // Under the second table the code of category 6 reads as category 5: DC 40 -> a different
    // difference, and the block differs from the first scan's 133.
    EXPECT_NE(decoder.GetInfo().planes[0][0], 133);
}

}  // namespace
}  // namespace plugintest
