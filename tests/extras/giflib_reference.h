// Reference decoding through giflib, the independent decoder the advert player is compared with,
// and a straightforward composition of its frames by the rules the advert window plays by.
#pragma once

#include <cstdint>
#include <vector>

namespace giftest {

struct RefFrame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> indexes;  // width x height, rows top to bottom (de-interlaced)
    std::uint32_t colours[256] = {};    // 0x00RRGGBB of the frame's colour table
    int colourCount = 0;
    bool hasControl = false;  // a graphic control extension precedes the image
    int disposal = 0, transparentIndex = -1, delay = 0;
};

struct RefGif {
    bool ok = false;
    int screenWidth = 0, screenHeight = 0;
    std::vector<RefFrame> frames;
};

RefGif GiflibDecode(const std::vector<std::uint8_t>& bytes);

// Canvases after each of `ticks` ticks of the animation: frames in order, looping; a graphic
// control's transparency and delay stay in force for later frames without one; every pixel of
// the transparent colour shows the canvas; disposal 2 and 3 put back what lay under the frame;
// everything clipped to the screen. `background` fills the canvas at the start.
std::vector<std::vector<std::uint32_t>> ReferenceCanvases(const RefGif& gif, int ticks,
                                                          std::uint32_t background = 0);

}  // namespace giftest
