#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "settings/modini.h"
#include "support/win_test_util.h"

using namespace hkv::modINI;
using hkv::test::DeleteFileForced;
using hkv::test::ExecutableFolder;
using hkv::test::FileExists;
using hkv::test::Narrow;
using hkv::test::ReadFileBytes;
using hkv::test::WriteFileBytes;

namespace {

const std::wstring kSubfolder = L"modini_test_files";

// Each case gets a fresh file in a folder next to the test executable.
class IniFile : public testing::Test {
  protected:
    void SetUp() override {
        CreateDirectoryW((ExecutableFolder() + L"\\" + kSubfolder).c_str(), nullptr);
        name_ = kSubfolder + L"\\" +
                Utf16(testing::UnitTest::GetInstance()->current_test_info()->name()) + L".ini";
        path_ = ExecutableFolder() + L"\\" + name_;
        DeleteFileForced(path_);
        IniSetFile(name_);
    }
    void TearDown() override { DeleteFileForced(path_); }

    static std::wstring Utf16(const char* s) { return std::wstring(s, s + strlen(s)); }

    std::wstring name_;
    std::wstring path_;
};

} // namespace

// Must stay the first case: nothing has fixed the path yet.
TEST(IniBeforeSetFile, ReadsDefaultAndWritesNothing) {
    ASSERT_TRUE(IniFilePath().empty());
    EXPECT_EQ(IniRead(L"conftext", L"0", L"fallback"), L"fallback");
    IniWrite(L"hkvProbeSection", L"probeKey", L"written");
    wchar_t buffer[64] = {};
    GetProfileStringW(L"hkvProbeSection", L"probeKey", L"absent", buffer, 64);
    EXPECT_STREQ(buffer, L"absent") << "the write went to win.ini";
}

TEST_F(IniFile, PathIsTheExecutableFolderJoinedWithTheName) {
    EXPECT_EQ(IniFilePath(), ExecutableFolder() + L"\\" + name_);
    IniSetFile(L"set.ini");
    EXPECT_EQ(IniFilePath(), ExecutableFolder() + L"\\set.ini");
}

TEST_F(IniFile, MissingFileSectionOrKeyYieldsTheDefault) {
    EXPECT_EQ(IniRead(L"conftext", L"0", L""), L"");
    EXPECT_EQ(IniRead(L"Velmo", L"Velmo1Text", L"按下快捷键"), L"按下快捷键");
    EXPECT_FALSE(FileExists(path_)) << "reading must not create the file";
    IniWrite(L"conftext", L"0", L"Ctrl + C");
    EXPECT_EQ(IniRead(L"conftooltip", L"0", L"dflt"), L"dflt");
    EXPECT_EQ(IniRead(L"conftext", L"1", L"dflt"), L"dflt");
    EXPECT_EQ(IniRead(L"conftext", L"10", L"dflt"), L"dflt");
}

TEST_F(IniFile, FirstWriteCreatesAUnicodeFileAndChineseRoundTrips) {
    IniWrite(L"Velmo", L"Velmo1Text", L"按下快捷键");
    auto bytes = ReadFileBytes(path_);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    EXPECT_NE(text.find(L"Velmo1Text=按下快捷键"), std::wstring::npos) << Narrow(text);
    EXPECT_EQ(IniRead(L"Velmo", L"Velmo1Text", L""), L"按下快捷键");

    IniWrite(L"conftext", L"0", L"Ctrl + C");
    IniWrite(L"Velmo", L"Velmo1Text", L"Ctrl + Alt + K");
    EXPECT_EQ(IniRead(L"Velmo", L"Velmo1Text", L""), L"Ctrl + Alt + K");
    EXPECT_EQ(IniRead(L"conftext", L"0", L""), L"Ctrl + C");
    bytes = ReadFileBytes(path_);
    EXPECT_EQ(bytes[0], 0xFF) << "the file must stay Unicode";
}

TEST_F(IniFile, ExistingAnsiFileIsReadAndUpdatedInPlace) {
    ASSERT_TRUE(
        WriteFileBytes(path_, "[conftext]\r\n0=Ctrl + C\r\n[conftooltip]\r\n0=2|17|67\r\n"));
    EXPECT_EQ(IniRead(L"conftext", L"0", L""), L"Ctrl + C");
    EXPECT_EQ(IniRead(L"conftooltip", L"0", L""), L"2|17|67");
    IniWrite(L"conftext", L"1", L"Alt");
    IniWrite(L"conftooltip", L"0", L"1|65");
    EXPECT_EQ(IniRead(L"conftext", L"1", L""), L"Alt");
    EXPECT_EQ(IniRead(L"conftooltip", L"0", L""), L"1|65");
    auto bytes = ReadFileBytes(path_);
    std::string raw(bytes.begin(), bytes.end());
    EXPECT_EQ(raw.rfind("[conftext]", 0), 0u)
        << "the file was rewritten in another encoding: " << raw;
    EXPECT_NE(raw.find("1=Alt"), std::string::npos) << raw;
    EXPECT_NE(raw.find("0=1|65"), std::string::npos) << raw;
}

TEST_F(IniFile, EmptyValueReadsEmptyWhateverTheDefault) {
    ASSERT_TRUE(WriteFileBytes(path_, "[Velmo]\r\nVelmo1Text=\r\n"));
    EXPECT_EQ(IniRead(L"Velmo", L"Velmo1Text", L"按下快捷键"), L"");
    IniWrite(L"conftext", L"3", L"");
    EXPECT_EQ(IniRead(L"conftext", L"3", L"default"), L"");
}

