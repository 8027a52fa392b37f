#include "tools/assetgen/formats.h"

#include <jpeglib.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace assetgen {

void PutLe16(Bytes& b, unsigned v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void PutLe32(Bytes& b, uint32_t v) {
    PutLe16(b, v & 0xFFFF);
    PutLe16(b, v >> 16);
}
void PutBe16(Bytes& b, unsigned v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
void PutBe32(Bytes& b, uint32_t v) {
    PutBe16(b, v >> 16);
    PutBe16(b, v & 0xFFFF);
}

namespace {

void PutInfoHeader(Bytes& b, int w, int h, int bits, uint32_t image_size, uint32_t colours) {
    PutLe32(b, 40);
    PutLe32(b, uint32_t(w));
    PutLe32(b, uint32_t(h));
    PutLe16(b, 1);
    PutLe16(b, unsigned(bits));
    PutLe32(b, 0);  // BI_RGB
    PutLe32(b, image_size);
    PutLe32(b, 2835);  // 72 dpi
    PutLe32(b, 2835);
    PutLe32(b, colours);
    PutLe32(b, 0);
}

void PutFileHeader(Bytes& b, uint32_t file_size, uint32_t bits_offset) {
    b.push_back('B');
    b.push_back('M');
    PutLe32(b, file_size);
    PutLe32(b, 0);
    PutLe32(b, bits_offset);
}

}  // namespace

Bytes EncodeBmp24(const Image& img) {
    int w = img.width(), h = img.height();
    uint32_t stride = (uint32_t(w) * 3 + 3) & ~3u;
    uint32_t image_size = stride * uint32_t(h);
    Bytes b;
    b.reserve(54 + image_size);
    PutFileHeader(b, 54 + image_size, 54);
    PutInfoHeader(b, w, h, 24, image_size, 0);
    for (int y = h - 1; y >= 0; --y) {
        size_t row = b.size();
        for (int x = 0; x < w; ++x) {
            Rgba p = img.at(x, y);
            b.push_back(p.b);
            b.push_back(p.g);
            b.push_back(p.r);
        }
        b.resize(row + stride, 0);
    }
    return b;
}

Bytes EncodeBmp8(int w, int h, const std::vector<Rgba>& palette,
                 const std::vector<uint8_t>& index) {
    if (palette.empty() || palette.size() > 256 || index.size() != size_t(w) * h)
        throw std::invalid_argument("EncodeBmp8: bad palette or pixel count");
    uint32_t stride = (uint32_t(w) + 3) & ~3u;
    uint32_t image_size = stride * uint32_t(h);
    uint32_t offset = 54 + 4 * uint32_t(palette.size());
    Bytes b;
    PutFileHeader(b, offset + image_size, offset);
    PutInfoHeader(b, w, h, 8, image_size, uint32_t(palette.size()));
    for (Rgba c : palette) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        size_t row = b.size();
        b.insert(b.end(), index.begin() + size_t(y) * w, index.begin() + size_t(y + 1) * w);
        b.resize(row + stride, 0);
    }
    return b;
}

Bytes EncodeIconOrCursor(const Image& img, int hx, int hy) {
    if (img.width() != 32 || img.height() != 32)
        throw std::invalid_argument("icons and cursors are 32 x 32");
    const bool cursor = hx >= 0;
    const uint32_t xor_size = 32 * 32 * 4, and_size = 32 * 4;  // AND rows: 32 bits = 4 bytes
    const uint32_t image_size = 40 + xor_size + and_size;
    Bytes b;
    PutLe16(b, 0);
    PutLe16(b, cursor ? 2 : 1);
    PutLe16(b, 1);
    // Directory entry.
    b.push_back(32);
    b.push_back(32);
    b.push_back(0);  // no palette
    b.push_back(0);
    PutLe16(b, cursor ? unsigned(hx) : 1);   // planes for icons, hotspot x for cursors
    PutLe16(b, cursor ? unsigned(hy) : 32);  // bit count for icons, hotspot y for cursors
    PutLe32(b, image_size);
    PutLe32(b, 6 + 16);
    // Image: header with doubled height (XOR + AND), XOR pixels bottom-up, AND mask.
    PutInfoHeader(b, 32, 64, 32, xor_size + and_size, 0);
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; ++x) {
            Rgba p = img.at(x, y);
            bool opaque = p.a >= 128;
            b.push_back(opaque ? p.b : 0);
            b.push_back(opaque ? p.g : 0);
            b.push_back(opaque ? p.r : 0);
            b.push_back(opaque ? p.a : 0);
        }
    for (int y = 31; y >= 0; --y)
        for (int byte = 0; byte < 4; ++byte) {
            uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (img.at(byte * 8 + bit, y).a < 128) bits |= uint8_t(0x80 >> bit);
            b.push_back(bits);
        }
    return b;
}

Bytes EncodeWave8(const std::vector<uint8_t>& samples, int rate) {
    Bytes b;
    uint32_t data = uint32_t(samples.size());
    uint32_t pad = data & 1;
    auto tag = [&](const char* t) { b.insert(b.end(), t, t + 4); };
    tag("RIFF");
    PutLe32(b, 4 + 8 + 16 + 8 + data + pad);
    tag("WAVE");
    tag("fmt ");
    PutLe32(b, 16);
    PutLe16(b, 1);  // PCM
    PutLe16(b, 1);  // mono
    PutLe32(b, uint32_t(rate));
    PutLe32(b, uint32_t(rate));  // bytes per second
    PutLe16(b, 1);               // block align
    PutLe16(b, 8);
    tag("data");
    PutLe32(b, data);
    b.insert(b.end(), samples.begin(), samples.end());
    if (pad) b.push_back(0x80);
    return b;
}

Bytes EncodeJpeg(const Image& img, int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long mem_size = 0;
    jpeg_mem_dest(&cinfo, &mem, &mem_size);
    cinfo.image_width = JDIMENSION(img.width());
    cinfo.image_height = JDIMENSION(img.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(size_t(img.width()) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        int y = int(cinfo.next_scanline);
        for (int x = 0; x < img.width(); ++x) {
            Rgba p = img.at(x, y);
            row[size_t(x) * 3] = p.r;
            row[size_t(x) * 3 + 1] = p.g;
            row[size_t(x) * 3 + 2] = p.b;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(mem, mem + mem_size);
    jpeg_destroy_compress(&cinfo);
    free(mem);
    return out;
}

namespace {
void PngWrite(png_structp png, png_bytep data, png_size_t len) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + len);
}
void PngFlush(png_structp) {}
}  // namespace

Bytes EncodePng(const Image& img) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG encoding failed");
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, png_uint_32(img.width()), png_uint_32(img.height()), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(size_t(img.width()) * 4);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            Rgba p = img.at(x, y);
            std::memcpy(&row[size_t(x) * 4], &p, 4);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool WriteFile(const std::string& path, const Bytes& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return bool(f);
}

bool WriteText(const std::string& path, const std::string& text) {
    return WriteFile(path, Bytes(text.begin(), text.end()));
}

bool MakeDirs(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return !ec;
}

}  // namespace assetgen
