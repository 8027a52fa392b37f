// Real-world GIF files from other decoders' public test suites, read from the folder named by
// KIVRA_GIF_CORPUS: every file decodes without a fault or a hang, and every frame giflib decodes
// is decoded index for index the same (rectangle, colour table, the rows on the screen), except
// where the game's rules for damaged data decide otherwise, and the advert player composes two
// whole rounds of each as the reference composition does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/extras/gif_decoder.h"
#include "tests/extras/compose_check.h"
#include "tests/extras/giflib_reference.h"

namespace {

namespace fs = std::filesystem;

struct Decoded {
    bool opened = false;
    std::vector<gif::Frame> frames;  // in file order, dropped frames left out
    int dropped = 0;                 // steps that yielded no frame before the end
};

// Every frame of one pass through the file: steps until the reader comes back to the start
// (after the trailer, or at the end of the data).
Decoded DecodeOnce(const std::vector<std::uint8_t>& bytes) {
    Decoded d;
    gif::Stream stream;
    d.opened = stream.Open(bytes.data(), bytes.size());
    if (!d.opened) return d;
    for (int step = 0; step < 100000; ++step) {
        const std::size_t before = stream.Position();
        gif::Frame frame;
        const bool got = stream.NextFrame(frame);
        // Back at the start (past the trailer or the end of the data): one pass is done, and a
        // frame read on the way is the first one again.
        if (stream.Position() <= before) break;
        if (got)
            d.frames.push_back(frame);
        else
            ++d.dropped;
    }
    return d;
}

std::vector<std::uint8_t> VisibleIndexes(const gif::Frame& f) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < f.visibleHeight; ++y)
        for (int x = 0; x < f.visibleWidth; ++x) out.push_back(f.IndexAt(x, y));
    return out;
}

std::vector<std::uint8_t> ClipReference(const giftest::RefFrame& r, int visW, int visH) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < visH; ++y)
        for (int x = 0; x < visW; ++x) out.push_back(r.indexes[std::size_t(y) * r.width + x]);
    return out;
}

TEST(GifCorpus, RealWorldFilesDecodeAsGiflibDoes) {
    const char* folder = std::getenv("KIVRA_GIF_CORPUS");
    if (!folder || !fs::is_directory(folder))
        GTEST_SKIP() << "no corpus: KIVRA_GIF_CORPUS names no folder, nothing was checked";
    int files = 0, compared = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".gif") continue;
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
        const Decoded ours = DecodeOnce(bytes);
        const giftest::RefGif ref = giftest::GiflibDecode(bytes);
        // A file giflib refuses as a whole (a zero-sized or out-of-range image, a missing colour
        // table, a truncated stream) is only required to end without a fault: the game shows
        // whatever frames its own rules for damaged data keep.
        if (!ref.ok) continue;
        ASSERT_TRUE(ours.opened);
        ASSERT_EQ(ours.frames.size(), ref.frames.size());
        for (std::size_t i = 0; i < ref.frames.size(); ++i) {
            SCOPED_TRACE("frame " + std::to_string(i));
            const giftest::RefFrame& r = ref.frames[i];
            const gif::Frame& f = ours.frames[i];
            EXPECT_EQ(f.left, r.left);
            EXPECT_EQ(f.top, r.top);
            EXPECT_EQ(f.width, r.width);
            EXPECT_EQ(f.height, r.height);
            EXPECT_EQ(VisibleIndexes(f), ClipReference(r, f.visibleWidth, f.visibleHeight));
            for (int c = 0; c < r.colourCount; ++c) ASSERT_EQ(f.colours[c], r.colours[c]) << c;
            ++compared;
        }
        // The advert player composes two whole rounds as the reference composes them.
        if (!ref.frames.empty()) {
            SCOPED_TRACE("composition");
            giftest::ExpectCanvasesLikeReference(bytes, 2 * int(ref.frames.size()), true);
        }
    }
    EXPECT_GT(files, 0);
    std::printf("%d files, %d frames compared with giflib\n", files, compared);
}

}  // namespace
