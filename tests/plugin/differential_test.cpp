// The plug-in against libjpeg: every bitmap ReadImage returns equals, byte for byte, libjpeg's
// own decode to YCbCr (integer transform, sample replication) with the 16.16 colour conversion,
// over generated files of every common sampling, size, quality, restart and table choice.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "plugin/vantor.h"
#include "tests/plugin/jpeg_builder.h"
#include "tests/plugin/libjpeg_codec.h"

namespace plugintest {
namespace {

struct Sampling {
    const char* name;
    int h, v;  // luma factors; chroma is 1 x 1
};

const Sampling kSamplings[] = {{"444", 1, 1}, {"422", 2, 1}, {"420", 2, 2}, {"440", 1, 2}};

struct Size {
    int width, height;
};

const Size kSizes[] = {{1, 1},    {2, 3},    {7, 5},   {8, 8},   {9, 17},
                       {16, 16},  {17, 9},   {31, 33}, {64, 48}, {65, 7},
                       {100, 75}, {127, 65}, {255, 3}, {3, 255}, {200, 131}};

const int kQualities[] = {5, 10, 25, 50, 75, 90, 95, 100};

std::vector<std::uint8_t> ReadThroughPlugin(const std::string& path) {
    HGLOBAL h = ReadImage(path.c_str());
    if (h == nullptr) return {};
    const auto* p = static_cast<const std::uint8_t*>(GlobalLock(h));
    std::vector<std::uint8_t> out(p, p + GlobalSize(h));
    GlobalUnlock(h);
    GlobalUnlock(h);
    GlobalFree(h);
    return out;
}

// Index of the first differing byte as text, for a readable failure.
std::string FirstDifference(const std::vector<std::uint8_t>& a,
                            const std::vector<std::uint8_t>& b) {
    if (a.size() != b.size()) {
        return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            return "byte " + std::to_string(i) + ": " + std::to_string(a[i]) + " vs " +
                   std::to_string(b[i]);
        }
    }
    return "none";
}

#ifdef PLUGIN_HOST_PATH
// Runs the image plug-in host on `in`; returns its exit status and the .bmp file it wrote (empty if
// none).
int RunImageHost(const std::string& in, std::vector<std::uint8_t>* bmp) {
    const std::string out = TempPath("host_out.bmp");
    std::remove(out.c_str());
    const std::string command = std::string("'") + PLUGIN_HOST_PATH + "' '" + VANTOR_MODULE_PATH +
                                "' '" + in + "' '" + out + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    std::ifstream file(out, std::ios::binary);
    bmp->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

void ExpectSameAsLibjpeg(const EncodeOptions& o, std::uint32_t seed, const std::string& label) {
    SCOPED_TRACE(label);
    const std::vector<std::uint8_t> jpeg = EncodeJpeg(PhotoLikePicture(o.width, o.height, seed), o);
    ASSERT_FALSE(jpeg.empty());
    const std::vector<std::uint8_t> expected = ReferenceBitmap(jpeg);
    ASSERT_FALSE(expected.empty());
    const std::string path = WriteTempFile("diff.jpg", jpeg);
    const std::vector<std::uint8_t> actual = ReadThroughPlugin(path);
    ASSERT_FALSE(actual.empty()) << "ReadImage returned null";
    EXPECT_TRUE(actual == expected) << FirstDifference(actual, expected);
#ifdef PLUGIN_HOST_PATH
    // The same file through the image plug-in host, which loads the plug-in as any image program
    // would: its .bmp file is the 14-byte file header followed by the same bitmap.
    std::vector<std::uint8_t> bmp;
    ASSERT_EQ(RunImageHost(path, &bmp), 0);
    ASSERT_EQ(bmp.size(), expected.size() + 14);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(bmp[10], 54);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bmp.begin() + 14));
#endif
}

std::string Label(const EncodeOptions& o, const char* sampling) {
    char text[160];
    std::snprintf(text, sizeof text, "%dx%d %s q%d restart %d%s%s", o.width, o.height, sampling,
                  o.quality, o.restartInterval, o.optimizeCoding ? " optimised" : "",
                  o.separateScans ? " separate scans" : "");
    return text;
}

EncodeOptions Options(const Sampling& s, const Size& size, int quality) {
    EncodeOptions o;
    o.width = size.width;
    o.height = size.height;
    o.h[0] = s.h;
    o.v[0] = s.v;
    o.quality = quality;
    return o;
}

TEST(Differential, EverySamplingAndSize) {
    int n = 0;
    for (const Sampling& s : kSamplings) {
        for (const Size& size : kSizes) {
            EncodeOptions o = Options(s, size, kQualities[n % 8]);
            ExpectSameAsLibjpeg(o, static_cast<std::uint32_t>(n), Label(o, s.name));
            ++n;
        }
    }
}