TEST_F(IniFile, LongValuesComeBackCutTo254Characters) {
    std::wstring v254(254, L'x');
    std::wstring v300 = std::wstring(250, L'a') + std::wstring(50, L'b');
    IniWrite(L"conftext", L"0", v254);
    IniWrite(L"conftext", L"1", v300);
    EXPECT_EQ(IniRead(L"conftext", L"0", L""), v254);
    EXPECT_EQ(IniRead(L"conftext", L"1", L""), v300.substr(0, 254));
}

TEST_F(IniFile, SectionAndKeyNamesIgnoreLetterCase) {
    IniWrite(L"conftext", L"0", L"Ctrl + C");
    EXPECT_EQ(IniRead(L"CONFTEXT", L"0", L""), L"Ctrl + C");
    IniWrite(L"Velmo", L"Velmo1KeyCode", L"75");
    EXPECT_EQ(IniRead(L"velmo", L"VELMO1KEYCODE", L""), L"75");
    IniWrite(L"ConfText", L"0", L"Alt");
    EXPECT_EQ(IniRead(L"conftext", L"0", L""), L"Alt") << "one section, not two";
}

TEST_F(IniFile, NothingIsCachedBetweenCalls) {
    IniWrite(L"conftext", L"0", L"Ctrl + C");
    EXPECT_EQ(IniRead(L"conftext", L"0", L""), L"Ctrl + C");
    ASSERT_TRUE(WriteFileBytes(path_, "[conftext]\r\n0=Shift + H\r\n"));
    EXPECT_EQ(IniRead(L"conftext", L"0", L""), L"Shift + H");
}

TEST_F(IniFile, WriteToALockedOrReadOnlyFileIsLostAndReportedAsLost) {
    // A file another program holds open without sharing, then one marked read-only (refused also
    // to a user who may write anything, as Windows refuses it).
    ASSERT_TRUE(WriteFileBytes(path_, "[conftext]\r\n0=Ctrl + C\r\n"));
    HANDLE lock = CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(IniWrite(L"conftext", L"0", L"Alt"));
    EXPECT_FALSE(IniWrite(L"conftext", L"1", L"Shift"));
    CloseHandle(lock);
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(IniWrite(L"conftext", L"1", L"Shift"));
    EXPECT_EQ(IniRead(L"conftext", L"0", L""), L"Ctrl + C");
    EXPECT_EQ(IniRead(L"conftext", L"1", L"none"), L"none");
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(IniWrite(L"conftext", L"1", L"Shift"));
}

TEST_F(IniFile, WriteIntoMissingFolderIsLostSilently) {
    IniSetFile(L"no_such_folder_for_ini\\set.ini");
    EXPECT_FALSE(IniWrite(L"conftext", L"0", L"Alt"));
    EXPECT_EQ(IniRead(L"conftext", L"0", L"none"), L"none");
    EXPECT_FALSE(FileExists(ExecutableFolder() + L"\\no_such_folder_for_ini\\set.ini"));
}

TEST_F(IniFile, ExistingAnsiFileBecomesUnicodeOnlyWhenATextDoesNotFitItsCodePage) {
    ASSERT_TRUE(
        WriteFileBytes(path_, "[conftext]\r\n0=Ctrl + C\r\n[Velmo]\r\nVelmo1KeyCode=75\r\n"));
    IniWrite(L"Velmo", L"Velmo1Text", L"Ctrl + Alt + K");
    ASSERT_NE(ReadFileBytes(path_).at(0), 0xFF) << "a text that fits keeps the file ANSI";

    IniWrite(L"Velmo", L"Velmo2Text", L"按下快捷键");
    auto bytes = ReadFileBytes(path_);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(IniRead(L"Velmo", L"Velmo2Text", L""), L"按下快捷键");
    // Everything the file held before is still there.
    EXPECT_EQ(IniRead(L"conftext", L"0", L""), L"Ctrl + C");
    EXPECT_EQ(IniRead(L"Velmo", L"Velmo1KeyCode", L""), L"75");
    EXPECT_EQ(IniRead(L"Velmo", L"Velmo1Text", L""), L"Ctrl + Alt + K");
}

TEST_F(IniFile, FileMarkedOtherThanUtf16LeBecomesUtf16LeBeforeTheFirstReadOrStaysUnwritten) {
    const std::wstring rows = L"[conftext]\r\n0=按下 + C\r\n[Velmo]\r\nVelmo1KeyCode=75\r\n";
    auto utf16 = [&](bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (wchar_t c : rows) {
            bytes += static_cast<char>(bigEndian ? c >> 8 : c & 0xFF);
            bytes += static_cast<char>(bigEndian ? c & 0xFF : c >> 8);
        }
        return bytes;
    };
    auto onDisk = [](const std::string& s) {
        return std::vector<unsigned char>(s.begin(), s.end());
    };
    for (const std::string& original : {"\xEF\xBB\xBF" + Narrow(rows), utf16(true)}) {
        ASSERT_TRUE(WriteFileBytes(path_, original));
        IniSetFile(name_);
        EXPECT_EQ(ReadFileBytes(path_), onDisk(utf16(false))) << "every row, as UTF-16LE";

        // Held by a program that lets it be written but not replaced, so that no copy can take its
        // place: it is read as it is, and no line is added to it.
        ASSERT_TRUE(WriteFileBytes(path_, original));
        HANDLE held =
            CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        IniSetFile(name_);
        IniWrite(L"conftext", L"1", L"Shift");
        CloseHandle(held);
        EXPECT_EQ(ReadFileBytes(path_), onDisk(original));
    }
}
