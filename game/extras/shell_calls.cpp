#include "game/extras/shell_calls.h"

#include <cstring>
#include <vector>

#include "platform/shell/shell.h"

namespace extras {

std::intptr_t ShellOpen(const void* owner, const char* address, int showCommand) {
    return ShellExecute(owner, "open", address, nullptr, nullptr, showCommand);
}

long ReadClassesRootDefault(const char* subKey, std::string& value, unsigned long bufferSize) {
    HKEY key = nullptr;
    const long opened = RegOpenKeyEx(HKEY_CLASSES_ROOT, subKey, 0, KEY_QUERY_VALUE, &key);
    if (opened != ERROR_SUCCESS) return opened;
    std::vector<unsigned char> buffer(bufferSize + 1, 0);
    unsigned long size = bufferSize;
    const long read = RegQueryValueEx(key, nullptr, nullptr, nullptr, buffer.data(), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS) return read;
    value.assign(reinterpret_cast<const char*>(buffer.data()),
                 strnlen(reinterpret_cast<const char*>(buffer.data()), bufferSize));
    return ERROR_SUCCESS;
}

unsigned StartCommandLine(const char* commandLine, int showCommand) {
    return WinExec(commandLine, showCommand);
}

void ShowHelpFile(const char* file) { HtmlHelp(nullptr, file, HH_DISPLAY_TOPIC, 0); }

}  // namespace extras
