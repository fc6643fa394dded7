#pragma once
// What a notification from the icon asks of the program. A left click shows the window, a right
// click opens the icon's menu at the pointer. From the keyboard (Win + B, the arrows), Enter or
// Space shows the window, and Shift + F10 or the menu key opens the menu at the icon.
#include <windows.h>

namespace hkv {

struct TrayRequest {
    enum class Action { None, Show, MenuAtPointer, MenuAtIcon };
    Action action = Action::None;
    bool fromKeyboard = false; // asked with the keyboard at the icon
    POINT iconPlace{};         // for MenuAtIcon: the icon's anchor point on the screen
};

class TrayEvents {
  public:
    // The owner's kTrayCallbackMessage.
    TrayRequest Read(WPARAM wParam, LPARAM lParam);

  private:
    // The last notification that was no mouse move: the shell follows a click with a selection
    // and a right click with a menu request, both already answered by the click.
    UINT last_ = 0;
};

} // namespace hkv
