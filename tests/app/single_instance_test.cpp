// The program started while another copy holds the session's name (a copy in this session running
// elevated or as another user, which this one may not even open) or the settings file (a copy in
// another session); and a name made first by someone else.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include "app/single_instance.h"
#include "common/win_handles.h"
#include "support/message_box_watcher.h"
#include "support/program_under_test.h"
#include "ui/notice.h"

using namespace hkv::test;

namespace {

// What the name of a copy running elevated is to this one: denying it every access.
hkv::UniqueKernelHandle HoldDenyingAll(const std::wstring& name) {
    PSECURITY_DESCRIPTOR denyAll = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;GA;;;WD)", SDDL_REVISION_1,
                                                              &denyAll, nullptr)) {
        return {};
    }
    SECURITY_ATTRIBUTES elevated{sizeof elevated, denyAll, FALSE};
    hkv::UniqueKernelHandle held(CreateMutexW(&elevated, FALSE, name.c_str()));
    LocalFree(denyAll);
    return held;
}

} // namespace

TEST(SecondCopy, EndsBeforeReadingTheSettingsWhileAnotherHoldsTheSessionOrTheSettingsFile) {
    ProgramUnderTest program(L"secondcopy");
    MessageBoxWatcher notices(hkv::ui::kNoticeTitle, MessageBoxWatcher::kAnyProcess);
    for (const bool elevatedHere : {true, false}) {
        const char* holder =
            elevatedHere ? "an elevated copy in this session" : "a copy in another session";
        const hkv::UniqueKernelHandle session =
            elevatedHere ? HoldDenyingAll(hkv::kInstanceMutexName) : hkv::UniqueKernelHandle();
        const hkv::SingleInstance other(L"Local\\hkvTestOtherSession", program.IniPath());
        ASSERT_TRUE(other.IsFirst() && (session || !elevatedHere)) << holder;
        const std::string utf8 = "\xEF\xBB\xBF[Velmo]\r\nVelmo1Text=F8\r\n"; // converted by a read
        ASSERT_TRUE(program.WriteIni(utf8));
        HANDLE second = program.Launch();
        ASSERT_EQ(WaitForSingleObject(second, 20000), WAIT_OBJECT_0) << holder << ": ran on";
        DWORD code = 1;
        GetExitCodeProcess(second, &code);
        EXPECT_EQ(code, 0u) << holder;
        const auto bytes = ReadFileBytes(program.IniPath());
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), utf8) << holder << ": read or written";
        ASSERT_EQ(notices.Count(), elevatedHere ? 0u : 1u) << holder << ": named if out of reach";
    }
    EXPECT_NE(notices.Seen()[0].text.find(program.IniPath()), std::wstring::npos);
}

TEST(SecondCopy,
     ALockFileNoOneMayOpenBlocksNoCopyAndACopyOnTheNameAloneKeepsOutOneThatCouldMakeIt) {
    ProgramUnderTest program(L"squatted");
    // Put there by someone else and not ours to open (a folder of that name: access denied, as
    // for another user's file): the copy runs on the machine-wide name alone.
    const std::wstring lock = program.IniPath() + hkv::kSettingsLockSuffix;
    RemoveDirectoryW(lock.c_str()); // left by a run stopped before it removed it
    ASSERT_TRUE(CreateDirectoryW(lock.c_str(), nullptr));
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(RemoveDirectoryW(lock.c_str()));
    const wchar_t* session = L"Local\\hkvTestOtherSession";
    EXPECT_FALSE(hkv::SingleInstance(session, program.IniPath()).IsFirst())
        << "a copy that can make the file started beside one on the name alone";
    EXPECT_FALSE(FileExists(lock)) << "the copy kept out left its file behind";
    program.Kill();
    // Where the folder cannot be written, the machine-wide name still keeps a second copy out.
    const std::wstring nowhere = ExecutableFolder() + L"\\no such folder\\set.ini";
    const hkv::SingleInstance first(session, nowhere);
    ASSERT_TRUE(first.IsFirst());
    EXPECT_FALSE(hkv::SingleInstance(L"Local\\hkvTestThirdSession", nowhere).IsFirst());
}

TEST(SecondCopy, ACopyMeetingAHeldNameOfAnyKindTakesNothingAfterItAndTheMachineNameGoesFirst) {
    ProgramUnderTest program(L"startingtwice");
    const std::wstring lock = program.IniPath() + hkv::kSettingsLockSuffix;
    for (const bool event : {false, true}) {
        auto hold = [event](const std::wstring& name) {
            return hkv::UniqueKernelHandle(event ? CreateEventW(nullptr, TRUE, FALSE, name.c_str())
                                                 : CreateMutexW(nullptr, FALSE, name.c_str()));
        };
        const auto starting = hold(L"Local\\hkvTestStarting");
        const hkv::SingleInstance later(L"Local\\hkvTestStarting", program.IniPath());
        // The copy that is to end has taken nothing from the one still starting.
        EXPECT_TRUE(!later.IsFirst() &&
                    hkv::SingleInstance(L"Local\\hkvTestOther", program.IniPath()).IsFirst());
        ASSERT_TRUE(WriteFileBytes(lock, "")); // left by a crash; a copy that opens it deletes it
        const auto elsewhere = hold(hkv::SettingsFileMutexName(program.IniPath()));
        EXPECT_FALSE(hkv::SingleInstance(L"Local\\hkvTestOther", program.IniPath()).IsFirst());
        EXPECT_TRUE(FileExists(lock)) << "opened by a copy that the machine-wide name kept out";
    }
}
