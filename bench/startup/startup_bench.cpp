// Start-up to the first painted frame.
//
// InProcess: the main window from construction through OnInitDialog (settings, artwork,
// drawing surfaces, the start picture) to the moment its message loop is first idle, which
// is after the first WM_PAINT has been handled.
// WholeProgram: a fresh process of the scripted driver that starts the program and quits
// at its first idle moment: process start, the windowing system, resources, first frame.
// OnTheDesktop: the same with the windows shown on the desktop of the environment ($DISPLAY,
// $WAYLAND_DISPLAY), on the platform the game chooses there (QT_QPA_PLATFORM=wayland forces
// native Wayland, for comparison).
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/control/game_dlg.h"
#include "game/res/game_resources.h"
#include "platform/afx/automation.h"
#include "platform/seams/seams.h"

void RegisterKivraResources();

namespace {

namespace fs = std::filesystem;

// A copy of the game data as the current directory, for the life of the program.
const fs::path& DataCopy() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("kivra-bench-" + std::to_string(getpid()));
        fs::remove_all(d);
        fs::create_directories(d);
        fs::copy(KIVRA_DATA_DIR, d, fs::copy_options::recursive);
        return d;
    }();
    return dir;
}

void InProcess(benchmark::State& state) {
    fs::current_path(DataCopy());
    RegisterKivraResources();
    RegisterGameResources();
    afx::InitPlatform();
    seams::EnableResponder(true);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::chrono::steady_clock::time_point firstIdle;
        CGameDlg dlg;
        bool seen = false;
        afx::automation::SetIdleHook([&] {
            if (seen) return;
            seen = true;
            firstIdle = std::chrono::steady_clock::now();
            dlg.EndDialog(IDCANCEL);
        });
        dlg.DoModal();
        afx::automation::SetIdleHook(nullptr);
        state.SetIterationTime(std::chrono::duration<double>(firstIdle - start).count());
    }
}
BENCHMARK(InProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

void WholeProgram(benchmark::State& state) {
    const fs::path script = DataCopy() / "first-frame.txt";
    std::ofstream(script) << "start\nquit\n";
    const std::string cmd = "cd '" + DataCopy().string() +
                            "' && SDL_AUDIODRIVER=dummy '" KIVRA_DRIVE
                            "' first-frame.txt >/dev/null 2>&1";
    for (auto _ : state) {
        const int status = std::system(cmd.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("kivra-drive failed");
            break;
        }
    }
}
BENCHMARK(WholeProgram)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void OnTheDesktop(benchmark::State& state) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        state.SkipWithError("no desktop: set DISPLAY or WAYLAND_DISPLAY");
        return;
    }
    const std::string cmd = "cd '" + DataCopy().string() +
                            "' && printf 'start\\nquit\\n' | SDL_AUDIODRIVER=dummy '" KIVRA_DRIVE
                            "' --desktop >/dev/null 2>&1";
    for (auto _ : state) {
        const int status = std::system(cmd.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("kivra-drive --desktop failed");
            break;
        }
    }
}
BENCHMARK(OnTheDesktop)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
