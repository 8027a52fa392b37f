#include "tools/assetgen/gif.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <unordered_map>

#include "tools/assetgen/formats.h"

namespace assetgen {

namespace {

// Bits for a colour table of n entries: the table holds 2^(bits) entries, bits 1..8.
int TableBits(size_t n) {
    int bits = 1;
    while ((size_t(1) << bits) < n) ++bits;
    return bits;
}

void PutTable(Bytes& out, const std::vector<Rgba>& palette, int bits) {
    for (size_t i = 0; i < (size_t(1) << bits); ++i) {
        Rgba c = i < palette.size() ? palette[i] : Rgba{0, 0, 0, 255};
        out.push_back(c.r);
        out.push_back(c.g);
        out.push_back(c.b);
    }
}

class BitWriter {
  public:
    void Put(unsigned code, int bits) {
        acc_ |= uint32_t(code) << n_;
        n_ += bits;
        while (n_ >= 8) {
            bytes_.push_back(uint8_t(acc_));
            acc_ >>= 8;
            n_ -= 8;
        }
    }
    Bytes Finish() {
        if (n_ > 0) bytes_.push_back(uint8_t(acc_));
        acc_ = 0;
        n_ = 0;
        return std::move(bytes_);
    }

  private:
    Bytes bytes_;
    uint32_t acc_ = 0;
    int n_ = 0;
};

}  // namespace

Bytes EncodeLzw(const std::vector<uint8_t>& indices, int m) {
    const unsigned clear = 1u << m, end = clear + 1;
    BitWriter w;
    int size = m + 1;
    unsigned next = clear + 2;
    std::unordered_map<uint32_t, unsigned> dict;
    auto emit = [&](unsigned code) {
        w.Put(code, size);
        // The reader widens its codes once the entry it adds for this code fills the width.
        if (next >= (1u << size) && size < 12) ++size;
    };
    w.Put(clear, size);
    if (!indices.empty()) {
        unsigned prefix = indices[0];
        for (size_t i = 1; i < indices.size(); ++i) {
            uint8_t p = indices[i];
            uint32_t key = (prefix << 8) | p;
            auto it = dict.find(key);
            if (it != dict.end()) {
                prefix = it->second;
                continue;
            }
            emit(prefix);
            if (next < 4095) {
                dict.emplace(key, next++);
            } else {
                // Table full: start again, which keeps every code within 12 bits.
                w.Put(clear, size);
                size = m + 1;
                next = clear + 2;
                dict.clear();
            }
            prefix = p;
        }
        emit(prefix);
    }
    w.Put(end, size);
    Bytes data = w.Finish();
    Bytes out;
    out.push_back(uint8_t(m));
    for (size_t pos = 0; pos < data.size(); pos += 255) {
        size_t n = std::min<size_t>(255, data.size() - pos);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(pos), data.begin() + long(pos + n));
    }
    out.push_back(0);
    return out;
}

Bytes EncodeGif(const GifFile& gif) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    PutLe16(out, unsigned(gif.width));
    PutLe16(out, unsigned(gif.height));
    int gbits = gif.global_palette.empty() ? 0 : TableBits(gif.global_palette.size());
    out.push_back(uint8_t(gif.global_palette.empty() ? 0x70 : 0x80 | 0x70 | (gbits - 1)));
    out.push_back(uint8_t(gif.background));
    out.push_back(0);
    if (gbits) PutTable(out, gif.global_palette, gbits);
    if (gif.loops >= 0) {
        const char app[] = "NETSCAPE2.0";
        out.insert(out.end(), {0x21, 0xFF, 11});
        out.insert(out.end(), app, app + 11);
        out.insert(out.end(), {3, 1});
        PutLe16(out, unsigned(gif.loops));
        out.push_back(0);
    }
    if (!gif.comment.empty()) {
        out.insert(out.end(), {0x21, 0xFE});
        for (size_t pos = 0; pos < gif.comment.size(); pos += 255) {
            size_t n = std::min<size_t>(255, gif.comment.size() - pos);
            out.push_back(uint8_t(n));
            out.insert(out.end(), gif.comment.begin() + long(pos),
                       gif.comment.begin() + long(pos + n));
        }
        out.push_back(0);
    }
    for (const GifFrame& f : gif.frames) {
        if (f.pixels.size() != size_t(f.width) * f.height)
            throw std::invalid_argument("GIF frame has the wrong number of pixels");
        if (f.left < 0 || f.top < 0 || f.left + f.width > gif.width ||
            f.top + f.height > gif.height)
            throw std::invalid_argument("GIF frame lies outside the screen");
        const std::vector<Rgba>& table =
            f.local_palette.empty() ? gif.global_palette : f.local_palette;
        if (table.empty()) throw std::invalid_argument("GIF frame without a colour table");
        for (uint8_t i : f.pixels)
            if (i >= table.size()) throw std::invalid_argument("GIF pixel beyond its colour table");
        if (f.control) {
            out.insert(out.end(), {0x21, 0xF9, 4});
            out.push_back(uint8_t(((f.disposal & 7) << 2) | (f.transparent >= 0 ? 1 : 0)));
            PutLe16(out, unsigned(f.delay));
            out.push_back(uint8_t(f.transparent >= 0 ? f.transparent : 0));
            out.push_back(0);
        }
        out.push_back(0x2C);
        PutLe16(out, unsigned(f.left));
        PutLe16(out, unsigned(f.top));
        PutLe16(out, unsigned(f.width));
        PutLe16(out, unsigned(f.height));
        int lbits = f.local_palette.empty() ? 0 : TableBits(f.local_palette.size());
        out.push_back(uint8_t((lbits ? 0x80 | (lbits - 1) : 0) | (f.interlaced ? 0x40 : 0)));
        if (lbits) PutTable(out, f.local_palette, lbits);
        // Rows go out in the order an interlaced reader fills them.
        std::vector<uint8_t> ordered;
        if (f.interlaced) {
            ordered.reserve(f.pixels.size());
            const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < f.height; y += step[pass])
                    ordered.insert(ordered.end(), f.pixels.begin() + long(y) * f.width,
                                   f.pixels.begin() + long(y + 1) * f.width);
        }
        int bits = std::max(2, TableBits(table.size()));
        Bytes lzw = EncodeLzw(f.interlaced ? ordered : f.pixels, bits);
        out.insert(out.end(), lzw.begin(), lzw.end());
    }
    out.push_back(0x3B);
    return out;
}

