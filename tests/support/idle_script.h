// Test support: steps run one per idle moment of the window framework's innermost message loop,
// so that a test can act inside a modal dialog or box while it runs.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "platform/afx/automation.h"

namespace testsupport {

// Runs `steps` one per idle moment; out of steps, it ends whatever still runs (exit code 9)
// rather than spin.
struct Script {
    explicit Script(std::vector<std::function<void()>> s) : steps(std::move(s)) {
        afx::automation::SetIdleHook([this] {
            if (next < steps.size()) {
                steps[next++]();
            } else {
                afx::automation::Quit(9);
            }
        });
    }
    ~Script() { afx::automation::SetIdleHook(nullptr); }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;
    std::vector<std::function<void()>> steps;
    size_t next = 0;
};

}  // namespace testsupport
