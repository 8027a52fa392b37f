#include "game/extras/advert_list.h"

#include <algorithm>
#include <cstring>

#include "platform/crt/textfile.h"

bool ReadAdvertLine(int difficulty, int level, std::string* address) {
    crt::TextFile file;
    if (!file.Open("ads\\url.txt", "r")) return false;
    // Lines are read 80 bytes at a time (79 characters and the terminator); the last line
    // read decides, so a short file answers with its last line.
    const int wanted = (difficulty - 1) * 11 + (level - 1);
    char line[80];
    char last[80] = "";
    bool any = false;
    for (int n = 0; n <= wanted; ++n) {
        if (!file.Gets(line, sizeof line)) break;
        std::copy(line, line + sizeof line, last);
        any = true;
    }
    file.Close();
    if (!any || last[0] == '0') return false;
    std::string text = std::strlen(last) > 4 ? std::string(last + 4) : std::string();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '\t'))
        text.pop_back();
    if (address) *address = text;
    return true;
}
