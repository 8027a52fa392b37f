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
//   state                the state as one JSON line
//   shot FILE            the top window's client area as PNG
//   quit                 ends the program as the Esc key does
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
        case ScriptCommand::Answer:
            if (!seams::QueueAnswer(cmd.text)) Fail("bad answer: " + cmd.text);
            break;
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

// Reads the next command that is not empty; false at the end of the input.
bool NextCommand(ScriptCommand* cmd) {
    std::string line;
    while (std::getline(*g_input, line)) {
        ++g_lineNumber;
        std::string error;
        if (!ParseScriptLine(line, cmd, &error)) Fail(error);
        if (cmd->kind != ScriptCommand::Empty) return true;
    }
    return false;
}

// Called whenever the program waits at its message loop: runs the next line.
void OnIdle() {
    if (g_quitting) return;
    ScriptCommand cmd;
    if (!NextCommand(&cmd)) {
        // The end of the script ends the program.
        g_quitting = true;
        afx::automation::Quit(0);
        return;
    }
    Execute(cmd);
}

}  // namespace

int main(int argc, char** argv) {
    std::ifstream file;
    if (argc > 1) {
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

    setenv("QT_QPA_PLATFORM", "offscreen", 1);
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
