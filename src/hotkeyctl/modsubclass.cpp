#include "hotkeyctl/modsubclass.h"

#include "hotkeyctl/velmo.h"

namespace hkv::modSubClass {

namespace {

WNDPROC StoredProcedure(HWND window) {
    return reinterpret_cast<WNDPROC>(GetPropW(window, kWinProcProperty));
}

// Puts the procedure stored at hooking back. Without a stored one the window keeps its current
// procedure: a null procedure would crash at the next message.
void RestoreProcedure(HWND window) {
    if (WNDPROC previous = StoredProcedure(window)) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
}

// The one way a window is hooked: the owning control and the procedure replaced travel as the
// window's properties, so one procedure serves every instance.
void Hook(HWND window, Velmo& control, WNDPROC procedure) {
    SetPropW(window, kObjectProperty, static_cast<HANDLE>(&control));
    LONG_PTR previous =
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    SetPropW(window, kWinProcProperty, reinterpret_cast<HANDLE>(previous));
}

void Unhook(HWND window) {
    RestoreProcedure(window);
    RemovePropW(window, kObjectProperty);
    RemovePropW(window, kWinProcProperty);
}

} // namespace

void HookHotKeyWindow(HWND window, Velmo& control) {
    Hook(window, control, &HotKeyWindowProc);
}

void UnhookHotKeyWindow(HWND window) {
    Unhook(window);
}

void HookEditBox(HWND window, Velmo& control) {
    Hook(window, control, &EditBoxProc);
}

void UnhookEditBox(HWND window) {
    Unhook(window);
}

LRESULT CALLBACK HotKeyWindowProc(HWND window, UINT message, WPARAM, LPARAM) {
    // Identifier and keys are not looked at: the window only ever holds its own control's hotkey.
    if (message == WM_HOTKEY) {
        if (Velmo* control = ObjectFromPointer(GetPropW(window, kObjectProperty))) {
            control->RaiseEvents();
        }
    }
    // A 0 here would tell Windows that the program refuses to let the user sign out or shut down.
    if (message == WM_QUERYENDSESSION) {
        return TRUE;
    }
    return 0;
}

LRESULT CALLBACK EditBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU) {
        return 0;
    }
    WNDPROC previous = StoredProcedure(window);
    if (!previous) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (Velmo* control = ObjectFromPointer(GetPropW(window, kObjectProperty))) {
        return control->EditBoxMessage(window, message, wParam, lParam, previous);
    }
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

Velmo* ObjectFromPointer(HANDLE pointer) {
    return static_cast<Velmo*>(pointer);
}

} // namespace hkv::modSubClass
