#include "app/shortcut_box.h"

#include <commctrl.h>

#include "ui/controls.h"
#include "ui/focus_mark.h"
#include "ui/key_bits.h"

namespace hkv {
namespace {

// The box's subclass data: the key (Enter or Space) that went down in it, whose release opens the
// editor. Acting on the release, as a push button does, keeps the rest of the press (its
// repeats, its release) from reaching the editor, where Enter would press "添加".
constexpr DWORD_PTR kNoKeyDown = 0;

bool OpensEditor(WPARAM vk) {
    return vk == VK_RETURN || vk == VK_SPACE;
}

LRESULT CALLBACK ShortcutBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR keyDown) {
    switch (msg) {
    case WM_LBUTTONUP: {
        const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
        ui::NotifyParent(hwnd, ui::kNotifyClick);
        return result;
    }
    case WM_GETDLGCODE: {
        // Enter comes to the box instead of dialog navigation, which would look for an OK button.
        const auto* pending = reinterpret_cast<const MSG*>(lParam);
        const LRESULT code = DefSubclassProc(hwnd, msg, wParam, lParam);
        const bool enter =
            pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN;
        return enter ? code | DLGC_WANTMESSAGE : code;
    }
    case WM_KEYDOWN:
        if (OpensEditor(wParam)) {
            if ((lParam & ui::kKeyWasDown) == 0) {
                SetWindowSubclass(hwnd, ShortcutBoxProc, id, wParam);
            }
            return 0;
        }
        break;
    case WM_KEYUP:
        if (OpensEditor(wParam) && keyDown == wParam) {
            SetWindowSubclass(hwnd, ShortcutBoxProc, id, kNoKeyDown);
            ui::NotifyParent(hwnd, ui::kNotifyClick);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == L' ') {
            return 0; // a read-only box would only beep
        }
        break;
    case WM_KILLFOCUS:
        SetWindowSubclass(hwnd, ShortcutBoxProc, id, kNoKeyDown);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, ShortcutBoxProc, id);
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    default:
        break;
    }
    const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
    ui::FollowFocusMark(hwnd, msg);
    return result;
}

} // namespace

void MakeShortcutBox(HWND box) {
    SetWindowSubclass(box, ShortcutBoxProc, 0, kNoKeyDown);
}

} // namespace hkv
