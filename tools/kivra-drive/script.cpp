#include "tools/kivra-drive/script.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

bool ToInt(const std::string& s, long long min, long long max, long long* out) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < min || v > max) return false;
    *out = v;
    return true;
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

}  // namespace

bool ParseScriptLine(const std::string& rawLine, ScriptCommand* cmd, std::string* error) {
    *cmd = ScriptCommand{};
    std::string line = rawLine;
    const auto hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    line = Trim(line);
    if (line.empty()) return true;

    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    const std::string& word = words[0];
    cmd->word = word;
    const size_t argc = words.size() - 1;
    auto bad = [&](const std::string& why) {
        *error = word + ": " + why;
        return false;
    };
    long long a = 0, b = 0;

    if (word == "time") {
        if (argc != 1 || !ToInt(words[1], 0, 0xFFFFFFFFLL, &a)) return bad("expects seconds");
        cmd->kind = ScriptCommand::Time;
        cmd->seconds = a;
    } else if (word == "start" || word == "state" || word == "quit") {
        if (argc != 0) return bad("takes no argument");
        cmd->kind = word == "start"   ? ScriptCommand::Start
                    : word == "state" ? ScriptCommand::State
                                      : ScriptCommand::Quit;
    } else if (word == "key") {
        if (argc < 1 || argc > 2) return bad("expects NAME [down|up]");
        cmd->kind = ScriptCommand::Key;
        cmd->text = words[1];
        if (argc == 2) {
            if (words[2] == "down")
                cmd->edge = ScriptCommand::Down;
            else if (words[2] == "up")
                cmd->edge = ScriptCommand::Up;
            else
                return bad("edge must be down or up");
        }
    } else if (word == "click" || word == "rclick" || word == "move") {
        if (argc != 2 || !ToInt(words[1], -32768, 32767, &a) || !ToInt(words[2], -32768, 32767, &b))
            return bad("expects X Y");
        cmd->kind = word == "click"    ? ScriptCommand::Click
                    : word == "rclick" ? ScriptCommand::RightClick
                                       : ScriptCommand::Move;
        cmd->x = static_cast<int>(a);
        cmd->y = static_cast<int>(b);
    } else if (word == "menu") {
        if (argc != 1 || !ToInt(words[1], 0, 0xFFFF, &a)) return bad("expects a command id");
        cmd->kind = ScriptCommand::Menu;
        cmd->x = static_cast<int>(a);
    } else if (word == "wait") {
        if (argc != 1 || !ToInt(words[1], 0, 0x7FFFFFFF, &a)) return bad("expects milliseconds");
        cmd->kind = ScriptCommand::Wait;
        cmd->x = static_cast<int>(a);
    } else if (word == "answer") {
        if (argc < 1) return bad("expects ok, cancel, yes, no, hold or text TEXT");
        const std::string& kind = words[1];
        if (kind == "text") {
            // The text is the rest of the line after "text ", spaces kept.
            const auto at = line.find("text", line.find("answer") + 6);
            std::string rest = at + 4 < line.size() ? line.substr(at + 5) : "";
            cmd->text = "text " + rest;
        } else if (argc == 1 && (kind == "ok" || kind == "cancel" || kind == "yes" ||
                                 kind == "no" || kind == "hold")) {
            cmd->text = kind;
        } else {
            return bad("expects ok, cancel, yes, no, hold or text TEXT");
        }
        cmd->kind = ScriptCommand::Answer;
    } else if (word == "shot") {
        if (argc != 1) return bad("expects a file name");
        cmd->kind = ScriptCommand::Shot;
        cmd->text = words[1];
    } else {
        *error = "unknown command: " + word;
        return false;
    }
    return true;
}
