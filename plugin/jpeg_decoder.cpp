#include "plugin/jpeg_decoder.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <vector>

#include "platform/winmem/pages.h"
#include "plugin/markers.h"
#include "plugin/planes.h"
#include "plugin/row_pipeline.h"
#include "plugin/scan_decoder.h"
#include "plugin/typical_tables.h"
#include "plugin/worker_pool.h"

namespace vantor {

namespace {

bool ReadBytes(std::istream& in, std::uint8_t* out, std::streamsize n) {
    in.read(reinterpret_cast<char*>(out), n);
    return in.gcount() == n;
}

bool ReadByte(std::istream& in, std::uint32_t* value) {
    std::uint8_t b = 0;
    if (!ReadBytes(in, &b, 1)) return false;
    *value = b;
    return true;
}

bool ReadWord(std::istream& in, std::uint32_t* value) {
    std::uint8_t b[2] = {};
    if (!ReadBytes(in, b, 2)) return false;
    *value = static_cast<std::uint32_t>(b[0]) << 8 | b[1];
    return true;
}

bool StreamClean(const std::istream& in) { return in.rdstate() == std::ios::goodbit; }

// Planes start cleared. Where the picture is likely to be decoded straight into the bitmap, a
// large plane is mapped on its own, so that its pages, which no block then reaches, are never
// touched; otherwise it comes from the heap, which often holds the memory already.
constexpr std::size_t kMappedPlaneMinimum = std::size_t{256} << 10;

std::uint8_t* AllocatePlane(std::size_t bytes, bool mapped) {
    void* plane = mapped ? winmem::AllocatePages(bytes) : std::calloc(bytes, 1);
    return static_cast<std::uint8_t*>(plane);
}

void FreePlane(std::uint8_t* plane, std::size_t bytes, bool mapped) {
    if (mapped) {
        winmem::FreePages(plane, bytes);
    } else {
        std::free(plane);
    }
}

// Pictures from this many pixels on are worth the helper threads: below it, handing rows over
// costs more than it saves.
constexpr std::uint64_t kThreadedPixels = 256 * 256;
// On one thread, decoding straight into the bitmap pays for large pictures only (measured: from
// about 4 megapixels on); below that, planes and bitmap stay in the caches and writing the planes
// costs less than handing the rows over.
constexpr std::uint64_t kRowByRowPixels = std::uint64_t{4} << 20;

// The threads for a decode into the bitmap, or 0 where the planes serve better: the number asked
// for, else the default where the picture is worth it.
int PipelineThreads(int asked, std::uint64_t pixels) {
    if (asked > 0) return asked;
    const int threads = pixels >= kThreadedPixels ? DefaultThreadCount() : 1;
    if (threads > 1) return threads;
    return pixels >= kRowByRowPixels ? 1 : 0;
}

}  // namespace

// A scan decoded straight into the bitmap, as it was set up: its components with their own copy
// of the quantisation tables, since DQT may redefine a table before the scan is decoded again,
// and the code trees that a later DHT replaced (the components point to them instead).
struct JpegDecoder::RecordedScan {
    std::streampos start;
    int count = 0;
    ScanComponent components[kMaxScanComponents];
    std::uint32_t quant[kMaxScanComponents][64] = {};
    std::vector<HuffNode*> retired;

    ~RecordedScan() {
        for (HuffNode* tree : retired) {
            FreeTree(tree);
            delete tree;
        }
    }

