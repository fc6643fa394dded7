#include "keys/wait_timing.h"

#include <cmath>

#include "common/app_error.h"

namespace hkv {
namespace {

constexpr wchar_t kErrorSource[] = L"clsWaitableTimer";

// Two decimal digits with a leading zero, as a clock shows minutes and seconds.
void AppendTwoDigits(std::wstring& text, int value) {
    text += static_cast<wchar_t>(L'0' + (value / 10) % 10);
    text += static_cast<wchar_t>(L'0' + value % 10);
}

} // namespace

std::wstring WaitableTimerName(std::wstring_view exeBaseName, int minute, int second) {
    std::wstring name(exeBaseName);
    name += L"Timer";
    AppendTwoDigits(name, minute);
    AppendTwoDigits(name, second);
    return name;
}

std::int64_t RelativeDueTime(double milliSeconds) {
    if (!std::isfinite(milliSeconds)) {
        throw AppError(kErrTypeMismatch, kErrorSource,
                       L"Type mismatch: the delay is not a finite number of milliseconds");
    }
    if (milliSeconds < 0) {
        throw AppError(kErrInvalidArgument, kErrorSource,
                       L"Invalid procedure call or argument: the delay is negative");
    }
    if (milliSeconds > kMaxWaitMilliSeconds) {
        throw AppError(kErrOverflow, kErrorSource, L"Overflow: the delay is too long");
    }
    return -std::llround(milliSeconds * static_cast<double>(kDueTimeUnitsPerMilliSecond));
}

} // namespace hkv
