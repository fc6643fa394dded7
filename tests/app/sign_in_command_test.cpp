// The start at sign-in as the Run key holds it: the program a value names, and the startup switch.
#include <gtest/gtest.h>

#include "app/sign_in_command.h"

TEST(SignInValue, NamesItsProgramQuotesArgumentsAndLetterCaseAsideAndStartsWhenTheSwitchLets) {
    const std::pair<const wchar_t*, const wchar_t*> commands[] = {
        {L" \"C:\\工具 箱\\hk.exe\" /armed", L"C:\\工具 箱\\hk.exe"},
        {L"C:\\My Tools\\hk.EXE -armed", L"C:\\My Tools\\hk.EXE"},
        {L"C:\\Tools\\hk.exes\\hk /armed", L"C:\\Tools\\hk.exes\\hk"},
        {L"\"C:\\unclosed", L"C:\\unclosed"},
        {L"  ", L""}};
    for (const auto& [command, program] : commands) {
        EXPECT_EQ(hkv::ProgramOfCommand(command), program);
    }
    EXPECT_TRUE(hkv::SamePath(L"C:\\Tools\\Hk.exe", L"c:/tools/HK.EXE"));
    EXPECT_FALSE(hkv::SamePath(L"C:\\工具\\hk.exe", L"C:\\工具\\hk.ex"));
    using Entry = std::vector<std::uint8_t>;
    EXPECT_TRUE(hkv::StartupSwitchOn(std::nullopt));
    EXPECT_TRUE(hkv::StartupSwitchOn(Entry{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    for (const Entry& off :
         {Entry{3, 0, 0, 0, 0x4a, 0x1f, 0x3c, 0x9e, 0x2b, 0x6d, 1, 0}, Entry{6}, Entry{}}) {
        EXPECT_FALSE(hkv::StartupSwitchOn(off));
    }
}
