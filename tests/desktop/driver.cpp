#include "tests/desktop/driver.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "tests/support/process.h"

namespace desktop {

bool Driver::Start(const std::vector<std::string>& argv, const std::string& cwd,
                   const std::vector<std::string>& env) {
    signal(SIGPIPE, SIG_IGN);  // a driver that ended must not end the test with it
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0) return false;
    if (pipe(fromChild) != 0) return false;
    testsupport::Command c;
    c.argv = argv;
    c.env = env;
    c.cwd = cwd;
    c.stdinFd = toChild[0];
    c.stdoutFd = fromChild[1];
    c.stderrFd = 2;
    pid_ = testsupport::Spawn(c);
    started_ = pid_ > 0;
    close(toChild[0]);
    close(fromChild[1]);
    in_ = toChild[1];
    out_ = fromChild[0];
    fcntl(out_, F_SETFL, fcntl(out_, F_GETFL) | O_NONBLOCK);
    return pid_ > 0;
}

bool Driver::Send(const std::string& line) {
    if (in_ < 0) return false;
    const std::string text = line + "\n";
    return write(in_, text.data(), text.size()) == ssize_t(text.size());
}

bool Driver::ReadLine(std::string* line, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const size_t newline = pending_.find('\n');
        if (newline != std::string::npos) {
            *line = pending_.substr(0, newline);
            pending_.erase(0, newline + 1);
            lines_.push_back(*line);
            return true;
        }
        if (ended_ || out_ < 0) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return false;
        pollfd p{out_, POLLIN, 0};
        if (poll(&p, 1, int(left)) <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(out_, buffer, sizeof buffer);
        if (n > 0)
            pending_.append(buffer, size_t(n));
        else if (n == 0)
            ended_ = true;
    }
}

bool Driver::WaitFor(const std::function<bool(const std::string&)>& match, int timeoutMs,
                     std::string* line) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string l;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0 || !ReadLine(&l, int(left))) return false;
        if (match(l)) {
            if (line) *line = l;
            return true;
        }
    }
}

bool Driver::WaitForEvent(const std::string& event, int timeoutMs, std::string* line) {
    return WaitFor([&](const std::string& l) { return JsonText(l, "event") == event; }, timeoutMs,
                   line);
}

bool Driver::State(std::string* line, int timeoutMs) {
    if (!Send("state")) return false;
    return WaitFor([](const std::string& l) { return JsonNumber(l, "hidden", -1) != -1; },
                   timeoutMs, line);
}

int Driver::Finish(int timeoutMs) {
    if (in_ >= 0) close(in_);
    in_ = -1;
    const int status = testsupport::WaitExit(pid_, timeoutMs);
    if (status != -1) pid_ = -1;
    return status;
}

bool Driver::Running() const { return testsupport::Running(pid_); }

void Driver::Stop() {
    if (in_ >= 0) close(in_);
    in_ = -1;
    testsupport::Stop(pid_);
    pid_ = -1;
    if (out_ >= 0) close(out_);
    out_ = -1;
}

std::string Driver::Transcript() const {
    std::string all;
    for (const std::string& l : lines_) all += "  " + l + "\n";
    return all.empty() ? "  (no output)\n" : all;
}

namespace {

// The position just after `"field":` (spaces allowed), or npos.
size_t ValueStart(const std::string& line, const std::string& field) {
    const std::string key = "\"" + field + "\"";
    size_t at = line.find(key);
    while (at != std::string::npos) {
        size_t p = at + key.size();
        while (p < line.size() && line[p] == ' ') ++p;
        if (p < line.size() && line[p] == ':') {
            ++p;
            while (p < line.size() && line[p] == ' ') ++p;
            return p;
        }
        at = line.find(key, at + 1);
    }
    return std::string::npos;
}

}  // namespace

std::string JsonText(const std::string& line, const std::string& field,
                     const std::string& fallback) {
    size_t p = ValueStart(line, field);
    if (p == std::string::npos || p >= line.size() || line[p] != '"') return fallback;
    std::string out;
    for (++p; p < line.size() && line[p] != '"'; ++p) {
        if (line[p] != '\\' || p + 1 >= line.size()) {
            out += line[p];
            continue;
        }
        const char e = line[++p];
        switch (e) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u':
                if (p + 4 < line.size()) {
                    out += char(std::strtol(line.substr(p + 1, 4).c_str(), nullptr, 16));
                    p += 4;
                }
                break;
            default:
                out += e;
        }
    }
    return out;
}

long JsonNumber(const std::string& line, const std::string& field, long fallback) {
    const size_t p = ValueStart(line, field);
    if (p == std::string::npos || p >= line.size()) return fallback;
    char* end = nullptr;
    const long v = std::strtol(line.c_str() + p, &end, 10);
    return end == line.c_str() + p ? fallback : v;
}

}  // namespace desktop
