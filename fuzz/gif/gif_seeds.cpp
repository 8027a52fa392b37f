// Writes the seed corpus of the GIF fuzz target: small pictures that between them reach every
// block kind, interlace, local tables, transparency, both disposals and broken LZW data.
#include <cstdio>
#include <string>

#include "tests/extras/gif_writer.h"

using namespace giftest;

namespace {

void Save(const std::string& dir, const std::string& name, const Bytes& bytes) {
    const std::string path = dir + "/" + name + ".gif";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

Image Noisy(int left, int top, int w, int h, int colours, unsigned seed, bool interlaced = false) {
    Image image;
    image.left = left;
    image.top = top;
    image.width = w;
    image.height = h;
    image.interlaced = interlaced;
    image.pixels = Noise(w, h, colours, seed);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    Save(dir, "single",
         GifWriter(8, 8, Palette(4)).AddImage(Noisy(0, 0, 8, 8, 4, 1)).Trailer().bytes());
    Save(dir, "gif87a",
         GifWriter(5, 3, Palette(2), "GIF87a").AddImage(Noisy(0, 0, 5, 3, 2, 2)).Trailer().bytes());
    {
        Image image = Noisy(1, 1, 6, 11, 16, 3, true);
        image.localTable = Palette(16, 5);
        Save(dir, "interlaced-local",
             GifWriter(9, 13).Comment("seed").AddImage(image).Trailer().bytes());
    }
    {
        GifWriter w(12, 10, Palette(8));
        w.Loop(0).GraphicControl(1, false, 0, 10).AddImage(Noisy(0, 0, 12, 10, 8, 4));
        w.GraphicControl(2, true, 3, 0).AddImage(Noisy(2, 2, 5, 5, 8, 5));
        w.GraphicControl(3, true, 1, 4).AddImage(Noisy(6, 4, 8, 8, 8, 6));
        w.PlainText("hello").AddImage(Noisy(0, 0, 3, 3, 8, 7));
        Save(dir, "animated", w.Trailer().bytes());
    }
    {
        Image image = Noisy(0, 0, 64, 64, 256, 8);
        image.clearWhenFull = false;
        Save(dir, "full-table", GifWriter(64, 64, Palette(256)).AddImage(image).Trailer().bytes());
    }
    {
        Image image;
        image.width = image.height = 4;
        Save(dir, "broken-lzw",
             GifWriter(4, 4, Palette(4))
                 .AddRawImage(image, 2, SubBlocks(PackCodes({{4, 3}, {1, 3}, {7, 3}, {5, 3}})))
                 .AddImage(Noisy(0, 0, 4, 4, 4, 9))
                 .Trailer()
                 .bytes());
    }
    return 0;
}
