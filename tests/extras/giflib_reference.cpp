#include "tests/extras/giflib_reference.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace giftest {
namespace {

struct Reader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t pos;
};

int ReadBytes(GifFileType* file, GifByteType* out, int wanted) {
    auto* reader = static_cast<Reader*>(file->UserData);
    const std::size_t n =
        std::min<std::size_t>(std::size_t(wanted), reader->bytes->size() - reader->pos);
    std::memcpy(out, reader->bytes->data() + reader->pos, n);
    reader->pos += n;
    return int(n);
}

}  // namespace

RefGif GiflibDecode(const std::vector<std::uint8_t>& bytes) {
    RefGif gif;
    Reader reader{&bytes, 0};
    int error = 0;
    GifFileType* file = DGifOpen(&reader, ReadBytes, &error);
    if (!file) return gif;
    if (DGifSlurp(file) != GIF_OK) {
        DGifCloseFile(file, &error);
        return gif;
    }
    gif.ok = true;
    gif.screenWidth = file->SWidth;
    gif.screenHeight = file->SHeight;
    for (int i = 0; i < file->ImageCount; ++i) {
        const SavedImage& image = file->SavedImages[i];
        RefFrame frame;
        frame.left = image.ImageDesc.Left;
        frame.top = image.ImageDesc.Top;
        frame.width = image.ImageDesc.Width;
        frame.height = image.ImageDesc.Height;
        frame.indexes.assign(image.RasterBits,
                             image.RasterBits + std::size_t(frame.width) * frame.height);
        const ColorMapObject* map =
            image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : file->SColorMap;
        if (map) {
            frame.colourCount = map->ColorCount;
            for (int c = 0; c < map->ColorCount && c < 256; ++c) {
                const GifColorType& rgb = map->Colors[c];
                frame.colours[c] =
                    (std::uint32_t(rgb.Red) << 16) | (std::uint32_t(rgb.Green) << 8) | rgb.Blue;
            }
        }
        GraphicsControlBlock gcb;
        if (DGifSavedExtensionToGCB(file, i, &gcb) == GIF_OK) {
            frame.hasControl = true;
            frame.disposal = gcb.DisposalMode;
            frame.transparentIndex = gcb.TransparentColor;
            frame.delay = gcb.DelayTime;
        }
        gif.frames.push_back(std::move(frame));
    }
    DGifCloseFile(file, &error);
    return gif;
}

std::vector<std::vector<std::uint32_t>> ReferenceCanvases(const RefGif& gif, int ticks,
                                                          std::uint32_t background) {
    const int w = gif.screenWidth, h = gif.screenHeight;
    std::vector<std::uint32_t> canvas(std::size_t(w) * h, background);
    std::vector<std::vector<std::uint32_t>> out;
    std::vector<std::uint32_t> saved;
    int savedLeft = 0, savedTop = 0, savedW = 0, savedH = 0;
    bool havePatch = false;
    int transparentIndex = -1;
    for (int tick = 0; tick < ticks; ++tick) {
        if (havePatch) {
            for (int y = 0; y < savedH; ++y)
                for (int x = 0; x < savedW; ++x)
                    canvas[std::size_t(savedTop + y) * w + savedLeft + x] =
                        saved[std::size_t(y) * savedW + x];
            havePatch = false;
        }
        if (gif.frames.empty()) {
            out.push_back(canvas);
            continue;
        }
        const RefFrame& f = gif.frames[std::size_t(tick) % gif.frames.size()];
        int disposal = 0;
        if (f.hasControl) {
            transparentIndex = f.transparentIndex;
            disposal = f.disposal;
        }
        const int visW = f.left < w ? std::min(f.width, w - f.left) : 0;
        const int visH = f.top < h ? std::min(f.height, h - f.top) : 0;
        if (disposal == 2 || disposal == 3) {
            savedLeft = f.left;
            savedTop = f.top;
            savedW = visW;
            savedH = visH;
            saved.assign(std::size_t(visW) * visH, 0);
            for (int y = 0; y < visH; ++y)
                for (int x = 0; x < visW; ++x)
                    saved[std::size_t(y) * visW + x] =
                        canvas[std::size_t(f.top + y) * w + f.left + x];
            havePatch = true;
        }
        const bool transparent = transparentIndex >= 0 && transparentIndex < f.colourCount;
        const std::uint32_t clear = transparent ? f.colours[transparentIndex] : 0;
        for (int y = 0; y < visH; ++y) {
            for (int x = 0; x < visW; ++x) {
                const std::uint32_t c = f.colours[f.indexes[std::size_t(y) * f.width + x]];
                if (transparent && c == clear) continue;
                canvas[std::size_t(f.top + y) * w + f.left + x] = c;
            }
        }
        out.push_back(canvas);
    }
    return out;
}

}  // namespace giftest
