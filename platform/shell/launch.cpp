#include "platform/shell/launch.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <thread>

extern char** environ;

namespace shell {

namespace {

std::mutex g_mutex;
Launcher g_launcher;

LaunchResult RealLaunch(const std::vector<std::string>& argv, int waitMs) {
    LaunchResult result;
    if (argv.empty() || argv[0].empty()) return result;
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // Detached with setsid: the browser must not die with the game or share its terminal.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    pid_t pid = 0;
    int err = posix_spawnp(&pid, args[0], nullptr, &attr, args.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (err != 0) return result;
    result.started = true;

    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            result.finished = true;
            result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            // posix_spawnp reports a missing program as an exit of 127 on some systems.
            if (result.exitCode == 127) result.started = false;
            return result;
        }
        if (done < 0 || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Still running: reap it whenever it ends, so that it leaves no zombie behind.
    std::thread([pid] {
        int status;
        waitpid(pid, &status, 0);
    }).detach();
    return result;
}

}  // namespace

void SetLauncher(Launcher launcher) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_launcher = std::move(launcher);
}

LaunchResult Launch(const std::vector<std::string>& argv, int waitMs) {
    Launcher launcher;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        launcher = g_launcher;
    }
    return launcher ? launcher(argv, waitMs) : RealLaunch(argv, waitMs);
}

bool SplitCommandLine(const std::string& line, std::vector<std::string>& argv) {
    argv.clear();
    std::string current;
    bool inArgument = false, quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
                current += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == ' ' || c == '\t') {
            if (inArgument) argv.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            inArgument = true;
            if (c == '"')
                quoted = true;
            else
                current += c;
        }
    }
    if (quoted) {
        argv.clear();
        return false;
    }
    if (inArgument) argv.push_back(current);
    return true;
}

}  // namespace shell