namespace {

struct Counted {
    Rgba c;
    long n;
};

}  // namespace

std::vector<Rgba> MedianCut(const std::vector<Rgba>& pixels, int colours) {
    // Distinct colours with their pixel counts. Splits go by count (half the pixels on each
    // side) so that large smooth areas get their share of entries and gradients do not band,
    // while the box to split is the one with the widest spread weighted by its pixels.
    std::vector<std::vector<Counted>> boxes(1);
    {
        std::unordered_map<uint32_t, size_t> at;
        for (Rgba c : pixels) {
            uint32_t k = (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b;
            auto [it, fresh] = at.emplace(k, boxes[0].size());
            if (fresh) boxes[0].push_back({{c.r, c.g, c.b, 255}, 0});
            boxes[0][it->second].n++;
        }
    }
    while (int(boxes.size()) < colours) {
        int best = -1, channel = 0;
        double best_score = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].size() < 2) continue;
            uint8_t lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
            long count = 0;
            for (const Counted& e : boxes[i]) {
                uint8_t v[3] = {e.c.r, e.c.g, e.c.b};
                for (int k = 0; k < 3; ++k)
                    lo[k] = std::min(lo[k], v[k]), hi[k] = std::max(hi[k], v[k]);
                count += e.n;
            }
            for (int k = 0; k < 3; ++k) {
                double score = double(hi[k] - lo[k]) * std::sqrt(double(count));
                if (score > best_score) best_score = score, best = int(i), channel = k;
            }
        }
        if (best < 0) break;
        auto& box = boxes[size_t(best)];
        auto key = [channel](const Counted& e) {
            return channel == 0 ? e.c.r : channel == 1 ? e.c.g : e.c.b;
        };
        std::sort(box.begin(), box.end(),
                  [&](const Counted& a, const Counted& b) { return key(a) < key(b); });
        long total = 0, half = 0;
        for (const Counted& e : box) total += e.n;
        size_t cut = 0;
        while (cut + 1 < box.size() && half + box[cut].n <= total / 2) half += box[cut++].n;
        cut = std::max<size_t>(cut, 1);
        std::vector<Counted> upper(box.begin() + long(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<Rgba> palette;
    for (auto& box : boxes) {
        if (box.empty()) continue;
        double r = 0, g = 0, b = 0, n = 0;
        for (const Counted& e : box)
            r += e.c.r * double(e.n), g += e.c.g * double(e.n), b += e.c.b * double(e.n),
                n += double(e.n);
        palette.push_back({uint8_t(std::lround(r / n)), uint8_t(std::lround(g / n)),
                           uint8_t(std::lround(b / n)), 255});
    }
    return palette;
}

std::vector<uint8_t> MapToPalette(const Image& img, const std::vector<Rgba>& palette) {
    std::vector<uint8_t> out(size_t(img.width()) * img.height());
    std::unordered_map<uint32_t, uint8_t> cache;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            Rgba c = img.at(x, y);
            uint32_t k = (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b;
            auto it = cache.find(k);
            if (it == cache.end()) {
                int best = 0;
                long best_d = 1L << 40;
                for (size_t i = 0; i < palette.size(); ++i) {
                    long dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
                    long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (d < best_d) best_d = d, best = int(i);
                }
                it = cache.emplace(k, uint8_t(best)).first;
            }
            out[size_t(y) * img.width() + x] = it->second;
        }
    return out;
}

}  // namespace assetgen
