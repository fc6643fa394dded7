#pragma once
// The program's own small child controls: labels, picture boxes (containers with a background)
// and images. They tell their parent about clicks and mouse moves through WM_COMMAND, so a
// window handles them like any other control.
#include <windows.h>

#include <string>

#include "common/win_handles.h"
#include "ui/pictures.h"
#include "ui/theme.h"
#include "ui/twips.h"
#include "ui/window_base.h"

namespace hkv::ui {

// A system control (edit box, check box, combo box, button) as a window's layout describes it.
struct ControlArgs {
    const wchar_t* className = L"";
    int id = 0;
    TwipsRect bounds;
    DWORD style = 0;      // besides WS_CHILD | WS_VISIBLE
    HFONT font = nullptr; // not owned; nullptr keeps the system font
    const wchar_t* text = L"";
    int extraHeightPx = 0; // a drop-down combo box's height includes its dropped list
};

// Creates the control as a child of parent, laid out at the given DPI. The parent window owns it
// and destroys it with itself.
HWND CreateControl(HWND parent, int dpi, const ControlArgs& args);

// Notification codes in the high word of WM_COMMAND's wParam (low word: the control's id).
inline constexpr WORD kNotifyClick = 0; // same value as BN_CLICKED and STN_CLICKED
inline constexpr WORD kNotifyMouseMove = 0x7F01;

// Tells the control's parent what happened on it, as WM_COMMAND with the control's id and the
// code: how the program's own controls and its subclassed system controls report to the window
// that holds them.
void NotifyParent(HWND control, WORD code);

// The window's text, whole.
std::wstring ControlText(HWND control);

class ChildControl : public WindowBase {
  protected:
    bool CreateChild(HWND parent, int id, const PixelRect& bounds, const std::wstring& text);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual void Paint(HDC dc, const RECT& client) = 0;
    void Notify(WORD code) const;

  private:
    bool pressed_ = false;
};

struct LabelStyle {
    HFONT font = nullptr; // not owned
    ColorRole textColor = ColorRole::WindowText;
    ColorRole backColor = ColorRole::Window;
    bool centred = false;
};

// A caption drawn on its own background.
class Label : public ChildControl {
  public:
    bool Create(HWND parent, int id, const PixelRect& bounds, const std::wstring& text,
                const LabelStyle& style);

  protected:
    void Paint(HDC dc, const RECT& client) override;
    const LabelStyle& Style() const { return style_; }

  private:
    LabelStyle style_;
};

// A borderless container with a background colour; passes its children's notifications on.
class PictureBox : public ChildControl {
  public:
    bool Create(HWND parent, int id, const PixelRect& bounds, ColorRole backColor);

  private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    ColorRole backColor_ = ColorRole::Window;
};

// One of the program's pictures on a title strip's background. In high contrast the picture is
// drawn in the strip's text colour: its own white could vanish on the system's strip colour.
class ImageBox : public ChildControl {
  public:
    bool Create(HWND parent, int id, const PixelRect& bounds, PictureId picture);

  private:
    void Paint(HDC dc, const RECT& client) override;
    PictureId picture_ = PictureId::Close;
};

} // namespace hkv::ui
