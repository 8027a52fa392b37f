// The windowing tests run on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/afx/automation.h"

// Under LeakSanitizer: fontconfig keeps its configuration and caches for the life of the
// process (freed only by an explicit FcFini, which neither Qt nor FreeType users call).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

// Under ThreadSanitizer: Qt is not instrumented, so the hand-over of pixels to its own
// worker threads (image blending and conversion while a window is presented) is invisible
// to the sanitizer and shows up as races inside Qt's libraries.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Gui.so\nrace:libQt6Core.so\nrace:libQt6Widgets.so\n";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    afx::InitPlatform(argc, argv);
    return RUN_ALL_TESTS();
}
