// The name entry dialog after a ranking score, on the desktop: the edit control has the
// keyboard when the dialog opens, real keys type into it, Tab and Shift+Tab move between it and
// the buttons, Return presses 记录, and the name typed is what the Easy table stores.
#include <string>

#include "tests/desktop/time_up.h"
#include "tests/support/process.h"

namespace desktop {
namespace {

using testsupport::SleepMs;
using testsupport::WaitUntil;

TEST_F(TimeUpTest, NameEntryTakesRealKeysAndStoresTheName) {
    // The time-up box is answered by the script; the name entry dialog is held for real keys.
    StartDriver({"time 1000", "start", "key F1", "answer ok", "answer hold", "wait 181000"});
    std::string line;
    ASSERT_TRUE(driver_.WaitFor(
        [](const std::string& l) {
            return JsonText(l, "event") == "dialog" && JsonNumber(l, "id", 0) == 158;
        },
        kStartMs, &line))
        << "no name entry dialog after the time ran out:\n"
        << driver_.Transcript();
    const XWindow dialog = x_.WaitForClient(kNameEntryTitle, kShowMs);
    ASSERT_NE(dialog, 0u) << "the name entry dialog is not shown";
    const Rect client = x_.Geometry(dialog);
    SettledShot(client);

    // The inside of the edit control (1003): how many columns show dark text.
    const Rect e = DialogUnits(64, 36, 80, 14);
    const Rect inside{client.x + e.x + 3, client.y + e.y + 3, e.w - 6, e.h - 6};
    auto inkColumns = [&] {
        const Image img = x_.Shot(inside);
        int columns = 0;
        for (int x = inside.x; x < inside.Right(); ++x) {
            bool dark = false;
            for (int y = inside.y; y < inside.Bottom(); ++y) dark = dark || Dark(img.At(x, y));
            columns += dark;
        }
        return columns;
    };
    EXPECT_LE(inkColumns(), 2) << "the edit control is not empty when the dialog opens";

    x_.Type("Lee");
    EXPECT_TRUE(WaitUntil(kReactMs, [&] { return inkColumns() >= 10; }))
        << "the name typed does not show in the edit control";
    // Tab to 记录: a letter there types nothing. Shift+Tab back to the name, End, more letters.
    x_.Key("Tab");
    SleepMs(100);
    x_.Type("x");
    SleepMs(100);
    x_.Key("Tab", {"Shift_L"});
    SleepMs(100);
    x_.Key("End");
    x_.Type("Kim");
    SleepMs(100);
    x_.Key("Return");
    EXPECT_TRUE(x_.WaitGone(dialog, kReactMs)) << "Return did not press 记录";

    std::string state;
    EXPECT_TRUE(driver_.State(&state, kShowMs)) << "the program no longer answers";
    Quit();
    // "LeexKim": Tab left the name where it was; "Lee": Shift+Tab did not come back to it.
    EXPECT_EQ(ReadGameFile("score.1"), ScoreTable({{100, "LeeKim"}}));
    EXPECT_EQ(ReadGameFile("score.2"), ScoreTable({})) << "another difficulty's table changed";
}

}  // namespace
}  // namespace desktop
