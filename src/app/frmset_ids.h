#pragma once
// The main window's class and control ids; tests find controls by them.

namespace hkv::ids {

inline constexpr wchar_t kFrmSetClass[] = L"BrevinHotkeyVeridir.frmSet";

inline constexpr int kRows = 10;

// frmSet
inline constexpr int kPmenu = 100;
inline constexpr int kTitle = 101;
inline constexpr int kImage1 = 102;
inline constexpr int kImage2 = 103;
inline constexpr int kImage3 = 104;
inline constexpr int kPicture1 = 110;
inline constexpr int kLabel3First = 111; // Label3(0); Label3(1) is kLabel3First + 1
inline constexpr int kLabel4 = 113;
inline constexpr int kText1First = 200; // Text1(i) = kText1First + i
inline constexpr int kVelmoFirst = 300; // Velmo N = kVelmoFirst + N - 1
inline constexpr int kCheckFirst = 400; // Check N = kCheckFirst + N - 1

} // namespace hkv::ids
