#include "plugin/jpeg_decoder.h"

#include <cstdlib>
#include <fstream>

#include "plugin/planes.h"
#include "plugin/scan_decoder.h"

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

}  // namespace

JpegDecoder::JpegDecoder() = default;

JpegDecoder::~JpegDecoder() { Release(); }

void JpegDecoder::Release() {
    for (int t = 0; t < 4; ++t) {
        FreeTree(&dcTrees_[t]);
        FreeTree(&acTrees_[t]);
    }
    for (auto*& plane : planes_) {
        std::free(plane);
        plane = nullptr;
    }
}

ImageInfo JpegDecoder::GetInfo() const {
    ImageInfo info{};
    info.width = width_;
    info.height = height_;
    info.paddedWidth = paddedWidth_;
    info.paddedHeight = paddedHeight_;
    info.componentCount = componentCount_;
    for (int i = 0; i < kMaxPlanes; ++i) info.planes[i] = planes_[i];
    return info;
}

int JpegDecoder::Open(const char* path, int selector) {
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in.is_open() || in.fail() || in.bad()) return 0;
    return Open(in, selector);
}

int JpegDecoder::Open(std::istream& in, int selector) {
    for (auto*& plane : planes_) {
        std::free(plane);
        plane = nullptr;
    }
    hMax_ = vMax_ = mcuColumns_ = mcuRows_ = 0;
    // Only the integer transform is provided; the other selectors fall back to it, which gives
    // the same picture within the rounding the other transforms would have had.
    (void)selector;
    transform_ = IntegerInverseDct;

    std::uint8_t soi[2] = {};
    if (!ReadBytes(in, soi, 2) || soi[0] != 0xFF || soi[1] != 0xD8) return 0;

    for (;;) {
        std::uint8_t marker[2] = {};
        if (!ReadBytes(in, marker, 2) || marker[0] != 0xFF) return 0;
        // Fill bytes: any number of FF before the marker code.
        while (marker[1] == 0xFF) {
            if (!ReadBytes(in, &marker[1], 1)) return 0;
        }
        const std::uint8_t code = marker[1];
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) {
            // TEM and RSTn stand alone: no length follows.
        } else if (code == 0xC0) {
            if (!ReadFrameHeader(in)) return 0;
        } else if (code >= 0xC1 && code <= 0xCF && code != 0xC4) {
            return 0;  // other coding processes, JPG and DAC are not supported
        } else if (code == 0xC4) {
            if (!ReadHuffmanTables(in)) return 0;
        } else if (code == 0xD9) {
            ConvertColour();
            return 1;
        } else if (code == 0xDA) {
            if (!ReadScan(in)) return 0;
        } else if (code == 0xDB) {
            if (!ReadQuantisationTables(in)) return 0;
        } else if (code == 0xDD) {
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
        if (pq != 0) return false;  // Pq: only 8-bit tables
        if (tq > 3) return false;   // Tq: four tables
        std::uint8_t values[64];
        if (!ReadBytes(in, values, 64)) return false;
        for (int j = 0; j < 64; ++j) quant_[tq][j] = values[j];
        remaining -= 65;
    }
    return remaining == 0;  // Lq must be used up exactly
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
    if (frameSeen_) return false;
    frameSeen_ = true;

    std::uint32_t lf = 0, p = 0, y = 0, x = 0, nf = 0;
    if (!ReadWord(in, &lf)) return false;  // Lf is not needed: the fields say how long it is
    if (!ReadByte(in, &p) || p != 8) return false;  // P: 8-bit samples only
    if (!ReadWord(in, &y) || y == 0) return false;  // Y: lines (no DNL support)
    if (!ReadWord(in, &x) || x == 0) return false;  // X: samples per line
    if (!ReadByte(in, &nf)) return false;
    if (nf == 0 || nf > kMaxPlanes) return false;  // Nf: one to five planes

    std::uint32_t hMax = 0, vMax = 0;
    for (std::uint32_t i = 0; i < nf; ++i) {
        std::uint32_t c = 0, hv = 0, tq = 0;
        if (!ReadByte(in, &c) || c > kMaxComponentId) return false;  // Ci
        if (!ReadByte(in, &hv) || !ReadByte(in, &tq)) return false;
        ComponentSpec& declared = componentsById_[c];
        declared.h = hv >> 4;
        declared.v = hv & 0x0F;
        declared.tq = tq;
        if (declared.h == 0 || declared.v == 0) return false;  // Hi, Vi
        if (declared.tq > 3) return false;                     // Tqi: four tables
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
    if (planeBytes > SIZE_MAX) return false;
    const std::uint64_t need = FrameMemoryNeed(paddedWidth_, paddedHeight_, nf, x, y);
    const std::uint64_t limit = memoryLimit_ != 0 ? memoryLimit_ : AvailableMemoryBytes();
    if (need > limit) return false;

    // Planes start cleared: samples no block reaches read as 0.
    for (std::uint32_t i = 0; i < nf; ++i) {
        planes_[i] =
            static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(planeBytes), 1));
        if (planes_[i] == nullptr) return false;
    }
    return true;
}

