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
// Fonts, brushes and bitmaps are all GDI objects with one release.
template <typename GdiHandle> inline void DeleteGdiObject(GdiHandle h) {
    ::DeleteObject(h);
}
inline void CloseRegKey(HKEY h) {
    ::RegCloseKey(h);
}
inline void UnhookHook(HHOOK h) {
    ::UnhookWindowsHookEx(h);
}
inline void ReleaseLibrary(HMODULE h) {
    ::FreeLibrary(h);
}
} // namespace detail

using UniqueKernelHandle = UniqueHandle<HANDLE, &detail::CloseKernelHandle>;
using UniqueWindow = UniqueHandle<HWND, &detail::DestroyWnd>;
using UniqueMenu = UniqueHandle<HMENU, &detail::DestroyMenuHandle>;
using UniqueIcon = UniqueHandle<HICON, &detail::DestroyIconHandle>;
using UniqueFont = UniqueHandle<HFONT, &detail::DeleteGdiObject<HFONT>>;
using UniqueBrush = UniqueHandle<HBRUSH, &detail::DeleteGdiObject<HBRUSH>>;
using UniqueBitmap = UniqueHandle<HBITMAP, &detail::DeleteGdiObject<HBITMAP>>;
using UniqueRegKey = UniqueHandle<HKEY, &detail::CloseRegKey>;
using UniqueHook = UniqueHandle<HHOOK, &detail::UnhookHook>;
using UniqueModule = UniqueHandle<HMODULE, &detail::ReleaseLibrary>;

} // namespace hkv
