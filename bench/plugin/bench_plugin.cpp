// The plug-in's read entry against libjpeg-turbo on six files made at start-up: ReadImage (file
// to bottom-up BGR bitmap) on one thread and on the default number of threads, and
// libjpeg-turbo's ordinary decode of the same file to RGB rows (its default integer transform,
// its SIMD as installed, one thread), once into a buffer it allocates, writes and frees each time
// as ReadImage must ("like for like") and once into a buffer kept across runs. Every figure is
// the best of nine repetitions in wall time. After the runs a table gives the times, the ratios
// of the like-for-like time to ReadImage's (above 1: ReadImage is faster), and the peak memory
// that one ReadImage of the 12-megapixel photo adds to the process, on one thread and on the
// default number.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "plugin/vantor.h"
#include "plugin/worker_pool.h"
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
        {"photo420_q85_640x480", Options(640, 480, 2, 2, 85, 0), 0, {}},
        {"photo420_q85_64x64", Options(64, 64, 2, 2, 85, 0), 0, {}},
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

// The number of threads ReadImage may use: 0 for its default.
void SetThreads(int threads) {
    if (threads > 0) {
        setenv("VANTOR_THREADS", std::to_string(threads).c_str(), 1);
    } else {
        unsetenv("VANTOR_THREADS");
    }
}

void ReadImageOf(benchmark::State& state, const BenchFile* f, int threads) {
    SetThreads(threads);
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
    SetThreads(0);
}

// libjpeg-turbo's decode of the file into `rgb`, one row at a time.
void LibjpegDecode(const BenchFile& f, std::uint8_t* rgb) {
    std::FILE* file = std::fopen(f.path.c_str(), "rb");
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const std::size_t rowBytes = static_cast<std::size_t>(f.options.width) * 3;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = rgb + static_cast<std::size_t>(cinfo.output_scanline) * rowBytes;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
}

std::size_t RgbBytes(const BenchFile& f) {
    return static_cast<std::size_t>(f.options.width) * f.options.height * 3u;
}

// Into a buffer allocated (not cleared), written and freed in every run, as ReadImage's bitmap is.
void LibjpegFreshOf(benchmark::State& state, const BenchFile* f) {
    for (auto _ : state) {
        std::unique_ptr<std::uint8_t[]> rgb(new std::uint8_t[RgbBytes(*f)]);
        LibjpegDecode(*f, rgb.get());
        benchmark::DoNotOptimize(rgb.get());
    }
    state.SetItemsProcessed(state.iterations() * f->options.width * f->options.height);
}

// Into one buffer kept across the runs.
void LibjpegKeptOf(benchmark::State& state, const BenchFile* f) {
    std::vector<std::uint8_t> rgb(RgbBytes(*f));
    for (auto _ : state) {
        LibjpegDecode(*f, rgb.data());
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

// Keeps the console output and remembers each benchmark's best repetition in wall time.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "min") continue;
            seconds[run.run_name.function_name] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }
    std::map<std::string, double> seconds;
};

double Smallest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

void Register(const std::string& name, std::function<void(benchmark::State&)> run) {
    benchmark::RegisterBenchmark(name.c_str(), std::move(run))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3)
        ->Repetitions(9)
        ->ComputeStatistics("min", Smallest)
        ->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
    MakeFiles();
    SetThreads(1);
    const long peakOneKib = PeakKibOfOneRead(Files()[0].path);
    SetThreads(0);
    const long peakDefaultKib = PeakKibOfOneRead(Files()[0].path);
    double loadBefore[3] = {};
    const bool loadKnown = getloadavg(loadBefore, 3) == 3;

    for (const BenchFile& f : Files()) {
        const BenchFile* file = &f;
        Register(std::string("LibjpegTurboFresh/") + f.name,
                 [file](benchmark::State& state) { LibjpegFreshOf(state, file); });
        Register(std::string("LibjpegTurboKept/") + f.name,
                 [file](benchmark::State& state) { LibjpegKeptOf(state, file); });
        Register(std::string("ReadImage1Thread/") + f.name,
                 [file](benchmark::State& state) { ReadImageOf(state, file, 1); });
        Register(std::string("ReadImageDefault/") + f.name,
                 [file](benchmark::State& state) { ReadImageOf(state, file, 0); });
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double loadAfter[3] = {};
    const bool loadAfterKnown = getloadavg(loadAfter, 3) == 3;

    std::printf(
        "\nwall time in ms, best of nine; ratio = like-for-like libjpeg-turbo / ReadImage\n");
    std::printf("%-24s %6s %9s %9s %9s %9s %7s %7s\n", "file", "MB", "lj fresh", "lj kept",
                "RI 1 thr", "RI dflt", "ratio 1", "ratio d");
    for (const BenchFile& f : Files()) {
        const auto time = [&reporter, &f](const char* group) {
            const auto found = reporter.seconds.find(std::string(group) + "/" + f.name);
            return found == reporter.seconds.end() ? 0.0 : found->second;
        };
        const double fresh = time("LibjpegTurboFresh"), kept = time("LibjpegTurboKept");
        const double one = time("ReadImage1Thread"), standard = time("ReadImageDefault");
        if (fresh == 0 || one == 0 || standard == 0) continue;
        std::printf("%-24s %6.2f %9.3f %9.3f %9.3f %9.3f %7.3f %7.3f\n", f.name, f.bytes / 1e6,
                    fresh * 1e3, kept * 1e3, one * 1e3, standard * 1e3, fresh / one,
                    fresh / standard);
    }
    std::printf("\ndefault threads: %d", vantor::DefaultThreadCount());
    if (loadKnown && loadAfterKnown) {
        std::printf("; load average %.2f before the runs, %.2f after", loadBefore[0], loadAfter[0]);
    }
    std::printf("\n");
    const BenchFile& photo = Files()[0];
    const double bitmapMib =
        (40.0 + (photo.options.width * 3 + 3) / 4 * 4.0 * photo.options.height) / (1 << 20);
    if (peakOneKib >= 0 && peakDefaultKib >= 0) {
        std::printf(
            "peak memory of one ReadImage of %s: %.1f MiB on one thread, %.1f MiB on the default "
            "number (of which the bitmap %.1f MiB)\n",
            photo.name, peakOneKib / 1024.0, peakDefaultKib / 1024.0, bitmapMib);
    } else {
        std::printf("peak memory of one ReadImage: not measurable on this kernel\n");
    }
    benchmark::Shutdown();
    return 0;
}
