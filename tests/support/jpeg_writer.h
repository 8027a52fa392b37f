// Baseline JPEG files written with libjpeg for the tests and benchmarks of the game's picture
// reading: backgrounds, idle pictures and pictures with known colours. The caller links libjpeg.
#pragma once

#include <jpeglib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace testjpeg {

struct JpegOptions {
    int quality = 75;
    bool grey = false;        // one component (the red byte of each colour) instead of three
    bool fullChroma = false;  // no subsampling: every component at 1 x 1
};

// Writes a width x height picture whose pixel (x, y) is colour(x, y), with red in the low byte,
// green in the next and blue in the third, as RGB() packs them. False when the file cannot be
// created.
template <class Colour>
bool WriteJpeg(const std::string& path, int width, int height, Colour colour,
               const JpegOptions& options = {}) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    const int components = options.grey ? 1 : 3;
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = components;
    c.in_color_space = options.grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, options.quality, TRUE);
    if (options.fullChroma) {
        for (int i = 0; i < c.num_components; ++i) {
            c.comp_info[i].h_samp_factor = 1;
            c.comp_info[i].v_samp_factor = 1;
        }
    }
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * components);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = static_cast<std::uint32_t>(colour(x, y));
            for (int k = 0; k < components; ++k)
                row[static_cast<std::size_t>(x) * components + k] =
                    static_cast<JSAMPLE>(v >> (8 * k));
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return std::fclose(f) == 0;
}

}  // namespace testjpeg
