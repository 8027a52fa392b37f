// Writes the seed corpus of the settings fuzz target into the folder given.
#include <cstdio>
#include <string>
#include <vector>

namespace {

void Write(const std::string& dir, const char* name, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::string dir = argv[1];
    Write(dir, "empty.cfg", {});
    Write(dir, "short.cfg", {0, 0, 0, 0, 1, 0});
    Write(dir, "eight.cfg", {1, 0, 0, 0, 1, 0, 0, 0});
    Write(dir, "full.cfg", {1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0});
    Write(dir, "odd.cfg", {0, 0, 0, 1, 7, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
    Write(dir, "long.cfg", {1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0xAA, 0xBB, 0xCC});
    return 0;
}
