// Runs the real main window in-process on the virtual clock, with the modal responder and
// a trace recorder, in a fresh copy of the game data.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "game/control/game_dlg.h"
#include "platform/seams/seams.h"

// Reaches into the window to set up positions a player could only reach by long play: a board,
// the values around it, the sound switch.
struct GameDlgTestAccess {
    static CBoard& Board(CGameDlg& d) { return d.m_board; }
    static GameRules& Rules(CGameDlg& d) { return d.m_rules; }
    static int& Sound(CGameDlg& d) { return d.m_sound; }
};
using Access = GameDlgTestAccess;

// Changes the running game's values: `change` edits a copy, which then takes their place.
template <typename Change>
void SetValues(CGameDlg& game, Change change) {
    GameValues values = game.Rules().Values();
    change(values);
    Access::Rules(game) = GameRules(values);
}

struct TraceEvent {
    std::string event;
    std::string json;  // the whole event as the driver prints it
    std::vector<seams::Field> fields;
    long long Int(const std::string& name) const;
    std::string Str(const std::string& name) const;
    bool Bool(const std::string& name) const;
};

class GameHarness {
  public:
    // A fresh data folder (a copy of the generated data) as the current directory. With
    // `settings`, mavek.cfg holds (sound, music, theme); without, there is none.
    explicit GameHarness(const int* settings = nullptr);
    ~GameHarness();

    // Starts the program at `startSeconds` on the virtual clock and runs `body` at its
    // message loop; the window closes after the body.
    void Run(int64_t startSeconds, const std::function<void(CGameDlg&)>& body);

    std::vector<TraceEvent>& Events() { return events_; }
    std::vector<TraceEvent> Take(const std::string& event);  // matching events, and clears all
    // The file of the last picture loaded ("" when none since the events were cleared).
    std::string LastPicture() const;
    const std::string& Dir() const { return dir_; }

  private:
    std::string dir_;
    std::string oldDir_;
    std::vector<TraceEvent> events_;
};

// Client point at the centre of a cell of the running game's board.
CPoint CellPoint(const CGameDlg& game, int x, int y);
// Clicks the two cells of a pair (left button, through the window's input).
void ClickPair(const CGameDlg& game, const HintPair& pair);
// A removable pair of the current board (searched on a copy); false when none.
bool FindPair(const CGameDlg& game, HintPair* pair);
// Key press through the window's input.
void Press(const char* key);
// Advances the virtual clock.
void Wait(uint32_t ms);
