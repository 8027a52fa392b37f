// Test support: the trace events of the code under test, collected as the driver prints them.
#pragma once

#include <string>
#include <vector>

#include "platform/seams/seams.h"

namespace testsupport {

// Collects trace events as JSON lines while alive.
struct TraceLog {
    TraceLog() {
        seams::SetTraceSink([this](const std::string& e, const std::vector<seams::Field>& f) {
            lines.push_back(seams::TraceToJson(e, f));
        });
    }
    ~TraceLog() { seams::SetTraceSink(nullptr); }
    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;
    std::vector<std::string> lines;
};

}  // namespace testsupport
