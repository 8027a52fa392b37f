// Entropy-coded data: the tree walk with byte stuffing, additional bits, restarts, broken and
// dropped blocks, and where the blocks of each scan go.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "plugin/scan_decoder.h"
#include "tests/plugin/test_support.h"

namespace plugintest {
namespace {

using vantor::JpegDecoder;

// A grey picture of `across` x `down` blocks around entropy-coded data given by the caller.
Bytes GreyFileWithData(int across, int down, const Bytes& data, int restartInterval = 0,
                       const HuffTable& dc = HuffTable::StandardDc()) {
    JpegBuilder b;
    b.Soi().Dqt(0, 1).Sof0(8 * down, 8 * across, {{1, 1, 1, 0}});
    b.Dht(0, 0, dc).Dht(1, 0, HuffTable::StandardAc());
    if (restartInterval > 0) b.Dri(restartInterval);
    b.Sos({{1, 0, 0}}).Raw(data).Eoi();
    return b.bytes();
}

// The sample at the top-left corner of each block of plane `p`.
std::vector<int> BlockSamples(const JpegDecoder& decoder, int p, int across, int down) {
    const vantor::ImageInfo info = decoder.GetInfo();
    std::vector<int> out;
    for (int r = 0; r < down; ++r) {
        for (int c = 0; c < across; ++c) {
            out.push_back(
                info.planes[p][static_cast<std::size_t>(8 * r) * info.paddedWidth + 8 * c]);
        }
    }
    return out;
}

std::vector<int> Plus128(const std::vector<int>& levels) {
    std::vector<int> out;
    for (int l : levels) out.push_back(128 + l);
    return out;
}

// Every "FF 00" of the data written as "FF FF 00".
Bytes DoubleTheStuffedBytes(const Bytes& data) {
    Bytes out;
    for (std::size_t i = 0; i < data.size(); ++i) {
        out.push_back(data[i]);
        if (data[i] == 0xFF && i + 1 < data.size() && data[i + 1] == 0x00) out.push_back(0xFF);
    }
    return out;
}

TEST(Entropy, ADcOnlyBlockGivesSixtyFourEqualSamples) {
    BitWriter w;
    EncodeDcOnlyBlock(w, HuffTable::StandardDc(), HuffTable::StandardAc(), 80);
    w.PadWithOnes();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, GreyFileWithData(1, 1, w.bytes())), 1);
    const vantor::ImageInfo info = decoder.GetInfo();
    for (int i = 0; i < 64; ++i) ASSERT_EQ(info.planes[0][i], 138) << i;
}

TEST(Entropy, AdditionalBitsExtendAsTheStandardSays) {
    EXPECT_EQ(vantor::ExtendReceived(0b0, 1), -1);
    EXPECT_EQ(vantor::ExtendReceived(0b1, 1), 1);
    EXPECT_EQ(vantor::ExtendReceived(0b000, 3), -7);
    EXPECT_EQ(vantor::ExtendReceived(0b100, 3), 4);
    EXPECT_EQ(vantor::ExtendReceived(0, 0), 0);
    EXPECT_EQ(vantor::ExtendReceived(0xFFFF, 16), 65535);
    EXPECT_EQ(vantor::ExtendReceived(0, 16), -65535);

    // Through the decoder: DC -7 gives 128 + (-7 + 4) >> 3 = 127.
    BitWriter w;
    EncodeDcOnlyBlock(w, HuffTable::StandardDc(), HuffTable::StandardAc(), -7);
    w.PadWithOnes();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, GreyFileWithData(1, 1, w.bytes())), 1);
    EXPECT_EQ(decoder.GetInfo().planes[0][0], 127);
}

TEST(Entropy, StuffedFfAndFfFf00BothDecodeAsOneFf) {
    // A DC difference of 255 carries the additional bits 11111111; a first block of a suitable
    // size puts them on a byte boundary, where they are written FF 00.
    const HuffTable dc = HuffTable::StandardDc();
    const HuffTable ac = HuffTable::StandardAc();
    Bytes data;
    int first = 0;
    for (int d = -300; d <= 300 && data.empty(); ++d) {
        BitWriter w;
        EncodeDcOnlyBlock(w, dc, ac, d);
        EncodeDcOnlyBlock(w, dc, ac, 255);
        w.PadWithOnes();
        const Bytes& candidate = w.bytes();
        for (std::size_t i = 0; i + 1 < candidate.size(); ++i) {
            if (candidate[i] == 0xFF && candidate[i + 1] == 0x00) {
                data = candidate;
                first = d;
                break;
            }
        }
    }
    ASSERT_FALSE(data.empty()) << "no stuffed byte produced";

    auto sample = [](int dcValue) {
        const int v = 128 + ((dcValue + 4) >> 3);
        return v < 0 ? 0 : (v > 255 ? 255 : v);
    };
    const std::vector<int> expected = {sample(first), sample(first + 255)};
    JpegDecoder plain, doubled;
    ASSERT_EQ(Decode(plain, GreyFileWithData(2, 1, data)), 1);
    ASSERT_EQ(Decode(doubled, GreyFileWithData(2, 1, DoubleTheStuffedBytes(data))), 1);
    EXPECT_EQ(BlockSamples(plain, 0, 2, 1), expected);
    EXPECT_EQ(BlockSamples(doubled, 0, 2, 1), expected);
}

