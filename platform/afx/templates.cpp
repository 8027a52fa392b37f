// The registry of dialog templates, menu templates and strings.
#include "platform/afx/templates.h"

#include <map>
#include <mutex>

namespace afx {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<int, DialogTemplate> dialogs;
    std::map<int, MenuTemplate> menus;
    std::map<unsigned, std::string> strings;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// MulDiv(units, base, divisor): rounded to nearest, halves away from zero.
int MulDivRound(int units, int base, int divisor) {
    long long n = static_cast<long long>(units) * base;
    long long q = (n >= 0 ? n + divisor / 2 : n - divisor / 2) / divisor;
    return static_cast<int>(q);
}

}  // namespace

void RegisterDialogTemplate(const DialogTemplate& t) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.dialogs[t.id] = t;
}

void RegisterMenuTemplate(const MenuTemplate& t) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.menus[t.id] = t;
}

void RegisterString(unsigned id, const std::string& text) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.strings[id] = text;
}

// Entries are never removed, only replaced, and std::map nodes stay put, so the pointers
// stay valid unless the same id is registered again.
const DialogTemplate* FindDialogTemplate(int id) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.dialogs.find(id);
    return it == r.dialogs.end() ? nullptr : &it->second;
}

const MenuTemplate* FindMenuTemplate(int id) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.menus.find(id);
    return it == r.menus.end() ? nullptr : &it->second;
}

bool FindString(unsigned id, std::string* text) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.strings.find(id);
    if (it == r.strings.end()) return false;
    *text = it->second;
    return true;
}

// The base units of 宋体 9 at 96 dpi are 6 x 12 pixels; horizontal units are a quarter of
// the base width, vertical units an eighth of the base height.
int DialogUnitsToPixelsX(int units) { return MulDivRound(units, 6, 4); }
int DialogUnitsToPixelsY(int units) { return MulDivRound(units, 12, 8); }

PixelRect ControlPixelRect(const ControlTemplate& c) {
    return PixelRect{DialogUnitsToPixelsX(c.x), DialogUnitsToPixelsY(c.y),
                     DialogUnitsToPixelsX(c.cx), DialogUnitsToPixelsY(c.cy)};
}

}  // namespace afx
