// The desktop-shell calls of the advert window, the hyperlink label and the help command. They
// live in a file of their own so that the window code does not see the shell's header.
#pragma once

#include <cstdint>
#include <string>

namespace extras {

// The shell's "open" on a web address; above 32 means success.
std::intptr_t ShellOpen(const void* owner, const char* address, int showCommand);
// The default value of `subKey` under HKEY_CLASSES_ROOT, read into a buffer of `bufferSize`
// bytes: ERROR_SUCCESS (0) or the error (a value that does not fit is an error).
long ReadClassesRootDefault(const char* subKey, std::string& value, unsigned long bufferSize);
// Starts a command line; the start-up result (above 32 means success).
unsigned StartCommandLine(const char* commandLine, int showCommand);
// The help viewer on `file` at its default topic.
void ShowHelpFile(const char* file);

}  // namespace extras