TEST(Entropy, RestartMarkersInAnyOrderResetThePredictors) {
    const int across = 4, down = 3;
    FlatComponent c{1, 1, 1, across, down, PatternLevels(across, down, 1)};
    const Bytes data = EncodeInterleaved({c}, across, down, 1, {5, 2, 7, 0, 3, 1, 6, 4});
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, GreyFileWithData(across, down, data, 1)), 1);
    EXPECT_EQ(BlockSamples(decoder, 0, across, down), Plus128(c.levels));
}

TEST(Entropy, AMissingRestartMarkerGoesUnnoticedWhileTheDataDecodes) {
    const int across = 4;
    FlatComponent c{1, 1, 1, across, 1, {1, 2, 3, 4}};
    // RST markers follow every two units: drop the only one.
    Bytes data = EncodeInterleaved({c}, across, 1, 2);
    const std::uint8_t rst0[] = {0xFF, 0xD0};
    const auto marker = std::search(data.begin(), data.end(), std::begin(rst0), std::end(rst0));
    ASSERT_NE(marker, data.end());
    data.erase(marker, marker + 2);
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, GreyFileWithData(across, 1, data, 2)), 1);
    // The third block's difference was coded against a reset predictor; it still decodes.
    const std::vector<int> samples = BlockSamples(decoder, 0, across, 1);
    EXPECT_EQ(samples[0], 129);
    EXPECT_EQ(samples[1], 130);
    EXPECT_EQ(samples[2], 130 + 3);
    EXPECT_EQ(samples[3], 130 + 4);
}

TEST(Entropy, AScanNamingAnUndefinedTableDecodesNoBlocks) {
    FlatComponent c{1, 1, 1, 2, 1, {3, 4}};
    JpegBuilder b;
    b.Soi().Dqt(0, 1).Sof0(8, 16, {{1, 1, 1, 0}});
    b.Dht(0, 0, HuffTable::StandardDc()).Dht(1, 0, HuffTable::StandardAc());
    b.Sos({{1, 2, 0}}).Raw(EncodeInterleaved({c}, 2, 1)).Eoi();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, b.bytes()), 1);
    EXPECT_EQ(BlockSamples(decoder, 0, 2, 1), (std::vector<int>{0, 0}));
}

TEST(Entropy, AnUndeclaredScanComponentGetsNoBlocks) {
    FlatComponent c{1, 1, 1, 2, 1, {3, 4}};
    JpegBuilder b;
    b.Soi().Dqt(0, 1).Sof0(8, 16, {{1, 1, 1, 0}, {2, 1, 1, 0}});
    b.Dht(0, 0, HuffTable::StandardDc()).Dht(1, 0, HuffTable::StandardAc());
    b.Sos({{4, 0, 0}, {1, 0, 0}}).Raw(EncodeInterleaved({c}, 2, 1)).Eoi();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, b.bytes()), 1);
    EXPECT_EQ(BlockSamples(decoder, 0, 2, 1), (std::vector<int>{131, 132}));
    EXPECT_EQ(BlockSamples(decoder, 1, 2, 1), (std::vector<int>{0, 0}));
}

TEST(Entropy, ScanComponentsWithoutAPlaneGetNoBlocks) {
    // One frame component; the scan names it three times, then three identifiers of which two
    // the frame lacks. Only the first scan component has a plane.
    FlatComponent c{1, 1, 1, 2, 1, {3, 4}};
    for (const std::vector<ScanComponentSel>& scan :
         {std::vector<ScanComponentSel>{{1, 0, 0}, {1, 0, 0}, {1, 0, 0}},
          std::vector<ScanComponentSel>{{1, 0, 0}, {2, 0, 0}, {3, 0, 0}}}) {
        JpegBuilder b;
        b.Soi().Dqt(0, 1).Sof0(8, 16, {{1, 1, 1, 0}});
        b.Dht(0, 0, HuffTable::StandardDc()).Dht(1, 0, HuffTable::StandardAc());
        b.Sos(scan).Raw(EncodeInterleaved({c}, 2, 1)).Eoi();
        JpegDecoder decoder;
        ASSERT_EQ(Decode(decoder, b.bytes()), 1);
        EXPECT_EQ(BlockSamples(decoder, 0, 2, 1), (std::vector<int>{131, 132}));
    }
}

