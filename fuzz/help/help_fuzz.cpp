// Any bytes as the help file: chmlib opens it or refuses it; an opened file gives its default
// topic and title and lists its objects, and every listed object reads (or is absent) without a
// fault. A damaged help file must give an empty or partial help window, never a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/support/fuzz_folder.h"
#include "platform/shell/chm_file.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzzsupport::FuzzFolder folder("help_fuzz");
    if (folder.Path().empty()) return 0;
    const std::string path = folder.Path() + "/mavek.chm";
    if (!fuzzsupport::WriteInput(path.c_str(), data, size)) return 0;

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
