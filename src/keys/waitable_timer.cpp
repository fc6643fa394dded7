#include "keys/waitable_timer.h"

#include "common/app_error.h"
#include "common/scope_guard.h"
#include "keys/message_pump.h"
#include "common/executable.h"
#include "common/path.h"

namespace hkv {
namespace {

constexpr wchar_t kWaitErrorPrefix[] = L"[clsWaitableTimer.Wait]";

// A manual-reset timer stays signalled once it has fired, so every wait that opened it sees it.
constexpr BOOL kManualReset = TRUE;

// Named for the executable and the current local minute and second.
std::wstring CurrentTimerName() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return WaitableTimerName(BaseNameWithoutExtension(ExecutablePath()), now.wMinute, now.wSecond);
}

// Arms the timer to fire once after dueTime (negative: relative, in 100-ns units).
bool Arm(HANDLE timer, std::int64_t dueTime) {
    LARGE_INTEGER due{};
    due.QuadPart = dueTime;
    return SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) != FALSE;
}

// The relative due time of what is left until the deadline, at least one unit.
std::int64_t DueTimeUntil(MessagePump::Deadline deadline) {
    const std::chrono::duration<double, std::milli> left = deadline - MessagePump::Clock::now();
    if (left.count() <= 0) {
        return -1;
    }
    const std::int64_t due = RelativeDueTime(left.count());
    return due < 0 ? due : -1;
}

} // namespace

void clsWaitableTimer::Wait(double MilliSeconds) {
    try {
        const std::int64_t dueTime = RelativeDueTime(MilliSeconds);
        // Taken before the timer is armed, so the deadline never lies after the timer's due time.
        const MessagePump::Deadline deadline = DeadlineAfter(MilliSeconds);
        MessagePump pump;

        UniqueKernelHandle timer(
            CreateWaitableTimerW(nullptr, kManualReset, CurrentTimerName().c_str()));
        const HANDLE handle = timer.get();
        if (!handle || !Arm(handle, dueTime)) {
            pump.RunUntil(deadline); // no timer to sleep on: sleep on a time-out instead
            return;
        }
        // The outermost wait lends its handle to the instance, whose destruction then closes it
        // even while the wait is in progress; a nested wait keeps its own handle to itself.
        const bool outermost = !TimerHandle_;
        if (outermost) {
            TimerHandle_ = std::move(timer);
        }
        ScopeGuard closeLent([&] {
            if (outermost) {
                TimerHandle_.reset();
            }
        });

        for (;;) {
            const DWORD r =
                MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, kWakeOnClassicInput);
            // Also after the timer has fired: whatever arrived with it is handled before returning.
            pump.DispatchPending();
            if (r == WAIT_OBJECT_0) {
                if (MessagePump::Clock::now() >= deadline) {
                    return;
                }
                // Two waits started within the same second share one named timer. A wait started
                // by a message dispatched above re-arms it for its own, possibly earlier, due
                // time and leaves it signalled when it ends; this wait goes on for the time it
                // still has left.
                if (!Arm(handle, DueTimeUntil(deadline))) {
                    pump.RunUntil(deadline);
                    return;
                }
            } else if (r == WAIT_FAILED) {
                pump.RunUntil(deadline);
                return;
            }
        }
    } catch (const AppError& e) {
        throw e.WithPrefix(kWaitErrorPrefix);
    }
}

} // namespace hkv
