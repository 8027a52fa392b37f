// JpegDecoder: the plug-in's own decoder for baseline sequential JPEG files (ITU T.81, process
// SOF0: DCT, Huffman coding, 8-bit samples). Open decodes a whole file in one call into one byte
// plane per frame component; a three-component picture is converted from YCbCr to RGB at the
// end-of-image marker, so that planes 0, 1 and 2 then hold R, G and B.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>

#include "platform/winmem/winmem.h"
#include "plugin/huffman_tree.h"
#include "plugin/idct.h"

namespace vantor {

enum TransformSelector : int {
    kFloatTransform = 0,
    kIntegerTransform = 1,
    kPacked16Transform = 2,
};

// Why Open refused a file: the one check that failed, named after the ITU T.81 clause and field
// it enforces. Open's 0 is the result the format demands; this is kept beside it.
enum class DecodeError : std::uint8_t {
    kNone,
    kCannotOpen,           // the file cannot be opened for reading
    kNoStartOfImage,       // B.2.1: the file does not begin with SOI (FF D8)
    kNotAMarker,           // B.1.1.2: a byte other than FF where a marker must begin
    kUnsupportedFrame,     // B.1.1.3: SOF1 to SOF15, JPG or DAC: not baseline sequential
    kTruncated,            // B.2.1: the file ends (or cannot be read) before EOI
    kQuantPrecision,       // B.2.4.1 Pq: only 8-bit tables
    kQuantTableNumber,     // B.2.4.1 Tq: table numbers 0 to 3
    kQuantLength,          // B.2.4.1 Lq: the tables must use up the segment exactly
    kSecondFrame,          // B.2.2: one frame header per file
    kFramePrecision,       // B.2.2 P: 8-bit samples only
    kFrameHeight,          // B.2.2 Y: 0 (a DNL segment) is not supported
    kFrameWidth,           // B.2.2 X: at least 1
    kComponentCount,       // B.2.2 Nf: 1 to 5 planes
    kComponentId,          // B.2.2 Ci: identifiers 0 to 5 index the component records
    kHorizontalSampling,   // B.2.2 Hi: 1 to 15
    kVerticalSampling,     // B.2.2 Vi: 1 to 15
    kComponentQuantTable,  // B.2.2 Tqi: table numbers 0 to 3
    kFrameTooLarge,        // B.2.2 X, Y: the planes and bitmap exceed the memory available, or
                           // a plane cannot be allocated
    kRestartLength,        // B.2.4.4 Lr: exactly 4
    kHuffmanTableNumber,   // B.2.4.2 Th: baseline tables 0 and 1
    kHuffmanLength,        // B.2.4.2 Lh, Li: the code counts and symbols must use up the segment
    kScanComponentCount,   // B.2.3 Ns: 1 to 4
    kScanComponentId,      // B.2.3 Csj: identifiers 0 to 5
    kDcTableNumber,        // B.2.3 Tdj: 0 to 3
    kAcTableNumber,        // B.2.3 Taj: 0 to 3
    kEntropyDataEnded,     // F.2.2: the file ends inside entropy-coded data
    kReadError,            // the stream reported an error while reading entropy-coded data
};

// Which implementation runs the hot loops of a decode. Both give the same planes and the same
// result on every input; the reference follows the format's rules step by step, bit by bit.
enum class DecodePath : std::uint8_t {
    kFast,       // table-driven Huffman decoding, vector transform (and, for the bitmap,
                 // vector colour conversion)
    kReference,  // the bit-serial tree walk, the scalar transform and conversion
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
    // Planes kept at their component's own resolution for the bitmap (see SetBitmapOutput):
    // plane p holds every repeatX[p]-th column and repeatY[p]-th row, with rows of
    // paddedWidth / repeatX[p] bytes. 1 and 1 for full-size planes.
    std::uint32_t repeatX[kMaxPlanes] = {1, 1, 1, 1, 1};
    std::uint32_t repeatY[kMaxPlanes] = {1, 1, 1, 1, 1};
    // The planes still hold Y, Cb and Cr: the conversion happens while the bitmap is built.
    bool ycbcr = false;
};

struct ComponentParams {
    std::uint32_t v = 0;   // vertical sampling factor
    std::uint32_t h = 0;   // horizontal sampling factor; 0 with v for an undeclared identifier
    std::uint32_t tq = 0;  // quantisation table number
};

struct ScanComponent;

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
    std::uint64_t MemoryLimit() const { return memoryLimit_; }

    // The fast path is the default.
    void SetDecodePath(DecodePath path) { path_ = path; }

    // For a caller that reads the planes only through BuildBitmap (the read entry): on the fast
    // path, a subsampled component whose factors divide the largest ones is stored at its own
    // resolution (the replication happens while the bitmap is built) and the colour conversion
    // is left to BuildBitmap, which converts only the visible samples. The bitmap is the same
    // byte for byte; the planes then are not the full-size RGB planes GetInfo otherwise gives.
    void SetBitmapOutput(bool enabled) { bitmapOutput_ = enabled; }

