#include "tests/wayland/compositor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/process.h"

namespace fs = std::filesystem;

namespace wayland {
namespace {

// sway refuses to run as root: it runs as this unprivileged user.
constexpr uid_t kSwayUser = 65534;
constexpr gid_t kSwayGroup = 65534;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The Wayland socket the compositor made in `dir` ("wayland-1"), or "" while there is none.
std::string WaylandSocket(const std::string& dir) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("wayland-", 0) == 0 && e.is_socket(ec)) return name;
    }
    return "";
}

// The X server a compositor started in its process group: its display (":N") and the cookie
// file it reads (-auth), from its command line.
bool XServerOfGroup(pid_t group, std::string* display, std::string* authority) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/proc", ec)) {
        const std::string pid = e.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        if (getpgid(std::stoi(pid)) != group) continue;
        const std::string cmdline = ReadFile(e.path().string() + "/cmdline");
        std::vector<std::string> args;
        std::string arg;
        for (char c : cmdline) {
            if (c) {
                arg += c;
            } else {
                args.push_back(arg);
                arg.clear();
            }
        }
        if (args.empty() || fs::path(args[0]).filename() != "Xwayland") continue;
        for (size_t i = 1; i < args.size(); ++i) {
            if (args[i].size() > 1 && args[i][0] == ':') *display = args[i];
            if (args[i] == "-auth" && i + 1 < args.size()) *authority = args[i + 1];
        }
        return !display->empty();
    }
    return false;
}

}  // namespace

const char* Name(Compositor c) {
    switch (c) {
        case Compositor::Mutter:
            return "mutter";
        case Compositor::Sway:
            return "sway";
        case Compositor::KWin:
            return "kwin";
    }
    return "";
}

bool NestedCompositor::Installed(Compositor c) {
    const char* program = c == Compositor::Mutter ? "/usr/bin/mutter"
                          : c == Compositor::Sway ? "/usr/bin/sway"
                                                  : "/usr/bin/kwin_wayland";
    return access(program, X_OK) == 0 && access("/usr/bin/Xwayland", X_OK) == 0;
}

bool NestedCompositor::Start(Compositor c, const std::string& scratch, double scale,
                             std::string* error) {
    kind_ = c;
    xToScreen_ = c == Compositor::Sway ? scale : 1.0;
    const int width = int(1024 * scale), height = int(768 * scale);
    if (!screen_.StartServer(std::to_string(width) + "x" + std::to_string(height) + "x24", error))
        return false;
    // Folders the compositor's user can reach: sway's user is not the test's.
    chmod(scratch.c_str(), 0755);
    runtimeDir_ = scratch + "/compositor-runtime";
    fs::create_directories(runtimeDir_);
    chmod(runtimeDir_.c_str(), 0700);

    testsupport::Command cmd;
    cmd.env = {"DISPLAY=" + screen_.DisplayName(), "XDG_RUNTIME_DIR=" + runtimeDir_,
               "HOME=" + runtimeDir_};
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    switch (c) {
        case Compositor::Mutter:
            // mutter wants a session bus; its nested output takes the dummy monitor's mode.
            cmd.argv = {"dbus-run-session", "--",        "mutter",
                        "--nested",         "--wayland", "--wayland-display=wayland-kivra"};
            cmd.env.push_back("MUTTER_DEBUG_DUMMY_MODE_SPECS=" + size);
            cmd.env.push_back("MUTTER_DEBUG_DUMMY_MONITOR_SCALES=" + std::to_string(scale));
            break;
        case Compositor::Sway: {
            const std::string config = scratch + "/sway.conf";
            std::ofstream(config) << "output * bg #336699 solid_color\n"
                                  << "output * mode " << size << " scale " << scale << "\n"
                                  << "xwayland force\n";
            chmod(config.c_str(), 0644);
            chown(runtimeDir_.c_str(), kSwayUser, kSwayGroup);
            cmd.argv = {"setpriv",
                        "--reuid=" + std::to_string(kSwayUser),
                        "--regid=" + std::to_string(kSwayGroup),
                        "--clear-groups",
                        "--",
                        "sway",
                        "-c",
                        config};
            cmd.env.insert(cmd.env.end(), {"WLR_BACKENDS=x11", "WLR_RENDERER=pixman",
                                           "WLR_LIBINPUT_NO_DEVICES=1"});
            break;
        }
        case Compositor::KWin: {
            // kwin_wayland carries a file capability that this sandbox refuses to exec: a copy
            // without it runs the same program.
            const std::string copy = scratch + "/kwin_wayland";
            fs::copy_file("/usr/bin/kwin_wayland", copy, fs::copy_options::overwrite_existing);
            chmod(copy.c_str(), 0755);
            cmd.argv = {"dbus-run-session",
                        "--",
                        copy,
                        "--x11-display",
                        screen_.DisplayName(),
                        "--socket",
                        "wayland-kivra",
                        "--xwayland",
                        "--width",
                        std::to_string(width),
                        "--height",
                        std::to_string(height)};
            cmd.env.push_back("KWIN_COMPOSE=Q");
            break;
        }
    }
    // What the compositor says goes to a log beside the game folder, read on failures.
    log_ = scratch + "/" + Name(c) + ".log";
    const int logFd = open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    cmd.stdoutFd = cmd.stderrFd = logFd;
    compositor_ = testsupport::Spawn(cmd);
    if (logFd >= 0) close(logFd);
    if (!testsupport::WaitUntil(20000,
                                [&] {
                                    waylandDisplay_ = WaylandSocket(runtimeDir_);
                                    return !waylandDisplay_.empty() ||
                                           !testsupport::Running(compositor_);
                                }) ||
        waylandDisplay_.empty()) {
        *error = std::string(Name(c)) + " made no Wayland socket";
        return false;
    }
    if (!FindXServer(20000, error)) return false;
    if (c == Compositor::Mutter && scale != 1.0) {
        testsupport::Command dpi;
        dpi.argv = {"sh", "-c",
                    "echo 'Xft.dpi: " + std::to_string(int(96 * scale)) + "' | xrdb -nocpp -merge"};
        dpi.env = {"DISPLAY=" + xDisplay_, "XAUTHORITY=" + xAuthority_};
        if (testsupport::WaitExit(testsupport::Spawn(dpi), 5000) != 0) {
            *error = "xrdb could not set Xft.dpi";
            return false;
        }
    }
    return true;
}

