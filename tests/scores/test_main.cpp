// The dialog tests run on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/afx/automation.h"

// Under LeakSanitizer: fontconfig keeps its configuration and caches for the life of the
// process (freed only by an explicit FcFini, which Qt never calls), so its blocks are left out.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    afx::InitPlatform(argc, argv);
    return RUN_ALL_TESTS();
}
