#pragma once
// One tooltip window serving the controls of a window: each control is a tool with its own text.
#include <windows.h>

#include <set>
#include <string>

#include "common/win_handles.h"

namespace hkv::ui {

class ToolTip {
  public:
    bool Create(HWND owner);
    // Adds the control as a tool, or replaces its text when it is one already.
    void SetText(HWND control, const std::wstring& text);
    HWND hwnd() const { return tip_.get(); }

  private:
    UniqueWindow tip_;
    std::set<HWND> tools_;
};

} // namespace hkv::ui
