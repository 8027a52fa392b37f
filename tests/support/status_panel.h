// Test support: where the game's client area lies on the screen, found from what it draws.
// The status panel's time bar sits in a 304-pixel cyan frame at client (248, 0); its top edge
// is a run of exactly 304 cyan pixels with the frame's left side below it. This does not depend
// on the window manager's decorations or on the menu bar.
#pragma once

#include "tests/support/x_image.h"

namespace testsupport {

// The screen position of the client area's (0, 0); false when no status panel is shown.
inline bool FindStatusPanel(const Image& img, int* clientX, int* clientY) {
    const uint32_t cyan = Rgb(0, 255, 255);
    for (int y = img.area.y; y + 18 < img.area.Bottom(); ++y) {
        int run = 0;
        for (int x = img.area.x; x < img.area.Right(); ++x) {
            run = img.At(x, y) == cyan ? run + 1 : 0;
            if (run == 304 && (x + 1 == img.area.Right() || img.At(x + 1, y) != cyan) &&
                img.At(x - 303, y + 17) == cyan) {
                *clientX = x - 303 - 248;
                *clientY = y;
                return true;
            }
        }
    }
    return false;
}

}  // namespace testsupport
