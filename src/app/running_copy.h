#pragma once
// A second start while the program runs brings the running copy's window back: with the window
// hidden and no icon in the notification area (the shell not up yet at sign-in, or refusing the
// icon), starting the program again is the user's only way back to it.
namespace hkv {

// Registered by both copies; the running copy's main window answers it by coming to the front.
inline constexpr wchar_t kShowRunningCopyMessage[] = L"BrevinHotkeyVeridir.ShowRunningCopy";

// Asks the copy running in this session to show, restore and activate its window, and lets it
// take the foreground from this process, which the user has just started; waits a few seconds for
// the window of a copy that is still starting. Reads no settings.
void BringRunningCopyToFront();

} // namespace hkv
