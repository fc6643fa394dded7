#pragma once
// What the program tells the user about something that went wrong without their doing: a message
// box with the program's name as its title, a warning icon and one OK button.
#include <windows.h>

#include <functional>
#include <string>

namespace hkv::ui {

inline constexpr wchar_t kNoticeTitle[] = L"Brevin Hotkey Veridir";

// Shows the notice owned by `owner` (nullptr: no window yet) and returns once the user answers.
// beforeModalLoop runs first: the box runs its own message loop for as long as the user takes.
void ShowNotice(HWND owner, const std::wstring& text,
                const std::function<void()>& beforeModalLoop = {});

} // namespace hkv::ui
