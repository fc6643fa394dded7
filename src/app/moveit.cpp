#include "app/moveit.h"

namespace hkv::moveit {

void DragWindow(HWND window) {
    if (IsZoomed(window)) {
        return;
    }
    ReleaseCapture();
    // The move loop starts from the point the "press" was made at: the cursor, in screen pixels.
    POINT cursor{};
    GetCursorPos(&cursor);
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
}

} // namespace hkv::moveit
