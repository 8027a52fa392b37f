#include "platform/shell/desktop_entry.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace shell {

namespace {

std::string Env(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

std::string Home() { return Env("HOME", ""); }

std::vector<std::string> SplitPath(const std::string& list) {
    std::vector<std::string> parts;
    std::stringstream in(list);
    std::string part;
    while (std::getline(in, part, ':'))
        if (!part.empty()) parts.push_back(part);
    return parts;
}

bool Exists(const std::string& path) {
    std::ifstream f(path);
    return f.good();
}

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// The value of `key` in `group` of an ini-style file (desktop files, mimeapps.list).
std::optional<std::string> IniValue(const std::string& path, const std::string& group,
                                    const std::string& key) {
    std::ifstream f(path);
    if (!f) return std::nullopt;
    std::string line;
    bool inGroup = false;
    while (std::getline(f, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inGroup = line == "[" + group + "]";
            continue;
        }
        if (!inGroup) continue;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        if (Trim(line.substr(0, eq)) == key) return Trim(line.substr(eq + 1));
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> MimeAppsFiles() {
    std::vector<std::string> files;
    files.push_back(Env("XDG_CONFIG_HOME", Home() + "/.config") + "/mimeapps.list");
    for (const auto& dir : SplitPath(Env("XDG_CONFIG_DIRS", "/etc/xdg")))
        files.push_back(dir + "/mimeapps.list");
    for (const auto& dir : ApplicationDirs()) files.push_back(dir + "/mimeapps.list");
    return files;
}

std::vector<std::string> ApplicationDirs() {
    std::vector<std::string> dirs;
    dirs.push_back(Env("XDG_DATA_HOME", Home() + "/.local/share") + "/applications");
    for (const auto& dir : SplitPath(Env("XDG_DATA_DIRS", "/usr/local/share:/usr/share")))
        dirs.push_back(dir + "/applications");
    return dirs;
}

std::optional<std::string> FindDesktopFile(const std::string& id) {
    if (id.empty() || id.find('/') != std::string::npos || id.find("..") != std::string::npos)
        return std::nullopt;
    for (const auto& dir : ApplicationDirs()) {
        const std::string folder = dir + '/';
        if (Exists(folder + id)) return folder + id;
        // "vendor-name.desktop" may live as vendor/name.desktop.
        for (std::size_t dash = id.find('-'); dash != std::string::npos;
             dash = id.find('-', dash + 1)) {
            std::string path = folder + id;
            path[folder.size() + dash] = '/';
            if (Exists(path)) return path;
        }
    }
    return std::nullopt;
}

std::optional<std::string> DefaultBrowserEntry() {
    for (const char* type : {"x-scheme-handler/http", "text/html"}) {
        for (const auto& file : MimeAppsFiles()) {
            auto value = IniValue(file, "Default Applications", type);
            if (!value) continue;
            // A list "a.desktop;b.desktop;": the first one installed wins.
            std::stringstream in(*value);
            std::string id;
            while (std::getline(in, id, ';')) {
                id = Trim(id);
                if (!id.empty() && FindDesktopFile(id)) return id;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> ReadExecKey(const std::string& desktopFile) {
    auto raw = IniValue(desktopFile, "Desktop Entry", "Exec");
    if (!raw || raw->empty()) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < raw->size(); ++i) {
        char c = (*raw)[i];
        if (c == '\\' && i + 1 < raw->size()) {
            char n = (*raw)[++i];
            switch (n) {
                case 's':
                    out += ' ';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case '\\':
                    out += '\\';
                    break;
                default:
                    out += '\\';
                    out += n;
                    break;  // kept for the Exec quoting rules
            }
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

// Splits an Exec value into arguments by its own rules: blanks separate, double quotes
// group, and inside them a backslash escapes " ` $ and \.
bool SplitExec(const std::string& exec, std::vector<std::string>& args,
               std::vector<bool>& wasQuoted) {
    std::string current;
    bool inArgument = false, quoted = false, anyQuote = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        char c = exec[i];
        if (quoted) {
            if (c == '\\' && i + 1 < exec.size() &&
                std::string("\"`$\\").find(exec[i + 1]) != std::string::npos) {
                current += exec[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == ' ' || c == '\t') {
            if (inArgument) {
                args.push_back(current);
                wasQuoted.push_back(anyQuote);
            }
            current.clear();
            inArgument = anyQuote = false;
        } else if (c == '"') {
            quoted = inArgument = anyQuote = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted) return false;
    if (inArgument) {
        args.push_back(current);
        wasQuoted.push_back(anyQuote);
    }
    return !args.empty();
}

std::string Quote(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string q = "\"";
    for (char c : arg) {
        if (c == '"') q += '\\';
        q += c;
    }
    return q + "\"";
}

}  // namespace

std::optional<std::string> ExecToCommandLine(const std::string& exec) {
    std::vector<std::string> args;
    std::vector<bool> quoted;
    if (!SplitExec(exec, args, quoted)) return std::nullopt;
    std::string line;
    for (std::size_t n = 0; n < args.size(); ++n) {
        const std::string& arg = args[n];
        std::string out;
        bool placeholder = false;
        bool dropped = false;
        if (!quoted[n] && (arg == "%u" || arg == "%U" || arg == "%f" || arg == "%F")) {
            placeholder = true;
        } else if (!quoted[n] && (arg == "%i" || arg == "%c" || arg == "%k")) {
            dropped = true;
        } else {
            for (std::size_t i = 0; i < arg.size(); ++i) {
                if (arg[i] == '%' && i + 1 < arg.size()) {
                    char code = arg[++i];
                    if (code == '%')
                        out += '%';
                    else if (code == 'u' || code == 'U' || code == 'f' || code == 'F')
                        out += "%1";
                    // other field codes inside an argument are dropped
                } else {
                    out += arg[i];
                }
            }
        }
        if (dropped) continue;
        if (!line.empty()) line += ' ';
        if (placeholder)
            line += "\"%1\"";
        else if (n == 0)
            line += "\"" + out + "\"";  // the program always in quotes, as registered lines have it
        else
            line += Quote(out);
    }
    return line;
}

}  // namespace shell
