// Real-world JPEG files from other decoders' test suites, in the folder KIVRA_JPEG_CORPUS names
// (kept beside the repository, never in it). Every file goes through the real plug-in: no crash,
// no hang, no sanitizer report; the fast and the reference decode paths end alike on it, with the
// same planes and bitmap; and every baseline
// three-component YCbCr file that libjpeg decodes without a warning comes back as libjpeg's
// bitmap, byte for byte.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "plugin/image_file_info.h"
#include "tests/plugin/libjpeg_codec.h"
#include "tests/plugin/test_support.h"

namespace plugintest {
namespace {

namespace fs = std::filesystem;

// The code of the first frame marker (SOFn) and the frame's component identifiers; code 0 when
// the segments before it cannot be followed.
struct FrameMarker {
    int code = 0;
    std::vector<int> ids;
};

FrameMarker FirstFrame(const Bytes& jpeg) {
    FrameMarker frame;
    std::size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        if (jpeg[at] != 0xFF) return frame;
        const int code = jpeg[at + 1];
        if (code == 0xFF) {
            ++at;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) {
            frame.code = code;
            if (at + 10 <= jpeg.size()) {
                const int nf = jpeg[at + 9];
                for (int i = 0; i < nf && at + 10 + 3 * i < jpeg.size(); ++i) {
                    frame.ids.push_back(jpeg[at + 10 + 3 * i]);
                }
            }
            return frame;
        }
        if (code == 0xDA || code == 0xD9) return frame;
        at += 2 + length;
    }
    return frame;
}

constexpr std::uint64_t kComparisonMemory = std::uint64_t{256} << 20;

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(RealWorldFiles, EveryFileDecodesSafelyAndTheValidOnesExactly) {
    const char* folder = std::getenv("KIVRA_JPEG_CORPUS");
    if (folder == nullptr || !fs::is_directory(folder)) {
        GTEST_SKIP() << "no corpus: KIVRA_JPEG_CORPUS names no folder of real-world JPEG files";
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".jpg" || extension == ".jpeg" ||
                                        extension == ".JPG" || extension == ".jpe")) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << "the corpus folder holds no JPEG file";

    // The real module, as an image program loads it. Without a desktop its messages go to
    // standard error, which is captured and dropped.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    void* module = dlopen(VANTOR_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto getInfo = reinterpret_cast<GetImageFileInfoProc>(dlsym(module, "GetImageFileInfo"));
    ASSERT_NE(getInfo, nullptr);
    ImageFileInfo info{};
    getInfo(&info);

    int decoded = 0, compared = 0;
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        const Bytes bytes = ReadFile(path);

        // Both paths in this process (the plug-in's decoder, linked in): with full-size planes,
        // and as the read entry decodes, against the reference. Broken files may declare frames
        // of gigabytes; the limit refuses those on both paths alike and keeps the comparison of
        // their planes short.
        vantor::JpegDecoder decoder;
        decoder.SetMemoryLimit(kComparisonMemory);
        const int result = Decode(decoder, bytes);
        EXPECT_EQ(BitmapPathDifference(std::string(bytes.begin(), bytes.end()), kComparisonMemory),
                  "");

        ::testing::internal::CaptureStderr();
        HGLOBAL h = info.ReadImage(path.c_str());
        ::testing::internal::GetCapturedStderr();
        Bytes actual;
        if (h != nullptr) {
            const auto* p = static_cast<const std::uint8_t*>(GlobalLock(h));
            actual.assign(p, p + GlobalSize(h));
            GlobalUnlock(h);
            GlobalUnlock(h);
            GlobalFree(h);
            ++decoded;
        }
        if (decoder.LastError() != vantor::DecodeError::kFrameTooLarge) {
            EXPECT_EQ(h != nullptr, result == 1 && decoder.GetInfo().componentCount == 3);
        }

        // The files this decoder is for: SOF0, three components with identifiers 0 to 5, which
        // libjpeg reads as YCbCr and decodes without any warning.
        const FrameMarker frame = FirstFrame(bytes);
        if (frame.code != 0xC0 || frame.ids.size() != 3 ||
            *std::max_element(frame.ids.begin(), frame.ids.end()) > vantor::kMaxComponentId) {
            continue;
        }
        ReferenceNotes notes;
        const Bytes expected = ReferenceBitmap(bytes, &notes);
        if (expected.empty() || notes.warnings != 0 || !notes.ycbcr || notes.components != 3) {
            continue;
        }
        ++compared;
        EXPECT_TRUE(actual == expected) << "the plug-in's bitmap differs from libjpeg's";
    }
    dlclose(module);
    std::printf("%zu files, %d decoded to bitmaps, %d compared with libjpeg\n", files.size(),
                decoded, compared);
    EXPECT_GT(compared, 0);
}

}  // namespace
}  // namespace plugintest
