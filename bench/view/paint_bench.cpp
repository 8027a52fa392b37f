// One whole frame of the main window: PaintGame of a full Super board (180 tiles) over a
// 720 x 500 background, composed in the back buffer and copied to a window-sized surface.
#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <cstdio>
#include <vector>

#include "game/view/view.h"
#include "tests/view/artwork.h"

namespace {

void WriteBackground(const char* path, int w, int h) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return;
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = w;
    c.image_height = h;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(w) * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            row[3 * x] = static_cast<JSAMPLE>(x);
            row[3 * x + 1] = static_cast<JSAMPLE>(y);
            row[3 * x + 2] = static_cast<JSAMPLE>(x + y);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
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
