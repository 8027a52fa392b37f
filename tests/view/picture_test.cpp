// Pictures: JPEG files decoded through libjpeg, kept bottom-up, drawn unscaled from their
// bottom-left corner; the failure rules with their message boxes and the trace.
#include "game/view/picture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/seams/seams.h"
#include "tests/gdi/helpers.h"
#include "tests/support/jpeg_writer.h"

using gditest::Canvas;

namespace {

// Writes a baseline JPEG of w x h; `colour(x, y)` gives the colour. Quality 100, no subsampling,
// so flat 8 x 8 blocks come back within a step or two.
template <class F>
void WriteJpeg(const std::string& path, int w, int h, bool grey, F colour) {
    testjpeg::JpegOptions options;
    options.quality = 100;
    options.grey = grey;
    options.fullChroma = true;
    ASSERT_TRUE(testjpeg::WriteJpeg(path, w, h, colour, options)) << path;
}

bool Near(COLORREF a, COLORREF b, int tolerance = 3) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

struct Event {
    std::string name;
    std::string text;  // "file", or "caption|text"
};

class PictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mkdir("viewpics", 0755);
        seams::SetTraceSink([this](const std::string& e, const std::vector<seams::Field>& fields) {
            Event ev{e, ""};
            for (const auto& f : fields) ev.text += (ev.text.empty() ? "" : "|") + f.s;
            events.push_back(ev);
        });
        seams::EnableResponder(true);
        seams::ClearAnswers();
    }
    void TearDown() override {
        seams::SetTraceSink({});
        seams::ClearAnswers();
        seams::EnableResponder(false);
    }
    std::vector<Event> events;
};

// Top half red, bottom half blue, 16 x 16, with a green 8 x 8 block at the bottom left.
COLORREF Quadrants(int x, int y) {
    if (y < 8) return RGB(255, 0, 0);
    return x < 8 ? RGB(0, 255, 0) : RGB(0, 0, 255);
}

TEST_F(PictureTest, LoadsBottomUpAndDrawsTheBottomLeftPartOfASmallerRectangle) {
    WriteJpeg("viewpics/q.jpg", 16, 16, false, Quadrants);
    CPicture pic;
    pic.Load("viewpics\\q.jpg");
    ASSERT_TRUE(pic.IsLoaded());
    EXPECT_EQ(pic.Width(), 16);
    EXPECT_EQ(pic.Height(), 16);
    EXPECT_EQ(pic.Stride(), 48);
    // The first stored row is the picture's bottom row, in blue-green-red order.
    const unsigned char* bottom = pic.Pixels();
    EXPECT_LE(bottom[0], 3);
    EXPECT_GE(bottom[1], 250);
    EXPECT_GE(bottom[15 * 3], 250);  // blue, bottom right
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].name, "picture");
    EXPECT_EQ(events[0].text, "viewpics\\q.jpg");

    Canvas full(20, 20, RGB(9, 9, 9));
    pic.Draw(&full.dc, 2, 2, 16, 16);
    EXPECT_TRUE(Near(full.At(2, 2), RGB(255, 0, 0)));
    EXPECT_TRUE(Near(full.At(3, 17), RGB(0, 255, 0)));
    EXPECT_TRUE(Near(full.At(17, 17), RGB(0, 0, 255)));
    EXPECT_EQ(full.At(18, 18), RGB(9, 9, 9));

    // 8 x 8 from the bottom-left: only the green block.
    Canvas part(20, 20, RGB(9, 9, 9));
    pic.Draw(&part.dc, 0, 0, 8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_TRUE(Near(part.At(x, y), RGB(0, 255, 0))) << x << "," << y;
    EXPECT_EQ(part.At(8, 0), RGB(9, 9, 9));
    EXPECT_EQ(part.At(0, 8), RGB(9, 9, 9));
}

TEST_F(PictureTest, OddWidthRowsArePaddedToFourBytes) {
    WriteJpeg("viewpics/odd.jpg", 13, 5, false,
              [](int x, int) { return x < 8 ? RGB(200, 10, 10) : RGB(10, 10, 200); });
    CPicture pic;
    pic.Load("viewpics\\odd.jpg");
    ASSERT_TRUE(pic.IsLoaded());
    EXPECT_EQ(pic.Stride(), 40);
    Canvas c(13, 5);
    pic.Draw(&c.dc, 0, 0, 13, 5);
    EXPECT_TRUE(Near(c.At(12, 0), RGB(10, 10, 200), 12));
    EXPECT_TRUE(Near(c.At(0, 4), RGB(200, 10, 10), 12));
}