TEST(Entropy, AScanWithoutAnyBlocksEndsAtTheNextMarker) {
    JpegBuilder b;
    b.Soi().Dqt(0, 1).Sof0(8, 8, {{1, 1, 1, 0}});
    b.Sos({{5, 0, 0}}).Raw({0x12, 0x34, 0xFF, 0x00, 0xFF, 0xD3, 0x56}).Eoi();
    JpegDecoder decoder;
    EXPECT_EQ(Decode(decoder, b.bytes()), 1);
    JpegBuilder noFrame;
    noFrame.Soi().Sos({{1, 0, 0}}).Raw({0x00, 0x00}).Eoi();
    JpegDecoder withoutFrame;
    EXPECT_EQ(Decode(withoutFrame, noFrame.bytes()), 1);
}

TEST(Entropy, ADcCountAboveSixteenDropsTheBlock) {
    // DC table: categories 0 to 11 and 20, 4-bit codes each. The second block uses 20; it is
    // dropped without advancing the block count, so the block after the restart takes its place.
    std::vector<std::pair<int, std::uint8_t>> symbols;
    for (int s = 0; s <= 11; ++s) symbols.emplace_back(4, static_cast<std::uint8_t>(s));
    symbols.emplace_back(4, 20);
    const HuffTable dc = HuffTable::FromLengths(symbols);
    const HuffTable ac = HuffTable::StandardAc();
    BitWriter w;
    EncodeDcOnlyBlock(w, dc, ac, 16);  // level 2
    w.Raw({0xFF, 0xD0});
    w.Put(dc.code[20], 4);
    w.Put(0xFFFFFFFFu, 32);
    w.Raw({0xFF, 0xD1});
    EncodeDcOnlyBlock(w, dc, ac, 40);  // level 5
    w.PadWithOnes();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, GreyFileWithData(3, 1, w.bytes(), 1, dc)), 1);
    EXPECT_EQ(BlockSamples(decoder, 0, 3, 1), (std::vector<int>{130, 133, 0}));
}

TEST(Entropy, ARunPastTheBlockEndDropsTheBlock) {
    const HuffTable dc = HuffTable::StandardDc();
    const HuffTable ac = HuffTable::StandardAc();
    BitWriter w;
    EncodeDcOnlyBlock(w, dc, ac, 8);  // level 1
    w.Raw({0xFF, 0xD0});
    EncodeBlock(w, dc, ac, 0, std::vector<int>(63, 0).data());  // replaced below
    w.Raw({0xFF, 0xD1});
    EncodeDcOnlyBlock(w, dc, ac, 24);  // level 3
    w.PadWithOnes();
    const Bytes good = w.bytes();

    // Second block: DC 0 and then four runs of sixteen zeros, k = 65.
    BitWriter broken;
    EncodeDcOnlyBlock(broken, dc, ac, 8);
    broken.Raw({0xFF, 0xD0});
    broken.Put(dc.code[0], dc.length[0]);
    for (int i = 0; i < 4; ++i) broken.Put(ac.code[0xF0], ac.length[0xF0]);
    broken.Raw({0xFF, 0xD1});
    EncodeDcOnlyBlock(broken, dc, ac, 24);
    broken.PadWithOnes();

    JpegDecoder ok, dropped;
    ASSERT_EQ(Decode(ok, GreyFileWithData(3, 1, good, 1)), 1);
    EXPECT_EQ(BlockSamples(ok, 0, 3, 1), (std::vector<int>{129, 128, 131}));
    ASSERT_EQ(Decode(dropped, GreyFileWithData(3, 1, broken.bytes(), 1)), 1);
    EXPECT_EQ(BlockSamples(dropped, 0, 3, 1), (std::vector<int>{129, 131, 0}));
}

