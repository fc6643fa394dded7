#pragma once
// The owners of the Win32 resources the program holds.
#include <windows.h>

#include "common/unique_handle.h"

namespace hkv {

namespace detail {
inline void CloseKernelHandle(HANDLE h) {
    ::CloseHandle(h);
}
inline void DestroyWnd(HWND h) {
    ::DestroyWindow(h);
}
inline void DestroyMenuHandle(HMENU h) {
    ::DestroyMenu(h);
}
inline void DestroyIconHandle(HICON h) {
    ::DestroyIcon(h);
}
inline void DeleteFontHandle(HFONT h) {
    ::DeleteObject(h);
}
inline void DeleteBrushHandle(HBRUSH h) {
    ::DeleteObject(h);
}
inline void DeleteBitmapHandle(HBITMAP h) {
    ::DeleteObject(h);
}
inline void UnhookHook(HHOOK h) {
    ::UnhookWindowsHookEx(h);
}
inline void CloseRegKey(HKEY h) {
    ::RegCloseKey(h);
}
} // namespace detail

using UniqueKernelHandle = UniqueHandle<HANDLE, &detail::CloseKernelHandle>;
using UniqueWindow = UniqueHandle<HWND, &detail::DestroyWnd>;
using UniqueMenu = UniqueHandle<HMENU, &detail::DestroyMenuHandle>;
using UniqueIcon = UniqueHandle<HICON, &detail::DestroyIconHandle>;
using UniqueFont = UniqueHandle<HFONT, &detail::DeleteFontHandle>;
using UniqueBrush = UniqueHandle<HBRUSH, &detail::DeleteBrushHandle>;
using UniqueBitmap = UniqueHandle<HBITMAP, &detail::DeleteBitmapHandle>;
using UniqueHook = UniqueHandle<HHOOK, &detail::UnhookHook>;
using UniqueRegKey = UniqueHandle<HKEY, &detail::CloseRegKey>;

} // namespace hkv
