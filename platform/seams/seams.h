// The three seams between the program and the world it runs in: the clock (with its timer
// queue), the modal responder and the trace. Each defaults to the real thing; the scripted
// driver and the tests switch them.
//
// Nothing here uses Qt: the window framework (platform/afx) builds its timers and modal
// boxes on top of these, and the multimedia layer measures effect lengths on this clock.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

// ---- Windows-named time functions ------------------------------------------------------

// Milliseconds since the clock started (wraps after 49.7 days, as on Windows).
uint32_t GetTickCount();
// Blocks the calling thread for `ms` milliseconds of the seam's clock (see seams::Sleep).
void Sleep(uint32_t ms);

namespace seams {

// ---- Clock -------------------------------------------------------------------------------
//
// Real clock: GetTickCount reads a monotonic clock, Time reads the wall clock, Sleep sleeps.
//
// Virtual clock: time moves only when told. The thread that switched to it is the clock's
// owner (the window thread). Sleep on the owner thread moves the clock forward by `ms` at
// once, without dispatching anything: a window blocked in Sleep (or in a synchronous sound)
// lets time pass, and its timers come due meanwhile (see the timer queue). Sleep on any
// other thread blocks until the clock has been moved past its end time by the owner
// (AdvanceClock, or the owner's own Sleep), or until the clock returns to real time.

// Switches to the virtual clock. `startSeconds` is what Time() reads at the switch (the
// random seed of the game); the tick count starts at `startTick`.
void UseVirtualClock(int64_t startSeconds, uint32_t startTick = 0);
// Back to the real clock (wakes any thread sleeping on the virtual one).
void UseRealClock();
bool IsVirtualClock();

// Milliseconds since an arbitrary start, never wrapping: the time base of the timer queue.
int64_t NowMs();
// GetTickCount of the seam (the low 32 bits of NowMs for the virtual clock).
uint32_t TickCount();
// Seconds since 1970, the value the game seeds its random generator with. On the virtual
// clock: startSeconds + elapsed virtual milliseconds / 1000. Stores into `out` when given.
int64_t Time(int64_t* out = nullptr);
// Same as ::Sleep.
void Sleep(uint32_t ms);
// Virtual clock only: moves the time forward by `ms` and wakes sleepers whose time has come.
// Dispatches nothing (the window framework's automation dispatches due timers).
void AdvanceClock(int64_t ms);
// Virtual clock only: moves the time forward to `ms` (NowMs value) if that is later.
void AdvanceClockTo(int64_t ms);

// ---- Timer queue ---------------------------------------------------------------------------
//
// Window timers live here, keyed by (owner, id), on whichever clock is in use. A timer comes
// due `period` ms after it was set and then every `period` ms after it was last delivered.
// Coming due several times before it is taken delivers only one message (as Windows does):
// TakeDueTimer reschedules a timer to one period after the time it is taken.

struct TimerKey {
    const void* owner;  // the window
    unsigned id;
};

// Sets or replaces timer (owner, id); it comes due `periodMs` from now (at least 1 ms).
void SetTimer(const void* owner, unsigned id, unsigned periodMs);
// Removes a timer; false if there was none.
bool KillTimer(const void* owner, unsigned id);
// Removes every timer of a window (it is being destroyed).
void KillTimers(const void* owner);
// Time (NowMs scale) at which the earliest timer is due, or -1 when there is none.
int64_t NextTimerDue();
// The due timer with the earliest due time (ties: the one set first), if one is due now;
// reschedules it to now + period. False when none is due.
bool TakeDueTimer(TimerKey* out);
// Called (from any thread, with no lock held) whenever the set of timers or their due
// times changed, so that a real-time event loop can re-arm its wake-up.
void SetTimerChangeHook(std::function<void()> hook);

// ---- Modal responder --------------------------------------------------------------------------
//
// When enabled, message boxes and dialogs are answered from a queue instead of by a person.
// A box or dialog that finds the queue empty is an error naming it: the error handler is
// called (default: print "no answer queued for <what>" to stderr and exit with status 3).

struct Answer {
    // Hold: the box or dialog is not answered but shown and run live, so that a script can
    // look at it and give it input; it ends when answered later or when a button is pressed.
    enum Kind { Ok, Cancel, Yes, No, Text, Hold };
    Kind kind = Ok;
    std::string text;  // for Text: the edit control's new content (then OK)
};

void EnableResponder(bool on);
bool ResponderEnabled();
void QueueAnswer(const Answer& answer);
// Parses "ok", "cancel", "yes", "no", "hold" or "text SOME TEXT"; false if malformed.
bool ParseAnswer(const std::string& line, Answer* out);
// Parses a line as ParseAnswer does and queues it; false if malformed.
bool QueueAnswer(const std::string& line);
size_t PendingAnswers();
void ClearAnswers();
// For a modal box or dialog described by `what`: false when the responder is off (show it to
// a person). Otherwise pops the next answer into `out` and returns true; with an empty
// queue calls the error handler (and returns false if that handler returns).
bool TakeAnswer(const std::string& what, Answer* out);
void SetResponderErrorHandler(std::function<void(const std::string& message)> handler);

// ---- Trace --------------------------------------------------------------------------------
//
// Events a player would notice: "sound" {id, sync}, "msgbox" {caption, text}, "dialog" {id,
// caption}, "dialog_closed" {id, result}, "picture" {file}, "midi" {file}, "midi_stop",
// "url" {address}, "help" {file}. With no sink set, Trace does nothing.

struct Field {
    enum Type { Int, Bool, Str };
    Field(const char* n, int v) : name(n), type(Int), i(v) {}
    Field(const char* n, long v) : name(n), type(Int), i(v) {}
    Field(const char* n, long long v) : name(n), type(Int), i(v) {}
    Field(const char* n, unsigned v) : name(n), type(Int), i(v) {}
    Field(const char* n, unsigned long v) : name(n), type(Int), i(static_cast<long long>(v)) {}
    Field(const char* n, bool v) : name(n), type(Bool), b(v) {}
    Field(const char* n, const char* v) : name(n), type(Str), s(v ? v : "") {}
    Field(const char* n, const std::string& v) : name(n), type(Str), s(v) {}
    std::string name;
    Type type;
    long long i = 0;
    bool b = false;
    std::string s;
};

using TraceSink = std::function<void(const std::string& event, const std::vector<Field>& fields)>;

// Reports an event to the sink (thread-safe; events from several threads never interleave).
void Trace(const char* event, std::initializer_list<Field> fields = {});
void Trace(const char* event, const std::vector<Field>& fields);
// Sets (or clears, with an empty function) the sink.
void SetTraceSink(TraceSink sink);
bool TraceEnabled();
// One JSON object on one line, without a line end:
//   {"event": "sound", "id": 139, "sync": true}
// Strings are UTF-8 and escaped as JSON requires.
std::string TraceToJson(const std::string& event, const std::vector<Field>& fields);
// A sink that writes TraceToJson lines to `file` and flushes after each.
TraceSink JsonLineSink(std::FILE* file);
// JSON string literal (with quotes) of UTF-8 text; used by the driver for its own output.
std::string JsonString(const std::string& text);

}  // namespace seams
