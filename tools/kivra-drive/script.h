// One line of a kivra-drive script.
#pragma once

#include <cstdint>
#include <string>

struct ScriptCommand {
    enum Kind {
        Empty,
        Time,
        Start,
        Key,
        Click,
        RightClick,
        Move,
        Menu,
        Wait,
        Answer,
        State,
        Shot,
        Quit
    };
    enum Edge { Press, Down, Up };
    Kind kind = Empty;
    std::string word;  // the command as written
    std::string text;  // key name, answer ("ok", "text ..."), file name
    Edge edge = Press;
    int x = 0, y = 0;  // click point; menu id in x; wait milliseconds in x
    int64_t seconds = 0;
};

// Parses one line; '#' starts a comment, blank lines are Empty. False with a reason for an
// unknown command or malformed arguments.
bool ParseScriptLine(const std::string& line, ScriptCommand* cmd, std::string* error);
