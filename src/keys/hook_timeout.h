#pragma once
// How long the system waits for a low-level hook's answer, and whether a call came after that:
// the system has then passed the event on by itself, whatever the hook answers.
#include <cstdint>
#include <optional>
#include <string_view>

namespace hkv {

// The wait when the user's settings name none, as it is measured on Windows.
inline constexpr std::uint32_t kDefaultHooksTimeoutMs = 300;
// Windows 10 version 1709 (build 16299) and later wait no longer than this, whatever the setting
// says; earlier versions wait as long as it says.
inline constexpr std::uint32_t kMaxHooksTimeoutMs = 1000;
inline constexpr std::uint32_t kFirstBuildCappingHooksTimeout = 16299;

// The wait from the setting as stored: a number (`number`), or text holding one (`text`);
// neither, zero, or text that is no whole decimal number, reads as no setting. `windowsBuild`:
// the build of the running Windows, which decides whether the wait is capped.
std::uint32_t HooksTimeoutMs(std::optional<std::uint32_t> number,
                             std::optional<std::wstring_view> text, std::uint32_t windowsBuild);

// A program may stamp its key events itself (a recorder playing back the times it recorded,
// another clock), the system only when it gives none: an event a program sent that reads as
// older than this is taken as stamped so, not as a call this late. Far past the longest wait,
// and the system removes a hook that keeps it waiting anyway.
inline constexpr std::uint32_t kLatestInjectedCallMs = 10 * kMaxHooksTimeoutMs;

// Whether a call entered at `nowMs` for an event of `eventTimeMs` came after the system's wait
// (all on the system's millisecond tick count, which wraps). The system says nothing of when it
// made the call, but it calls a hook for one event at a time: not before the event happened, and
// not before the hook's previous answer (`previousReturnMs`; its installation, for its first
// call). Only when both are older than the wait has the system surely given up; a stamp alone
// may be old because other hooks or a busy machine held the event up, while the system still
// waits. `injected`: sent by a program, whose own time, if it gave one (or gave 0), need not be
// on that clock.
constexpr bool CameAfterTimeout(std::uint32_t eventTimeMs, std::uint32_t previousReturnMs,
                                std::uint32_t nowMs, std::uint32_t timeoutMs, bool injected) {
    const auto olderThanWait = [&](std::uint32_t thenMs) {
        const auto elapsed = static_cast<std::uint32_t>(nowMs - thenMs);
        // Past half the clock's range it was read after `nowMs`, not long before.
        return elapsed > timeoutMs && elapsed < UINT32_MAX / 2;
    };
    const auto stampAge = static_cast<std::uint32_t>(nowMs - eventTimeMs);
    if (injected && (eventTimeMs == 0 || stampAge > kLatestInjectedCallMs)) {
        return false;
    }
    return olderThanWait(eventTimeMs) && olderThanWait(previousReturnMs);
}

} // namespace hkv
