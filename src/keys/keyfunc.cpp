#include "keys/keyfunc.h"

#include <algorithm>

#include "keys/message_pump.h"
#include "keys/waitable_timer.h"

namespace hkv::keyfunc {
namespace {

// The one timer of the program: created by the first Delay, destroyed when the program ends.
clsWaitableTimer& WaitTimer() {
    static clsWaitableTimer instance;
    return instance;
}

} // namespace

void Delay(double milliseconds) {
    WaitTimer().Wait(milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, int maxMilliseconds) {
    MessagePump pump;
    return pump.RunUntil(DeadlineAfter(std::max(maxMilliseconds, 0)), done);
}

} // namespace hkv::keyfunc
