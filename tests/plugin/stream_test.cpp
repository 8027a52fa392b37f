// The marker loop and the segments that set up a decode: what is accepted, skipped and refused.
#include <gtest/gtest.h>

#include <istream>
#include <streambuf>

#include "tests/plugin/test_support.h"

namespace plugintest {
namespace {

using vantor::JpegDecoder;

// A one-component 16 x 8 picture of two flat blocks with levels 3 and -2.
FlatComponent TwoGreyBlocks() { return {1, 1, 1, 2, 1, {3, -2}}; }

Bytes GreyFile(const Bytes& beforeScan = {}) {
    const FlatComponent grey = TwoGreyBlocks();
    JpegBuilder b = FlatPictureHeader(8, 16, {grey});
    b.Raw(beforeScan).Sos({{1, 0, 0}}).Raw(EncodeInterleaved({grey}, 2, 1)).Eoi();
    return b.bytes();
}

void ExpectGreyPicture(const JpegDecoder& decoder) {
    const vantor::ImageInfo info = decoder.GetInfo();
    ASSERT_EQ(info.componentCount, 1u);
    ASSERT_NE(info.planes[0], nullptr);
    EXPECT_EQ(info.planes[0][0], 131);
    EXPECT_EQ(info.planes[0][7 * 16 + 7], 131);
    EXPECT_EQ(info.planes[0][8], 126);
    EXPECT_EQ(info.planes[0][7 * 16 + 15], 126);
}

TEST(Markers, StartAndEndOfImageAloneSucceedWithNoComponents) {
    JpegDecoder decoder;
    EXPECT_EQ(Decode(decoder, {0xFF, 0xD8, 0xFF, 0xD9}), 1);
    EXPECT_EQ(decoder.GetInfo().componentCount, 0u);
    EXPECT_EQ(decoder.GetInfo().planes[0], nullptr);
}

TEST(Markers, FileMustStartWithStartOfImage) {
    JpegDecoder decoder;
    EXPECT_EQ(Decode(decoder, {0xFF, 0xD9, 0xFF, 0xD8}), 0);
    JpegDecoder empty;
    EXPECT_EQ(Decode(empty, {}), 0);
}

TEST(Markers, AGreyPictureDecodes) {
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, GreyFile()), 1);
    ExpectGreyPicture(decoder);
}

TEST(Markers, FillBytesBeforeAMarkerAreSkipped) {
    // FF FF FF C4 is read as a DHT marker, FF FF D9 as the end of the picture.
    const FlatComponent grey = TwoGreyBlocks();
    JpegBuilder b;
    b.Soi().Raw({0xFF, 0xFF}).Dqt(0, 1).Sof0(8, 16, {{1, 1, 1, 0}});
    b.Raw({0xFF, 0xFF}).Dht(0, 0, HuffTable::StandardDc());
    b.Dht(1, 0, HuffTable::StandardAc());
    b.Sos({{1, 0, 0}}).Raw(EncodeInterleaved({grey}, 2, 1)).Raw({0xFF}).Eoi();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, b.bytes()), 1);
    ExpectGreyPicture(decoder);
}

TEST(Markers, ApplicationCommentAndLineCountSegmentsAreSkipped) {
    JpegBuilder extra;
    extra.Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 1, 0, 1, 0, 0});
    extra.Segment(0xE1, Bytes(300, 0xFF));  // FF bytes inside a skipped segment mean nothing
    extra.Segment(0xFE, {'h', 'i'});
    extra.Segment(0xDC, {0x00, 0x08});
    extra.Segment(0xD8, {});          // a repeated SOI with a length is skipped too
    extra.Marker(0xD3).Marker(0x01);  // RST and TEM between segments stand alone
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, GreyFile(extra.bytes())), 1);
    ExpectGreyPicture(decoder);
}

TEST(Markers, OtherCodingProcessesFail) {
    for (int code = 0xC1; code <= 0xCF; ++code) {
        if (code == 0xC4) continue;
        JpegBuilder b;
        b.Soi().Dqt(0, 1).Sof(static_cast<std::uint8_t>(code), 8, 8, 8, {{1, 1, 1, 0}}).Eoi();
        JpegDecoder decoder;
        EXPECT_EQ(Decode(decoder, b.bytes()), 0) << std::hex << code;
    }
}