    // Before `root` is freed or replaced: the components that use it get the tree itself.
    void Retire(HuffNode* root) {
        HuffNode* kept = nullptr;
        for (int i = 0; i < count; ++i) {
            for (const HuffNode** tree : {&components[i].dcTree, &components[i].acTree}) {
                if (*tree != root) continue;
                if (kept == nullptr) {
                    kept = new HuffNode(*root);
                    retired.push_back(kept);
                    root->zero = root->one = nullptr;
                    root->fullAtDepth = 0;
                }
                *tree = kept;
            }
        }
    }
};

JpegDecoder::JpegDecoder() = default;

JpegDecoder::~JpegDecoder() { Release(); }

void JpegDecoder::Release() {
    recorded_.reset();
    DiscardBitmap();
    for (int t = 0; t < 4; ++t) {
        FreeTree(&dcTrees_[t]);
        FreeTree(&acTrees_[t]);
    }
    for (int i = 0; i < kMaxPlanes; ++i) {
        FreePlane(planes_[i], planeBytes_[i], planeMapped_[i]);
        planes_[i] = nullptr;
        planeBytes_[i] = 0;
    }
}

void JpegDecoder::DiscardBitmap() {
    if (bitmap_ != nullptr) GlobalFree(bitmap_);
    bitmap_ = nullptr;
    bitmapPixels_ = nullptr;
    bitmapComplete_ = false;
}

HGLOBAL JpegDecoder::TakeBitmap() {
    if (BitmapReady()) {
        HGLOBAL bitmap = bitmap_;
        bitmap_ = nullptr;
        DiscardBitmap();
        return bitmap;
    }
    DiscardBitmap();
    return BuildBitmap(GetInfo());
}

ImageInfo JpegDecoder::GetInfo() const {
    ImageInfo info{};
    info.width = width_;
    info.height = height_;
    info.paddedWidth = paddedWidth_;
    info.paddedHeight = paddedHeight_;
    info.componentCount = componentCount_;
    for (int i = 0; i < kMaxPlanes; ++i) {
        info.planes[i] = planes_[i];
        info.repeatX[i] = planeRepeatX_[i];
        info.repeatY[i] = planeRepeatY_[i];
    }
    info.ycbcr = colourDeferred_;
    return info;
}

int JpegDecoder::Open(const char* path, int selector) {
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in.is_open() || in.fail() || in.bad()) {
        lastError_ = DecodeError::kCannotOpen;
        return 0;
    }
    return Open(in, selector);
}

int JpegDecoder::Open(std::istream& in, int selector) {
    lastError_ = DecodeError::kNone;
    recorded_.reset();
    DiscardBitmap();
    planesWritten_ = false;
    for (int i = 0; i < kMaxPlanes; ++i) {
        FreePlane(planes_[i], planeBytes_[i], planeMapped_[i]);
        planes_[i] = nullptr;
        planeBytes_[i] = 0;
    }
    hMax_ = vMax_ = mcuColumns_ = mcuRows_ = 0;
    colourDeferred_ = false;
    for (int i = 0; i < kMaxPlanes; ++i) planeRepeatX_[i] = planeRepeatY_[i] = 1;
    // Only the integer transform is provided; the other selectors fall back to it, which gives
    // the same picture within the rounding the other transforms would have had.
    (void)selector;
    transform_ = path_ == DecodePath::kFast ? FastInverseDct() : IntegerInverseDct;
    const int result = OpenStream(in);
    if (result == 0 && lastError_ == DecodeError::kNone) lastError_ = DecodeError::kTruncated;
    // A failed decode leaves its planes as the blocks it decoded made them.
    if (result == 0) FillRecordedScan(in);
    return result;
}

// The marker loop. A failing check records its own reason; a read that runs past the end of
// the file leaves none, and Open records the file as truncated.
int JpegDecoder::OpenStream(std::istream& in) {
    std::uint8_t soi[2] = {};
    if (!ReadBytes(in, soi, 2)) return 0;
    if (soi[0] != marker::kPrefix || soi[1] != marker::kSoi) {
        return Fail(DecodeError::kNoStartOfImage);
    }

    for (;;) {
        std::uint8_t prefixAndCode[2] = {};
        if (!ReadBytes(in, prefixAndCode, 2)) return 0;
        if (prefixAndCode[0] != marker::kPrefix) return Fail(DecodeError::kNotAMarker);
        // Fill bytes: any number of FF before the marker code.
        while (prefixAndCode[1] == marker::kPrefix) {
            if (!ReadBytes(in, &prefixAndCode[1], 1)) return 0;
        }
        const std::uint8_t code = prefixAndCode[1];
        if (code == marker::kTem || marker::IsRestart(code)) {
            // TEM and RSTn stand alone: no length follows.
        } else if (code == marker::kSof0) {
            if (!ReadFrameHeader(in)) return 0;
        } else if (code >= marker::kSof1 && code <= marker::kSof15 && code != marker::kDht) {
            return Fail(DecodeError::kUnsupportedFrame);  // other processes, JPG and DAC
        } else if (code == marker::kDht) {
            if (!ReadHuffmanTables(in)) return 0;
        } else if (code == marker::kEoi) {
            ConvertColour();
            return 1;
        } else if (code == marker::kSos) {
            if (!ReadScan(in)) return 0;
        } else if (code == marker::kDqt) {
            if (!ReadQuantisationTables(in)) return 0;
        } else if (code == marker::kDri) {
            if (!ReadRestartInterval(in)) return 0;
        } else {
            // APPn, COM, DNL and the rest are skipped by their length. A length below 2 moves
            // back into the length field, so the next marker check fails.
            std::uint32_t length = 0;
            if (!ReadWord(in, &length)) return 0;
            in.seekg(static_cast<std::streamoff>(length) - 2, std::ios::cur);
        }
        if (!StreamClean(in)) return 0;
    }
}

