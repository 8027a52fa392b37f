// Any bytes as the help file: chmlib opens it or refuses it; an opened file gives its default
// topic and title and lists its objects, and every listed object reads (or is absent) without a
// fault. A damaged help file must give an empty or partial help window, never a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/shell/chm_file.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        char pattern[] = "/tmp/help_fuzz_XXXXXX";
        const char* dir = mkdtemp(pattern);
        return dir != nullptr ? std::string(dir) + "/mavek.chm" : std::string();
    }();
    if (path.empty()) return 0;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    shell::ChmFile chm;
    if (!chm.Open(path)) return 0;
    const std::string topic = chm.DefaultTopic();
    Check(topic.empty() || topic[0] == '/');
    chm.Title();
    // The objects the help window could show; a damaged directory may list many.
    int read = 0;
    for (const std::string& object : chm.List()) {
        if (++read > 64) break;
        chm.Read(object);
    }
    if (!topic.empty()) chm.Read(topic);
    return 0;
}
