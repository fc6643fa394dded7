// The start at sign-in as the Run key holds it: the program a value names, and the startup switch.
#include <gtest/gtest.h>

#include "app/sign_in_command.h"

TEST(SignInValue, NamesItsProgramQuotesArgumentsAndLetterCaseAsideAndStartsWhenTheSwitchLets) {
    EXPECT_EQ(hkv::ProgramOfCommand(L" \"C:\\工具 箱\\hk.exe\" /armed"), L"C:\\工具 箱\\hk.exe");
    EXPECT_EQ(hkv::ProgramOfCommand(L"C:\\My Tools\\hk.EXE -armed"), L"C:\\My Tools\\hk.EXE");
    EXPECT_EQ(hkv::ProgramOfCommand(L"C:\\A\\hk.exes\\hk /armed"), L"C:\\A\\hk.exes\\hk");
    EXPECT_TRUE(hkv::SamePath(L"C:\\Tools\\Hk.exe", L"c:/tools/HK.EXE"));
    EXPECT_FALSE(hkv::SamePath(L"C:\\工具\\hk.exe", L"C:\\工具\\hk.ex"));
    using Entry = std::vector<std::uint8_t>;
    EXPECT_TRUE(hkv::StartupSwitchOn(std::nullopt));
    EXPECT_TRUE(hkv::StartupSwitchOn(Entry{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    for (const Entry& off : {Entry{3, 0, 0, 0, 0x4a, 0x1f, 0x3c}, Entry{6}, Entry{}}) {
        EXPECT_FALSE(hkv::StartupSwitchOn(off));
    }
}
