// Writes the seed corpus of the JPEG fuzz target: small baseline files of every sampling, with
// and without restart markers, optimised tables and separate scans, plus a grey-scale and a
// progressive file, all made with libjpeg's encoder.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace {

struct Seed {
    const char* name;
    int width, height;
    int components;
    int h, v;  // luma sampling
    int quality;
    unsigned restart;
    bool optimise;
    bool separateScans;
    bool progressive;
};

bool Write(const std::string& dir, const Seed& s) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(s.width) * s.height * s.components);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            for (int c = 0; c < s.components; ++c) {
                pixels[(static_cast<std::size_t>(y) * s.width + x) * s.components + c] =
                    static_cast<unsigned char>((x * 9 + y * 5 + c * 80 + (x * y) % 13) & 0xFF);
            }
        }
    }
    const std::string path = dir + "/" + s.name + ".jpg";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(s.width);
    cinfo.image_height = static_cast<JDIMENSION>(s.height);
    cinfo.input_components = s.components;
    cinfo.in_color_space = s.components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, s.quality, TRUE);
    cinfo.comp_info[0].h_samp_factor = s.h;
    cinfo.comp_info[0].v_samp_factor = s.v;
    cinfo.restart_interval = s.restart;
    cinfo.optimize_coding = s.optimise ? TRUE : FALSE;
    jpeg_scan_info scans[3];
    if (s.separateScans) {
        for (int i = 0; i < 3; ++i) {
            scans[i] = jpeg_scan_info{1, {i, 0, 0, 0}, 0, 63, 0, 0};
        }
        cinfo.scan_info = scans;
        cinfo.num_scans = 3;
    }
    if (s.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            &pixels[static_cast<std::size_t>(cinfo.next_scanline) * s.width * s.components];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds DIR\n");
        return 2;
    }
    const Seed seeds[] = {
        {"s444", 16, 16, 3, 1, 1, 75, 0, false, false, false},
        {"s420", 17, 9, 3, 2, 2, 50, 0, false, false, false},
        {"s422", 24, 8, 3, 2, 1, 90, 1, false, false, false},
        {"s440", 8, 24, 3, 1, 2, 30, 0, true, false, false},
        {"restart", 40, 24, 3, 2, 2, 60, 2, false, false, false},
        {"optimised", 33, 17, 3, 2, 2, 95, 0, true, false, false},
        {"separate", 20, 20, 3, 2, 2, 70, 0, false, true, false},
        {"separate_opt", 12, 30, 3, 1, 2, 40, 3, true, true, false},
        {"q100", 8, 8, 3, 1, 1, 100, 0, false, false, false},
        {"q5", 9, 9, 3, 2, 2, 5, 0, false, false, false},
        {"tiny", 1, 1, 3, 1, 1, 75, 0, false, false, false},
        {"grey", 16, 8, 1, 1, 1, 75, 0, false, false, false},
        {"progressive", 16, 16, 3, 2, 2, 75, 0, false, false, true},
    };
    for (const Seed& s : seeds) {
        if (!Write(argv[1], s)) {
            std::fprintf(stderr, "make_seeds: cannot write %s\n", s.name);
            return 1;
        }
    }
    return 0;
}
