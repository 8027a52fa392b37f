// The game's state as the scripted driver prints it: one JSON object on one line.
#pragma once

#include <string>

#include "game/control/game_dlg.h"

std::string StateJson(const CGameDlg& game);