TEST(Entropy, SixteenZerosEndingExactlyAtTheBlockEndCompleteIt) {
    const HuffTable dc = HuffTable::StandardDc();
    const HuffTable ac = HuffTable::StandardAc();
    // Coefficient 47 (zig-zag) is 1, the rest 0: coded with F0 F0 E1 and then either an end of
    // block or a last F0 that brings k from 48 to exactly 64.
    int coefficients[63] = {};
    coefficients[46] = 1;
    BitWriter withEob;
    EncodeBlock(withEob, dc, ac, 40, coefficients);
    withEob.PadWithOnes();

    BitWriter withF0;
    withF0.Put(dc.code[Category(40)], dc.length[Category(40)]);
    withF0.Put(AdditionalBits(40, Category(40)), Category(40));
    for (int symbol : {0xF0, 0xF0, 0xE1}) withF0.Put(ac.code[symbol], ac.length[symbol]);
    withF0.Put(1, 1);
    withF0.Put(ac.code[0xF0], ac.length[0xF0]);
    withF0.PadWithOnes();

    JpegDecoder a, b;
    ASSERT_EQ(Decode(a, GreyFileWithData(1, 1, withEob.bytes())), 1);
    ASSERT_EQ(Decode(b, GreyFileWithData(1, 1, withF0.bytes())), 1);
    const Bytes pa(a.GetInfo().planes[0], a.GetInfo().planes[0] + 64);
    const Bytes pb(b.GetInfo().planes[0], b.GetInfo().planes[0] + 64);
    EXPECT_EQ(pa, pb);
    EXPECT_NE(std::count(pa.begin(), pa.end(), 0), 64);
}

TEST(Entropy, ABlockEndingRightBeforeARestartMarkerIsPlaced) {
    const HuffTable dc = HuffTable::StandardDc();
    const HuffTable ac = HuffTable::StandardAc();
    // The last coefficient (63) is set, so the block ends with additional bits and no end of
    // block; a DC value is chosen so that those bits end on a byte boundary.
    int coefficients[63] = {};
    coefficients[62] = 1;
    for (int dcValue = 8; dcValue < 400; dcValue += 8) {
        BitWriter w;
        EncodeBlock(w, dc, ac, dcValue, coefficients);
        if (w.pendingBits() != 0) continue;
        w.Raw({0xFF, 0xD0});
        EncodeDcOnlyBlock(w, dc, ac, 16);
        w.PadWithOnes();
        JpegDecoder decoder;
        ASSERT_EQ(Decode(decoder, GreyFileWithData(2, 1, w.bytes(), 1)), 1);
        const std::vector<int> samples = BlockSamples(decoder, 0, 2, 1);
        EXPECT_NE(samples[0], 0);
        EXPECT_EQ(samples[1], 130);
        return;
    }
    FAIL() << "no DC value aligned the block end";
}

TEST(Entropy, BlocksPastTheLastUnitRowAreDropped) {
    FlatComponent c{1, 1, 1, 1, 3, {2, 4, 6}};
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, GreyFileWithData(1, 1, EncodeInterleaved({c}, 1, 3))), 1);
    const vantor::ImageInfo info = decoder.GetInfo();
    EXPECT_EQ(info.paddedHeight, 8u);
    EXPECT_EQ(info.planes[0][63], 130);
}

TEST(Entropy, DataThatRunsDryInsideTheScanFails) {
    FlatComponent c{1, 1, 1, 4, 1, {1, 2, 3, 4}};
    Bytes file = GreyFileWithData(4, 1, EncodeInterleaved({c}, 4, 1));
    file.resize(file.size() - 4);  // cut inside the data, no EOI
    JpegDecoder decoder;
    EXPECT_EQ(Decode(decoder, file), 0);
}

// A three-component picture of flat blocks, coded interleaved and with one scan per component.
struct ThreeComponents {
    int width, height;
    int hY, vY;
    std::vector<FlatComponent> components;
    int mcuColumns, mcuRows;

    ThreeComponents(int w, int h, int luminanceH, int luminanceV)
        : width(w), height(h), hY(luminanceH), vY(luminanceV) {
        mcuColumns = (w + 8 * hY - 1) / (8 * hY);
        mcuRows = (h + 8 * vY - 1) / (8 * vY);
        components.push_back({1, hY, vY, mcuColumns * hY, mcuRows * vY,
                              PatternLevels(mcuColumns * hY, mcuRows * vY, 1)});
        components.push_back({2, 1, 1, mcuColumns, mcuRows, PatternLevels(mcuColumns, mcuRows, 2)});
        components.push_back({3, 1, 1, mcuColumns, mcuRows, PatternLevels(mcuColumns, mcuRows, 3)});
    }

