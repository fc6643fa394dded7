#include "hotkeyctl/box_mouse.h"

#include <windowsx.h>

#include <cstdint>
#include <utility>

#include "hotkeyctl/hotkey_capture.h"
#include "hotkeyctl/raise_event.h"
#include "ui/twips.h"

namespace hkv {
namespace {

// Mouse buttons as the host's mouse events number them.
constexpr std::int16_t kLeftButton = 1;
constexpr std::int16_t kRightButton = 2;
constexpr std::int16_t kMiddleButton = 4;

std::int16_t MouseShift(WPARAM keys) {
    int shift = (keys & MK_SHIFT) ? kShiftMask : 0;
    if (keys & MK_CONTROL) {
        shift |= kCtrlMask;
    }
    if (GetKeyState(VK_MENU) < 0) {
        shift |= kAltMask;
    }
    return static_cast<std::int16_t>(shift);
}

std::int16_t HeldButtons(WPARAM keys) {
    int buttons = (keys & MK_LBUTTON) ? kLeftButton : 0;
    if (keys & MK_RBUTTON) {
        buttons |= kRightButton;
    }
    if (keys & MK_MBUTTON) {
        buttons |= kMiddleButton;
    }
    return static_cast<std::int16_t>(buttons);
}

} // namespace

void BoxMouse::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    std::int16_t shift = MouseShift(wParam);
    // Twips, as a form reports positions.
    auto x = static_cast<float>(GET_X_LPARAM(lParam) * double{kTwipsPerInch} / dpi_);
    auto y = static_cast<float>(GET_Y_LPARAM(lParam) * double{kTwipsPerInch} / dpi_);
    auto down = [&](std::int16_t button) { Raise(events_.MouseDown, button, shift, x, y); };
    auto up = [&](std::int16_t button) { Raise(events_.MouseUp, button, shift, x, y); };
    switch (message) {
    case WM_MOUSEMOVE: {
        std::int16_t buttons = HeldButtons(wParam);
        Raise(events_.MouseMove, buttons, shift, x, y);
        break;
    }
    case WM_LBUTTONDOWN:
        clickPending_ = true;
        down(kLeftButton);
        break;
    case WM_LBUTTONDBLCLK:
        // The second press of a double click: no MouseDown, and its release is no Click.
        clickPending_ = false;
        Raise(events_.DblClick);
        break;
    case WM_LBUTTONUP:
        up(kLeftButton);
        if (std::exchange(clickPending_, false)) {
            Raise(events_.Click);
        }
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        down(kRightButton);
        break;
    case WM_RBUTTONUP:
        up(kRightButton);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        down(kMiddleButton);
        break;
    case WM_MBUTTONUP:
        up(kMiddleButton);
        break;
    default:
        break;
    }
}

} // namespace hkv
