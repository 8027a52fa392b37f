#include "tests/support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

namespace testsupport {
namespace {

std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> env;
    const char* path = std::getenv("PATH");
    env.push_back(std::string("PATH=") + (path ? path : "/usr/bin:/bin"));
    env.push_back("LANG=C.UTF-8");
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"}) {
        if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
    }
    for (const std::string& e : extra) {
        const std::string name = e.substr(0, e.find('='));
        for (auto it = env.begin(); it != env.end();) {
            if (it->compare(0, name.size() + 1, name + "=") == 0)
                it = env.erase(it);
            else
                ++it;
        }
        env.push_back(e);
    }
    return env;
}

}  // namespace

pid_t Spawn(const Command& command) {
    // Everything the child needs is prepared before fork: only async-signal-safe calls after.
    const std::vector<std::string> env = ChildEnvironment(command.env);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    std::vector<char*> args;
    for (const std::string& a : command.argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::string program = command.argv.empty() ? std::string() : command.argv[0];
    std::vector<std::string> candidates;
    if (program.find('/') != std::string::npos) {
        candidates.push_back(program);
    } else {
        const char* path = std::getenv("PATH");
        std::string dirs = path ? path : "/usr/bin:/bin";
        size_t start = 0;
        while (start <= dirs.size()) {
            const size_t end = dirs.find(':', start);
            const std::string dir =
                dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!dir.empty()) candidates.push_back(dir + "/" + program);
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }

    const pid_t pid = fork();
    if (pid != 0) return pid;

    setpgid(0, 0);
    signal(SIGPIPE, SIG_DFL);
    if (!command.cwd.empty() && chdir(command.cwd.c_str()) != 0) _exit(127);
    const int devnull = open("/dev/null", O_RDWR);
    dup2(command.stdinFd >= 0 ? command.stdinFd : devnull, 0);
    dup2(command.stdoutFd >= 0 ? command.stdoutFd : devnull, 1);
    if (command.stderrFd >= 0) dup2(command.stderrFd, 2);
    // Close every other descriptor but the ones handed over on purpose.
    for (int fd = 3; fd < 1024; ++fd) {
        bool keep = false;
        for (int k : command.keepFds) keep = keep || k == fd;
        if (!keep) close(fd);
    }
    if (command.beforeExec) command.beforeExec();
    for (const std::string& candidate : candidates)
        execve(candidate.c_str(), args.data(), envp.data());
    _exit(127);
}

int WaitExit(pid_t pid, int timeoutMs) {
    if (pid <= 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
            return 128;
        }
        if (r < 0) return 128;  // not our child any more
        if (std::chrono::steady_clock::now() >= deadline) return -1;
        SleepMs(10);
    }
}

bool Running(pid_t pid) { return pid > 0 && WaitExit(pid, 0) == -1; }

void Stop(pid_t pid, int graceMs) {
    if (pid <= 0) return;
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r < 0) return;  // reaped before: its id may belong to someone else by now
    if (r == pid) {
        kill(-pid, SIGKILL);  // the process ended: whatever it left in its group goes too
        return;
    }
    kill(-pid, SIGTERM);
    kill(pid, SIGTERM);
    if (WaitExit(pid, graceMs) == -1) {
        kill(-pid, SIGKILL);
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    kill(-pid, SIGKILL);
}

bool WaitUntil(int timeoutMs, const std::function<bool()>& condition, int stepMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        SleepMs(stepMs);
    }
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace testsupport
