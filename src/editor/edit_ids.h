#pragma once
// The editor's class and control ids; tests find controls by them.

namespace hkv::ids {

inline constexpr wchar_t kEditClass[] = L"BrevinHotkeyVeridir.edit";

inline constexpr int kEditPmenu = 500;
inline constexpr int kEditTitle = 501;
inline constexpr int kEditImage3 = 502;
inline constexpr int kLovea = 510;
inline constexpr int kLovek = 511;
inline constexpr int kLovem = 512;
inline constexpr int kLabel1 = 513;
inline constexpr int kText2 = 520;
inline constexpr int kText3 = 521;
inline constexpr int kText4 = 522;
inline constexpr int kM1 = 523;
inline constexpr int kM2 = 524;
inline constexpr int kM3 = 525;
inline constexpr int kPd = 526;
inline constexpr int kNum = 527;

} // namespace hkv::ids