bool JpegDecoder::ReadRestartInterval(std::istream& in) {
    std::uint32_t lr = 0, ri = 0;
    if (!ReadWord(in, &lr) || lr != 4) return false;  // Lr
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
        if (th > 1) return false;  // Th: baseline uses tables 0 and 1
        HuffNode* root = (tcTh & 0x10) ? &acTrees_[th] : &dcTrees_[th];
        // A table defined again replaces the earlier one (files that code their components in
        // separate scans often give each scan its own tables under the same number).
        FreeTree(root);
        treeGeneration_[((tcTh & 0x10) ? 4 : 0) + th] = nextGeneration_++;
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
    return remaining == 0;  // Lh must be used up exactly
}

}  // namespace vantor

namespace vantor {

void JpegDecoder::ConvertColour() {
    if (componentCount_ != 3) return;
    if (planes_[0] == nullptr || planes_[1] == nullptr || planes_[2] == nullptr) return;
    const std::size_t count = static_cast<std::size_t>(paddedWidth_) * paddedHeight_;
    ConvertYCbCrToRgb(planes_[0], planes_[1], planes_[2], count);
}

bool JpegDecoder::ReadScan(std::istream& in) {
    std::uint32_t ls = 0, ns = 0;
    if (!ReadWord(in, &ls)) return false;  // Ls is not needed: the fields say how long it is
    if (!ReadByte(in, &ns) || ns < 1 || ns > kMaxScanComponents) return false;  // Ns

    ScanComponent components[kMaxScanComponents];
    std::uint32_t ids[kMaxScanComponents] = {};
    for (std::uint32_t i = 0; i < ns; ++i) {
        std::uint32_t cs = 0, tdTa = 0;
        if (!ReadByte(in, &cs) || cs > kMaxComponentId) return false;  // Csj
        if (!ReadByte(in, &tdTa)) return false;
        const std::uint32_t td = tdTa >> 4;
        const std::uint32_t ta = tdTa & 0x0F;
        if (td > 3 || ta > 3) return false;  // Tdj, Taj
        ids[i] = cs;
        components[i].dcTree = &dcTrees_[td];
        components[i].acTree = &acTrees_[ta];
        if (walkStepsEnabled_) {
            if (walkSteps_.empty()) walkSteps_.resize(8 * kWalkStepsPerTree);
            components[i].dcSteps = &walkSteps_[td * kWalkStepsPerTree];
            components[i].acSteps = &walkSteps_[(4 + ta) * kWalkStepsPerTree];
            // A tree no DHT defined keeps generation 0 until its first use here.
            for (std::uint32_t t : {td, 4 + ta}) {
                if (treeGeneration_[t] == 0) treeGeneration_[t] = nextGeneration_++;
            }
            components[i].dcGeneration = treeGeneration_[td];
            components[i].acGeneration = treeGeneration_[4 + ta];
        }
    }
    std::uint8_t progression[3];  // Ss, Se, Ah/Al: fixed in baseline and not checked
    if (!ReadBytes(in, progression, 3)) return false;

    for (std::uint32_t i = 0; i < ns; ++i) {
        ScanComponent& component = components[i];
        const ComponentSpec& declared = componentsById_[ids[i]];
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

        BlockLayout& layout = component.layout;
        layout.plane = planes_[plane];
        layout.paddedWidth = paddedWidth_;
        layout.repeatX = hMax_ / declared.h;
        layout.repeatY = vMax_ / declared.v;
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
            layout.unitPixelWidth = 8 * hMax_;
            layout.unitPixelHeight = 8 * vMax_;
            component.blocksPerUnit = declared.h * declared.v;
        }
    }

    ScanDecoder scan(in, transform_);
    return scan.Run(components, static_cast<int>(ns)) == 1;
}

}  // namespace vantor
