// Decoding time of advert frames on crafted data: a 1 x 1 frame followed by about a megabyte of
// codes that each name the longest string in the table (the work must stay linear in the data),
// and, for comparison, an ordinary 320 x 240 frame of noise.
#include <benchmark/benchmark.h>

#include "game/extras/gif_decoder.h"
#include "tests/extras/gif_writer.h"

namespace {

giftest::Bytes LongestStringFile(std::size_t bytes) {
    giftest::Image image;
    image.width = image.height = 1;
    const giftest::Bytes codes =
        giftest::PackCodes(giftest::GiflibWidths(giftest::LongestStringCodes(bytes), 2));
    return giftest::GifWriter(1, 1, giftest::Palette(4))
        .AddRawImage(image, 2, giftest::SubBlocks(codes))
        .Trailer()
        .bytes();
}

void DecodeFirstFrame(benchmark::State& state, const giftest::Bytes& file) {
    gif::Stream stream;
    if (!stream.Open(file.data(), file.size())) state.SkipWithError("the file does not open");
    gif::Frame frame;
    for (auto _ : state) {
        stream.Rewind();
        if (!stream.NextFrame(frame)) state.SkipWithError("the frame was dropped");
        benchmark::DoNotOptimize(frame.pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}

void BM_LongestStringCodes(benchmark::State& state) {
    const giftest::Bytes file = LongestStringFile(std::size_t(state.range(0)) << 10);
    DecodeFirstFrame(state, file);
}
BENCHMARK(BM_LongestStringCodes)->Arg(100)->Arg(1024)->Unit(benchmark::kMillisecond);

void BM_NoiseFrame(benchmark::State& state) {
    giftest::Image image;
    image.width = 320;
    image.height = 240;
    image.pixels = giftest::Noise(320, 240, 256, 5);
    static const giftest::Bytes file =
        giftest::GifWriter(320, 240, giftest::Palette(256)).AddImage(image).Trailer().bytes();
    DecodeFirstFrame(state, file);
}
BENCHMARK(BM_NoiseFrame)->Unit(benchmark::kMillisecond);

}  // namespace
