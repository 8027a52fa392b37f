#include "tools/kivra-drive/state_json.h"

#include <sstream>

namespace {

void Cells(std::ostringstream& out, const Cell* cells, int count, int used) {
    out << '[';
    for (int i = 0; i < count; ++i) {
        if (i) out << ", ";
        const bool valid = i < used;
        out << '[' << (valid ? cells[i].x : -1) << ", " << (valid ? cells[i].y : -1) << ']';
    }
    out << ']';
}

}  // namespace

std::string StateJson(const CGameDlg& game) {
    const CBoard& board = game.Board();
    std::ostringstream out;
    out << "{\"difficulty\": " << game.Difficulty() << ", \"level\": " << game.Level()
        << ", \"score\": " << game.Score() << ", \"hints\": " << game.Hints()
        << ", \"reshuffles\": " << game.Reshuffles() << ", \"time_left\": " << game.TimeLeft()
        << ", \"game_in_progress\": " << int(game.GameInProgress())
        << ", \"countdown_stopped\": " << int(game.CountdownStopped())
        << ", \"paused\": " << int(game.Paused()) << ", \"hidden\": " << int(game.Hidden())
        << ", \"prize_shown\": " << game.PrizeShown() << ", \"theme\": " << game.Theme()
        << ", \"sound\": " << int(game.SoundOn()) << ", \"music\": " << int(game.MusicOn())
        << ", \"frame_style\": " << board.FrameStyle()
        << ", \"all_cleared_shown\": " << int(game.AllClearedShown())
        << ", \"search_start\": " << board.SearchStart();

    const Selection& sel = board.GetSelection();
    out << ", \"selection\": {\"count\": " << sel.count << ", \"cells\": ";
    Cells(out, sel.cells, 2, sel.count);
    out << '}';

    const PathRecord& path = board.Path();
    out << ", \"path\": {\"bends\": " << path.bends << ", \"corners\": ";
    Cells(out, path.corners, 2, path.bends < 0 ? 0 : path.bends);
    out << '}';

    const HintPair& hint = board.Hint();
    out << ", \"hint\": [" << hint.x1 << ", " << hint.y1 << ", " << hint.x2 << ", " << hint.y2
        << ']';

    const Cell cursor = game.Cursor();
    out << ", \"cursor\": [" << cursor.x << ", " << cursor.y << ']';

    for (int pass = 0; pass < 2; ++pass) {
        out << (pass == 0 ? ", \"board\": [" : ", \"marks\": [");
        for (int x = 0; x < kGridWidth; ++x) {
            out << (x ? ", [" : "[");
            for (int y = 0; y < kGridHeight; ++y) {
                if (y) out << ", ";
                out << (pass == 0 ? board.At(x, y) : board.Mark(x, y));
            }
            out << ']';
        }
        out << ']';
    }
    out << '}';
    return out.str();
}
