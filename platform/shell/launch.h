// How the shell layer starts programs, and the seam that lets tests and the scripted driver
// watch or replace it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace shell {

struct LaunchResult {
    bool started = false;   // false: the program could not be started (not found, not runnable)
    bool finished = false;  // it ended within the wait (then exitCode holds its status)
    int exitCode = 0;
};

// Starts argv[0] (looked up in PATH) with its arguments, detached from the program: it never
// becomes a zombie and outlives the program. Waits at most `waitMs` real milliseconds for it
// to end, to learn its exit status (openers such as xdg-open end once the browser is asked).
using Launcher = std::function<LaunchResult(const std::vector<std::string>& argv, int waitMs)>;

// Replaces the real launcher (an empty function restores it). The scripted driver sets one that
// records instead of starting a browser.
void SetLauncher(Launcher launcher);
LaunchResult Launch(const std::vector<std::string>& argv, int waitMs);

// Splits a command line as the Windows shell does for the lines the registry equivalent gives:
// blanks separate arguments; double quotes group, and are removed; \" inside quotes is a quote.
// False for an unterminated quote.
bool SplitCommandLine(const std::string& line, std::vector<std::string>& argv);

}  // namespace shell
