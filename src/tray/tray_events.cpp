#include "tray/tray_events.h"

#include <shellapi.h>
#include <windowsx.h>

namespace hkv {

TrayRequest TrayEvents::Read(WPARAM wParam, LPARAM lParam) {
    const UINT event = LOWORD(lParam);
    if (event == WM_MOUSEMOVE) {
        return {};
    }
    const UINT previous = last_;
    last_ = event;
    const bool afterLeftClick =
        previous == WM_LBUTTONDOWN || previous == WM_LBUTTONUP || previous == WM_LBUTTONDBLCLK;
    switch (event) {
    case WM_LBUTTONUP:
        return {TrayRequest::Action::Show};
    case WM_RBUTTONUP:
        return {TrayRequest::Action::MenuAtPointer};
    case NIN_SELECT:
        // A left click brings the selection too: the click has shown the window already.
        return {afterLeftClick ? TrayRequest::Action::None : TrayRequest::Action::Show};
    case NIN_KEYSELECT:
        return {TrayRequest::Action::Show, true};
    case WM_CONTEXTMENU:
        if (previous == WM_RBUTTONUP) {
            return {}; // the right click's own request: its menu is open or has been
        }
        return {
            TrayRequest::Action::MenuAtIcon, true, {GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)}};
    default:
        return {};
    }
}

} // namespace hkv
