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

#include "fuzz/support/fuzz_folder.h"
#include "game/extras/advert_list.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzzsupport::FuzzFolder folder("adlist_fuzz");
    if (!folder.Enter()) return 0;
    mkdir("ads", 0700);
    if (fuzzsupport::WriteInput("ads/url.txt", data, size)) {
        for (int difficulty = 1; difficulty <= 4; ++difficulty) {
            for (int level = 1; level <= 11; ++level) {
                std::string a;
                if (!ReadAdvertLine(difficulty, level, &a)) continue;
                Check(a.size() < 80);
                Check(a.find('\n') == std::string::npos);
                Check(a.empty() || (a.back() != ' ' && a.back() != '\t' && a.back() != '\r'));
            }
        }
    }
    Check(folder.Leave());
    return 0;
}
