// The settings reader and the in-place save on arbitrary files: what is read matches the
// bytes, and a save changes exactly the four bytes of its field.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "game/control/settings_file.h"

namespace {

std::string TempFile() {
    static std::string path = (std::filesystem::temp_directory_path() /
                               ("settings_fuzz_" + std::to_string(getpid()) + ".cfg"))
                                  .string();
    return path;
}

std::vector<unsigned char> ReadAll(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
    std::fclose(f);
    return bytes;
}

std::int32_t Le32(const unsigned char* p) {
    return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) |
                                     (static_cast<std::uint32_t>(p[3]) << 24));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Settings parsed = ParseSettings(data, size);
    const int defaults[3] = {1, 0, 0};
    const int got[3] = {parsed.sound, parsed.music, parsed.theme};
    for (int i = 0; i < 3; ++i) {
        int expected = size >= 4u * (i + 1) ? Le32(data + 4 * i) : defaults[i];
        if (got[i] != expected) std::abort();
    }
    int theme = EffectiveTheme(parsed.theme);
    if (theme < 0 || theme > 2) std::abort();

    // The same bytes as a file, then one field saved in place.
    const std::string path = TempFile();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    Settings loaded = LoadSettingsFrom(path.c_str());
    if (loaded.sound != parsed.sound || loaded.music != parsed.music ||
        loaded.theme != parsed.theme)
        std::abort();

    int offset = size > 0 ? 4 * (data[0] % 3) : 8;
    std::int32_t value = size > 1 ? static_cast<std::int8_t>(data[size - 1]) : 1;
    if (!SaveSettingsField(path.c_str(), offset, value)) std::abort();
    std::vector<unsigned char> after = ReadAll(path);
    std::size_t newSize =
        size > static_cast<std::size_t>(offset + 4) ? size : static_cast<std::size_t>(offset + 4);
    if (after.size() != newSize) std::abort();
    for (std::size_t i = 0; i < newSize; ++i) {
        bool inField =
            i >= static_cast<std::size_t>(offset) && i < static_cast<std::size_t>(offset + 4);
        unsigned char before = i < size ? data[i] : 0;  // a gap reads as zeros
        if (!inField && after[i] != before) std::abort();
    }
    if (Le32(after.data() + offset) != value) std::abort();
    std::remove(path.c_str());
    return 0;
}
