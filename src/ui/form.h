#pragma once
// A borderless window of the program: its own background colour, the program icon, and a
// one-line frame just inside its edges that is drawn under its child windows. It repaints itself
// and all it holds at once when the system's colours or the high-contrast mode change.
#include <windows.h>

#include "common/win_handles.h"
#include "ui/theme.h"
#include "ui/window_base.h"

namespace hkv::ui {

class Form : public WindowBase {
  protected:
    // Registers the class and creates the window hidden, widthPx × heightPx, with no system
    // frame; it keeps a taskbar button while shown.
    bool CreateForm(const wchar_t* className, const wchar_t* caption, int widthPx, int heightPx);
    // The frame: 2 twips in from every edge of the window's outer size.
    void FitFrame();
    void CentreOnScreen();
    // The control that takes the focus when the window is first activated; afterwards it is the
    // one the user was last in.
    void SetFirstFocus(HWND control) { lastFocus_ = control; }
    // The window is active again without an activation (it was the foreground while hidden): the
    // focus goes where activating it would put it. Nothing while a control of it has the focus.
    void FocusLastControl();

    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual void OnCommand(int id, WORD code) = 0;
    virtual void OnClose() = 0;
    // A menu of this window starts its own loop (the system menu: Alt + Space, or Alt alone), for
    // as long as the user takes.
    virtual void OnMenuLoop() {}

    int dpi() const { return dpi_; }
    // The brush of a colour now, for the controls that ask for one before they paint.
    HBRUSH BrushOf(ColorRole role) { return brushes_.Brush(role); }

  private:
    int dpi_ = 96;
    RECT frame_{};
    HWND lastFocus_ = nullptr; // the control to give the focus back to on reactivation
    RoleBrushes brushes_;
    UniqueIcon iconLarge_;
    UniqueIcon iconSmall_;
};

} // namespace hkv::ui
