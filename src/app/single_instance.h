#pragma once
// One copy of the program per session.
#include <windows.h>

#include "common/win_handles.h"

namespace hkv {

// Session-local: each signed-in user may run their own copy.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\BrevinHotkeyVeridir.SingleInstance";

// Holds the name that marks the running copy for as long as it lives.
class SingleInstance {
  public:
    explicit SingleInstance(const wchar_t* name = kInstanceMutexName);

    // False when another copy holds the name: this one found it existing, or may not open it at
    // all because the copy that made it runs elevated or as another user in this session.
    bool IsFirst() const { return first_; }

  private:
    UniqueKernelHandle mutex_;
    bool first_ = true;
};

} // namespace hkv
