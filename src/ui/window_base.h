#pragma once
// The link between a window and the C++ object behind it: the object is stored with the window at
// WM_NCCREATE, every message is forwarded to it, and it lets go of the handle at WM_NCDESTROY.
#include <windows.h>

#include "common/win_handles.h"

namespace hkv::ui {

class WindowBase {
  public:
    virtual ~WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND hwnd() const { return hwnd_.get(); }

  protected:
    WindowBase() = default;

    // Registers a window class whose procedure forwards to the object; once per class name.
    static void RegisterWindowClass(const WNDCLASSEXW& prototype);
    // CreateWindowExW for this object (its class must come from RegisterWindowClass).
    HWND CreateFor(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x,
                   int y, int width, int height, HWND parent, HMENU menuOrId);

    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // Called at WM_NCDESTROY, after the object has let go of the handle.
    virtual void OnFinalMessage() {}

    // Destroys the window now (the object stays).
    void DestroyNow() { hwnd_.reset(); }

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    UniqueWindow hwnd_;
};

} // namespace hkv::ui
