// The windowing tests run on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/afx/automation.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    afx::InitPlatform(argc, argv);
    return RUN_ALL_TESTS();
}
