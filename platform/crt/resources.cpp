#include "platform/crt/resources.h"

#include <mutex>
#include <vector>

namespace res {
namespace {

// Registration happens at start-up, but sounds may be looked up from the advert thread's
// lifetime as well, so the table is guarded.
std::mutex& TableMutex() {
    static std::mutex m;
    return m;
}

std::vector<Resource>& Table() {
    static std::vector<Resource> table;
    return table;
}

}  // namespace

void RegisterResources(const Resource* table, unsigned count) {
    if (table == nullptr) return;
    std::lock_guard<std::mutex> lock(TableMutex());
    auto& entries = Table();
    for (unsigned i = 0; i < count; ++i) {
        const Resource& r = table[i];
        bool replaced = false;
        for (auto& e : entries) {
            if (e.kind == r.kind && e.id == r.id) {
                e = r;
                replaced = true;
                break;
            }
        }
        if (!replaced) entries.push_back(r);
    }
}

const Resource* FindResource(int id, Kind kind) {
    std::lock_guard<std::mutex> lock(TableMutex());
    // Entries are never removed and the vector only grows at registration, which the program
    // does before any lookup; the pointer stays valid after that.
    for (const auto& e : Table()) {
        if (e.id == id && e.kind == kind) return &e;
    }
    return nullptr;
}

}  // namespace res
