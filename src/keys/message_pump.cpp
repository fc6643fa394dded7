#include "keys/message_pump.h"

#include <algorithm>
#include <cmath>

namespace hkv {
namespace {

// A condition may turn true without any message reaching this thread (the keys the user holds are
// reported to the window that has the focus, often in another program), so it is checked again at
// least this often. A hundred wake-ups a second cost nothing measurable.
constexpr DWORD kConditionPollMs = 10;

// The longest single sleep: anything below INFINITE, which would never end.
constexpr double kLongestSleepMs = static_cast<double>(INFINITE - 1);

} // namespace

MessagePump::~MessagePump() {
    if (quitCode_) {
        PostQuitMessage(static_cast<int>(*quitCode_));
    }
}

void MessagePump::DispatchPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitCode_ = msg.wParam;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool MessagePump::RunUntil(Deadline deadline, const std::function<bool()>& done) {
    // A condition already true needs no message handled first: a handler could run a loop of its
    // own (a menu, a message box) for as long as the user takes.
    if (done && done()) {
        return true;
    }
    for (;;) {
        DispatchPending();
        // Looked at after every dispatch and before the condition: when a message handled above
        // ran a nested loop past the deadline, what waited is now late and is not done at all.
        const std::chrono::duration<double, std::milli> left = deadline - Clock::now();
        if (left.count() <= 0) {
            return false;
        }
        if (done && done()) {
            return true;
        }
        // Rounded up: a time-out of 0 would return at once and spin until the deadline.
        auto sleepMs =
            static_cast<DWORD>(std::clamp(std::ceil(left.count()), 1.0, kLongestSleepMs));
        if (done) {
            sleepMs = std::min(sleepMs, kConditionPollMs);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, sleepMs, kWakeOnClassicInput);
    }
}

MessagePump::Deadline DeadlineAfter(double milliSeconds) {
    return MessagePump::Deadline(MessagePump::Clock::now()) +
           std::chrono::duration<double, std::milli>(milliSeconds);
}

} // namespace hkv
