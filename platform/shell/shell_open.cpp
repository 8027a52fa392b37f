// The shell's "open" on web addresses and files, and starting command lines.
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "platform/seams/seams.h"
#include "platform/shell/launch.h"
#include "platform/shell/shell.h"

namespace {

// Time xdg-open gets to report whether it found a handler; it normally ends as soon as it has
// handed the address on.
constexpr int kOpenerWaitMs = 3000;

bool IsAddress(const std::string& s) {
    if (s.rfind("mailto:", 0) == 0) return true;
    std::size_t colon = s.find("://");
    if (colon == std::string::npos || colon == 0) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        char c = s[i];
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                  (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!ok) return false;
    }
    return true;
}

}  // namespace

std::intptr_t ShellExecute(const void*, const char* verb, const char* file, const char*,
                           const char*, int) {
    if (!file || !*file) return SE_ERR_FNF;
    if (verb && std::strcmp(verb, "open") != 0) return SE_ERR_NOASSOC;
    std::string target = file;
    if (!IsAddress(target)) {
        struct stat st;
        if (stat(target.c_str(), &st) != 0) return SE_ERR_FNF;
    }
    shell::LaunchResult r = shell::Launch({"xdg-open", target}, kOpenerWaitMs);
    if (!r.started) return SE_ERR_NOASSOC;  // no opener installed
    if (r.finished && r.exitCode != 0) {
        // xdg-open: 2 the file does not exist, 3 a tool it needs is missing, 4 the action failed.
        return r.exitCode == 2 ? SE_ERR_FNF : SE_ERR_NOASSOC;
    }
    if (IsAddress(target)) seams::Trace("url", {{"address", target}});
    return SE_SUCCESS;
}

unsigned WinExec(const char* commandLine, int) {
    std::vector<std::string> argv;
    if (!commandLine || !shell::SplitCommandLine(commandLine, argv) || argv.empty())
        return SE_ERR_OOM;
    shell::LaunchResult r = shell::Launch(argv, 0);
    if (!r.started) return SE_ERR_FNF;
    if (argv.size() > 1 && IsAddress(argv.back())) seams::Trace("url", {{"address", argv.back()}});
    return SE_SUCCESS;
}
