// The advert player's composition checked against the giflib-decoded reference: the canvas
// after every tick of the animation, from a background colour the frames cannot have.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "game/extras/gif_player.h"
#include "tests/extras/giflib_reference.h"

namespace giftest {

// Runs the animation for `ticks` frames and compares every canvas with the reference. With
// `overEmptySteps`, a step that yields no frame (a block the player does not know, such as an
// extension of an unknown label: it shows nothing new and leaves the canvas as it was) is
// stepped over; otherwise every step must yield the next frame.
inline void ExpectCanvasesLikeReference(const std::vector<std::uint8_t>& bytes, int ticks,
                                        bool overEmptySteps = false) {
    const RefGif ref = GiflibDecode(bytes);
    ASSERT_TRUE(ref.ok);
    const auto expected = ReferenceCanvases(ref, ticks, 0x123456);
    gif::Stream stream;
    ASSERT_TRUE(stream.Open(bytes.data(), bytes.size()));
    gif::Animation animation(stream);
    animation.Begin(0x123456);
    for (int tick = 0; tick < ticks; ++tick) {
        bool stepped = animation.Step();
        for (int empty = 0; overEmptySteps && !stepped && empty < 1000; ++empty) {
            const std::vector<std::uint32_t> before = animation.CanvasPixels();
            stepped = animation.Step();
            if (!stepped) ASSERT_EQ(animation.CanvasPixels(), before) << "an empty step drew";
        }
        ASSERT_TRUE(stepped) << "tick " << tick;
        ASSERT_EQ(animation.CanvasPixels(), expected[std::size_t(tick)]) << "tick " << tick;
    }
}

}  // namespace giftest