bool JpegDecoder::ReadQuantisationTables(std::istream& in) {
    std::uint32_t lq = 0;
    if (!ReadWord(in, &lq)) return false;
    std::int32_t remaining = static_cast<std::int32_t>(lq) - 2;
    while (remaining > 0) {
        std::uint32_t pqTq = 0;
        if (!ReadByte(in, &pqTq)) return false;
        const std::uint32_t pq = pqTq >> 4;
        const std::uint32_t tq = pqTq & 0x0F;
        if (pq != 0) return Fail(DecodeError::kQuantPrecision);
        if (tq > 3) return Fail(DecodeError::kQuantTableNumber);
        std::uint8_t values[64];
        if (!ReadBytes(in, values, 64)) return false;
        for (int j = 0; j < 64; ++j) quant_[tq][j] = values[j];
        remaining -= 65;
    }
    if (remaining != 0) return Fail(DecodeError::kQuantLength);
    return true;
}

std::uint64_t JpegDecoder::FrameMemoryNeed(std::uint64_t paddedWidth, std::uint64_t paddedHeight,
                                           std::uint32_t components, std::uint32_t width,
                                           std::uint32_t height) {
    std::uint64_t need = paddedWidth * paddedHeight * components;
    if (components == 3) need += BitmapBytes(width, height);
    return need;
}

bool JpegDecoder::ReadFrameHeader(std::istream& in) {
    // A second frame in one file would mix its planes with the first one's.
    if (frameSeen_) return Fail(DecodeError::kSecondFrame);
    frameSeen_ = true;

    std::uint32_t lf = 0, p = 0, y = 0, x = 0, nf = 0;
    if (!ReadWord(in, &lf)) return false;  // Lf is not needed: the fields say how long it is
    if (!ReadByte(in, &p)) return false;
    if (p != 8) return Fail(DecodeError::kFramePrecision);
    if (!ReadWord(in, &y)) return false;
    if (y == 0) return Fail(DecodeError::kFrameHeight);
    if (!ReadWord(in, &x)) return false;
    if (x == 0) return Fail(DecodeError::kFrameWidth);
    if (!ReadByte(in, &nf)) return false;
    if (nf == 0 || nf > kMaxPlanes) return Fail(DecodeError::kComponentCount);

    std::uint32_t hMax = 0, vMax = 0;
    for (std::uint32_t i = 0; i < nf; ++i) {
        std::uint32_t c = 0, hv = 0, tq = 0;
        if (!ReadByte(in, &c)) return false;
        if (c > kMaxComponentId) return Fail(DecodeError::kComponentId);
        if (!ReadByte(in, &hv) || !ReadByte(in, &tq)) return false;
        ComponentParams& declared = componentsById_[c];
        declared.h = hv >> 4;
        declared.v = hv & 0x0F;
        declared.tq = tq;
        if (declared.h == 0) return Fail(DecodeError::kHorizontalSampling);
        if (declared.v == 0) return Fail(DecodeError::kVerticalSampling);
        if (declared.tq > 3) return Fail(DecodeError::kComponentQuantTable);
        frameIds_[i] = static_cast<std::uint8_t>(c);
        if (declared.h > hMax) hMax = declared.h;
        if (declared.v > vMax) vMax = declared.v;
    }
    hMax_ = hMax;
    vMax_ = vMax;
    width_ = x;
    height_ = y;
    componentCount_ = nf;
    mcuColumns_ = (x + 8 * hMax - 1) / (8 * hMax);
    mcuRows_ = (y + 8 * vMax - 1) / (8 * vMax);
    paddedWidth_ = 8 * hMax * mcuColumns_;
    paddedHeight_ = 8 * vMax * mcuRows_;

    // Sizes go up to 5 x 65640 x 65640 bytes: compare with what the machine can give before
    // allocating, since a huge allocation may succeed and the process die when it is touched.
    const std::uint64_t planeBytes = static_cast<std::uint64_t>(paddedWidth_) * paddedHeight_;
    if (planeBytes > SIZE_MAX) return Fail(DecodeError::kFrameTooLarge);
    const std::uint64_t need = FrameMemoryNeed(paddedWidth_, paddedHeight_, nf, x, y);
    const std::uint64_t limit = memoryLimit_ != 0 ? memoryLimit_ : AvailableMemoryBytes();
    if (need > limit) return Fail(DecodeError::kFrameTooLarge);

    // Planes start cleared: samples no block reaches read as 0. For the bitmap alone, a
    // component whose factors divide the largest ones is kept at its own resolution: every
    // block it gets is replicated by the same factors, so the full plane is that plane with
    // each sample repeated, the cleared samples included.
    const bool rowByRow = bitmapOutput_ && path_ == DecodePath::kFast && nf == 3 &&
                          PipelineThreads(threads_, static_cast<std::uint64_t>(x) * y) > 0;
    for (std::uint32_t i = 0; i < nf; ++i) {
        const ComponentParams& params = componentsById_[frameIds_[i]];
        if (bitmapOutput_ && path_ == DecodePath::kFast && hMax % params.h == 0 &&
            vMax % params.v == 0) {
            planeRepeatX_[i] = hMax / params.h;
            planeRepeatY_[i] = vMax / params.v;
        }
        const std::size_t bytes = static_cast<std::size_t>(
            planeBytes / (static_cast<std::uint64_t>(planeRepeatX_[i]) * planeRepeatY_[i]));
        planeMapped_[i] = rowByRow && bytes >= kMappedPlaneMinimum;
        planes_[i] = AllocatePlane(bytes, planeMapped_[i]);
        if (planes_[i] == nullptr) return Fail(DecodeError::kFrameTooLarge);
        planeBytes_[i] = bytes;
    }
    return true;
}