    Bytes Interleaved() const {
        JpegBuilder b = FlatPictureHeader(height, width, components);
        b.Sos({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
        b.Raw(EncodeInterleaved(components, mcuColumns, mcuRows)).Eoi();
        return b.bytes();
    }

    Bytes Separate(const std::vector<int>& order) const {
        JpegBuilder b = FlatPictureHeader(height, width, components);
        for (int i : order) {
            const FlatComponent& c = components[i];
            const int xc = (width * c.h + hY - 1) / hY;
            const int yc = (height * c.v + vY - 1) / vY;
            b.Sos({{c.id, 0, 0}}).Raw(EncodeSingle(c, (xc + 7) / 8, (yc + 7) / 8));
        }
        b.Eoi();
        return b.bytes();
    }
};

void ExpectSameVisiblePlanes(const JpegDecoder& a, const JpegDecoder& b) {
    const vantor::ImageInfo ia = a.GetInfo(), ib = b.GetInfo();
    ASSERT_EQ(ia.componentCount, 3u);
    ASSERT_EQ(ib.componentCount, 3u);
    for (int p = 0; p < 3; ++p) {
        for (std::uint32_t y = 0; y < ia.height; ++y) {
            for (std::uint32_t x = 0; x < ia.width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * ia.paddedWidth + x;
                ASSERT_EQ(ia.planes[p][i], ib.planes[p][i]) << p << " " << x << "," << y;
            }
        }
    }
}

TEST(SeparateScans, EachScanFillsThePlaneOfItsComponent) {
    for (auto [w, h, hY, vY] : {std::array<int, 4>{24, 24, 2, 2}, std::array<int, 4>{17, 9, 2, 2},
                                std::array<int, 4>{40, 16, 1, 1}, std::array<int, 4>{33, 20, 2, 1},
                                std::array<int, 4>{20, 33, 1, 2}}) {
        SCOPED_TRACE(::testing::Message() << w << "x" << h << " " << hY << "x" << vY);
        const ThreeComponents picture(w, h, hY, vY);
        JpegDecoder interleaved, separate, reversed;
        ASSERT_EQ(Decode(interleaved, picture.Interleaved()), 1);
        ASSERT_EQ(Decode(separate, picture.Separate({0, 1, 2})), 1);
        ASSERT_EQ(Decode(reversed, picture.Separate({2, 1, 0})), 1);
        ExpectSameVisiblePlanes(interleaved, separate);
        ExpectSameVisiblePlanes(interleaved, reversed);
    }
}

TEST(Placement, ChromaSamplesCoverTwoByTwoSquares) {
    // 17 x 9, luma 2 x 2, chroma 1 x 1; all three planes before conversion are checked through
    // the converted result of flat luma 0 and flat chroma levels.
    ThreeComponents picture(17, 9, 2, 2);
    for (int& l : picture.components[0].levels) l = 0;
    picture.components[1].levels = {0, 0};
    picture.components[2].levels = {0, 0};
    picture.components[2].levels[1] = 100;  // Cr = 228 in the second unit
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, picture.Interleaved()), 1);
    const vantor::ImageInfo info = decoder.GetInfo();
    // (128, 128, 228) converts to (268 -> 255, 56, 128); (128, 128, 128) stays grey.
    for (std::uint32_t y = 0; y < 16; ++y) {
        for (std::uint32_t x = 0; x < 32; ++x) {
            const std::size_t i = y * info.paddedWidth + x;
            const bool red = x >= 16;
            ASSERT_EQ(info.planes[0][i], red ? 255 : 128) << x << "," << y;
            ASSERT_EQ(info.planes[1][i], red ? 56 : 128) << x << "," << y;
            ASSERT_EQ(info.planes[2][i], 128) << x << "," << y;
        }
    }
}

TEST(Placement, AFactorThatDoesNotDivideTheLargestLeavesZeros) {
    // Hmax = 3; a component with H = 2 replicates by 3 / 2 = 1, so its two blocks cover 16 of
    // the unit's 24 columns and the rest keeps the cleared 0.
    FlatComponent a{1, 3, 1, 3, 1, {1, 2, 3}};
    FlatComponent b{2, 2, 1, 2, 1, {4, 5}};
    JpegBuilder builder = FlatPictureHeader(8, 24, {a, b});
    builder.Sos({{1, 0, 0}, {2, 0, 0}}).Raw(EncodeInterleaved({a, b}, 1, 1)).Eoi();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, builder.bytes()), 1);
    EXPECT_EQ(BlockSamples(decoder, 0, 3, 1), (std::vector<int>{129, 130, 131}));
    EXPECT_EQ(BlockSamples(decoder, 1, 3, 1), (std::vector<int>{132, 133, 0}));
}

}  // namespace
}  // namespace plugintest
