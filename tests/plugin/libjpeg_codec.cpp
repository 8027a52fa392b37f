#include "tests/plugin/libjpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace plugintest {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnFatalError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

// Messages are not printed; warnings (level -1) are counted as libjpeg's own handler does.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0) ++cinfo->err->num_warnings;
}

std::uint8_t Clamp(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

}  // namespace

Pixels PhotoLikePicture(int width, int height, std::uint32_t seed) {
    Pixels rgb(static_cast<std::size_t>(width) * height * 3);
    std::uint32_t state = seed * 2654435761u + 1;
    auto noise = [&state]() {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % 21) - 10;
    };
    const int cx = width / 3 + static_cast<int>(seed % 7), cy = height / 2;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            // Sky-like shading, a disc, a bright bar and texture.
            int r = 40 + 150 * y / (height + 1);
            int g = 90 + 100 * x / (width + 1);
            int b = 200 - 120 * y / (height + 1);
            const int dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy < (width * width + height * height) / 30) {
                r = 230;
                g = 120 + (x * 7 + y * 3) % 40;
                b = 30;
            }
            if ((x / 5 + seed) % 11 == 0) {
                r = 250;
                g = 250;
                b = 245;
            }
            const int texture = ((x * x + y * 3 + static_cast<int>(seed)) % 17) - 8;
            p[0] = Clamp(r + texture + noise());
            p[1] = Clamp(g + texture + noise());
            p[2] = Clamp(b - texture + noise());
        }
    }
    return rgb;
}

std::vector<std::uint8_t> EncodeJpeg(const Pixels& rgb, const EncodeOptions& o) {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnFatalError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(o.width);
    cinfo.image_height = static_cast<JDIMENSION>(o.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, o.quality, TRUE);
    for (int i = 0; i < 3; ++i) {
        cinfo.comp_info[i].h_samp_factor = o.h[i];
        cinfo.comp_info[i].v_samp_factor = o.v[i];
    }
    cinfo.restart_interval = static_cast<unsigned>(o.restartInterval);
    cinfo.optimize_coding = o.optimizeCoding ? TRUE : FALSE;
    jpeg_scan_info scans[3];
    if (o.separateScans) {
        for (int i = 0; i < 3; ++i) {
            scans[i].comps_in_scan = 1;
            scans[i].component_index[0] = i;
            scans[i].Ss = 0;
            scans[i].Se = 63;
            scans[i].Ah = 0;
            scans[i].Al = 0;
        }
        cinfo.scan_info = scans;
        cinfo.num_scans = 3;
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(&rgb[static_cast<std::size_t>(cinfo.next_scanline) * o.width * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

std::vector<std::uint8_t> ReferenceBitmap(const std::vector<std::uint8_t>& jpeg,
                                          ReferenceNotes* notes) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnFatalError;
    err.base.emit_message = OnMessage;
    // Declared before the recovery point, so that a fatal error's jump leaves them to be
    // destroyed as usual.
    std::vector<std::uint8_t> bitmap, row;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return {};
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (notes != nullptr) {
        notes->ycbcr = cinfo.jpeg_color_space == JCS_YCbCr;
        notes->components = cinfo.num_components;
    }
    cinfo.out_color_space = JCS_YCbCr;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = FALSE;
    cinfo.do_block_smoothing = FALSE;
    jpeg_start_decompress(&cinfo);
    const int width = static_cast<int>(cinfo.output_width);
    const int height = static_cast<int>(cinfo.output_height);
    const std::size_t stride = (static_cast<std::size_t>(width) * 24 + 31) / 32 * 4;
    bitmap.assign(40 + stride * height, 0);
    const std::uint8_t header[16] = {40,
                                     0,
                                     0,
                                     0,
                                     static_cast<std::uint8_t>(width),
                                     static_cast<std::uint8_t>(width >> 8),
                                     0,
                                     0,
                                     static_cast<std::uint8_t>(height),
                                     static_cast<std::uint8_t>(height >> 8),
                                     0,
                                     0,
                                     1,
                                     0,
                                     24,
                                     0};
    std::memcpy(bitmap.data(), header, sizeof header);
    row.resize(static_cast<std::size_t>(width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        std::uint8_t* out = bitmap.data() + 40 + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const int yy = row[3 * x], cb = row[3 * x + 1] - 128, cr = row[3 * x + 2] - 128;
            // 16.16 fixed point; the shifts round toward minus infinity.
            out[3 * x + 0] = Clamp((65536 * yy + 116129 * cb) >> 16);
            out[3 * x + 1] = Clamp((65536 * yy - 46801 * cr - 22553 * cb) >> 16);
            out[3 * x + 2] = Clamp((65536 * yy + 91881 * cr) >> 16);
        }
    }
    jpeg_finish_decompress(&cinfo);
    if (notes != nullptr) notes->warnings = static_cast<int>(err.base.num_warnings);
    jpeg_destroy_decompress(&cinfo);
    return bitmap;
}

bool DecodeRgb(const std::vector<std::uint8_t>& jpeg, Pixels* rgb, int* width, int* height) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnFatalError;
    err.base.emit_message = OnMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    *width = static_cast<int>(cinfo.output_width);
    *height = static_cast<int>(cinfo.output_height);
    rgb->resize(static_cast<std::size_t>(*width) * *height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = rgb->data() + static_cast<std::size_t>(cinfo.output_scanline) * *width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace plugintest
