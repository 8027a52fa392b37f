// The plug-in's read entry against libjpeg-turbo on four files made at start-up: ReadImage (file
// to bottom-up BGR bitmap) and libjpeg-turbo's ordinary decode of the same file to RGB rows (its
// default integer transform, its SIMD as installed), one thread. After the runs a table gives
// both speeds in megapixels per second of CPU time and their ratio, and the peak memory that one
// ReadImage of the 12-megapixel photo adds to the process.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "plugin/vantor.h"
#include "tests/plugin/libjpeg_codec.h"

namespace {

struct BenchFile {
    const char* name;
    plugintest::EncodeOptions options;
    int noise;  // amplitude of per-pixel noise added to the photo-like picture
    std::string path;
    std::size_t bytes = 0;
};

plugintest::EncodeOptions Options(int width, int height, int hLuma, int vLuma, int quality,
                                  int restartInterval) {
    plugintest::EncodeOptions o;
    o.width = width;
    o.height = height;
    o.h[0] = hLuma;
    o.v[0] = vLuma;
    o.quality = quality;
    o.restartInterval = restartInterval;
    return o;
}

std::vector<BenchFile>& Files() {
    static std::vector<BenchFile> files = {
        {"photo420_q85_4000x3000", Options(4000, 3000, 2, 2, 85, 0), 0, {}},
        {"photo444_q95_4000x3000", Options(4000, 3000, 1, 1, 95, 0), 0, {}},
        {"noisy420_3072x2048", Options(3072, 2048, 2, 2, 90, 0), 17, {}},
        {"restart64_420_1920x1080", Options(1920, 1080, 2, 2, 85, 64), 0, {}},
    };
    return files;
}

// Every pixel of the photo-like picture moved by up to +-amplitude, the same on all channels
// half of the time, so that luma and chroma both carry noise.
void AddNoise(plugintest::Pixels* rgb, int amplitude, std::uint32_t seed) {
    std::uint32_t state = seed;
    for (std::size_t i = 0; i + 2 < rgb->size(); i += 3) {
        state = state * 1664525u + 1013904223u;
        const int shared = static_cast<int>((state >> 8) % (2 * amplitude + 1)) - amplitude;
        for (int c = 0; c < 3; ++c) {
            state = state * 1664525u + 1013904223u;
            const int own = static_cast<int>((state >> 8) % (2 * amplitude + 1)) - amplitude;
            const int v = (*rgb)[i + c] + ((state >> 30) & 1 ? shared : own);
            (*rgb)[i + c] = static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
        }
    }
}

// Writes every file once into the system's temporary folder; they are removed at exit.
void MakeFiles() {
    for (BenchFile& f : Files()) {
        plugintest::Pixels rgb =
            plugintest::PhotoLikePicture(f.options.width, f.options.height, 11);
        if (f.noise > 0) AddNoise(&rgb, f.noise, 7);
        const std::vector<std::uint8_t> jpeg = plugintest::EncodeJpeg(rgb, f.options);
        std::string name =
            (std::filesystem::temp_directory_path() / "vantor_bench_XXXXXX").string();
        const int fd = mkstemp(name.data());
        if (fd < 0 || write(fd, jpeg.data(), jpeg.size()) != static_cast<ssize_t>(jpeg.size())) {
            std::perror("bench file");
            std::exit(1);
        }
        close(fd);
        f.path = name;
        f.bytes = jpeg.size();
    }
    std::atexit([] {
        for (const BenchFile& f : Files()) std::remove(f.path.c_str());
    });
}

double Megapixels(const BenchFile& f) {
    return static_cast<double>(f.options.width) * f.options.height / 1e6;
}

void ReadImageOf(benchmark::State& state, const BenchFile* f) {
    for (auto _ : state) {
        HGLOBAL h = ReadImage(f->path.c_str());
        if (h == nullptr) {
            state.SkipWithError("ReadImage failed");
            break;
        }
        benchmark::DoNotOptimize(h);
        GlobalUnlock(h);
        GlobalFree(h);
    }
    state.SetItemsProcessed(state.iterations() * f->options.width * f->options.height);
}

void LibjpegDecodeOf(benchmark::State& state, const BenchFile* f) {
    const int width = f->options.width;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * f->options.height * 3u);
    for (auto _ : state) {
        std::FILE* file = std::fopen(f->path.c_str(), "rb");
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_stdio_src(&cinfo, file);
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_RGB;
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = rgb.data() + static_cast<std::size_t>(cinfo.output_scanline) * width * 3;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        std::fclose(file);
        benchmark::DoNotOptimize(rgb.data());
    }
    state.SetItemsProcessed(state.iterations() * f->options.width * f->options.height);
}

