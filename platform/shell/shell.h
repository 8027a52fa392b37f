// The desktop shell in Windows terms: opening a web address, the registered program for
// .htm files, starting a command line, and the help viewer for compiled HTML help files.
//
// Opening a web address goes to the desktop's opener (xdg-open). The registry equivalent
// answers the two keys under HKEY_CLASSES_ROOT through which a program finds the browser:
//   ".htm"                                   -> the desktop's default browser entry,
//                                               e.g. "firefox.desktop"
//   "<that value>\shell\open\command"        -> that entry's command line, with its URL
//                                               placeholder written as "%1" and the program
//                                               quoted: "\"firefox\" \"%1\""
// Everything an address or help file opens is reported to the trace: "url" {address},
// "help" {file}.
//
// Window handles are taken as untyped pointers; they only name an owner and may be null.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/afx/styles.h"  // SW_ show commands

// ---- shell "open" -----------------------------------------------------------------------

// Result codes of ShellExecute and WinExec (above 32 means success).
constexpr int SE_ERR_OOM = 0;
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_NOASSOC = 31;
constexpr int SE_SUCCESS = 42;  // the value returned on success

// Performs `verb` ("open" or null) on `file`: a web address (scheme://..., mailto:) or a local
// file is handed to the desktop's opener. Returns SE_SUCCESS when the opener accepted it,
// SE_ERR_NOASSOC when no opener is installed or it reported no handler, SE_ERR_FNF for a
// local file that does not exist; another verb gives SE_ERR_NOASSOC. Traced as "url".
std::intptr_t ShellExecute(const void* owner, const char* verb, const char* file,
                           const char* parameters, const char* directory, int show);

// Starts a command line (program and arguments split with the shell's quoting rules, the
// program looked up in PATH) without waiting for it. Returns SE_SUCCESS when it started,
// SE_ERR_FNF when the program is not found, SE_ERR_OOM for an empty or malformed line.
// A line that starts a browser on an address is traced as "url" with that address.
unsigned WinExec(const char* commandLine, int show);

// ---- registry equivalent -----------------------------------------------------------------

using HKEY = struct RegistryKey*;
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u)))

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_MORE_DATA = 234;
constexpr unsigned long KEY_QUERY_VALUE = 0x0001;
constexpr unsigned long KEY_READ = 0x20019;
constexpr unsigned long REG_SZ = 1;

// Opens `subKey` under `root` (only HKEY_CLASSES_ROOT holds keys). ERROR_FILE_NOT_FOUND when
// the key does not exist (no default browser, or an entry without a command line).
long RegOpenKeyEx(HKEY root, const char* subKey, unsigned long options, unsigned long access,
                  HKEY* result);
// Reads a value of an open key; `valueName` null or "" is the key's default value, the only
// one there is. `*size` holds the buffer size and receives the bytes needed including the
// terminating zero; ERROR_MORE_DATA (buffer left unchanged) when it does not fit.
long RegQueryValueEx(HKEY key, const char* valueName, unsigned long* reserved, unsigned long* type,
                     unsigned char* data, unsigned long* size);
long RegCloseKey(HKEY key);

// ---- help viewer --------------------------------------------------------------------------

constexpr unsigned HH_DISPLAY_TOPIC = 0x0000;

// Shows the compiled HTML help file `file` (relative to the current directory) in the help
// viewer at its default topic (HH_DISPLAY_TOPIC with data 0) or at the topic path given as
// `data` (a const char*). Links between its pages work inside the viewer; links to web
// addresses open in the browser. A file that is missing or not a help file is reported by the
// viewer itself in a message window. Returns the viewer window, or null when nothing could be
// shown. Needs the program's Qt application object. Traced as "help" {file}.
void* HtmlHelp(const void* owner, const char* file, unsigned command, std::uintptr_t data);

// Closes every help viewer window (the program calls it as it ends; tests between cases).
void CloseHelpViewers();
