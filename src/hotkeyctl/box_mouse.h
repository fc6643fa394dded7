#pragma once
// The hotkey box's mouse messages as the control's Click, DblClick and mouse events: buttons and
// modifier state numbered as a form numbers them, positions in twips.
#include <windows.h>

#include "hotkeyctl/velmo.h"

namespace hkv {

class BoxMouse {
  public:
    BoxMouse(const VelmoEvents& events, int dpi) : events_(events), dpi_(dpi) {}
    BoxMouse(const BoxMouse&) = delete;
    BoxMouse& operator=(const BoxMouse&) = delete;

    // A mouse message the box has received and handled as an edit box does.
    void OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    const VelmoEvents& events_;
    const int dpi_;
    bool clickPending_ = false; // a left press on the box whose release is a Click
};

} // namespace hkv
