// The 44 animated advert pictures ads\%d%02d.gif and the advert list ads\url.txt.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/fonts.h"
#include "tools/assetgen/gif.h"

namespace assetgen {

// Which GIF features one advert uses; together the 44 adverts use all of them.
struct AdvertFeatures {
    bool interlace, local_tables, global_table, transparency, zero_delay, loop_extension, comment;
    int sprite_disposal;  // 2 or 3
};
AdvertFeatures FeaturesOf(int difficulty, int level);

GifFile MakeAdvert(int difficulty, int level, const TextFont& font, const EmojiFont& emoji);

// True for the levels that show an advert when cleared.
bool HasAdvert(int difficulty, int level);
std::string AdvertAddress(int difficulty, int level);
// The 44 lines, CR LF ends, ASCII only (so the same bytes in code page 936).
std::string MakeUrlList();

}  // namespace assetgen
