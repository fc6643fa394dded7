#pragma once
// Dispatching of this thread's window messages while the program waits for something.
#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>

namespace hkv {

// The eight classic kinds of input a message-aware wait wakes for: keys, mouse moves, mouse
// buttons, posted messages, timers, paint, sent messages and hotkeys. Newer kinds (raw input,
// touch) are left out as the program never asks for them.
inline constexpr DWORD kWakeOnClassicInput = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON |
                                             QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_SENDMESSAGE |
                                             QS_HOTKEY;
static_assert(kWakeOnClassicInput == 255);

// Dispatches messages on behalf of one wait. A WM_QUIT met on the way is taken out of the queue
// like every other message; it is posted again when the pump ends, so that the program's main
// loop still sees it and the program still ends.
class MessagePump {
  public:
    using Clock = std::chrono::steady_clock;
    // Fractional milliseconds: a deadline never overflows, however long the delay.
    using Deadline = std::chrono::time_point<Clock, std::chrono::duration<double, std::milli>>;

    MessagePump() = default;
    ~MessagePump();
    MessagePump(const MessagePump&) = delete;
    MessagePump& operator=(const MessagePump&) = delete;

    // Dispatches every message waiting in the thread's queue, then returns.
    void DispatchPending();

    // Dispatches messages until done() is true or the deadline has passed; returns whether done()
    // was true in time. done() is first asked before any message is dispatched; a deadline that
    // passed while a dispatched message ran (a nested modal loop) fails the wait whatever done()
    // says by then. Without a condition it simply waits until the deadline. Sleeps in a
    // message-aware wait between checks.
    bool RunUntil(Deadline deadline, const std::function<bool()>& done = {});

  private:
    std::optional<WPARAM> quitCode_;
};

// The deadline that lies the given number of milliseconds from now.
MessagePump::Deadline DeadlineAfter(double milliSeconds);

} // namespace hkv
