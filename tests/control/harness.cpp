#include "tests/control/harness.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "game/res/game_resources.h"
#include "platform/afx/automation.h"
#include "platform/mm/audio.h"
#include "platform/shell/shell.h"

void RegisterKivraResources();

namespace fs = std::filesystem;

long long TraceEvent::Int(const std::string& name) const {
    for (const auto& f : fields)
        if (f.name == name) return f.type == seams::Field::Bool ? f.b : f.i;
    return -999999;
}

std::string TraceEvent::Str(const std::string& name) const {
    for (const auto& f : fields)
        if (f.name == name) return f.s;
    return "<absent>";
}

bool TraceEvent::Bool(const std::string& name) const {
    for (const auto& f : fields)
        if (f.name == name) return f.b;
    return false;
}

GameHarness::GameHarness(const int* settings) {
    static bool registered = false;
    if (!registered) {
        RegisterKivraResources();
        RegisterGameResources();
        registered = true;
    }
    oldDir_ = fs::current_path().string();
    static int serial = 0;
    dir_ = (fs::temp_directory_path() /
            ("kivra-control-" + std::to_string(getpid()) + "-" + std::to_string(serial++)))
               .string();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::copy(KIVRA_DATA_DIR, dir_, fs::copy_options::recursive);
    if (settings) {
        std::ofstream cfg(fs::path(dir_) / "mavek.cfg", std::ios::binary);
        for (int i = 0; i < 3; ++i) {
            const unsigned v = static_cast<unsigned>(settings[i]);
            const char b[4] = {char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF),
                               char(v >> 24)};
            cfg.write(b, 4);
        }
    }
    fs::current_path(dir_);
    seams::SetTraceSink([this](const std::string& event, const std::vector<seams::Field>& fields) {
        events_.push_back(TraceEvent{event, seams::TraceToJson(event, fields), fields});
    });
    seams::EnableResponder(true);
    seams::ClearAnswers();
}

GameHarness::~GameHarness() {
    // As the program does when it ends.
    CloseHelpViewers();
    mm::CloseAudio();
    seams::SetTraceSink({});
    seams::ClearAnswers();
    fs::current_path(oldDir_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

void GameHarness::Run(int64_t startSeconds, const std::function<void(CGameDlg&)>& body) {
    afx::InitPlatform();
    afx::automation::UseVirtualClock(startSeconds);
    CGameDlg dlg;
    bool ran = false;
    afx::automation::SetIdleHook([&] {
        if (ran) return;
        ran = true;
        body(dlg);
        if (dlg.GetSafeHwnd()) dlg.EndDialog(IDCANCEL);
    });
    dlg.DoModal();
    afx::automation::SetIdleHook(nullptr);
}

std::vector<TraceEvent> GameHarness::Take(const std::string& event) {
    std::vector<TraceEvent> out;
    for (const auto& e : events_)
        if (e.event == event) out.push_back(e);
    events_.clear();
    return out;
}

CPoint CellPoint(const CGameDlg& game, int x, int y) {
    const Point p = game.Board().CellCentre(x, y);
    return CPoint(p.x, p.y);
}

void ClickPair(const CGameDlg& game, const HintPair& pair) {
    const CPoint a = CellPoint(game, pair.x1, pair.y1);
    const CPoint b = CellPoint(game, pair.x2, pair.y2);
    afx::automation::Click(a.x, a.y);
    afx::automation::Click(b.x, b.y);
}

bool FindPair(const CGameDlg& game, HintPair* pair) {
    const std::optional<MovablePair> found = game.Board().FindMovablePair();
    if (found) *pair = found->cells;
    return found.has_value();
}

void Press(const char* key) { afx::automation::Key(key); }

void Wait(uint32_t ms) { afx::automation::Advance(ms); }

std::string GameHarness::LastPicture() const {
    for (auto it = events_.rbegin(); it != events_.rend(); ++it)
        if (it->event == "picture") return it->Str("file");
    return "";
}
