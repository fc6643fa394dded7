#include <gtest/gtest.h>

#include "common/decimal.h"
#include "common/path.h"

TEST(IniPath, JoinsWithExactlyOneSeparator) {
    EXPECT_EQ(hkv::JoinFolderAndFile(L"C:\\Tools", L"set.ini"), L"C:\\Tools\\set.ini");
    EXPECT_EQ(hkv::JoinFolderAndFile(L"C:\\", L"set.ini"), L"C:\\set.ini");
    EXPECT_EQ(hkv::JoinFolderAndFile(L"\\\\server\\share\\app", L"set.ini"),
              L"\\\\server\\share\\app\\set.ini");
}

TEST(IniPath, FolderOfAnExecutableKeepsTheRootSeparatorOnly) {
    EXPECT_EQ(hkv::FolderOfPath(L"C:\\Tools\\hk.exe"), L"C:\\Tools");
    EXPECT_EQ(hkv::FolderOfPath(L"C:\\hk.exe"), L"C:\\");
    EXPECT_EQ(hkv::JoinFolderAndFile(hkv::FolderOfPath(L"C:\\hk.exe"), L"set.ini"), L"C:\\set.ini");
    EXPECT_EQ(hkv::JoinFolderAndFile(hkv::FolderOfPath(L"D:\\a b\\c\\hk.exe"), L"set.ini"),
              L"D:\\a b\\c\\set.ini");
}

TEST(IniPath, BaseNameDropsFolderAndExtension) {
    EXPECT_EQ(hkv::BaseNameWithoutExtension(L"C:\\Tools\\hk.exe"), L"hk");
    EXPECT_EQ(hkv::BaseNameWithoutExtension(L"C:\\Tools\\my.tool.exe"), L"my.tool");
    EXPECT_EQ(hkv::BaseNameWithoutExtension(L"hk"), L"hk");
    EXPECT_EQ(hkv::BaseNameWithoutExtension(L"C:\\a.b\\hk"), L"hk");
}

TEST(NumberText, HexKeepsItsDigitsLeadingZerosAndUpperCase) {
    EXPECT_EQ(hkv::HexText(0x409, 8), L"00000409");
    EXPECT_EQ(hkv::HexText(0xF00ABCDE, 8), L"F00ABCDE");
    EXPECT_EQ(hkv::HexText(0x12345, 4), L"12345");
    EXPECT_EQ(hkv::HexText(0, 2), L"00");
    EXPECT_EQ(hkv::DecimalText(-409), L"-409");
}
