// Shared helpers of the plug-in tests: decoding in memory and small pictures made of flat blocks.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/jpeg_decoder.h"
#include "tests/plugin/jpeg_builder.h"
#include "tests/plugin/path_compare.h"

namespace plugintest {

// Decodes a file image with the integer transform on the decoder's path (the fast one unless
// the test chose otherwise) and returns Open's result. Every decode also runs on the reference
// path, which must end exactly alike: each case of every test holds for both paths.
inline int Decode(vantor::JpegDecoder& decoder, const Bytes& bytes) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    const int result = decoder.Open(in, vantor::kIntegerTransform);
    vantor::JpegDecoder reference;
    reference.SetDecodePath(vantor::DecodePath::kReference);
    reference.SetMemoryLimit(decoder.MemoryLimit());
    std::istringstream again(std::string(bytes.begin(), bytes.end()));
    const int referenceResult = reference.Open(again, vantor::kIntegerTransform);
    EXPECT_EQ(DifferenceBetween(decoder, result, reference, referenceResult), "")
        << "fast and reference paths disagree";
    return result;
}

// One component of a picture made of flat blocks: level L in a block gives samples 128 + L
// (its DC coefficient is 8 L with a quantisation table of ones).
struct FlatComponent {
    int id;
    int h;
    int v;
    int blocksAcross;
    int blocksDown;
    std::vector<int> levels;  // row-major, blocksAcross x blocksDown
    int level(int row, int column) const { return levels[row * blocksAcross + column]; }
};

// Tables, quantisation of ones, frame header: everything up to the first scan.
inline JpegBuilder FlatPictureHeader(int height, int width,
                                     const std::vector<FlatComponent>& components) {
    std::vector<FrameComponent> frame;
    for (const FlatComponent& c : components) frame.push_back({c.id, c.h, c.v, 0});
    JpegBuilder b;
    b.Soi().Dqt(0, 1).Sof0(height, width, frame);
    b.Dht(0, 0, HuffTable::StandardDc()).Dht(1, 0, HuffTable::StandardAc());
    return b;
}

// Entropy-coded data of one interleaved scan over all components, unit by unit. With a restart
// interval, RST markers follow every `restartInterval` units in the order given by
// `restartOrder` (cycled), or RST0 to RST7 when it is empty.
inline Bytes EncodeInterleaved(const std::vector<FlatComponent>& components, int mcuColumns,
                               int mcuRows, int restartInterval = 0,
                               const std::vector<int>& restartOrder = {}) {
    const HuffTable dc = HuffTable::StandardDc();
    const HuffTable ac = HuffTable::StandardAc();
    BitWriter out;
    std::vector<int> predictors(components.size(), 0);
    int units = 0;
    int restarts = 0;
    for (int my = 0; my < mcuRows; ++my) {
        for (int mx = 0; mx < mcuColumns; ++mx) {
            if (restartInterval > 0 && units > 0 && units % restartInterval == 0) {
                const int n = restartOrder.empty() ? restarts % 8
                                                   : restartOrder[restarts % restartOrder.size()];
                out.Raw({0xFF, static_cast<std::uint8_t>(0xD0 + n)});
                ++restarts;
                for (int& p : predictors) p = 0;
            }
            for (std::size_t i = 0; i < components.size(); ++i) {
                const FlatComponent& c = components[i];
                for (int by = 0; by < c.v; ++by) {
                    for (int bx = 0; bx < c.h; ++bx) {
                        const int dcValue = 8 * c.level(my * c.v + by, mx * c.h + bx);
                        EncodeDcOnlyBlock(out, dc, ac, dcValue - predictors[i]);
                        predictors[i] = dcValue;
                    }
                }
            }
            ++units;
        }
    }
    out.PadWithOnes();
    return out.bytes();
}

// Entropy-coded data of a scan of one component: its blocks in raster order, `across` by `down`.
inline Bytes EncodeSingle(const FlatComponent& c, int across, int down) {
    const HuffTable dc = HuffTable::StandardDc();
    const HuffTable ac = HuffTable::StandardAc();
    BitWriter out;
    int predictor = 0;
    for (int r = 0; r < down; ++r) {
        for (int col = 0; col < across; ++col) {
            const int dcValue = 8 * c.level(r, col);
            EncodeDcOnlyBlock(out, dc, ac, dcValue - predictor);
            predictor = dcValue;
        }
    }
    out.PadWithOnes();
    return out.bytes();
}

// Levels that differ from block to block, so that misplaced blocks show.
inline std::vector<int> PatternLevels(int across, int down, int seed) {
    std::vector<int> levels;
    for (int r = 0; r < down; ++r) {
        for (int c = 0; c < across; ++c) levels.push_back(((r * 7 + c * 3 + seed * 5) % 15) - 7);
    }
    return levels;
}

// The components of a three-component picture of flat blocks with luma factors h x v and chroma
// factors ch x cv, identifiers 1, 2 and 3.
inline std::vector<FlatComponent> ColourComponents(int h, int v, int ch, int cv, int unitsAcross,
                                                   int unitsDown, int seed) {
    return {
        {1, h, v, unitsAcross * h, unitsDown * v,
         PatternLevels(unitsAcross * h, unitsDown * v, seed)},
        {2, ch, cv, unitsAcross * ch, unitsDown * cv,
         PatternLevels(unitsAcross * ch, unitsDown * cv, seed + 1)},
        {3, ch, cv, unitsAcross * ch, unitsDown * cv,
         PatternLevels(unitsAcross * ch, unitsDown * cv, seed + 2)},
    };
}

// A three-component picture of flat blocks in one interleaved scan, restart markers every two
// units; a few samples short of whole units across and down.
inline Bytes ColourPicture(int h, int v, int ch, int cv, int unitsAcross, int unitsDown, int seed) {
    const int hMax = std::max(h, ch), vMax = std::max(v, cv);
    const std::vector<FlatComponent> components =
        ColourComponents(h, v, ch, cv, unitsAcross, unitsDown, seed);
    JpegBuilder b =
        FlatPictureHeader(8 * vMax * unitsDown - 3, 8 * hMax * unitsAcross - 5, components);
    b.Dri(2).Sos({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
    b.Raw(EncodeInterleaved(components, unitsAcross, unitsDown, 2)).Eoi();
    return b.bytes();
}

}  // namespace plugintest