TEST(Differential, EveryQuality) {
    int n = 0;
    for (const Sampling& s : kSamplings) {
        for (int quality : kQualities) {
            EncodeOptions o = Options(s, {97, 61}, quality);
            ExpectSameAsLibjpeg(o, 100 + n++, Label(o, s.name));
        }
    }
}

TEST(Differential, RestartIntervals) {
    int n = 0;
    for (const Sampling& s : kSamplings) {
        for (int interval : {1, 2, 5, 64}) {
            EncodeOptions o = Options(s, {75, 45}, 60 + 5 * (n % 8));
            o.restartInterval = interval;
            ExpectSameAsLibjpeg(o, 200 + n++, Label(o, s.name));
        }
    }
}

TEST(Differential, OptimisedHuffmanTables) {
    int n = 0;
    for (const Sampling& s : kSamplings) {
        for (int quality : {5, 50, 100}) {
            EncodeOptions o = Options(s, {129, 77}, quality);
            o.optimizeCoding = true;
            o.restartInterval = n % 2 ? 3 : 0;
            ExpectSameAsLibjpeg(o, 300 + n++, Label(o, s.name));
        }
    }
}

TEST(Differential, ComponentsInSeparateScans) {
    int n = 0;
    for (const Sampling& s : kSamplings) {
        for (const Size& size : {Size{1, 1}, Size{17, 9}, Size{40, 40}, Size{121, 67}}) {
            EncodeOptions o = Options(s, size, 30 + 10 * (n % 7));
            o.separateScans = true;
            o.optimizeCoding = n % 2 == 1;
            o.restartInterval = n % 3 == 2 ? 4 : 0;
            ExpectSameAsLibjpeg(o, 400 + n++, Label(o, s.name));
        }
    }
}

TEST(Differential, LargestPictures) {
    for (const Sampling& s : {kSamplings[2], kSamplings[1]}) {
        EncodeOptions o = Options(s, {1023, 769}, 85);
        o.restartInterval = s.v == 2 ? 0 : 7;
        ExpectSameAsLibjpeg(o, 500, Label(o, s.name));
    }
}

// The file without its DHT segments, as a Motion-JPEG frame comes: the scans then rely on the
// typical tables of T.81 Annex K.3, which libjpeg's encoder uses when it does not optimise.
std::vector<std::uint8_t> WithoutHuffmanTables(const std::vector<std::uint8_t>& jpeg) {
    std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xDA) {
        const std::size_t length = static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (jpeg[at + 1] != 0xC4) {
            out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(at),
                       jpeg.begin() + static_cast<std::ptrdiff_t>(at + 2 + length));
        }
        at += 2 + length;
    }
    out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(at), jpeg.end());
    return out;
}

TEST(Differential, MotionJpegFramesWithoutTablesUseTheTypicalOnes) {
    int n = 0;
    for (const Sampling& s : {kSamplings[1], kSamplings[2], kSamplings[0]}) {
        EncodeOptions o = Options(s, {160, 120}, 50 + 20 * n);
        o.restartInterval = n == 2 ? 4 : 0;
        SCOPED_TRACE(Label(o, s.name));
        const std::vector<std::uint8_t> jpeg =
            WithoutHuffmanTables(EncodeJpeg(PhotoLikePicture(o.width, o.height, 600 + n++), o));
        ASSERT_EQ(std::search(jpeg.begin(), jpeg.end(), std::begin({0xFF, 0xC4}),
                              std::end({0xFF, 0xC4})) -
                      jpeg.begin(),
                  static_cast<std::ptrdiff_t>(jpeg.size()))
            << "a DHT segment is left";
        const std::vector<std::uint8_t> expected = ReferenceBitmap(jpeg);
        ASSERT_FALSE(expected.empty()) << "libjpeg refused the frame";
        const std::vector<std::uint8_t> actual =
            ReadThroughPlugin(WriteTempFile("mjpeg.jpg", jpeg));
        EXPECT_TRUE(actual == expected) << FirstDifference(actual, expected);
    }
}

#ifdef PLUGIN_HOST_PATH
TEST(ImageHost, ReportsFailureWithAnExitStatus) {
    std::vector<std::uint8_t> bmp;
    const std::string progressive =
        WriteTempFile("host_bad.jpg", {0xFF, 0xD8, 0xFF, 0xC2, 0, 2, 0xFF, 0xD9});
    EXPECT_EQ(RunImageHost(progressive, &bmp), 1);
    EXPECT_TRUE(bmp.empty());
    EXPECT_EQ(RunImageHost(TempPath("missing.jpg"), &bmp), 1);
    // A file the plug-in does not announce is not handed to it.
    EXPECT_EQ(RunImageHost(WriteTempFile("host.png", {0xFF, 0xD8, 0xFF, 0xD9}), &bmp), 2);
}
#endif

}  // namespace
}  // namespace plugintest
