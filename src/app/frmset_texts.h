#pragma once
// Texts of the main window that more than one part of it shows: the column headings, which also
// name the rows' controls for a screen reader, and the title-strip images' tooltips, which also
// name the images.

namespace hkv::frmset {

inline constexpr wchar_t kOldShortcutHeading[] = L"将这些旧快捷键";
inline constexpr wchar_t kNewHotkeyHeading[] = L"替换为";
inline constexpr wchar_t kEnableText[] = L"启用"; // the check boxes and their heading
inline constexpr wchar_t kMenuTip[] = L"菜单";
inline constexpr wchar_t kMinimiseTip[] = L"最小化到托盘";
inline constexpr wchar_t kExitTip[] = L"退出";

} // namespace hkv::frmset