TEST_F(PictureTest, GreyscalePictureIsShownGrey) {
    WriteJpeg("viewpics/g.jpg", 8, 8, true, [](int, int) { return RGB(100, 100, 100); });
    CPicture pic;
    pic.Load("viewpics\\g.jpg");
    ASSERT_TRUE(pic.IsLoaded());
    Canvas c(8, 8);
    pic.Draw(&c.dc, 0, 0, 8, 8);
    const COLORREF p = c.At(4, 4);
    EXPECT_EQ(GetRValue(p), GetGValue(p));
    EXPECT_EQ(GetGValue(p), GetBValue(p));
    EXPECT_TRUE(Near(p, RGB(100, 100, 100), 2));
}

TEST_F(PictureTest, MissingFileKeepsThePreviousPictureSilently) {
    WriteJpeg("viewpics/a.jpg", 8, 8, false, [](int, int) { return RGB(0, 0, 255); });
    CPicture pic;
    pic.Load("viewpics\\a.jpg");
    pic.Load("viewpics\\absent.jpg");
    EXPECT_TRUE(pic.IsLoaded());
    EXPECT_EQ(pic.Width(), 8);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].name, "picture");
    EXPECT_EQ(events[1].text, "viewpics\\absent.jpg");
    Canvas c(8, 8);
    pic.Draw(&c.dc, 0, 0, 8, 8);
    EXPECT_TRUE(Near(c.At(3, 3), RGB(0, 0, 255)));
}

TEST_F(PictureTest, CorruptFileShowsTheLibrarysMessageAndDrawsNothing) {
    WriteJpeg("viewpics/b.jpg", 8, 8, false, [](int, int) { return RGB(0, 0, 255); });
    {
        std::FILE* f = std::fopen("viewpics/bad.jpg", "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("this is not a picture at all", f);
        std::fclose(f);
    }
    CPicture pic;
    pic.Load("viewpics\\b.jpg");
    seams::QueueAnswer(seams::Answer{});
    pic.Load("viewpics\\bad.jpg");
    EXPECT_EQ(seams::PendingAnswers(), 0u);
    EXPECT_FALSE(pic.IsLoaded());
    EXPECT_EQ(pic.Width(), 0);
    EXPECT_EQ(pic.Height(), 0);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[2].name, "msgbox");
    EXPECT_EQ(events[2].text.substr(0, 17), "JPEG Fatal Error|");
    EXPECT_GT(events[2].text.size(), 20u);  // the library's own words follow
    Canvas c(8, 8, RGB(9, 9, 9));
    pic.Draw(&c.dc, 0, 0, 8, 8);
    EXPECT_EQ(c.Count(RGB(9, 9, 9)), 64);
    // A later good file brings the picture back.
    pic.Load("viewpics\\b.jpg");
    EXPECT_TRUE(pic.IsLoaded());
}

TEST_F(PictureTest, TruncatedFileWarnsOnceAndStillShows) {
    // Noise, so that the scan data is most of the file and the cut falls inside it.
    WriteJpeg("viewpics/t.jpg", 64, 64, false, [](int x, int y) {
        return RGB((x * 37 + y * 91) % 256, (x * x + 7 * y) % 256, (x ^ y) * 4);
    });
    std::FILE* f = std::fopen("viewpics/t.jpg", "rb");
    std::vector<char> bytes(100000);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    f = std::fopen("viewpics/t2.jpg", "wb");
    std::fwrite(bytes.data(), 1, bytes.size() * 2 / 3, f);
    std::fclose(f);
    seams::QueueAnswer(seams::Answer{});
    CPicture pic;
    pic.Load("viewpics\\t2.jpg");
    EXPECT_TRUE(pic.IsLoaded());
    EXPECT_EQ(pic.Width(), 64);
    int warnings = 0;
    for (const Event& e : events)
        if (e.name == "msgbox") {
            ++warnings;
            EXPECT_EQ(e.text.substr(0, 11), "JPEG Error|");
        }
    EXPECT_EQ(warnings, 1);
}

TEST_F(PictureTest, ReaderZeroesItsOutputsOnFailure) {
    int w = 5, h = 5;
    seams::QueueAnswer(seams::Answer{});
    EXPECT_EQ(JpegFile::Read("viewpics\\nothing-here.jpg", &w, &h), nullptr);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    ASSERT_FALSE(events.empty());
    EXPECT_NE(events.back().text.find("JPEG :\nCan't open viewpics\\nothing-here.jpg\n"),
              std::string::npos);
}

}  // namespace
