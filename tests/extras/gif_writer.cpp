#include "tests/extras/gif_writer.h"

#include <cstring>
#include <unordered_map>

namespace giftest {
namespace {

void PutWord(Bytes& out, int value) {
    out.push_back(std::uint8_t(value & 0xFF));
    out.push_back(std::uint8_t((value >> 8) & 0xFF));
}

// The size field of a colour table of `count` entries: count = 2^(field + 1).
int TableField(std::size_t count) {
    int field = 0;
    while ((std::size_t(2) << field) < count) ++field;
    return field;
}

void PutTable(Bytes& out, const std::vector<Rgb>& table) {
    const std::size_t padded = std::size_t(2) << TableField(table.size());
    for (std::size_t i = 0; i < padded; ++i) {
        const Rgb c = i < table.size() ? table[i] : Rgb{0, 0, 0};
        out.push_back(c.r);
        out.push_back(c.g);
        out.push_back(c.b);
    }
}

std::vector<std::uint8_t> InterlaceOrder(const Image& image) {
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    std::vector<std::uint8_t> out;
    out.reserve(image.pixels.size());
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < image.height; y += kStep[pass]) {
            const auto row = image.pixels.begin() + std::ptrdiff_t(y) * image.width;
            out.insert(out.end(), row, row + image.width);
        }
    }
    return out;
}

}  // namespace

std::vector<Code> LzwCodes(const std::vector<std::uint8_t>& pixels, int minCodeSize,
                           bool clearWhenFull) {
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    unsigned next = clear + 2;
    int size = minCodeSize + 1;
    std::vector<Code> codes{{clear, size}};
    if (pixels.empty()) {
        codes.push_back({end, size});
        return codes;
    }
    std::unordered_map<unsigned, unsigned> table;
    unsigned prefix = pixels[0];
    bool firstAfterClear = true;
    for (std::size_t i = 1; i < pixels.size(); ++i) {
        const unsigned key = (prefix << 8) | pixels[i];
        const auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        codes.push_back({prefix, size});
        firstAfterClear = false;
        if (next < 4096) {
            table[key] = next;
            if (next == (1u << size) && size < 12) ++size;
            ++next;
            if (next == 4096 && clearWhenFull) {
                codes.push_back({clear, size});
                table.clear();
                next = clear + 2;
                size = minCodeSize + 1;
                firstAfterClear = true;
            }
        }
        prefix = pixels[i];
    }
    codes.push_back({prefix, size});
    // The decoder adds an entry on this last code too (unless it opens a table), which may
    // widen the end code.
    if (!firstAfterClear && next < 4096 && next == (1u << size) && size < 12) ++size;
    codes.push_back({end, size});
    return codes;
}

std::vector<Code> GiflibWidths(const std::vector<unsigned>& values, int minCodeSize) {
    const unsigned clear = 1u << minCodeSize, end = clear + 1;
    int bits = minCodeSize + 1;
    unsigned running = end + 1, maxCode = 1u << bits;
    std::vector<Code> codes;
    for (unsigned v : values) {
        codes.push_back({v, bits});
        if (running < 4097 && ++running > maxCode && bits < 12) {
            maxCode <<= 1;
            ++bits;
        }
        if (v == clear) {
            bits = minCodeSize + 1;
            running = end + 1;
            maxCode = 1u << bits;
        }
    }
    return codes;
}

std::vector<unsigned> LongestStringCodes(std::size_t bytes) {
    const unsigned clear = 4;
    std::vector<unsigned> values{clear, 0};
    for (unsigned next = clear + 2; next < 4096; ++next) values.push_back(next);
    while (values.size() * 12 / 8 < bytes) values.push_back(4095);
    values.push_back(clear + 1);
    return values;
}

Bytes PackCodes(const std::vector<Code>& codes) {
    Bytes out;
    std::uint32_t buffer = 0;
    int count = 0;
    for (const Code& code : codes) {
        buffer |= code.value << count;
        count += code.bits;
        while (count >= 8) {
            out.push_back(std::uint8_t(buffer & 0xFF));
            buffer >>= 8;
            count -= 8;
        }
    }
    if (count > 0) out.push_back(std::uint8_t(buffer & 0xFF));
    return out;
}

Bytes SubBlocks(const Bytes& bytes, std::size_t blockSize) {
    Bytes out;
    for (std::size_t i = 0; i < bytes.size(); i += blockSize) {
        const std::size_t n = std::min(blockSize, bytes.size() - i);
        out.push_back(std::uint8_t(n));
        out.insert(out.end(), bytes.begin() + std::ptrdiff_t(i),
                   bytes.begin() + std::ptrdiff_t(i + n));
    }
    out.push_back(0);
    return out;
}

