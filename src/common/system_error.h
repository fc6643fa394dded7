#pragma once
// What became of a write that the user relies on, and the system's own words for why it failed.
#include <cstdint>
#include <string>

namespace hkv {

// A Windows error code as GetLastError gives it.
using SystemError = std::uint32_t;

// A write done, or the system's error that stopped it.
class WriteOutcome {
  public:
    static WriteOutcome Done() { return WriteOutcome(true, 0); }
    static WriteOutcome Failed(SystemError error) { return WriteOutcome(false, error); }

    explicit operator bool() const { return done_; }
    // 0 when the write was done; may be 0 for a failure the system gave no code for.
    SystemError Error() const { return error_; }

  private:
    WriteOutcome(bool done, SystemError error) : done_(done), error_(error) {}
    bool done_;
    SystemError error_;
};

// The system's message for the error in the user's language ("Access is denied."), without its
// closing line break: what a message about a file not written adds as the reason. Its number when
// the system has no text for it.
std::wstring SystemErrorText(SystemError error);
// That message as the line the program's notices give it: "Windows reports: Access is denied."
std::wstring SystemReasonLine(SystemError error);

} // namespace hkv
