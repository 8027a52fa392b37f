// Any bytes as the advert list ads\url.txt: the reader the game asks for the address of each
// level's advert (lines of 79 characters at most, read in text mode, as the score tables are)
// ends on every input, answers every difficulty and level, and gives an address shorter than a
// line with no line end or trailing blanks.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/control/game_dlg.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The list lives in a folder of its own; the working folder is restored after each input,
    // because the fuzzer reads its corpus by relative names.
    static const std::string folder = [] {
        char pattern[] = "/tmp/adlist_fuzz_XXXXXX";
        const char* dir = mkdtemp(pattern);
        if (!dir) return std::string();
        mkdir((std::string(dir) + "/ads").c_str(), 0700);
        return std::string(dir);
    }();
    static const std::string home = [] {
        char cwd[4096];
        return std::string(getcwd(cwd, sizeof cwd) != nullptr ? cwd : "");
    }();
    if (folder.empty() || home.empty() || chdir(folder.c_str()) != 0) return 0;
    if (std::FILE* f = std::fopen("ads/url.txt", "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        for (int difficulty = 1; difficulty <= 4; ++difficulty) {
            for (int level = 1; level <= 11; ++level) {
                CString address;
                if (!ReadAdvertLine(difficulty, level, &address)) continue;
                const std::string a = address.str();
                Check(a.size() < 80);
                Check(a.find('\n') == std::string::npos);
                Check(a.empty() || (a.back() != ' ' && a.back() != '\t' && a.back() != '\r'));
            }
        }
    }
    Check(chdir(home.c_str()) == 0);
    return 0;
}
