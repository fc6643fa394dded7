#pragma once
// Pauses that keep the program responsive: window messages are dispatched while they wait.

#include <functional>

namespace hkv::keyfunc {

// Waits the given number of milliseconds on the one shared waitable timer, dispatching every
// window message meanwhile. Failures come back as AppError whose description begins with
// "[clsWaitableTimer.Wait]".
void Delay(double milliseconds);

// Dispatches window messages until done() is true or maxMilliseconds have passed; returns done().
bool PumpUntil(const std::function<bool()>& done, int maxMilliseconds);

} // namespace hkv::keyfunc