TEST(Markers, ASegmentLengthBelowTwoFailsInsteadOfLooping) {
    for (std::uint8_t low : {0, 1}) {
        JpegDecoder decoder;
        EXPECT_EQ(Decode(decoder, {0xFF, 0xD8, 0xFF, 0xE0, 0x00, low, 0xFF, 0xD9}), 0);
    }
}

TEST(Markers, AFileThatEndsBeforeEndOfImageFails) {
    Bytes file = GreyFile();
    file.resize(file.size() - 2);
    JpegDecoder decoder;
    EXPECT_EQ(Decode(decoder, file), 0);
    JpegDecoder inSegment;
    EXPECT_EQ(Decode(inSegment, {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 1, 2}), 0);
    JpegDecoder notAMarker;
    EXPECT_EQ(Decode(notAMarker, {0xFF, 0xD8, 0x00, 0xD9}), 0);
}

TEST(Tables, TwelveBitQuantisationTableFails) {
    JpegBuilder b;
    Bytes payload(129, 1);
    payload[0] = 0x10;
    b.Soi().Segment(0xDB, payload).Eoi();
    JpegDecoder decoder;
    EXPECT_EQ(Decode(decoder, b.bytes()), 0);
}

TEST(Tables, QuantisationTableNumberAboveThreeFails) {
    JpegBuilder ok, bad;
    ok.Soi().Dqt(3, 1).Eoi();
    bad.Soi().Dqt(4, 1).Eoi();
    JpegDecoder a, b;
    EXPECT_EQ(Decode(a, ok.bytes()), 1);
    EXPECT_EQ(Decode(b, bad.bytes()), 0);
}

TEST(Tables, SegmentsMustBeUsedUpExactly) {
    Bytes dqt(66, 1);  // one byte more than one table
    dqt[0] = 0;
    JpegBuilder b1;
    b1.Soi().Segment(0xDB, dqt).Eoi();
    JpegDecoder d1;
    EXPECT_EQ(Decode(d1, b1.bytes()), 0);

    const HuffTable dc = HuffTable::StandardDc();
    Bytes dht = {0x00};
    for (std::uint8_t count : dc.counts) dht.push_back(count);
    for (std::uint8_t symbol : dc.symbols) dht.push_back(symbol);
    dht.push_back(0);  // a stray byte after the table
    JpegBuilder b2;
    b2.Soi().Segment(0xC4, dht).Eoi();
    JpegDecoder d2;
    EXPECT_EQ(Decode(d2, b2.bytes()), 0);
}

TEST(Tables, HuffmanTableNumberAboveOneFails) {
    JpegBuilder ok, bad;
    ok.Soi().Dht(1, 1, HuffTable::StandardAc()).Eoi();
    bad.Soi().Dht(0, 2, HuffTable::StandardDc()).Eoi();
    JpegDecoder a, b;
    EXPECT_EQ(Decode(a, ok.bytes()), 1);
    EXPECT_EQ(Decode(b, bad.bytes()), 0);
}

TEST(Tables, RestartIntervalLengthMustBeFour) {
    JpegBuilder ok, bad;
    ok.Soi().Dri(3).Eoi();
    bad.Soi().Segment(0xDD, {0, 3, 0}).Eoi();
    JpegDecoder a, b;
    EXPECT_EQ(Decode(a, ok.bytes()), 1);
    EXPECT_EQ(Decode(b, bad.bytes()), 0);
}

TEST(Tables, ARedefinedHuffmanTableReplacesTheEarlierOne) {
    // The first DC table gives category 0 the code 0000; the second, which the scan must use,
    // gives it 1 bit. Decoding with a merged tree would misread every block.
    std::vector<std::pair<int, std::uint8_t>> shortZero = {{1, 0}};
    for (int s = 1; s <= 11; ++s) shortZero.emplace_back(5, static_cast<std::uint8_t>(s));
    const HuffTable replacement = HuffTable::FromLengths(shortZero);
    const HuffTable ac = HuffTable::StandardAc();
    BitWriter w;
    EncodeDcOnlyBlock(w, replacement, ac, 24);
    EncodeDcOnlyBlock(w, replacement, ac, 0);
    w.PadWithOnes();
    JpegBuilder b;
    b.Soi().Dqt(0, 1).Sof0(8, 16, {{1, 1, 1, 0}});
    b.Dht(0, 0, HuffTable::StandardDc()).Dht(1, 0, ac).Dht(0, 0, replacement);
    b.Sos({{1, 0, 0}}).Raw(w.bytes()).Eoi();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, b.bytes()), 1);
    EXPECT_EQ(decoder.GetInfo().planes[0][0], 131);
    EXPECT_EQ(decoder.GetInfo().planes[0][8], 131);
}

