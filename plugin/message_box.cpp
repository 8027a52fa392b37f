#include "plugin/message_box.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace vantor {

namespace {

std::atomic<MessageSink> g_sink{nullptr};

// The caption of the boxes: the module's name, as an application object without a name of its
// own would show.
constexpr const char* kCaption = "vantor";

bool HasDesktop() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

// The box text is Pango markup for zenity: the characters that start markup are escaped.
std::string EscapeMarkup(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        switch (*p) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += *p;
        }
    }
    return out;
}

// Runs a dialog program and waits until its window is closed. False when it could not be
// started or could not reach the desktop.
bool RunDialog(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    if (!WIFEXITED(status)) return false;
    const int code = WEXITSTATUS(status);
    // 0 and 1 are the box's own answers (OK, closed); anything else means it was not shown.
    return code == 0 || code == 1;
}

}  // namespace

void SetMessageSink(MessageSink sink) { g_sink.store(sink); }

int AfxMessageBox(const char* text, unsigned type, unsigned helpContext) {
    (void)type;  // every box of the plug-in has just an OK button
    (void)helpContext;
    if (MessageSink sink = g_sink.load()) {
        sink(text);
        return IDOK;
    }
    if (HasDesktop()) {
        if (RunDialog({"zenity", "--info", "--no-wrap", std::string("--title=") + kCaption,
                       "--text=" + EscapeMarkup(text)})) {
            return IDOK;
        }
        if (RunDialog({"xmessage", "-center", "-title", kCaption, "-buttons", "OK:0", text})) {
            return IDOK;
        }
    }
    std::fprintf(stderr, "%s: %s\n", kCaption, text);
    std::fflush(stderr);
    return IDOK;
}

}  // namespace vantor
