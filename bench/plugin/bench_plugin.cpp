// The plug-in's read entry against libjpeg on the same 4000 x 3000 4:2:0 photo-like file:
// ReadImage (file to bottom-up BGR bitmap) and libjpeg's decode of the file to RGB rows.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "plugin/vantor.h"
#include "tests/plugin/libjpeg_codec.h"

namespace {

const std::string& PhotoPath() {
    static const std::string path = [] {
        plugintest::EncodeOptions o;
        o.width = 4000;
        o.height = 3000;
        o.h[0] = 2;
        o.v[0] = 2;
        o.quality = 85;
        const std::vector<std::uint8_t> jpeg =
            plugintest::EncodeJpeg(plugintest::PhotoLikePicture(o.width, o.height, 11), o);
        // The picture is written once into the system's temporary folder and removed at exit.
        static std::string* name = new std::string(
            (std::filesystem::temp_directory_path() / "vantor_bench_XXXXXX").string());
        const int fd = mkstemp(name->data());
        if (fd < 0 || write(fd, jpeg.data(), jpeg.size()) != static_cast<ssize_t>(jpeg.size())) {
            std::perror("bench file");
            std::exit(1);
        }
        close(fd);
        std::atexit([] { std::remove(name->c_str()); });
        return *name;
    }();
    return path;
}

void ReadImageOfPhoto(benchmark::State& state) {
    const std::string& path = PhotoPath();
    for (auto _ : state) {
        HGLOBAL h = ReadImage(path.c_str());
        if (h == nullptr) {
            state.SkipWithError("ReadImage failed");
            break;
        }
        benchmark::DoNotOptimize(h);
        GlobalUnlock(h);
        GlobalFree(h);
    }
    state.SetItemsProcessed(state.iterations() * 4000 * 3000);
}

void LibjpegDecodeOfPhoto(benchmark::State& state) {
    const std::string& path = PhotoPath();
    std::vector<std::uint8_t> rgb(4000u * 3000u * 3u);
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_stdio_src(&cinfo, f);
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_RGB;
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = rgb.data() + static_cast<std::size_t>(cinfo.output_scanline) * 4000 * 3;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        std::fclose(f);
        benchmark::DoNotOptimize(rgb.data());
    }
    state.SetItemsProcessed(state.iterations() * 4000 * 3000);
}

BENCHMARK(ReadImageOfPhoto)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(LibjpegDecodeOfPhoto)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