TEST(Tables, SymbolsWithoutPlaceAreDroppedInBoundedTime) {
    // Every DHT below offers 16 x 255 symbols: the tree fills up at once and the rest find no
    // place. Each segment of 4 kB must cost a few steps per symbol, not a walk of the tree.
    JpegBuilder b;
    b.Soi();
    for (int segment = 0; segment < 200; ++segment) {
        Bytes dht = {0x10};
        for (int length = 0; length < 16; ++length) dht.push_back(255);
        for (int i = 0; i < 16 * 255; ++i) dht.push_back(static_cast<std::uint8_t>(i));
        b.Segment(0xC4, dht);
    }
    b.Eoi();
    JpegDecoder decoder;
    EXPECT_EQ(Decode(decoder, b.bytes()), 1);
}

TEST(Frame, PrecisionOtherThanEightFails) {
    JpegBuilder b;
    b.Soi().Dqt(0, 1).Sof(0xC0, 12, 8, 8, {{1, 1, 1, 0}}).Eoi();
    JpegDecoder decoder;
    EXPECT_EQ(Decode(decoder, b.bytes()), 0);
}

TEST(Frame, ZeroWidthOrHeightFails) {
    JpegBuilder w, h;
    w.Soi().Sof0(8, 0, {{1, 1, 1, 0}}).Eoi();
    h.Soi().Sof0(0, 8, {{1, 1, 1, 0}}).Eoi();
    JpegDecoder a, b;
    EXPECT_EQ(Decode(a, w.bytes()), 0);
    EXPECT_EQ(Decode(b, h.bytes()), 0);
}

TEST(Frame, IdentifiersZeroToFiveAreAccepted) {
    for (int id = 0; id <= 6; ++id) {
        JpegBuilder b;
        b.Soi().Sof0(8, 8, {{id, 1, 1, 0}}).Eoi();
        JpegDecoder decoder;
        EXPECT_EQ(Decode(decoder, b.bytes()), id <= 5 ? 1 : 0) << id;
    }
}

TEST(Frame, SamplingFactorsOneToFifteenAreAccepted) {
    JpegBuilder ok, zeroH, zeroV;
    ok.Soi().Sof0(8, 8, {{1, 15, 15, 0}, {2, 1, 1, 0}}).Eoi();
    zeroH.Soi().Sof0(8, 8, {{1, 0, 1, 0}}).Eoi();
    zeroV.Soi().Sof0(8, 8, {{1, 1, 0, 0}}).Eoi();
    JpegDecoder a, b, c;
    ASSERT_EQ(Decode(a, ok.bytes()), 1);
    EXPECT_EQ(a.GetInfo().paddedWidth, 120u);
    EXPECT_EQ(a.GetInfo().paddedHeight, 120u);
    EXPECT_EQ(Decode(b, zeroH.bytes()), 0);
    EXPECT_EQ(Decode(c, zeroV.bytes()), 0);
}

TEST(Frame, NoComponentOrMoreThanFiveFails) {
    JpegBuilder none, six, five;
    none.Soi().Sof0(8, 8, {}).Eoi();
    six.Soi()
        .Sof0(8, 8,
              {{0, 1, 1, 0}, {1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}, {4, 1, 1, 0}, {5, 1, 1, 0}})
        .Eoi();
    five.Soi()
        .Sof0(8, 8, {{0, 1, 1, 0}, {1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}, {4, 1, 1, 0}})
        .Eoi();
    JpegDecoder a, b, c;
    EXPECT_EQ(Decode(a, none.bytes()), 0);
    EXPECT_EQ(Decode(b, six.bytes()), 0);
    ASSERT_EQ(Decode(c, five.bytes()), 1);
    EXPECT_EQ(c.GetInfo().componentCount, 5u);
    for (int i = 0; i < 5; ++i) EXPECT_NE(c.GetInfo().planes[i], nullptr);
}

TEST(Frame, QuantisationTableAboveThreeFails) {
    JpegBuilder b;
    b.Soi().Sof0(8, 8, {{1, 1, 1, 4}}).Eoi();
    JpegDecoder decoder;
    EXPECT_EQ(Decode(decoder, b.bytes()), 0);
}