bool JpegDecoder::ReadRestartInterval(std::istream& in) {
    std::uint32_t lr = 0, ri = 0;
    if (!ReadWord(in, &lr)) return false;
    if (lr != 4) return Fail(DecodeError::kRestartLength);
    if (!ReadWord(in, &ri)) return false;
    restartInterval_ = ri;  // restart markers are found in the data, so this is only recorded
    return true;
}

bool JpegDecoder::ReadHuffmanTables(std::istream& in) {
    std::uint32_t lh = 0;
    if (!ReadWord(in, &lh)) return false;
    std::int32_t remaining = static_cast<std::int32_t>(lh) - 2;
    while (remaining > 0) {
        std::uint32_t tcTh = 0;
        if (!ReadByte(in, &tcTh)) return false;
        remaining -= 1;
        const std::uint32_t th = tcTh & 0x0F;
        if (th > 1) return Fail(DecodeError::kHuffmanTableNumber);
        HuffNode* root = (tcTh & 0x10) ? &acTrees_[th] : &dcTrees_[th];
        // A table defined again replaces the earlier one (files that code their components in
        // separate scans often give each scan its own tables under the same number).
        if (recorded_) recorded_->Retire(root);
        FreeTree(root);
        treeDefined_[((tcTh & 0x10) ? 4 : 0) + th] = true;
        std::uint8_t counts[16];
        if (!ReadBytes(in, counts, 16)) return false;  // Li
        remaining -= 16;
        for (int length = 1; length <= 16; ++length) {
            std::uint8_t symbols[255];
            const int count = counts[length - 1];
            if (!ReadBytes(in, symbols, count)) return false;  // Vi,j
            // A symbol for which no code of this length is left is dropped.
            for (int i = 0; i < count; ++i) InsertSymbol(root, length, symbols[i]);
            remaining -= count;
        }
    }
    if (remaining != 0) return Fail(DecodeError::kHuffmanLength);
    return true;
}

}  // namespace vantor

