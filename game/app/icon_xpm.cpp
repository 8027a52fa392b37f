// kivra-icon: writes the program's icon (resource 128) as an XPM picture for the desktop
// entry. Usage: kivra-icon FILE
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

void RegisterKivraResources();

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kivra-icon FILE\n");
        return 2;
    }
    RegisterKivraResources();
    const gdi::IconImage* icon = GetIconImage(LoadIconResource(128));
    if (!icon || icon->width <= 0) {
        std::fprintf(stderr, "kivra-icon: no icon resource 128\n");
        return 1;
    }
    // One symbol per colour; pixels the AND mask makes transparent (or fully transparent by
    // alpha) become "None".
    const char* symbols =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-*/=!?<>()[]{}";
    const int base = 78;
    std::map<uint32_t, std::string> names;
    std::vector<std::string> rows;
    const int n = icon->width * icon->height;
    for (int i = 0; i < n; ++i) {
        const bool clear = icon->andMask[i] != 0 || (icon->argb[i] >> 24) == 0;
        if (clear) continue;
        const uint32_t rgb = icon->argb[i] & 0xFFFFFF;
        if (!names.count(rgb)) {
            const size_t k = names.size();
            names[rgb] = std::string(1, symbols[k % base]) + symbols[(k / base) % base];
        }
    }
    std::FILE* f = std::fopen(argv[1], "w");
    if (!f) return 1;
    std::fprintf(f, "/* XPM */\nstatic char *kivra[] = {\n\"%d %d %zu 2\",\n\"   c None\",\n",
                 icon->width, icon->height, names.size() + 1);
    for (const auto& [rgb, name] : names) std::fprintf(f, "\"%s c #%06X\",\n", name.c_str(), rgb);
    for (int y = 0; y < icon->height; ++y) {
        std::string row;
        for (int x = 0; x < icon->width; ++x) {
            const int i = y * icon->width + x;
            const bool clear = icon->andMask[i] != 0 || (icon->argb[i] >> 24) == 0;
            row += clear ? "  " : names[icon->argb[i] & 0xFFFFFF];
        }
        std::fprintf(f, "\"%s\"%s\n", row.c_str(), y + 1 < icon->height ? "," : "};");
    }
    return std::fclose(f) == 0 ? 0 : 1;
}