TEST(Frame, ASecondFrameHeaderFails) {
    JpegBuilder b;
    b.Soi()
        .Sof0(8, 8, {{1, 1, 1, 0}})
        .Sof0(16, 16, {{1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}})
        .Eoi();
    JpegDecoder decoder;
    EXPECT_EQ(Decode(decoder, b.bytes()), 0);
}

TEST(Frame, PlaneGeometryFollowsTheLargestSamplingFactors) {
    // 17 x 9 with luma 2 x 2 and chroma 1 x 1: 2 unit columns, 1 unit row, planes 32 x 16.
    JpegBuilder b;
    b.Soi().Sof0(9, 17, {{1, 2, 2, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}).Eoi();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, b.bytes()), 1);
    const vantor::ImageInfo info = decoder.GetInfo();
    EXPECT_EQ(info.width, 17u);
    EXPECT_EQ(info.height, 9u);
    EXPECT_EQ(info.paddedWidth, 32u);
    EXPECT_EQ(info.paddedHeight, 16u);
    EXPECT_EQ(info.componentCount, 3u);
}

TEST(Frame, PlanesNoBlockReachedReadAsZero) {
    // Two components, no scan: nothing is written and nothing is converted.
    JpegBuilder b;
    b.Soi().Sof0(9, 17, {{1, 2, 2, 0}, {2, 1, 1, 0}}).Eoi();
    JpegDecoder decoder;
    ASSERT_EQ(Decode(decoder, b.bytes()), 1);
    const vantor::ImageInfo info = decoder.GetInfo();
    for (int p = 0; p < 2; ++p) {
        for (std::uint32_t i = 0; i < info.paddedWidth * info.paddedHeight; ++i) {
            ASSERT_EQ(info.planes[p][i], 0) << p << " " << i;
        }
    }
}

TEST(Frame, AFrameTooLargeForTheMemoryFailsBeforeAllocating) {
    // 65535 x 65535 with sampling 15 gives planes of 65640 x 65640 bytes: 4.3 GB each, beyond
    // 32-bit arithmetic. The limit is lowered so that the outcome does not depend on the machine.
    JpegBuilder b;
    b.Soi().Sof0(65535, 65535, {{1, 15, 15, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}).Eoi();
    JpegDecoder decoder;
    decoder.SetMemoryLimit(std::uint64_t{1} << 30);
    EXPECT_EQ(Decode(decoder, b.bytes()), 0);
    EXPECT_EQ(decoder.GetInfo().planes[0], nullptr);

    const std::uint64_t need = JpegDecoder::FrameMemoryNeed(65640, 65640, 3, 65535, 65535);
    EXPECT_EQ(need, 3ull * 65640 * 65640 + 40 + 196608ull * 65535);
}

TEST(Frame, AFrameWithinTheLimitIsAllocated) {
    JpegBuilder b;
    b.Soi().Sof0(1000, 1000, {{1, 1, 1, 0}, {2, 1, 1, 0}, {3, 1, 1, 0}}).Eoi();
    JpegDecoder tight, roomy;
    tight.SetMemoryLimit(3 * 1000 * 1000);  // the planes fit, the bitmap beside them does not
    EXPECT_EQ(Decode(tight, b.bytes()), 0);
    roomy.SetMemoryLimit(JpegDecoder::FrameMemoryNeed(1000, 1000, 3, 1000, 1000));
    EXPECT_EQ(Decode(roomy, b.bytes()), 1);
}

TEST(Frame, TheMachineReportsSomeAvailableMemory) {
    EXPECT_GT(vantor::AvailableMemoryBytes(), std::uint64_t{16} << 20);
}

TEST(Scan, HeaderChecks) {
    struct Case {
        Bytes payload;
        int expected;
    } cases[] = {
        {{0}, 0},                                          // Ns = 0
        {{5, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 0, 63, 0}, 0},  // Ns = 5
        {{1, 6, 0x00, 0, 63, 0}, 0},                       // identifier 6
        {{1, 1, 0x40, 0, 63, 0}, 0},                       // DC table 4
        {{1, 1, 0x04, 0, 63, 0}, 0},                       // AC table 4
        {{1, 1, 0x33, 0, 63, 0}, 1},                       // tables 3: accepted, never defined
    };
    for (const Case& c : cases) {
        JpegBuilder b;
        b.Soi().Dqt(0, 1).Sof0(8, 8, {{1, 1, 1, 0}}).Segment(0xDA, c.payload).Eoi();
        JpegDecoder decoder;
        EXPECT_EQ(Decode(decoder, b.bytes()), c.expected);
    }
}

}  // namespace
}  // namespace plugintest

