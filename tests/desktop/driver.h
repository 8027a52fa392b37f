// The scripted driver in a desktop mode (kivra-drive --x11 or --desktop), run as a child process:
// script lines go to its standard input, its JSON lines (trace events, states) are read back line
// by line with a deadline.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace desktop {

class Driver {
  public:
    Driver() = default;
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    ~Driver() { Stop(); }

    // Starts `argv` (the driver and its mode) in `cwd` with the environment `env`; its standard
    // error goes to the test's.
    bool Start(const std::vector<std::string>& argv, const std::string& cwd,
               const std::vector<std::string>& env);
    // Sends one script line; false when the driver no longer reads.
    bool Send(const std::string& line);
    // The next output line within `timeoutMs`; false on time-out or at the end of the output.
    bool ReadLine(std::string* line, int timeoutMs);
    // Reads lines until one satisfies `match` (returned in `line`); false on time-out or end.
    bool WaitFor(const std::function<bool(const std::string&)>& match, int timeoutMs,
                 std::string* line);
    // Reads lines until a trace event named `event` arrives.
    bool WaitForEvent(const std::string& event, int timeoutMs, std::string* line);
    // Sends "state" and returns the state line.
    bool State(std::string* line, int timeoutMs);
    // Closes its input (the end of the script ends the program) and waits for it: its exit
    // status, or -1 when it did not end in time.
    int Finish(int timeoutMs);
    bool Running() const;
    bool Started() const { return started_; }
    void Stop();
    // Every line read so far, for failure messages.
    std::string Transcript() const;

  private:
    pid_t pid_ = -1;
    bool started_ = false;
    int in_ = -1, out_ = -1;
    std::string pending_;
    bool ended_ = false;
    std::vector<std::string> lines_;
};

// A field of a JSON line: the string value (escapes decoded) or the integer value; `fallback`
// when the line has no such field.
std::string JsonText(const std::string& line, const std::string& field,
                     const std::string& fallback = "");
long JsonNumber(const std::string& line, const std::string& field, long fallback);

}  // namespace desktop
