#pragma once
// modSubClass: the replaced window procedures of a Velmo's hidden hotkey window and of its edit
// box, the one way the control hooks a window. The previous procedure of each window and the
// owning control travel as window properties, so one set of procedures serves every instance.
#include <windows.h>

namespace hkv {
class Velmo;
}

namespace hkv::modSubClass {

// Window property names.
inline constexpr wchar_t kObjectProperty[] = L"Object";   // non-owning Velmo* (both windows)
inline constexpr wchar_t kWinProcProperty[] = L"WinProc"; // the replaced window procedure

// The hotkey window: every WM_HOTKEY it receives becomes the control's HotKeyPressed.
void HookHotKeyWindow(HWND window, Velmo& control);
void UnhookHotKeyWindow(HWND window);

// The edit box: its context menu is suppressed; every other message goes to the control, which
// hands what it does not handle itself to the previous procedure.
void HookEditBox(HWND window, Velmo& control);
void UnhookEditBox(HWND window);

// Answers every message with 0 and passes none on: the window has no other behaviour.
LRESULT CALLBACK HotKeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The control behind a window's "Object" property, for the length of one dispatch. The
// property never owns the control.
Velmo* ObjectFromPointer(HANDLE pointer);

} // namespace hkv::modSubClass