bool NestedCompositor::FindXServer(int timeoutMs, std::string* error) {
    if (!testsupport::WaitUntil(
            timeoutMs, [&] { return XServerOfGroup(compositor_, &xDisplay_, &xAuthority_); })) {
        *error = std::string(Name(kind_)) + " started no X server";
        return false;
    }
    if (kind_ == Compositor::Sway) {
        // sway's X server admits its own user only: let the test and the game (root) in.
        testsupport::Command allow;
        allow.argv = {"setpriv",
                      "--reuid=" + std::to_string(kSwayUser),
                      "--regid=" + std::to_string(kSwayGroup),
                      "--clear-groups",
                      "--",
                      "xhost",
                      "+si:localuser:root"};
        allow.env = {"DISPLAY=" + xDisplay_};
        bool admitted = false;
        testsupport::WaitUntil(
            timeoutMs,
            [&] {
                admitted = testsupport::WaitExit(testsupport::Spawn(allow), 5000) == 0;
                return admitted;
            },
            200);
        if (!admitted) {
            *error = "sway's X server did not admit the test";
            return false;
        }
    }
    return windows_.Attach(xDisplay_, xAuthority_, error);
}

void NestedCompositor::Stop() {
    windows_.Stop();
    testsupport::Stop(compositor_);
    compositor_ = -1;
    screen_.Stop();
}

std::vector<std::string> NestedCompositor::SessionEnvironment() const {
    const char* desktop = kind_ == Compositor::Mutter ? "GNOME"
                          : kind_ == Compositor::Sway ? "sway"
                                                      : "KDE";
    // The socket by its full name: a program of the test keeps a runtime folder of its own.
    std::vector<std::string> env = {"WAYLAND_DISPLAY=" + runtimeDir_ + "/" + waylandDisplay_,
                                    "DISPLAY=" + xDisplay_, "XDG_SESSION_TYPE=wayland",
                                    std::string("XDG_CURRENT_DESKTOP=") + desktop};
    if (!xAuthority_.empty()) env.push_back("XAUTHORITY=" + xAuthority_);
    return env;
}

}  // namespace wayland
