#pragma once
// The one owner of tooltips in the program: a tooltip window serving the controls of a window,
// each control a tool with its own text. Created on first use when no text was ever set.
#include <windows.h>

#include <set>
#include <string>

#include "common/win_handles.h"

namespace hkv::ui {

class ToolTip {
  public:
    ToolTip() = default;
    ~ToolTip();
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    bool Create(HWND owner);
    // Adds the control as a tool, or replaces its text when it is one already. The tooltip window
    // is created, owned by the control's top-level window, if it does not exist yet.
    void SetText(HWND control, const std::wstring& text);
    HWND hwnd() const { return tip_.get(); }

  private:
    UniqueWindow tip_;
    std::set<HWND> tools_;
};

} // namespace hkv::ui
