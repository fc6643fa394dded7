#include "ui/moveit.h"

namespace hkv::moveit {

void DragWindow(HWND window, const std::function<void()>& beforeLoop) {
    if (IsZoomed(window)) {
        return;
    }
    // Title strips call this on every mouse move. Without the primary button down the system's
    // move loop would start anyway and the window would run after the pointer until a click.
    // The state as of the message being handled, in logical buttons (after any swap).
    if ((GetKeyState(VK_LBUTTON) & 0x8000) == 0) {
        return;
    }
    if (beforeLoop) {
        beforeLoop();
    }
    ReleaseCapture();
    // The move loop starts from the point the "press" was made at: the cursor, in screen pixels.
    POINT cursor{};
    GetCursorPos(&cursor);
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
}

} // namespace hkv::moveit