    // Threads for the next Open, with bitmap output on the fast path: 1 decodes on the calling
    // thread alone, more let helper threads transform and convert rows while the calling thread
    // reads the data; both decode an interleaved scan straight into the bitmap. 0, the default,
    // uses DefaultThreadCount() where the picture is large enough to gain from it, and decodes a
    // small picture into its planes. The result is the same byte for byte in every case.
    void SetThreads(int threads) { threads_ = threads; }

    // The bitmap of a decoded three-component picture, as BuildBitmap makes it of GetInfo(); the
    // caller owns it. With bitmap output on the fast path, an interleaved scan of the three
    // components is decoded straight into the bitmap, row by row, without writing its planes:
    // this hands over that bitmap. The planes are filled all the same where they can be seen: when
    // a later scan adds to them, or when Open fails.
    HGLOBAL TakeBitmap();
    // Whether TakeBitmap hands over a bitmap made already.
    bool BitmapReady() const { return bitmap_ != nullptr && bitmapComplete_; }

    // The check that made the last Open fail; kNone after a success.
    DecodeError LastError() const { return lastError_; }

    // The bytes a frame of this size needs: its planes plus, for three components, the bitmap.
    static std::uint64_t FrameMemoryNeed(std::uint64_t paddedWidth, std::uint64_t paddedHeight,
                                         std::uint32_t components, std::uint32_t width,
                                         std::uint32_t height);

    // Converts the three planes from YCbCr to RGB in place (only for three components).
    void ConvertColour();

  private:
    friend class ScanDecoder;
    struct RecordedScan;

    // Records the reason and returns false, so that each check is one line.
    bool Fail(DecodeError reason) {
        lastError_ = reason;
        return false;
    }
    int OpenStream(std::istream& in);

    bool ReadQuantisationTables(std::istream& in);
    bool ReadFrameHeader(std::istream& in);
    bool ReadRestartInterval(std::istream& in);
    bool ReadHuffmanTables(std::istream& in);
    bool ReadScan(std::istream& in);
    bool StartsPipeline(const ScanComponent* components, const int* planes, int count);
    void RecordScan(std::istream& in, const ScanComponent* components, int count);
    void FillRecordedScan(std::istream& in);
    void DiscardBitmap();

    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint32_t paddedWidth_ = 0;
    std::uint32_t paddedHeight_ = 0;
    std::uint32_t componentCount_ = 0;
    std::uint32_t restartInterval_ = 0;
    std::uint32_t quant_[4][64] = {};  // zig-zag order, as in the file
    HuffNode dcTrees_[4];
    HuffNode acTrees_[4];
    ComponentParams componentsById_[kMaxComponentId + 1];
    std::uint32_t hMax_ = 0;
    std::uint32_t vMax_ = 0;
    std::uint32_t mcuColumns_ = 0;
    std::uint32_t mcuRows_ = 0;
    std::uint8_t* planes_[kMaxPlanes] = {};
    std::size_t planeBytes_[kMaxPlanes] = {};
    bool planeMapped_[kMaxPlanes] = {};
    std::uint8_t frameIds_[kMaxPlanes] = {};  // component identifiers in frame-header order
    bool frameSeen_ = false;
    InverseTransform transform_ = nullptr;
    std::uint64_t memoryLimit_ = 0;
    // Whether a DHT segment defined each tree (DC 0 to 3, then AC 0 to 3); a scan that names a
    // tree no DHT defined gets the typical table of T.81 Annex K.3 instead.
    bool treeDefined_[8] = {};
    bool bitmapOutput_ = false;
    bool colourDeferred_ = false;
    std::uint32_t planeRepeatX_[kMaxPlanes] = {1, 1, 1, 1, 1};
    std::uint32_t planeRepeatY_[kMaxPlanes] = {1, 1, 1, 1, 1};
    DecodePath path_ = DecodePath::kFast;
    DecodeError lastError_ = DecodeError::kNone;
    int threads_ = 0;
    // The bitmap an interleaved scan was decoded into, and whether it holds the whole picture.
    HGLOBAL bitmap_ = nullptr;
    std::uint8_t* bitmapPixels_ = nullptr;
    bool bitmapComplete_ = false;
    // Whether a scan has written blocks into the planes.
    bool planesWritten_ = false;
    // The scan decoded into the bitmap alone, kept so that it can be decoded again into the
    // planes when they are needed.
    std::unique_ptr<RecordedScan> recorded_;
};

// The memory this process can still take without the machine running short: what the kernel
// reports as available, lowered by a control-group limit when one applies.
std::uint64_t AvailableMemoryBytes();

}  // namespace vantor
