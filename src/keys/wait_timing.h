#pragma once
// The parts of the waitable-timer delay that need no Windows API: the timer's name and the
// conversion of a delay into a relative due time.
#include <cstdint>
#include <string>
#include <string_view>

namespace hkv {

// Error numbers of a delay that cannot be waited (besides kErrTypeMismatch of common/app_error.h).
inline constexpr long kErrInvalidArgument = 5; // a negative delay
inline constexpr long kErrOverflow = 6;        // a delay whose due time does not fit 64 bits

// The longest delay whose due time, in 100-nanosecond units, still fits a signed 64-bit count
// (about 29 000 years).
inline constexpr double kMaxWaitMilliSeconds = 922'337'203'685'477.0;

// One millisecond in the 100-nanosecond units of waitable-timer due times.
inline constexpr std::int64_t kDueTimeUnitsPerMilliSecond = 10'000;

// "<exe base name>Timer<minutes><seconds>", two digits each: hk, 14:07:09 -> "hkTimer0709".
std::wstring WaitableTimerName(std::wstring_view exeBaseName, int minute, int second);

// The relative due time of a delay: -(milliSeconds x 10 000), rounded to whole 100-ns units.
// Throws AppError (source "clsWaitableTimer") for a value that is not a finite number
// (kErrTypeMismatch), is negative (kErrInvalidArgument) or exceeds kMaxWaitMilliSeconds
// (kErrOverflow).
std::int64_t RelativeDueTime(double milliSeconds);

} // namespace hkv
