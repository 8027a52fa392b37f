// kivra-drive: runs the real game on the virtual clock from a script, one command a line,
// read from a file named on the command line or from standard input. Trace events and
// states are printed as JSON lines on standard output, flushed after every command, so that
// another program can drive the game through pipes.
//
//   time T               the clock reads T seconds at start-up (the random seed); before start
//   start                starts the program up to its message loop
//   key NAME [down|up]   a key press and release, or one edge
//   click X Y / rclick X Y / move X Y
//   menu ID              a menu command
//   wait MS              advances the virtual clock, dispatching what comes due
//   answer ok|cancel|yes|no / answer text TEXT
//                        the answer for the next modal box or dialog, or for the held one
//   answer hold          keeps the next modal box or dialog open, live, until answered
//   state                the state as one JSON line
//   shot FILE            the top window's client area as PNG
//   quit                 ends the program as the Esc key does
//
// With --x11 the windows are shown on the X display ($DISPLAY) instead of offscreen, and the
// program keeps handling the display's events while it waits for the next line, so that real
// input reaches it (desktop tests). --desktop does the same on the desktop the game itself
// would choose (on a Wayland desktop: its X server, or Wayland where there is none).
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "game/control/game_app.h"
#include "game/control/game_dlg.h"
#include "game/res/game_resources.h"
#include "platform/afx/automation.h"
#include "platform/mm/audio.h"
#include "platform/seams/seams.h"
#include "platform/shell/launch.h"
#include "platform/shell/shell.h"
#include "tools/kivra-drive/script.h"
#include "tools/kivra-drive/state_json.h"

#ifdef KIVRA_HAVE_RESOURCES
void RegisterKivraResources();
#endif

// The system's font configuration library keeps a few allocations for the life of the
// process; leak checks in sanitizer builds leave them out.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

std::istream* g_input = &std::cin;
bool g_desktop = false;  // --x11, --desktop: on a desktop, reading standard input without blocking
bool g_x11 = false;      // --x11: on the X display whatever the desktop
std::string g_pending;   // desktop mode: bytes read from standard input, not yet a whole line
bool g_inputEnded = false;
int g_lineNumber = 0;
bool g_started = false;
bool g_quitting = false;

[[noreturn]] void Fail(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "kivra-drive: line %d: %s\n", g_lineNumber, message.c_str());
    std::fflush(stderr);
    std::_Exit(2);
}

CGameDlg* Game() {
    CWinApp* app = AfxGetApp();
    return app ? dynamic_cast<CGameDlg*>(app->m_pMainWnd) : nullptr;
}

// Executes one command once the program runs. Returns false at the end of the script.
void Execute(const ScriptCommand& cmd) {
    using afx::automation::KeyEdge;
    switch (cmd.kind) {
        case ScriptCommand::Time:
        case ScriptCommand::Start:
            Fail("'" + cmd.word + "' after start");
        case ScriptCommand::Key:
            if (!afx::automation::Key(cmd.text, cmd.edge == ScriptCommand::Down ? KeyEdge::Down
                                                : cmd.edge == ScriptCommand::Up ? KeyEdge::Up
                                                                                : KeyEdge::Press))
                Fail("unknown key " + cmd.text);
            break;
        case ScriptCommand::Click:
            afx::automation::Click(cmd.x, cmd.y, false);
            break;
        case ScriptCommand::RightClick:
            afx::automation::Click(cmd.x, cmd.y, true);
            break;
        case ScriptCommand::Move:
            afx::automation::MouseMove(cmd.x, cmd.y);
            break;
        case ScriptCommand::Menu:
            afx::automation::MenuCommand(static_cast<unsigned>(cmd.x));
            break;
        case ScriptCommand::Wait:
            afx::automation::Advance(static_cast<uint32_t>(cmd.x));
            break;
        case ScriptCommand::Answer: {
            seams::Answer answer;
            if (!seams::ParseAnswer(cmd.text, &answer)) Fail("bad answer: " + cmd.text);
            // A held box or dialog on top takes the answer now; otherwise it waits in the queue.
            if (!afx::automation::AnswerHeld(answer)) seams::QueueAnswer(answer);
            break;
        }
        case ScriptCommand::State: {
            CGameDlg* game = Game();
            if (!game) Fail("no game window");
            std::fputs(StateJson(*game).c_str(), stdout);
            std::fputc('\n', stdout);
            break;
        }
        case ScriptCommand::Shot:
            if (!afx::automation::SaveClientPng(cmd.text)) Fail("cannot save " + cmd.text);
            break;
        case ScriptCommand::Quit:
            g_quitting = true;
            afx::automation::Quit(0);
            break;
        case ScriptCommand::Empty:
            break;
    }
    std::fflush(stdout);
}

