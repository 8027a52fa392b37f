// One whole frame of the main window: PaintGame of a full Super board (180 tiles) over a
// 720 x 500 background, composed in the back buffer and copied to a window-sized surface.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "game/view/view.h"
#include "tests/support/jpeg_writer.h"
#include "tests/view/artwork.h"

namespace {

// A gradient background: red follows x, green y and blue both.
void WriteBackground(const char* path, int w, int h) {
    testjpeg::WriteJpeg(path, w, h, [](int x, int y) {
        return std::uint32_t(x & 0xFF) | std::uint32_t(y & 0xFF) << 8 |
               std::uint32_t((x + y) & 0xFF) << 16;
    });
}

class FixedRandom : public RandomSource {
  public:
    int Rand() override {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }

  private:
    unsigned state_ = 1;
};

void BM_PaintGameSuperBoard(benchmark::State& state) {
    viewtest::SharedArtwork();
    CGameView view;
    view.Init(nullptr);
    CBoard board;
    FixedRandom rng;
    board.Deal(Super, 1, rng);
    WriteBackground("bench_background.jpg", 720, 500);
    CPicture background;
    background.Load("bench_background.jpg");
    GameViewState s;
    s.board = &board;
    s.score = 12345;
    s.hints = 4;
    s.reshuffles = 3;
    s.timeLeft = 280;
    s.prizeShown = 1;
    s.prizeText = "奖励时间";
    s.gameInProgress = true;
    s.background = &background;
    CDC window;
    window.AttachSurface(std::make_shared<gdi::Surface>(794, 530));
    const CRect client(0, 0, 794, 530);
    for (auto _ : state) {
        view.PaintGame(&window, s, client);
        benchmark::DoNotOptimize(window.GetPixel(400, 300));
    }
    state.counters["tiles"] = board.TileCount();
}
BENCHMARK(BM_PaintGameSuperBoard)->Unit(benchmark::kMillisecond);

}  // namespace