GifWriter::GifWriter(int screenWidth, int screenHeight, std::vector<Rgb> globalTable,
                     const char* signature) {
    bytes_.assign(signature, signature + 6);
    PutWord(bytes_, screenWidth);
    PutWord(bytes_, screenHeight);
    if (globalTable.empty()) {
        bytes_.push_back(0);
    } else {
        bytes_.push_back(std::uint8_t(0x80 | 0x70 | TableField(globalTable.size())));
    }
    bytes_.push_back(0);  // background colour index
    bytes_.push_back(0);  // pixel aspect ratio
    if (!globalTable.empty()) PutTable(bytes_, globalTable);
}

GifWriter& GifWriter::GraphicControl(int disposal, bool transparent, int transparentIndex,
                                     int delay) {
    bytes_.insert(bytes_.end(), {0x21, 0xF9, 0x04});
    bytes_.push_back(std::uint8_t(((disposal & 7) << 2) | (transparent ? 1 : 0)));
    PutWord(bytes_, delay);
    bytes_.push_back(std::uint8_t(transparentIndex));
    bytes_.push_back(0);
    return *this;
}

GifWriter& GifWriter::Comment(const std::string& text) {
    bytes_.insert(bytes_.end(), {0x21, 0xFE});
    const Bytes blocks = SubBlocks(Bytes(text.begin(), text.end()));
    bytes_.insert(bytes_.end(), blocks.begin(), blocks.end());
    return *this;
}

GifWriter& GifWriter::Loop(int count) {
    bytes_.insert(bytes_.end(), {0x21, 0xFF, 0x0B});
    const char* id = "NETSCAPE2.0";
    bytes_.insert(bytes_.end(), id, id + 11);
    bytes_.insert(bytes_.end(), {0x03, 0x01});
    PutWord(bytes_, count);
    bytes_.push_back(0);
    return *this;
}

GifWriter& GifWriter::PlainText(const std::string& text) {
    bytes_.insert(bytes_.end(), {0x21, 0x01, 0x0C});
    for (int i = 0; i < 12; ++i) bytes_.push_back(std::uint8_t(i));
    const Bytes blocks = SubBlocks(Bytes(text.begin(), text.end()));
    bytes_.insert(bytes_.end(), blocks.begin(), blocks.end());
    return *this;
}

void GifWriter::Descriptor(const Image& image) {
    bytes_.push_back(0x2C);
    PutWord(bytes_, image.left);
    PutWord(bytes_, image.top);
    PutWord(bytes_, image.width);
    PutWord(bytes_, image.height);
    std::uint8_t flags = image.interlaced ? 0x40 : 0;
    if (!image.localTable.empty())
        flags |= std::uint8_t(0x80 | TableField(image.localTable.size()));
    bytes_.push_back(flags);
    if (!image.localTable.empty()) PutTable(bytes_, image.localTable);
}

GifWriter& GifWriter::AddImage(const Image& image) {
    Descriptor(image);
    int minCodeSize = image.minCodeSize;
    if (minCodeSize == 0) {
        minCodeSize = 2;
        for (std::uint8_t p : image.pixels) {
            while ((1u << minCodeSize) <= p) ++minCodeSize;
        }
    }
    bytes_.push_back(std::uint8_t(minCodeSize));
    const auto order = image.interlaced ? InterlaceOrder(image) : image.pixels;
    const Bytes blocks = SubBlocks(PackCodes(LzwCodes(order, minCodeSize, image.clearWhenFull)));
    bytes_.insert(bytes_.end(), blocks.begin(), blocks.end());
    return *this;
}

GifWriter& GifWriter::AddRawImage(const Image& image, int minCodeSize, const Bytes& lzwBlocks) {
    Descriptor(image);
    bytes_.push_back(std::uint8_t(minCodeSize));
    bytes_.insert(bytes_.end(), lzwBlocks.begin(), lzwBlocks.end());
    return *this;
}

GifWriter& GifWriter::Raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

GifWriter& GifWriter::Trailer() {
    bytes_.push_back(0x3B);
    return *this;
}

std::vector<Rgb> Palette(int count, unsigned seed) {
    std::vector<Rgb> table;
    for (int i = 0; i < count; ++i) {
        const unsigned v = unsigned(i) * 2654435761u + seed * 40503u;
        // Distinct colours: the index itself sits in the blue channel.
        table.push_back({std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(i)});
    }
    return table;
}

std::vector<std::uint8_t> Noise(int width, int height, int colours, unsigned seed) {
    std::vector<std::uint8_t> pixels(std::size_t(width) * height);
    unsigned state = seed * 2891336453u + 1;
    for (auto& p : pixels) {
        state = state * 1103515245u + 12345u;
        p = std::uint8_t((state >> 16) % unsigned(colours));
    }
    return pixels;
}

}  // namespace giftest
