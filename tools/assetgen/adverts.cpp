#include "tools/assetgen/adverts.h"

#include <algorithm>
#include <cstdio>

#include "game/board/board.h"
#include "tools/assetgen/tiles.h"

namespace assetgen {

namespace {

struct Size {
    int w, h;
};
const Size kSizes[5] = {{240, 120}, {280, 120}, {260, 140}, {300, 130}, {220, 150}};

const char* const kHeadlines[11] = {
    "欢迎来到 Qarven Vorn", "过关啦！继续加油",  "新图片主题即将推出", "快来挑战特高难度",
    "邀请朋友一起比分",     "每天一局 开心一天", "高分榜等你留名",     "更多好玩的关卡",
    "点击这里访问主页",     "谢谢你的支持",      "全部过关 你真棒！",
};

const char32_t kSprites[11] = {0x1F420, 0x2B50,  0x1F98B, 0x1F680, 0x1F388, 0x1F31E,
                               0x1F3C6, 0x1F381, 0x1F431, 0x1F496, 0x1F389};

// A frame as drawn in full colour, with the pixels that are to stay see-through.
struct Drawn {
    int left, top;
    Image img;
    std::vector<bool> clear;
    int delay, disposal;
    bool interlaced;
};

Rgba KeyColour(const std::vector<Rgba>& palette) {
    // A colour no other entry has: the player shows the canvas wherever a pixel has the
    // transparent entry's colour, so it must be unique in the table.
    Rgba key{255, 0, 254, 255};
    while (std::find(palette.begin(), palette.end(), key) != palette.end()) key.g++;
    return key;
}

std::vector<uint8_t> Index(const Drawn& d, const std::vector<Rgba>& palette, int key) {
    std::vector<uint8_t> idx = MapToPalette(d.img, palette);
    if (key >= 0)
        for (size_t i = 0; i < idx.size(); ++i)
            if (d.clear[i]) idx[i] = uint8_t(key);
    return idx;
}

}  // namespace

AdvertFeatures FeaturesOf(int d, int l) {
    int i = (d - 1) * 11 + (l - 1);
    AdvertFeatures f;
    f.interlace = i % 4 == 1;
    f.local_tables = i % 3 == 2;
    f.global_table = !(f.local_tables && i % 2 == 1);
    f.transparency = i % 2 == 0;
    f.zero_delay = i % 5 == 0;
    f.loop_extension = i % 7 != 3;
    f.comment = i % 5 == 2;
    f.sprite_disposal = (i / 2) % 2 ? 3 : 2;
    return f;
}

GifFile MakeAdvert(int d, int l, const TextFont& font, const EmojiFont& emoji) {
    const int i = (d - 1) * 11 + (l - 1);
    const AdvertFeatures feat = FeaturesOf(d, l);
    const Size size = kSizes[i % 5];
    const int band = 36;
    const Rgba band_colour = Hsv(20 + i * 37, 0.35, 0.95);
    const Rgba card_top = Hsv(200 + i * 23, 0.55, 0.55), card_bottom = Hsv(230 + i * 23, 0.6, 0.3);
    const Rgba text = {255, 244, 200, 255}, glow = {255, 214, 72, 255};

    // The picture without its headline: band, card, a tile picture at the left, the address.
    Image base(size.w, size.h);
    base.FillRect(0, 0, size.w, band, band_colour);
    Image card(size.w, size.h - band);
    card.VerticalGradient(card_top, card_bottom);
    base.Copy(card, 0, band);
    for (int x = 0; x < size.w; ++x) base.at(x, band) = Shade(band_colour, 0.7);
    const char32_t picture =
        ThemePictures()[size_t((i + l) % kThemeCount)][size_t((i * 5) % kPictureCount)];
    Image pic = emoji.Render(picture);
    const int pic_size = std::min(48, size.h - band - 34);
    if (!pic.empty()) {
        Image small = Resample(pic, pic_size, std::max(1, pic.height() * pic_size / pic.width()));
        base.FillRoundRect(6, band + 7, pic_size + 8, pic_size + 8, 6, {252, 248, 232, 235});
        base.Draw(small, 10, band + 11);
    }
    const int text_left = pic.empty() ? 0 : pic_size + 14;
    const int text_cx = text_left + (size.w - text_left) / 2;
    font.DrawCentred(base, size.w / 2, size.h - 10, "kivra.example.org", 14, {200, 228, 255, 255});

    std::string headline = kHeadlines[l - 1];
    int px = 24;
    while (px > 12 && font.Measure(headline, px) > size.w - text_left - 10) --px;
    const int head_base = band + 7 + (pic_size + 8) / 2 + px / 2 - 2;
    Image full = base;
    font.DrawCentred(full, text_cx, head_base, headline, px, text, {0, 0, 0, 150}, 1);
    // The headline lit up, as a patch over its own rectangle.
    Image lit_full = base;
    font.DrawCentred(lit_full, text_cx, head_base, headline, px, glow, {60, 20, 0, 220}, 2);
    const int head_top = std::max(band + 2, head_base - px - 2);
    const int head_h = std::min(size.h - head_top, px + 10);
    Image lit = lit_full.Crop(text_left, head_top, size.w - text_left, head_h);
    Image unlit = full.Crop(text_left, head_top, size.w - text_left, head_h);

    std::vector<Drawn> frames;
    frames.push_back({0, 0, full, std::vector<bool>(size_t(size.w) * size.h, false),
                      feat.zero_delay ? 0 : 60, 1, feat.interlace});
    Image sprite = emoji.Render(kSprites[(l - 1 + d) % 11]);
    sprite = Resample(sprite, 28, std::max(1, sprite.height() * 28 / std::max(1, sprite.width())));
    for (int k = 0; k < 8; ++k) {
        int x = 6 + k * (size.w - 12 - 32) / 7;
        Image box(32, 32, band_colour);
        Image over(32, 32, {0, 0, 0, 0});
        over.Draw(sprite, (32 - sprite.width()) / 2, (32 - sprite.height()) / 2 + (k % 2 ? -2 : 1));
        std::vector<bool> clear(32 * 32, false);
        for (int y = 0; y < 32; ++y)
            for (int xx = 0; xx < 32; ++xx) {
                Rgba s = over.at(xx, y);
                box.Blend(xx, y, s);
                if (feat.transparency && s.a < 100) clear[size_t(y) * 32 + xx] = true;
            }
        frames.push_back({x, 2, box, clear, 12, feat.sprite_disposal, false});
        if (k == 3 || k == 7) {
            const Image& patch = k == 3 ? lit : unlit;
            frames.push_back({text_left, head_top, patch,
                              std::vector<bool>(size_t(patch.width()) * patch.height(), false), 30,
                              1, feat.interlace});
        }
    }

    GifFile gif;
    gif.width = size.w;
    gif.height = size.h;
    gif.loops = feat.loop_extension ? 0 : -1;
    if (feat.comment)
        gif.comment = "Qarven Vorn advert " + std::to_string(d) + "-" + std::to_string(l);

    auto pixels_of = [](const Drawn& f) {
        std::vector<Rgba> px;
        for (int y = 0; y < f.img.height(); ++y)
            for (int x = 0; x < f.img.width(); ++x)
                if (!f.clear[size_t(y) * f.img.width() + x]) px.push_back(f.img.at(x, y));
        return px;
    };
    if (feat.global_table) {
        std::vector<Rgba> all;
        for (const Drawn& f : frames) {
            auto px = pixels_of(f);
            all.insert(all.end(), px.begin(), px.end());
        }
        gif.global_palette = MedianCut(all, feat.transparency ? 255 : 256);
        Image one(1, 1, band_colour);
        gif.background = MapToPalette(one, gif.global_palette)[0];
    }
    std::vector<Rgba> global_colours = gif.global_palette;
    int global_key = -1;
    if (feat.transparency && feat.global_table) {
        gif.global_palette.push_back(KeyColour(gif.global_palette));
        global_key = int(gif.global_palette.size()) - 1;
    }

    for (size_t n = 0; n < frames.size(); ++n) {
        const Drawn& f = frames[n];
        GifFrame g;
        g.left = f.left;
        g.top = f.top;
        g.width = f.img.width();
        g.height = f.img.height();
        g.delay = f.delay;
        g.disposal = f.disposal;
        g.interlaced = f.interlaced;
        bool any_clear = std::find(f.clear.begin(), f.clear.end(), true) != f.clear.end();
        if (feat.local_tables || !feat.global_table) {
            std::vector<Rgba> colours = MedianCut(pixels_of(f), any_clear ? 255 : 256);
            int key = -1;
            g.local_palette = colours;
            if (any_clear) {
                g.local_palette.push_back(KeyColour(colours));
                key = int(g.local_palette.size()) - 1;
            }
            g.pixels = Index(f, colours, key);
            g.transparent = key;
        } else {
            g.pixels = Index(f, global_colours, any_clear ? global_key : -1);
            g.transparent = any_clear ? global_key : -1;
        }
        gif.frames.push_back(std::move(g));
    }
    return gif;
}

bool HasAdvert(int, int level) { return level == 4 || level == 8 || level == 11; }

std::string AdvertAddress(int d, int l) {
    char buf[80];
    std::snprintf(buf, sizeof buf, "https://kivra.example.org/ad/%d%02d", d, l);
    return buf;
}

std::string MakeUrlList() {
    std::string out;
    for (int d = Easy; d <= Super; ++d)
        for (int l = 1; l <= kLevelCount; ++l) {
            if (HasAdvert(d, l)) {
                char buf[96];
                // The first four characters are the level's own number and a space; the
                // address starts at the fifth.
                std::snprintf(buf, sizeof buf, "%d%02d %s", d, l, AdvertAddress(d, l).c_str());
                out += buf;
            } else {
                out += "0";
            }
            out += "\r\n";
        }
    return out;
}

}  // namespace assetgen