namespace vantor {

void JpegDecoder::ConvertColour() {
    if (componentCount_ != 3) return;
    if (planes_[0] == nullptr || planes_[1] == nullptr || planes_[2] == nullptr) return;
    if (bitmapOutput_ && path_ == DecodePath::kFast) {
        colourDeferred_ = true;  // BuildBitmap converts the visible samples
        return;
    }
    const std::size_t count = static_cast<std::size_t>(paddedWidth_) * paddedHeight_;
    ConvertYCbCrToRgb(planes_[0], planes_[1], planes_[2], count);
}

bool JpegDecoder::ReadScan(std::istream& in) {
    std::uint32_t ls = 0, ns = 0;
    if (!ReadWord(in, &ls)) return false;  // Ls is not needed: the fields say how long it is
    if (!ReadByte(in, &ns)) return false;
    if (ns < 1 || ns > kMaxScanComponents) return Fail(DecodeError::kScanComponentCount);

    ScanComponent components[kMaxScanComponents];
    std::uint32_t ids[kMaxScanComponents] = {};
    for (std::uint32_t i = 0; i < ns; ++i) {
        std::uint32_t cs = 0, tdTa = 0;
        if (!ReadByte(in, &cs)) return false;
        if (cs > kMaxComponentId) return Fail(DecodeError::kScanComponentId);
        if (!ReadByte(in, &tdTa)) return false;
        const std::uint32_t td = tdTa >> 4;
        const std::uint32_t ta = tdTa & 0x0F;
        if (td > 3) return Fail(DecodeError::kDcTableNumber);
        if (ta > 3) return Fail(DecodeError::kAcTableNumber);
        ids[i] = cs;
        // Motion-JPEG frames carry no DHT and rely on the typical tables of Annex K.3: a table
        // 0 or 1 that no DHT defined is taken from there (tables 2 and 3 stay empty).
        if (td <= 1 && !treeDefined_[td]) {
            BuildTypicalTree(&dcTrees_[td], false, td);
            treeDefined_[td] = true;
        }
        if (ta <= 1 && !treeDefined_[4 + ta]) {
            BuildTypicalTree(&acTrees_[ta], true, ta);
            treeDefined_[4 + ta] = true;
        }
        components[i].dcTree = &dcTrees_[td];
        components[i].acTree = &acTrees_[ta];
    }
    std::uint8_t progression[3];  // Ss, Se, Ah/Al: fixed in baseline and not checked
    if (!ReadBytes(in, progression, 3)) return false;

    int planeOf[kMaxScanComponents] = {-1, -1, -1, -1};
    for (std::uint32_t i = 0; i < ns; ++i) {
        ScanComponent& component = components[i];
        const ComponentParams& declared = componentsById_[ids[i]];
        component.quant = quant_[declared.tq];
        // The plane of the frame component with this identifier. An identifier the frame did
        // not declare, or one the scan names twice, gets no blocks.
        int plane = -1;
        for (std::uint32_t p = 0; p < componentCount_ && plane < 0; ++p) {
            if (frameIds_[p] == ids[i] && planes_[p] != nullptr) plane = static_cast<int>(p);
        }
        for (std::uint32_t j = 0; j < i; ++j) {
            if (ids[j] == ids[i]) plane = -1;
        }
        if (plane < 0 || declared.h == 0 || declared.v == 0) continue;
        planeOf[i] = plane;

        // A plane kept at the component's own resolution takes the same layout with every
        // horizontal and vertical extent divided by its factors.
        const std::uint32_t planeX = planeRepeatX_[plane], planeY = planeRepeatY_[plane];
        BlockLayout& layout = component.layout;
        layout.plane = planes_[plane];
        layout.paddedWidth = paddedWidth_ / planeX;
        layout.repeatX = hMax_ / declared.h / planeX;
        layout.repeatY = vMax_ / declared.v / planeY;
        if (ns == 1) {
            // A scan of one component codes that component's own blocks in raster order:
            // ceil(Xc / 8) by ceil(Yc / 8) of them, Xc = ceil(X x H / Hmax), Yc likewise.
            const std::uint64_t xc =
                (static_cast<std::uint64_t>(width_) * declared.h + hMax_ - 1) / hMax_;
            const std::uint64_t yc =
                (static_cast<std::uint64_t>(height_) * declared.v + vMax_ - 1) / vMax_;
            layout.unitWidth = 1;
            layout.unitHeight = 1;
            layout.unitsAcross = static_cast<std::uint32_t>((xc + 7) / 8);
            layout.unitsDown = static_cast<std::uint32_t>((yc + 7) / 8);
            layout.unitPixelWidth = 8 * layout.repeatX;
            layout.unitPixelHeight = 8 * layout.repeatY;
            component.blocksPerUnit = 1;
        } else {
            // Interleaved: units of H x V blocks, one per minimum coded unit of the frame.
            layout.unitWidth = declared.h;
            layout.unitHeight = declared.v;
            layout.unitsAcross = mcuColumns_;
            layout.unitsDown = mcuRows_;
            layout.unitPixelWidth = 8 * hMax_ / planeX;
            layout.unitPixelHeight = 8 * vMax_ / planeY;
            component.blocksPerUnit = declared.h * declared.v;
        }
    }

    bool anyBlocks = false;
    for (std::uint32_t i = 0; i < ns; ++i) anyBlocks = anyBlocks || components[i].blocksPerUnit > 0;
    // A scan that adds to planes another scan decoded straight into the bitmap needs them filled.
    if (anyBlocks) FillRecordedScan(in);

    const int count = static_cast<int>(ns);
    ScanDecoder scan(in, transform_, path_);
    std::unique_ptr<RowPipeline> pipeline;
    const int threads = PipelineThreads(threads_, static_cast<std::uint64_t>(width_) * height_);
    if (anyBlocks && threads > 0 && StartsPipeline(components, planeOf, count)) {
        RecordScan(in, components, count);
        PipelineSetup setup;
        setup.components = count;
        for (int i = 0; i < count; ++i) {
            setup.plane[i] = static_cast<std::uint32_t>(planeOf[i]);
            setup.unitWidth[i] = components[i].layout.unitWidth;
            setup.unitHeight[i] = components[i].layout.unitHeight;
        }
        setup.unitsAcross = mcuColumns_;
        setup.unitsDown = mcuRows_;
        setup.hMax = hMax_;
        setup.vMax = vMax_;
        setup.width = width_;
        setup.height = height_;
        setup.transform = transform_;
        setup.pixels = bitmapPixels_;
        setup.stride = static_cast<std::size_t>(BitmapStride(width_));
        pipeline = std::make_unique<RowPipeline>(setup, threads - 1);
        scan.SetSink(pipeline.get());
    } else if (anyBlocks) {
        planesWritten_ = true;
    }
    const int result = scan.Run(components, count);
    if (pipeline) {
        if (result == 1) {
            pipeline->Finish();
        } else {
            pipeline->Cancel();
        }
        const bool abandoned = pipeline->Abandoned();
        pipeline.reset();
        bitmapComplete_ = result == 1 && !abandoned;
        if (abandoned) FillRecordedScan(in);
    }
    if (result == 1) return true;
    return Fail(scan.ReadFailed() ? DecodeError::kReadError : DecodeError::kEntropyDataEnded);
}

// Whether this scan can be decoded straight into the bitmap: a read entry's decode on the fast
// path, the first scan to place blocks, interleaving the three components of the frame, each
// kept at its own resolution in units that its sampling factors fill (factors that divide the
// largest ones), and a bitmap to be had.
bool JpegDecoder::StartsPipeline(const ScanComponent* components, const int* planes, int count) {
    if (!bitmapOutput_ || path_ != DecodePath::kFast || planesWritten_) return false;
    if (componentCount_ != 3 || count != 3 || mcuRows_ == 0) return false;
    bool covered[3] = {};
    for (int i = 0; i < count; ++i) {
        const int p = planes[i];
        if (p < 0 || p > 2 || covered[p] || components[i].blocksPerUnit == 0) return false;
        covered[p] = true;
        const BlockLayout& layout = components[i].layout;
        if (layout.repeatX != 1 || layout.repeatY != 1) return false;
        if (planeRepeatX_[p] * layout.unitWidth != hMax_) return false;
        if (planeRepeatY_[p] * layout.unitHeight != vMax_) return false;
    }
    if (bitmap_ == nullptr) {
        if (BitmapBytes(width_, height_) > AvailableMemoryBytes()) return false;
        bitmap_ = AllocateBitmap(width_, height_, &bitmapPixels_);
    }
    return bitmap_ != nullptr;
}

void JpegDecoder::RecordScan(std::istream& in, const ScanComponent* components, int count) {
    recorded_ = std::make_unique<RecordedScan>();
    recorded_->start = in.tellg();
    recorded_->count = count;
    for (int i = 0; i < count; ++i) {
        recorded_->components[i] = components[i];
        std::memcpy(recorded_->quant[i], components[i].quant, sizeof recorded_->quant[i]);
        recorded_->components[i].quant = recorded_->quant[i];
    }
}

// Decodes the recorded scan again, into the planes, and puts the stream back where it stood.
void JpegDecoder::FillRecordedScan(std::istream& in) {
    if (!recorded_) return;
    const std::unique_ptr<RecordedScan> recorded = std::move(recorded_);
    bitmapComplete_ = false;
    planesWritten_ = true;
    const std::ios::iostate state = in.rdstate();
    in.clear();
    const std::streampos resume = in.tellg();
    if (resume != std::streampos(-1) && in.seekg(recorded->start)) {
        ScanDecoder scan(in, transform_, path_);
        scan.Run(recorded->components, recorded->count);
        in.clear();
        in.seekg(resume);
    }
    in.clear(state);
}

}  // namespace vantor
