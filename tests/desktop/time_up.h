// A game of Easy played until its clock runs out, through the scripted driver on the desktop:
// the time-up box ("时间到!" captioned "失败") is held open as a real window, so that real input
// and the screen can be checked on it.
#pragma once

#include <string>

#include "tests/desktop/desktop_fixture.h"

namespace desktop {

class TimeUpTest : public DesktopTest {
  protected:
    // Starts the driver, starts Easy with F1 and lets its 300 ticks of 600 ms run out with the
    // time-up box held. `nameEntry` answers the name entry dialog that follows the box (a score
    // of 100 ranks in an empty table): "ok", "cancel" or "hold". Returns the box's window (0 with
    // a failure when it does not show).
    XWindow HoldTimeUpBox(const std::string& nameEntry) {
        StartDriver(
            {"time 1000", "start", "key F1", "answer hold", "answer " + nameEntry, "wait 181000"});
        std::string line;
        if (!driver_.WaitForEvent("msgbox", kStartMs, &line)) {
            ADD_FAILURE() << "no message box when the time ran out; the driver wrote:\n"
                          << driver_.Transcript();
            return 0;
        }
        EXPECT_EQ(JsonText(line, "caption"), kTimeUpCaption) << line;
        EXPECT_EQ(JsonText(line, "text"), "时间到!\n\n加时间能量100分.") << line;
        const XWindow box = x_.WaitForClient(kTimeUpCaption, kShowMs);
        EXPECT_NE(box, 0u) << "the time-up box is not shown";
        if (box) SettledShot(x_.Geometry(box));
        return box;
    }

    // Ends the program through the script and checks that it ended well.
    void Quit() {
        driver_.Send("quit");
        EXPECT_EQ(driver_.Finish(kShowMs), 0) << driver_.Transcript();
    }
};

}  // namespace desktop
