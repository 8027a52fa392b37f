// The registry equivalent: the two kinds of keys under HKEY_CLASSES_ROOT a program reads to
// find the browser, answered from the desktop's default browser entry.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

#include "platform/shell/desktop_entry.h"
#include "platform/shell/shell.h"

struct RegistryKey {
    std::string value;  // the key's default value
};

namespace {

std::mutex g_mutex;
std::set<RegistryKey*> g_openKeys;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// The default value of a key, or nothing when the key does not exist.
std::optional<std::string> DefaultValue(const std::string& subKey) {
    std::string key = Lower(subKey);
    if (key == ".htm" || key == ".html") return shell::DefaultBrowserEntry();
    const std::string suffix = "\\shell\\open\\command";
    if (key.size() > suffix.size() &&
        key.compare(key.size() - suffix.size(), suffix.size(), suffix) == 0) {
        // The entry id keeps its own spelling: desktop file names are case-sensitive.
        std::string id = subKey.substr(0, subKey.size() - suffix.size());
        auto file = shell::FindDesktopFile(id);
        if (!file) return std::nullopt;
        auto exec = shell::ReadExecKey(*file);
        if (!exec) return std::nullopt;
        return shell::ExecToCommandLine(*exec);
    }
    return std::nullopt;
}

}  // namespace

long RegOpenKeyEx(HKEY root, const char* subKey, unsigned long, unsigned long, HKEY* result) {
    if (!result) return ERROR_INVALID_HANDLE;
    *result = nullptr;
    if (root != HKEY_CLASSES_ROOT || !subKey) return ERROR_FILE_NOT_FOUND;
    auto value = DefaultValue(subKey);
    if (!value) return ERROR_FILE_NOT_FOUND;
    auto* key = new RegistryKey{*value};
    std::lock_guard<std::mutex> lock(g_mutex);
    g_openKeys.insert(key);
    *result = key;
    return ERROR_SUCCESS;
}

long RegQueryValueEx(HKEY key, const char* valueName, unsigned long*, unsigned long* type,
                     unsigned char* data, unsigned long* size) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_openKeys.count(key)) return ERROR_INVALID_HANDLE;
    if (valueName && *valueName) return ERROR_FILE_NOT_FOUND;  // keys hold only their default
    if (type) *type = REG_SZ;
    unsigned long needed = static_cast<unsigned long>(key->value.size() + 1);
    if (!size) return data ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
    if (data && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data) std::memcpy(data, key->value.c_str(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

long RegCloseKey(HKEY key) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_openKeys.erase(key)) return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}