namespace plugintest {
namespace {

using vantor::DecodeError;

// A frame header for a 8 x 8 picture of the components given, as bytes of an SOF0 payload.
Bytes FramePayload(int precision, int height, int width, const Bytes& componentBytes, int nf) {
    Bytes p = {static_cast<std::uint8_t>(precision), static_cast<std::uint8_t>(height >> 8),
               static_cast<std::uint8_t>(height),    static_cast<std::uint8_t>(width >> 8),
               static_cast<std::uint8_t>(width),     static_cast<std::uint8_t>(nf)};
    p.insert(p.end(), componentBytes.begin(), componentBytes.end());
    return p;
}

TEST(Reasons, EveryRefusedFileNamesTheCheckThatFailed) {
    const Bytes soi = {0xFF, 0xD8};
    auto file = [&](const JpegBuilder& body) {
        Bytes f = soi;
        f.insert(f.end(), body.bytes().begin(), body.bytes().end());
        return f;
    };
    auto segment = [&](std::uint8_t code, const Bytes& payload) {
        JpegBuilder b;
        b.Dqt(0, 1).Segment(code, payload).Eoi();
        return file(b);
    };
    const Bytes grey = {1, 0x11, 0};
    Bytes dqt64(64, 1);
    dqt64[0] = 0x00;  // Pq/Tq and 63 entries: the 64th lies beyond the segment
    Bytes dhtShort(18, 0);
    dhtShort[1] = 2;  // two codes of length 1, but only one symbol in the segment
    Bytes dqt12(129, 1);
    dqt12[0] = 0x10;
    struct Case {
        const char* what;
        Bytes bytes;
        DecodeError reason;
    } cases[] = {
        {"empty file", {}, DecodeError::kTruncated},
        {"no EOI", soi, DecodeError::kTruncated},
        {"cut inside a segment", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 1}, DecodeError::kTruncated},
        {"EOI first", {0xFF, 0xD9, 0xFF, 0xD8}, DecodeError::kNoStartOfImage},
        {"no marker", {0xFF, 0xD8, 0x00, 0xD9}, DecodeError::kNotAMarker},
        {"progressive", segment(0xC2, FramePayload(8, 8, 8, grey, 1)),
         DecodeError::kUnsupportedFrame},
        {"arithmetic", segment(0xC9, FramePayload(8, 8, 8, grey, 1)),
         DecodeError::kUnsupportedFrame},
        {"DQT Pq", segment(0xDB, dqt12), DecodeError::kQuantPrecision},
        {"DQT Tq",
         segment(0xDB,
                 [] {
                     Bytes t(65, 1);
                     t[0] = 4;
                     return t;
                 }()),
         DecodeError::kQuantTableNumber},
        {"DQT Lq", segment(0xDB, dqt64), DecodeError::kQuantLength},
        {"SOF0 twice",
         [&] {
             JpegBuilder b;
             b.Sof0(8, 8, {{1, 1, 1, 0}}).Sof0(8, 8, {{1, 1, 1, 0}}).Eoi();
             return file(b);
         }(),
         DecodeError::kSecondFrame},
        {"SOF0 P", segment(0xC0, FramePayload(12, 8, 8, grey, 1)), DecodeError::kFramePrecision},
        {"SOF0 Y", segment(0xC0, FramePayload(8, 0, 8, grey, 1)), DecodeError::kFrameHeight},
        {"SOF0 X", segment(0xC0, FramePayload(8, 8, 0, grey, 1)), DecodeError::kFrameWidth},
        {"SOF0 Nf 0", segment(0xC0, FramePayload(8, 8, 8, {}, 0)), DecodeError::kComponentCount},
        {"SOF0 Nf 6", segment(0xC0, FramePayload(8, 8, 8, Bytes(18, 0x11), 6)),
         DecodeError::kComponentCount},
        {"SOF0 Ci", segment(0xC0, FramePayload(8, 8, 8, {6, 0x11, 0}, 1)),
         DecodeError::kComponentId},
        {"SOF0 Hi", segment(0xC0, FramePayload(8, 8, 8, {1, 0x01, 0}, 1)),
         DecodeError::kHorizontalSampling},
        {"SOF0 Vi", segment(0xC0, FramePayload(8, 8, 8, {1, 0x10, 0}, 1)),
         DecodeError::kVerticalSampling},
        {"SOF0 Tqi", segment(0xC0, FramePayload(8, 8, 8, {1, 0x11, 4}, 1)),
         DecodeError::kComponentQuantTable},
        {"DRI Lr", segment(0xDD, {0, 4, 0}), DecodeError::kRestartLength},
        {"DHT Th",
         segment(0xC4,
                 [] {
                     Bytes t(17, 0);
                     t[0] = 0x02;
                     return t;
                 }()),
         DecodeError::kHuffmanTableNumber},
        {"DHT Lh", segment(0xC4, dhtShort), DecodeError::kHuffmanLength},
        {"SOS Ns", segment(0xDA, {0}), DecodeError::kScanComponentCount},
        {"SOS Csj", segment(0xDA, {1, 6, 0x00, 0, 63, 0}), DecodeError::kScanComponentId},
        {"SOS Tdj", segment(0xDA, {1, 1, 0x40, 0, 63, 0}), DecodeError::kDcTableNumber},
        {"SOS Taj", segment(0xDA, {1, 1, 0x04, 0, 63, 0}), DecodeError::kAcTableNumber},
    };
    for (const Case& c : cases) {
        JpegDecoder decoder;
        EXPECT_EQ(Decode(decoder, c.bytes), 0) << c.what;
        EXPECT_EQ(decoder.LastError(), c.reason) << c.what;
    }

