// The trace: what a player would notice, reported as events to a sink.
#include <cstdio>
#include <mutex>

#include "platform/seams/seams.h"

namespace seams {
namespace {

struct TraceState {
    std::mutex sinkMutex;  // guards `sink`
    std::mutex callMutex;  // serialises calls into the sink
    TraceSink sink;
};

TraceState& State() {
    static TraceState state;
    return state;
}

}  // namespace

void Trace(const char* event, std::initializer_list<Field> fields) {
    if (!TraceEnabled()) return;
    Trace(event, std::vector<Field>(fields));
}

void Trace(const char* event, const std::vector<Field>& fields) {
    TraceState& s = State();
    TraceSink sink;
    {
        std::lock_guard<std::mutex> lock(s.sinkMutex);
        sink = s.sink;
    }
    if (!sink) return;
    std::lock_guard<std::mutex> lock(s.callMutex);
    sink(event, fields);
}

void SetTraceSink(TraceSink sink) {
    TraceState& s = State();
    std::lock_guard<std::mutex> lock(s.sinkMutex);
    s.sink = std::move(sink);
}

bool TraceEnabled() {
    TraceState& s = State();
    std::lock_guard<std::mutex> lock(s.sinkMutex);
    return static_cast<bool>(s.sink);
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);  // UTF-8 passes through unchanged
                }
        }
    }
    out += '"';
    return out;
}

std::string TraceToJson(const std::string& event, const std::vector<Field>& fields) {
    std::string out = "{\"event\": " + JsonString(event);
    for (const Field& f : fields) {
        out += ", " + JsonString(f.name) + ": ";
        switch (f.type) {
            case Field::Int:
                out += std::to_string(f.i);
                break;
            case Field::Bool:
                out += f.b ? "true" : "false";
                break;
            case Field::Str:
                out += JsonString(f.s);
                break;
        }
    }
    out += "}";
    return out;
}

TraceSink JsonLineSink(std::FILE* file) {
    return [file](const std::string& event, const std::vector<Field>& fields) {
        const std::string line = TraceToJson(event, fields);
        std::fprintf(file, "%s\n", line.c_str());
        std::fflush(file);
    };
}

}  // namespace seams
