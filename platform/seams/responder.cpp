// The modal responder: answers for message boxes and dialogs queued by a script.
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

#include "platform/seams/seams.h"

namespace seams {
namespace {

struct ResponderState {
    std::mutex mutex;
    bool enabled = false;
    std::deque<Answer> answers;
    std::function<void(const std::string&)> onError;
};

ResponderState& State() {
    static ResponderState state;
    return state;
}

}  // namespace

void EnableResponder(bool on) {
    ResponderState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.enabled = on;
}

bool ResponderEnabled() {
    ResponderState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.enabled;
}

void QueueAnswer(const Answer& answer) {
    ResponderState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.answers.push_back(answer);
}

bool ParseAnswer(const std::string& line, Answer* out) {
    Answer a;
    if (line == "hold") {
        a.kind = Answer::Hold;
    } else if (line == "ok") {
        a.kind = Answer::Ok;
    } else if (line == "cancel") {
        a.kind = Answer::Cancel;
    } else if (line == "yes") {
        a.kind = Answer::Yes;
    } else if (line == "no") {
        a.kind = Answer::No;
    } else if (line == "text") {
        a.kind = Answer::Text;  // an empty name
    } else if (line.compare(0, 5, "text ") == 0) {
        a.kind = Answer::Text;
        a.text = line.substr(5);
    } else {
        return false;
    }
    *out = a;
    return true;
}

bool QueueAnswer(const std::string& line) {
    Answer a;
    if (!ParseAnswer(line, &a)) return false;
    QueueAnswer(a);
    return true;
}

size_t PendingAnswers() {
    ResponderState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.answers.size();
}

void ClearAnswers() {
    ResponderState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.answers.clear();
}

bool TakeAnswer(const std::string& what, Answer* out) {
    ResponderState& s = State();
    std::function<void(const std::string&)> onError;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (!s.enabled) return false;
        if (!s.answers.empty()) {
            *out = s.answers.front();
            s.answers.pop_front();
            return true;
        }
        onError = s.onError;
    }
    const std::string message = "no answer queued for " + what;
    if (onError) {
        onError(message);
        return false;
    }
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    std::exit(3);
}

void SetResponderErrorHandler(std::function<void(const std::string&)> handler) {
    ResponderState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.onError = std::move(handler);
}

}  // namespace seams
