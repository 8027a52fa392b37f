// The desktop's default browser, as the registry equivalent reports it: the entry named in
// mimeapps.list for web addresses, and that entry's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace shell {

// The folders searched, in order of precedence, from XDG_CONFIG_HOME, XDG_CONFIG_DIRS,
// XDG_DATA_HOME and XDG_DATA_DIRS (with their usual defaults).
std::vector<std::string> MimeAppsFiles();
std::vector<std::string> ApplicationDirs();

// The desktop entry id ("firefox.desktop") of the default handler of x-scheme-handler/http,
// else of text/html, from the first mimeapps.list that names one which exists.
std::optional<std::string> DefaultBrowserEntry();

// Path of the desktop file for an entry id ("org.gnome.Epiphany.desktop"; an id with '-' may
// also name a sub-folder, "kde4-konqueror.desktop" -> kde4/konqueror.desktop).
std::optional<std::string> FindDesktopFile(const std::string& id);

// The Exec key of the [Desktop Entry] group, with the string escapes (\s \n \t \r \\) undone.
std::optional<std::string> ReadExecKey(const std::string& desktopFile);

// An Exec value as a Windows-style command line: the program and each argument in double
// quotes when they need them, the URL field codes (%u %U %f %F) written as "%1" in quotes,
// %i %c %k dropped, %% as %. Nullopt when the value does not parse.
std::optional<std::string> ExecToCommandLine(const std::string& exec);

}  // namespace shell
