#pragma once
// A message-pumping wait on a named manual-reset waitable timer.
#include <windows.h>

#include <string>
#include <string_view>

namespace hkv {

// "<exe base name>Timer<minutes><seconds>", two digits each: hk, 14:07:09 -> "hkTimer0709".
std::wstring WaitableTimerName(std::wstring_view exeBaseName, int minute, int second);

class clsWaitableTimer {
  public:
    clsWaitableTimer() = default;
    ~clsWaitableTimer(); // closes a handle still open
    clsWaitableTimer(const clsWaitableTimer&) = delete;
    clsWaitableTimer& operator=(const clsWaitableTimer&) = delete;

    // Returns after MilliSeconds, having dispatched every window message that arrived meanwhile.
    // Throws AppError (description prefixed "[clsWaitableTimer.Wait]") for a value that is not a
    // finite, non-negative number of milliseconds.
    void Wait(double MilliSeconds);

    // The handle of the outermost wait in progress; nullptr between waits.
    HANDLE TimerHandle() const { return TimerHandle_; }

  private:
    HANDLE TimerHandle_ = nullptr;
};

} // namespace hkv
