// The time-up box on the desktop: it takes the keyboard when it opens and answers Enter, Space
// and Esc itself (the main window must neither hide nor end), it is laid out for its text (wide
// enough, no icon, its button centred) and its text is drawn without smoothing.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/desktop/time_up.h"
#include "tests/support/process.h"

namespace desktop {
namespace {

using testsupport::WaitUntil;

class TimeUpKeyTest : public TimeUpTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TimeUpKeyTest, AnswersTheBoxAndTheGameGoesOn) {
    const XWindow box = HoldTimeUpBox("cancel");
    ASSERT_NE(box, 0u);
    const XWindow main = x_.FindClient(kMainTitle);
    ASSERT_NE(main, 0u) << "no main window";
    EXPECT_TRUE(WaitUntil(kReactMs, [&] { return x_.FocusWindow() == box; }))
        << "the box does not have the keyboard focus (the focus is on window " << x_.FocusWindow()
        << ", the box is " << box << ", the main window " << main << ")";

    x_.Key(GetParam());
    EXPECT_TRUE(x_.WaitGone(box, kReactMs)) << "the box did not answer " << GetParam();

    std::string state;
    ASSERT_TRUE(driver_.State(&state, kShowMs))
        << "the program no longer answers after " << GetParam() << " on the box:\n"
        << driver_.Transcript();
    EXPECT_EQ(JsonNumber(state, "hidden", -1), 0) << "the main window was hidden: " << state;
    EXPECT_TRUE(x_.Viewable(main)) << "the main window is not mapped";
    EXPECT_EQ(x_.WmState(main), 1) << "the main window is not in the normal state (3: iconic)";
    Quit();
}

INSTANTIATE_TEST_SUITE_P(Keys, TimeUpKeyTest, ::testing::Values("Return", "space", "Escape"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

// The parts of the box: its client area, the button row at the bottom and the text above it.
struct BoxParts {
    Rect client, button, textArea, text;
    uint32_t background = 0;
};

BoxParts Measure(const Image& img, const Rect& client) {
    BoxParts p;
    p.client = client;
    p.background = img.CommonColour(client);
    p.button = LowestBlock(img, client, p.background);
    p.textArea = Rect{client.x, client.y, client.w, p.button.y - client.y};
    p.text = img.Ink(p.textArea, p.background);
    return p;
}

TEST_F(TimeUpTest, BoxIsWideEnoughHasNoIconAndCentresItsButton) {
    const XWindow box = HoldTimeUpBox("cancel");
    ASSERT_NE(box, 0u);
    const Rect client = x_.Geometry(box);
    const BoxParts p = Measure(SettledShot(client), client);
    EXPECT_GE(client.w, 160) << "the box is too narrow for its caption: " << ToString(client);
    ASSERT_FALSE(p.button.Empty()) << "no button row";
    ASSERT_FALSE(p.text.Empty()) << "no text above the button";
    EXPECT_LE(std::abs(p.button.CentreX2() - client.CentreX2()), 4)
        << "the button " << ToString(p.button) << " is not centred in " << ToString(client);
    EXPECT_LT(p.text.x - client.x, 24)
        << "the text starts " << p.text.x - client.x << " px in, as if after an icon";
    int coloured = 0;
    const Image img = x_.Shot(p.textArea);
    for (uint32_t c : img.px) {
        const int r = testsupport::Red(c), g = testsupport::Green(c), b = testsupport::Blue(c);
        coloured += std::max({r, g, b}) - std::min({r, g, b}) > 60;
    }
    EXPECT_EQ(coloured, 0) << "coloured pixels (an icon) beside the text";
    driver_.Send("answer ok");
    EXPECT_TRUE(x_.WaitGone(box, kReactMs)) << "the box did not take the script's answer";
    Quit();
}

TEST_F(TimeUpTest, BoxTextIsUnsmoothed) {
    const XWindow box = HoldTimeUpBox("cancel");
    ASSERT_NE(box, 0u);
    const Rect client = x_.Geometry(box);
    const Image img = SettledShot(client);
    const BoxParts p = Measure(img, client);
    ASSERT_FALSE(p.text.Empty()) << "no text in the box";
    std::vector<uint32_t> colours = img.Colours(p.text);
    std::string list;
    for (uint32_t c : colours) list += " " + testsupport::ToString(c);
    EXPECT_EQ(colours.size(), 2u) << "the text " << ToString(p.text)
                                  << " is not just text and background:" << list;
    driver_.Send("answer ok");
    Quit();
}

}  // namespace
}  // namespace desktop
