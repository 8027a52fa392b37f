// JpegDecoder: the plug-in's own decoder for baseline sequential JPEG files (ITU T.81, process
// SOF0: DCT, Huffman coding, 8-bit samples). Open decodes a whole file in one call into one byte
// plane per frame component; a three-component picture is converted from YCbCr to RGB at the
// end-of-image marker, so that planes 0, 1 and 2 then hold R, G and B.
#pragma once

#include <cstdint>
#include <istream>
#include <vector>

#include "plugin/huffman_tree.h"
#include "plugin/idct.h"

namespace vantor {

enum TransformSelector : int {
    kFloatTransform = 0,
    kIntegerTransform = 1,
    kPacked16Transform = 2,
};

constexpr int kMaxPlanes = 5;
constexpr int kMaxComponentId = 5;

struct ImageInfo {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t paddedWidth;   // row length of every plane
    std::uint32_t paddedHeight;  // row count of every plane
    std::uint32_t componentCount;
    std::uint8_t* planes[kMaxPlanes];
};

struct ComponentSpec {
    std::uint32_t v = 0;   // vertical sampling factor
    std::uint32_t h = 0;   // horizontal sampling factor; 0 with v for an undeclared identifier
    std::uint32_t tq = 0;  // quantisation table number
};

class JpegDecoder {
  public:
    JpegDecoder();
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // Decodes the file at `path`. Returns 1 when the end-of-image marker was reached, else 0.
    int Open(const char* path, int selector);
    // Decodes from a stream positioned on the start-of-image marker.
    int Open(std::istream& in, int selector);

    ImageInfo GetInfo() const;

    // Frees the code trees and the planes.
    void Release();

    // Caps the memory that planes and the resulting bitmap may take. 0, the default, means the
    // memory the machine has available when the frame header is read.
    void SetMemoryLimit(std::uint64_t bytes) { memoryLimit_ = bytes; }

    // Whether code trees are walked through memoised per-byte steps (the default) or strictly
    // bit by bit. Both give the same result on every stream; the second is the reference.
    void SetWalkSteps(bool enabled) { walkStepsEnabled_ = enabled; }

    // The bytes a frame of this size needs: its planes plus, for three components, the bitmap.
    static std::uint64_t FrameMemoryNeed(std::uint64_t paddedWidth, std::uint64_t paddedHeight,
                                         std::uint32_t components, std::uint32_t width,
                                         std::uint32_t height);

    // Converts the three planes from YCbCr to RGB in place (only for three components).
    void ConvertColour();

  private:
    friend class ScanDecoder;

    bool ReadQuantisationTables(std::istream& in);
    bool ReadFrameHeader(std::istream& in);
    bool ReadRestartInterval(std::istream& in);
    bool ReadHuffmanTables(std::istream& in);
    bool ReadScan(std::istream& in);

    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint32_t paddedWidth_ = 0;
    std::uint32_t paddedHeight_ = 0;
    std::uint32_t componentCount_ = 0;
    std::uint32_t restartInterval_ = 0;
    std::uint32_t quant_[4][64] = {};  // zig-zag order, as in the file
    HuffNode dcTrees_[4];
    HuffNode acTrees_[4];
    ComponentSpec componentsById_[kMaxComponentId + 1];
    std::uint32_t hMax_ = 0;
    std::uint32_t vMax_ = 0;
    std::uint32_t mcuColumns_ = 0;
    std::uint32_t mcuRows_ = 0;
    std::uint8_t* planes_[kMaxPlanes] = {};
    std::uint8_t frameIds_[kMaxPlanes] = {};  // component identifiers in frame-header order
    bool frameSeen_ = false;
    InverseTransform transform_ = nullptr;
    std::uint64_t memoryLimit_ = 0;
    // Memoised walk steps of the eight trees (DC 0 to 3, then AC 0 to 3), allocated at the first
    // scan, and the generation of each tree: a new one whenever a DHT redefines the tree.
    bool walkStepsEnabled_ = true;
    std::vector<WalkStep> walkSteps_;
    std::uint32_t treeGeneration_[8] = {};
    std::uint32_t nextGeneration_ = 1;
};

// The memory this process can still take without the machine running short: what the kernel
// reports as available, lowered by a control-group limit when one applies.
std::uint64_t AvailableMemoryBytes();

}  // namespace vantor
