#pragma once
// A caption that works as a push button, for the keyboard too: it takes the focus with Tab, Enter
// or Space presses it, and it is the window's default button, so Enter anywhere else in the
// window presses it as well (the window answers DM_GETDEFID with its id). It looks exactly like a
// Label, with a focus mark while it has the focus and keyboard cues are on. A click does not take
// the focus, as it never has.
#include "ui/controls.h"

namespace hkv::ui {

class LabelButton : public Label {
  public:
    bool Create(HWND parent, int id, const PixelRect& bounds, const std::wstring& text,
                const LabelStyle& style);

  private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;

    // Space went down here: it presses the button when it comes up, as a push button does.
    bool spaceDown_ = false;
};

} // namespace hkv::ui
