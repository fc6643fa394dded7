#pragma once
// Window classes and control ids of the main window and the editor; tests find controls by them.

namespace hkv::ids {

inline constexpr wchar_t kFrmSetClass[] = L"BrevinHotkeyVeridir.frmSet";
inline constexpr wchar_t kEditClass[] = L"BrevinHotkeyVeridir.edit";

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

// edit
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
