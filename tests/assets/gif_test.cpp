// The GIF writer and the 44 adverts, decoded with giflib.
#include "tools/assetgen/gif.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "asset_files.h"

namespace {

using namespace assets_test;
using assetgen::GifFile;
using assetgen::GifFrame;
using assetgen::Rgba;

struct Memory {
    const Bytes* data;
    size_t pos = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* buf, int n) {
    auto* m = static_cast<Memory*>(gif->UserData);
    size_t k = std::min(size_t(n), m->data->size() - m->pos);
    std::memcpy(buf, m->data->data() + m->pos, k);
    m->pos += k;
    return int(k);
}

// Decoded with giflib; nullptr (and a failure) when it does not decode.
struct Decoded {
    GifFileType* gif = nullptr;
    Memory mem;
    ~Decoded() {
        int err;
        if (gif) DGifCloseFile(gif, &err);
    }
};

bool Slurp(const Bytes& b, Decoded& d) {
    d.mem.data = &b;
    int err = 0;
    d.gif = DGifOpen(&d.mem, ReadMemory, &err);
    if (!d.gif) return false;
    return DGifSlurp(d.gif) == GIF_OK;
}

std::vector<uint8_t> RandomPixels(int n, int colours, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> px(static_cast<size_t>(n));
    for (auto& p : px) p = uint8_t(rng() % unsigned(colours));
    return px;
}

std::vector<Rgba> Grey(int n) {
    std::vector<Rgba> p;
    for (int i = 0; i < n; ++i) p.push_back({uint8_t(i), uint8_t(i), uint8_t(255 - i), 255});
    return p;
}

// Pixels survive the LZW coder for every table size, including streams long and noisy
// enough to fill the 4096-entry table many times over.
TEST(GifWriter, RoundTripsThroughGiflib) {
    struct Case {
        int w, h, colours;
        bool interlaced;
    };
    for (Case c :
         {Case{1, 1, 2, false}, Case{3, 3, 2, true}, Case{17, 5, 4, false}, Case{64, 48, 16, true},
          Case{300, 200, 256, false}, Case{211, 97, 256, true}, Case{40, 40, 3, false}}) {
        GifFile f;
        f.width = c.w;
        f.height = c.h;
        f.global_palette = Grey(c.colours);
        GifFrame fr;
        fr.width = c.w;
        fr.height = c.h;
        fr.interlaced = c.interlaced;
        fr.pixels = RandomPixels(c.w * c.h, c.colours, unsigned(c.w * 31 + c.h));
        f.frames.push_back(fr);
        Bytes b = assetgen::EncodeGif(f);
        Decoded d;
        ASSERT_TRUE(Slurp(b, d)) << c.w << "x" << c.h << " colours " << c.colours;
        ASSERT_EQ(d.gif->ImageCount, 1);
        const SavedImage& img = d.gif->SavedImages[0];
        EXPECT_EQ(bool(img.ImageDesc.Interlace), c.interlaced);
        // DGifSlurp puts interlaced rows in place itself.
        std::vector<uint8_t> got(img.RasterBits, img.RasterBits + size_t(c.w) * c.h);
        EXPECT_EQ(got, fr.pixels) << c.w << "x" << c.h << " colours " << c.colours;
    }
}

TEST(GifWriter, LongRunsOfOneColour) {
    GifFile f;
    f.width = 400;
    f.height = 300;
    f.global_palette = Grey(2);
    GifFrame fr;
    fr.width = 400;
    fr.height = 300;
    fr.pixels.assign(400 * 300, 1);
    f.frames.push_back(fr);
    Bytes b = assetgen::EncodeGif(f);
    EXPECT_LT(b.size(), 2000u);  // a flat picture compresses
    Decoded d;
    ASSERT_TRUE(Slurp(b, d));
    EXPECT_EQ(std::vector<uint8_t>(d.gif->SavedImages[0].RasterBits,
                                   d.gif->SavedImages[0].RasterBits + 400 * 300),
              fr.pixels);
}

TEST(GifWriter, RefusesFramesOutsideTheScreenOrBeyondTheirTable) {
    GifFile f;
    f.width = 10;
    f.height = 10;
    f.global_palette = Grey(4);
    GifFrame fr;
    fr.left = 5;
    fr.width = 6;
    fr.height = 2;
    fr.pixels.assign(12, 0);
    f.frames.push_back(fr);
    EXPECT_THROW(assetgen::EncodeGif(f), std::invalid_argument);
    f.frames[0].left = 0;
    f.frames[0].pixels[3] = 4;
    EXPECT_THROW(assetgen::EncodeGif(f), std::invalid_argument);
}

struct Features {
    bool interlace = false, local = false, transparency = false, disposal2 = false,
         disposal3 = false, zero_delay = false, loop = false, comment = false;
};

bool IsLoopExtension(const ExtensionBlock* blocks, int count) {
    for (int i = 0; i + 1 < count; ++i)
        if (blocks[i].Function == APPLICATION_EXT_FUNC_CODE && blocks[i].ByteCount == 11 &&
            std::memcmp(blocks[i].Bytes, "NETSCAPE2.0", 11) == 0)
            return true;
    return false;
}

TEST(Adverts, AllFortyFourDecodeAndAnimate) {
    Features seen;
    for (int d = 1; d <= 4; ++d)
        for (int l = 1; l <= 11; ++l) {
            char name[32];
            std::snprintf(name, sizeof name, "/ads/%d%02d.gif", d, l);
            Bytes b = ReadAll(DataDir() + name);
            ASSERT_FALSE(b.empty()) << name;
            Decoded g;
            ASSERT_TRUE(Slurp(b, g)) << name << ": giflib error " << (g.gif ? g.gif->Error : -1);
            GifFileType* gif = g.gif;
            EXPECT_GE(gif->SWidth, 160) << name;
            EXPECT_LE(gif->SWidth, 400) << name;
            EXPECT_GE(gif->SHeight, 80) << name;
            EXPECT_LE(gif->SHeight, 300) << name;
            EXPECT_GE(gif->ImageCount, 8) << name;
            EXPECT_TRUE(std::memcmp(b.data(), "GIF89a", 6) == 0) << name;
            // The first frame covers the whole screen.
            EXPECT_EQ(gif->SavedImages[0].ImageDesc.Width, gif->SWidth) << name;
            EXPECT_EQ(gif->SavedImages[0].ImageDesc.Height, gif->SHeight) << name;
            for (int i = 0; i < gif->ImageCount; ++i) {
                const SavedImage& img = gif->SavedImages[i];
                const GifImageDesc& desc = img.ImageDesc;
                EXPECT_LE(desc.Left + desc.Width, gif->SWidth) << name << " frame " << i;
                EXPECT_LE(desc.Top + desc.Height, gif->SHeight) << name << " frame " << i;
                const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
                ASSERT_NE(map, nullptr) << name << " frame " << i;
                if (desc.ColorMap) seen.local = true;
                if (desc.Interlace) seen.interlace = true;
                for (int p = 0; p < desc.Width * desc.Height; ++p)
                    ASSERT_LT(img.RasterBits[p], map->ColorCount) << name << " frame " << i;
                GraphicsControlBlock gcb;
                if (DGifSavedExtensionToGCB(gif, i, &gcb) != GIF_OK) continue;
                if (gcb.DelayTime == 0) seen.zero_delay = true;
                if (gcb.DisposalMode == DISPOSE_BACKGROUND) seen.disposal2 = true;
                if (gcb.DisposalMode == DISPOSE_PREVIOUS) seen.disposal3 = true;
                if (gcb.TransparentColor != NO_TRANSPARENT_COLOR) {
                    seen.transparency = true;
                    ASSERT_LT(gcb.TransparentColor, map->ColorCount);
                    // The game's player treats every pixel of the transparent entry's colour
                    // as see-through, so that colour must belong to that entry alone.
                    GifColorType key = map->Colors[gcb.TransparentColor];
                    for (int c = 0; c < map->ColorCount; ++c) {
                        if (c == gcb.TransparentColor) continue;
                        GifColorType o = map->Colors[c];
                        bool same = o.Red == key.Red && o.Green == key.Green && o.Blue == key.Blue;
                        bool used = false;
                        for (int p = 0; p < desc.Width * desc.Height && !used; ++p)
                            used = img.RasterBits[p] == c;
                        EXPECT_FALSE(same && used) << name << " frame " << i << " entry " << c;
                    }
                }
            }
            if (IsLoopExtension(gif->ExtensionBlocks, gif->ExtensionBlockCount) ||
                IsLoopExtension(gif->SavedImages[0].ExtensionBlocks,
                                gif->SavedImages[0].ExtensionBlockCount))
                seen.loop = true;
            for (int i = 0; i < gif->SavedImages[0].ExtensionBlockCount; ++i)
                if (gif->SavedImages[0].ExtensionBlocks[i].Function == COMMENT_EXT_FUNC_CODE)
                    seen.comment = true;
        }
    EXPECT_TRUE(seen.interlace);
    EXPECT_TRUE(seen.local);
    EXPECT_TRUE(seen.transparency);
    EXPECT_TRUE(seen.disposal2);
    EXPECT_TRUE(seen.disposal3);
    EXPECT_TRUE(seen.zero_delay);
    EXPECT_TRUE(seen.loop);
    EXPECT_TRUE(seen.comment);
}

}  // namespace
