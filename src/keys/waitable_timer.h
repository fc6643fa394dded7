#pragma once
// A message-pumping wait on a named manual-reset waitable timer.
#include <windows.h>

#include <string>
#include <string_view>

#include "common/win_handles.h"
#include "keys/wait_timing.h" // WaitableTimerName: "<exe base name>Timer<minutes><seconds>"

namespace hkv {

class clsWaitableTimer {
  public:
    clsWaitableTimer() = default;
    ~clsWaitableTimer() = default; // the owner closes a handle still open
    clsWaitableTimer(const clsWaitableTimer&) = delete;
    clsWaitableTimer& operator=(const clsWaitableTimer&) = delete;

    // Returns after MilliSeconds, having dispatched every window message that arrived meanwhile.
    // Throws AppError (description prefixed "[clsWaitableTimer.Wait]") for a value that is not a
    // finite, non-negative number of milliseconds. A Wait started by a message dispatched inside
    // another Wait runs to its end first; the outer one still lasts at least its own delay.
    void Wait(double MilliSeconds);

    // The handle of the outermost wait in progress; nullptr between waits.
    HANDLE TimerHandle() const { return TimerHandle_.get(); }

  private:
    // Only the outermost wait keeps its handle here, so that destroying the instance during a
    // wait closes it; nested waits own theirs locally.
    UniqueKernelHandle TimerHandle_;
};

} // namespace hkv
