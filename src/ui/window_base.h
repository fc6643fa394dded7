#pragma once
// The link between a window and the C++ object behind it, the one model every window and control
// of the program follows: the object is stored with the window at WM_NCCREATE, every message is
// forwarded to OnMessage, and the object lets go of the handle at WM_NCDESTROY.
//
// Teardown, in this order and no other:
//  1. While the object is whole, Destroy() (or the destruction of a parent or owner window)
//     destroys the window. Every message of that destruction, WM_DESTROY and WM_NCDESTROY
//     included, reaches OnMessage with hwnd() still valid; a derived class does its orderly
//     teardown (unregistering, removing icons) in WM_DESTROY.
//  2. WM_NCDESTROY is the last message the object sees; then it lets go of the handle.
//  3. An object destroyed while its window still exists first cuts the link (the window's
//     messages then go to the default procedure), then destroys the window. Its destructor has
//     begun, so no message may reach it any more, and none does. A derived class whose teardown
//     must run calls Destroy() in its own destructor.
#include <windows.h>

#include "common/win_handles.h"

namespace hkv::ui {

class WindowBase {
  public:
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND hwnd() const { return hwnd_.get(); }

    // Destroys the window now; the object stays and can be created again.
    void Destroy();

  protected:
    WindowBase() = default;

    // Registers a window class of this module whose procedure forwards to the object, with the
    // arrow cursor; once per class name. background: null when the window paints it itself.
    static void RegisterWindowClass(const wchar_t* className, HBRUSH background = nullptr,
                                    UINT classStyle = 0);
    // CreateWindowExW for this object (its class must come from RegisterWindowClass).
    HWND CreateFor(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x,
                   int y, int width, int height, HWND parent, HMENU menuOrId);

    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    UniqueWindow hwnd_;
};

} // namespace hkv::ui