    // Entropy-coded data that the file cuts off, a frame beyond the memory limit, a missing file.
    FlatComponent c{1, 1, 1, 4, 1, {1, 2, 3, 4}};
    JpegBuilder cut = FlatPictureHeader(8, 32, {c});
    cut.Sos({{1, 0, 0}}).Raw(EncodeInterleaved({c}, 4, 1)).Eoi();
    Bytes dry = cut.bytes();
    dry.resize(dry.size() - 4);
    JpegDecoder entropy;
    EXPECT_EQ(Decode(entropy, dry), 0);
    EXPECT_EQ(entropy.LastError(), DecodeError::kEntropyDataEnded);

    JpegBuilder big;
    big.Soi().Sof0(4000, 4000, {{1, 1, 1, 0}}).Eoi();
    JpegDecoder limited;
    limited.SetMemoryLimit(1 << 20);
    EXPECT_EQ(Decode(limited, big.bytes()), 0);
    EXPECT_EQ(limited.LastError(), DecodeError::kFrameTooLarge);

    JpegDecoder missing;
    EXPECT_EQ(missing.Open(TempPath("no-such-file.jpg").c_str(), vantor::kIntegerTransform), 0);
    EXPECT_EQ(missing.LastError(), DecodeError::kCannotOpen);
}

// Serves the bytes given, then fails as a device does: the stream goes bad.
class FailingBuffer : public std::streambuf {
  public:
    explicit FailingBuffer(const Bytes& bytes) : bytes_(bytes.begin(), bytes.end()) {
        setg(bytes_.data(), bytes_.data(), bytes_.data() + bytes_.size());
    }

  protected:
    int_type underflow() override { throw std::ios_base::failure("device error"); }

  private:
    std::vector<char> bytes_;
};

TEST(Reasons, AStreamThatGoesBadInsideTheDataIsAReadError) {
    FlatComponent c{1, 1, 1, 4, 1, {1, 2, 3, 4}};
    JpegBuilder b = FlatPictureHeader(8, 32, {c});
    b.Sos({{1, 0, 0}});
    Bytes file = b.bytes();
    const Bytes data = EncodeInterleaved({c}, 4, 1);
    file.insert(file.end(), data.begin(), data.begin() + 2);
    for (vantor::DecodePath path : {vantor::DecodePath::kFast, vantor::DecodePath::kReference}) {
        FailingBuffer buffer(file);
        std::istream in(&buffer);
        JpegDecoder decoder;
        decoder.SetDecodePath(path);
        EXPECT_EQ(decoder.Open(in, vantor::kIntegerTransform), 0);
        EXPECT_EQ(decoder.LastError(), DecodeError::kReadError);
    }
}

TEST(Reasons, ASuccessLeavesNone) {
    JpegDecoder decoder;
    EXPECT_EQ(Decode(decoder, {0xFF, 0xD8, 0xFF, 0xD9}), 1);
    EXPECT_EQ(decoder.LastError(), DecodeError::kNone);
}

}  // namespace
}  // namespace plugintest
