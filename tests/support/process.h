// Test support: child processes for the tests that run real programs (the X server, the
// window manager, the game): start one with its own environment, folder and pipes, wait for it
// with a deadline, stop it and whatever it started.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct Command {
    std::vector<std::string> argv;
    // NAME=VALUE lines added to a small fixed environment (PATH, LANG and the sanitizer
    // options of the test itself), so that nothing of the caller's desktop leaks in.
    std::vector<std::string> env;
    std::string cwd;           // empty: the current folder
    int stdinFd = -1;          // -1: /dev/null
    int stdoutFd = -1;         // -1: /dev/null
    int stderrFd = -1;         // -1: the test's own standard error
    std::vector<int> keepFds;  // descriptors the child inherits as they are (e.g. -displayfd)
    // Runs in the child just before the program starts (limits, signal dispositions). Only
    // async-signal-safe calls belong here: the child of a threaded test is fragile.
    std::function<void()> beforeExec;
};

// Starts the command in a process group of its own; -1 when fork fails. A program that cannot
// be started ends with status 127.
pid_t Spawn(const Command& command);

// Waits up to `timeoutMs` for the process to end: its exit status, 128 + signal when a signal
// ended it, or -1 when it still runs.
int WaitExit(pid_t pid, int timeoutMs);

// True while the process has not ended (it is reaped when it has).
bool Running(pid_t pid);

// Ends the process and its group: SIGTERM, then SIGKILL after `graceMs`. Does nothing for
// pid <= 0 or a process already reaped.
void Stop(pid_t pid, int graceMs = 2000);

// Polls `condition` every `stepMs` until it holds or `timeoutMs` passed; true when it held.
bool WaitUntil(int timeoutMs, const std::function<bool()>& condition, int stepMs = 20);

void SleepMs(int ms);

}  // namespace testsupport
