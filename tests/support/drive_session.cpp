#include "tests/support/drive_session.h"

#include <linux/capability.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "tests/support/process.h"

namespace testsupport {

DriveSession::DriveSession(const DriveOptions& options) {
    char errorName[] = "/tmp/kivra-drive-stderr-XXXXXX";
    const int errorFd = mkstemp(errorName);
    if (errorFd < 0) return;
    errorFile_ = errorName;
    int in[2], out[2];
    if (pipe(in) != 0) return;
    if (pipe(out) != 0) {
        close(in[0]);
        close(in[1]);
        return;
    }
    Command command;
    command.argv = {options.driver};
    command.env = {"SDL_AUDIODRIVER=dummy", "QT_QPA_PLATFORM=offscreen"};
    command.cwd = options.folder;
    command.stdinFd = in[0];
    command.stdoutFd = out[1];
    command.stderrFd = errorFd;
    const bool honourModes = options.honourFileModes;
    const long long limit = options.fileSizeLimit;
    command.beforeExec = [honourModes, limit] {
        if (honourModes) {
            // Without these, root reads and writes whatever the modes say.
            prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
            prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
            prctl(PR_CAPBSET_DROP, CAP_FOWNER, 0, 0, 0);
        }
        if (limit >= 0) {
            // A write past the limit then fails with an error, as on a full disk, instead of
            // ending the program with SIGXFSZ.
            signal(SIGXFSZ, SIG_IGN);
            const rlimit r{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
            setrlimit(RLIMIT_FSIZE, &r);
        }
    };
    pid_ = Spawn(command);
    close(in[0]);
    close(out[1]);
    close(errorFd);
    to_ = fdopen(in[1], "w");
    from_ = fdopen(out[0], "r");
}

DriveSession::~DriveSession() {
    if (to_) std::fclose(to_);
    if (from_) std::fclose(from_);
    Stop(pid_, 200);
    if (!errorFile_.empty()) unlink(errorFile_.c_str());
}

std::vector<std::string> DriveSession::Do(const std::string& commands) {
    std::vector<std::string> lines;
    if (!to_ || !from_) return lines;
    std::fprintf(to_, "%s\nstate\n", commands.c_str());
    std::fflush(to_);
    std::string line;
    for (int c; (c = std::fgetc(from_)) != EOF;) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        lines.push_back(line);
        if (IsState(line)) break;
        line.clear();
    }
    return lines;
}

int DriveSession::Quit(std::string* errors) {
    if (to_) {
        std::fputs("quit\n", to_);
        std::fclose(to_);
        to_ = nullptr;
    }
    int status = WaitExit(pid_, 30000);
    if (status == -1) Stop(pid_, 200);
    pid_ = -1;
    if (errors) {
        std::ifstream in(errorFile_);
        std::ostringstream text;
        text << in.rdbuf();
        *errors = text.str();
    }
    return status;
}

bool IsState(const std::string& line) { return line.rfind("{\"difficulty\": ", 0) == 0; }

long JsonInt(const std::string& line, const std::string& key) {
    const std::string pattern = "\"" + key + "\": ";
    const auto at = line.find(pattern);
    if (at == std::string::npos) return -999999;
    return std::strtol(line.c_str() + at + pattern.size(), nullptr, 10);
}

std::string JsonString(const std::string& line, const std::string& key) {
    const std::string pattern = "\"" + key + "\": \"";
    auto at = line.find(pattern);
    if (at == std::string::npos) return "";
    std::string value;
    for (at += pattern.size(); at < line.size() && line[at] != '"'; ++at) {
        char c = line[at];
        if (c == '\\' && at + 1 < line.size()) {
            c = line[++at];
            if (c == 'n') c = '\n';
            if (c == 'r') c = '\r';
            if (c == 't') c = '\t';
            if (c == 'u' && at + 4 < line.size()) {
                c = static_cast<char>(std::strtol(line.substr(at + 1, 4).c_str(), nullptr, 16));
                at += 4;
            }
        }
        value += c;
    }
    return value;
}

std::string EventName(const std::string& line) {
    return line.rfind("{\"event\": ", 0) == 0 ? JsonString(line, "event") : "";
}

Cell JsonCell(const std::string& line, const std::string& key) {
    const std::string pattern = "\"" + key + "\": [";
    const auto at = line.find(pattern);
    if (at == std::string::npos) return Cell{-99, -99};
    char* end = nullptr;
    const long x = std::strtol(line.c_str() + at + pattern.size(), &end, 10);
    return Cell{static_cast<int>(x), static_cast<int>(std::strtol(end + 1, nullptr, 10))};
}

CBoard BoardFromState(const std::string& state) {
    CBoard board;
    board.SetDifficultyAndLevel(static_cast<int>(JsonInt(state, "difficulty")),
                                static_cast<int>(JsonInt(state, "level")));
    const auto at = state.find("\"board\": [");
    if (at == std::string::npos) return board;
    const char* p = state.c_str() + at + 10;
    for (int x = 0; x < kGridWidth; ++x)
        for (int y = 0; y < kGridHeight; ++y) {
            while (*p == '[' || *p == ',' || *p == ' ' || *p == ']') ++p;
            char* end = nullptr;
            board.Set(x, y, static_cast<TileCode>(std::strtol(p, &end, 10)));
            p = end;
        }
    return board;
}

bool FindPairPoints(const std::string& state, Point* first, Point* second) {
    const std::optional<MovablePair> found = BoardFromState(state).FindMovablePair();
    if (!found) return false;
    const HintPair& pair = found->cells;
    const int difficulty = static_cast<int>(JsonInt(state, "difficulty"));
    *first = CellCentre(difficulty, pair.x1, pair.y1);
    *second = CellCentre(difficulty, pair.x2, pair.y2);
    return true;
}

}  // namespace testsupport