// Desktop mode: the next whole line of standard input if one arrives within `waitMs`.
enum class LineRead { Line, NotYet, End };
LineRead ReadLineWithin(int waitMs, std::string* line) {
    for (;;) {
        const size_t newline = g_pending.find('\n');
        if (newline != std::string::npos) {
            *line = g_pending.substr(0, newline);
            g_pending.erase(0, newline + 1);
            return LineRead::Line;
        }
        if (g_inputEnded) {
            if (g_pending.empty()) return LineRead::End;
            *line = g_pending;
            g_pending.clear();
            return LineRead::Line;
        }
        pollfd p{STDIN_FILENO, POLLIN, 0};
        if (poll(&p, 1, waitMs) <= 0) return LineRead::NotYet;
        char buffer[4096];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0)
            g_inputEnded = true;
        else
            g_pending.append(buffer, static_cast<size_t>(n));
        waitMs = 0;
    }
}

// Reads the next command that is not empty; false at the end of the input. In desktop mode
// also false (with `*notYet` set) when no line is ready yet.
bool NextCommand(ScriptCommand* cmd, bool* notYet = nullptr) {
    std::string line;
    for (;;) {
        if (g_desktop && notYet) {
            const LineRead r = ReadLineWithin(20, &line);
            if (r == LineRead::NotYet) {
                *notYet = true;
                return false;
            }
            if (r == LineRead::End) return false;
        } else if (g_desktop) {
            if (ReadLineWithin(-1, &line) == LineRead::End) return false;
        } else if (!std::getline(*g_input, line)) {
            return false;
        }
        ++g_lineNumber;
        std::string error;
        if (!ParseScriptLine(line, cmd, &error)) Fail(error);
        if (cmd->kind != ScriptCommand::Empty) return true;
    }
}

// Called whenever the program waits at its message loop: runs the next line. In desktop mode
// it returns at once when no line is ready, so that the loop goes on handling the display.
void OnIdle() {
    if (g_quitting) return;
    ScriptCommand cmd;
    bool notYet = false;
    if (!NextCommand(&cmd, &notYet)) {
        if (notYet) return;
        // The end of the script ends the program.
        g_quitting = true;
        afx::automation::Quit(0);
        return;
    }
    Execute(cmd);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::string(argv[1]) == "--x11" || std::string(argv[1]) == "--desktop")) {
        g_desktop = true;
        g_x11 = std::string(argv[1]) == "--x11";
        --argc;
        ++argv;
        argv[0] = const_cast<char*>("kivra-drive");
    }
    std::ifstream file;
    if (argc > 1) {
        if (g_desktop) {
            std::fprintf(stderr, "kivra-drive: %s reads its script from standard input\n",
                         g_x11 ? "--x11" : "--desktop");
            return 2;
        }
        file.open(argv[1]);
        if (!file) {
            std::fprintf(stderr, "kivra-drive: cannot open %s\n", argv[1]);
            return 2;
        }
        g_input = &file;
    }

    // Commands before start: the start time and answers queued for start-up.
    int64_t startSeconds = 0;
    seams::EnableResponder(true);
    ScriptCommand cmd;
    while (!g_started) {
        if (!NextCommand(&cmd)) return 0;
        switch (cmd.kind) {
            case ScriptCommand::Time:
                startSeconds = cmd.seconds;
                break;
            case ScriptCommand::Answer:
                if (!seams::QueueAnswer(cmd.text)) Fail("bad answer: " + cmd.text);
                break;
            case ScriptCommand::Start:
                g_started = true;
                break;
            default:
                Fail("'" + cmd.word + "' before start");
        }
    }

    if (!g_desktop)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    else if (g_x11)
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    // Tunes open and end on the virtual clock without a sound card; nothing real is started
    // for a web address: the trace reports it.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    shell::SetLauncher([](const std::vector<std::string>&, int) {
        return shell::LaunchResult{true, true, 0};
    });
    afx::automation::UseVirtualClock(startSeconds);
    seams::SetTraceSink(seams::JsonLineSink(stdout));
    afx::automation::SetIdleHook(OnIdle);
#ifdef KIVRA_HAVE_RESOURCES
    RegisterKivraResources();
#endif
    RegisterGameResources();
    CGameApp app;
    const int status = AfxWinMain(argc > 1 ? 1 : argc, argv);
    CloseHelpViewers();
    mm::CloseAudio();
    std::fflush(stdout);
    return status;
}
