// Feeds arbitrary bytes to the advert picture's GIF reader and plays a few dozen ticks of the
// animation on them, as the advert window would.
#include <cstddef>
#include <cstdint>

#include "game/extras/gif_player.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static gif::Stream stream;
    if (!stream.Open(data, size)) return 0;
    // Composing needs a canvas of the whole screen; for very large screens decode frames only.
    if (std::uint64_t(stream.ScreenWidth()) * std::uint64_t(stream.ScreenHeight()) <= (1u << 20)) {
        gif::Animation animation(stream);
        animation.Begin(0x808080);
        for (int tick = 0; tick < 48; ++tick) {
            animation.Step();
            if (animation.DelayMs() == 0) __builtin_trap();
        }
    } else {
        gif::Frame frame;
        for (int tick = 0; tick < 8; ++tick) stream.NextFrame(frame);
    }
    if (stream.Position() > stream.DataSize()) __builtin_trap();
    return 0;
}
