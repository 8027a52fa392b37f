// Test support: the scripted driver run as another program runs it, through pipes, in a game
// folder of the test's choosing; and reading its JSON lines back (state fields, the board,
// trace events).
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

#include "game/board/board.h"

namespace testsupport {

struct DriveOptions {
    std::string driver;  // the kivra-drive program
    std::string folder;  // the game folder: the driver's current directory
    // Files and folders whose mode forbids an access stay forbidden even when the tests run
    // as root: the driver starts without the capabilities that override file modes.
    bool honourFileModes = true;
    // The largest file the driver may write, in bytes (a write beyond it fails as on a full
    // disk); -1 for no limit.
    long long fileSizeLimit = -1;
};

class DriveSession {
  public:
    explicit DriveSession(const DriveOptions& options);
    ~DriveSession();
    DriveSession(const DriveSession&) = delete;
    DriveSession& operator=(const DriveSession&) = delete;

    // Sends the commands (one a line), then "state"; returns the lines printed up to and
    // including that state. When the driver ends on the way, the lines it printed.
    std::vector<std::string> Do(const std::string& commands);

    // Ends the script and waits for the driver: its exit status (128 + signal for a signal,
    // -1 when it had to be killed). `errors` receives what it wrote to standard error.
    int Quit(std::string* errors = nullptr);

  private:
    pid_t pid_ = -1;
    std::FILE* to_ = nullptr;
    std::FILE* from_ = nullptr;
    std::string errorFile_;
};

// True for a line that is the driver's state object.
bool IsState(const std::string& line);
// An integer field of a state or event line; -999999 when the line has none.
long JsonInt(const std::string& line, const std::string& key);
// A string field of an event line ("" when absent), with the driver's escapes undone.
std::string JsonString(const std::string& line, const std::string& key);
// The event name of a trace line, "" for other lines.
std::string EventName(const std::string& line);

// The first two numbers of an array field of a state line ("cursor", "hint"); (-99, -99) when
// the line has no such field.
Cell JsonCell(const std::string& line, const std::string& key);

// The board of a state line (22 columns of 14 codes) at its difficulty and level.
CBoard BoardFromState(const std::string& state);

// Client points of the two cells of a removable pair on the board of `state`; false when the
// board has none.
bool FindPairPoints(const std::string& state, Point* first, Point* second);

}  // namespace testsupport