// A kibibyte figure from /proc/self/status ("VmHWM", "VmRSS").
long StatusKib(const char* key) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) return -1;
    char line[256];
    long value = -1;
    const std::size_t length = std::strlen(key);
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strncmp(line, key, length) == 0 && line[length] == ':') {
            value = std::strtol(line + length + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return value;
}

// The resident memory one ReadImage of `path` adds at its peak, in kibibytes: measured in a fresh
// child process whose high-water mark is reset to its resident size before the call. -1 when the
// kernel does not offer the reset.
long PeakKibOfOneRead(const std::string& path) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        long result = -1;
        std::FILE* clear = std::fopen("/proc/self/clear_refs", "w");
        if (clear != nullptr && std::fputs("5", clear) >= 0 && std::fclose(clear) == 0) {
            const long before = StatusKib("VmRSS");
            HGLOBAL h = ReadImage(path.c_str());
            const long peak = StatusKib("VmHWM");
            if (h != nullptr && before >= 0 && peak >= 0) result = peak - before;
        }
        if (write(fds[1], &result, sizeof result) != sizeof result) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    long result = -1;
    if (child < 0 || read(fds[0], &result, sizeof result) != sizeof result) result = -1;
    close(fds[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    return result;
}

// Keeps the console output and remembers each run's CPU time per iteration.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            // The name without its "/min_time:..." suffix.
            const std::string name = run.benchmark_name();
            cpuSeconds[name.substr(0, name.find("/min_time"))] =
                run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }
    std::map<std::string, double> cpuSeconds;
};

}  // namespace

int main(int argc, char** argv) {
    MakeFiles();
    const long peakKib = PeakKibOfOneRead(Files()[0].path);

    for (const BenchFile& f : Files()) {
        benchmark::RegisterBenchmark((std::string("ReadImage/") + f.name).c_str(), ReadImageOf, &f)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(2.0);
        benchmark::RegisterBenchmark((std::string("LibjpegTurbo/") + f.name).c_str(),
                                     LibjpegDecodeOf, &f)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(2.0);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-26s %8s %8s %12s %12s %7s\n", "file", "MB", "bits/px", "ReadImage",
                "libjpeg-tb", "ratio");
    std::printf("%-26s %8s %8s %12s %12s %7s\n", "", "", "", "MP/s", "MP/s", "");
    for (const BenchFile& f : Files()) {
        const auto ours = reporter.cpuSeconds.find(std::string("ReadImage/") + f.name);
        const auto theirs = reporter.cpuSeconds.find(std::string("LibjpegTurbo/") + f.name);
        if (ours == reporter.cpuSeconds.end() || theirs == reporter.cpuSeconds.end()) continue;
        const double oursMps = Megapixels(f) / ours->second;
        const double theirsMps = Megapixels(f) / theirs->second;
        std::printf("%-26s %8.2f %8.2f %12.1f %12.1f %7.3f\n", f.name, f.bytes / 1e6,
                    8.0 * f.bytes / (Megapixels(f) * 1e6), oursMps, theirsMps, oursMps / theirsMps);
    }
    const BenchFile& photo = Files()[0];
    const double bitmapMib =
        (40.0 + (photo.options.width * 3 + 3) / 4 * 4.0 * photo.options.height) / (1 << 20);
    if (peakKib >= 0) {
        std::printf(
            "\npeak memory of one ReadImage of %s: %.1f MiB (of which the bitmap %.1f MiB)\n",
            photo.name, peakKib / 1024.0, bitmapMib);
    } else {
        std::printf("\npeak memory of one ReadImage: not measurable on this kernel\n");
    }
    benchmark::Shutdown();
    return 0;
}
