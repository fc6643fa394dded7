// The program started while a copy running elevated or as another user holds the single-instance
// name, which this one may not even open.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include "app/single_instance.h"
#include "common/win_handles.h"
#include "support/program_under_test.h"

using namespace hkv::test;

TEST(SecondCopy, EndsBeforeReadingTheSettingsWhenTheFirstRunsElevated) {
    // What the name of such a copy is to this one: denying it every access.
    PSECURITY_DESCRIPTOR denyAll = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:(D;;GA;;;WD)", SDDL_REVISION_1, &denyAll, nullptr));
    SECURITY_ATTRIBUTES elevated{sizeof elevated, denyAll, FALSE};
    hkv::UniqueKernelHandle name(CreateMutexW(&elevated, FALSE, hkv::kInstanceMutexName));
    LocalFree(denyAll);
    ASSERT_TRUE(name);
    ASSERT_EQ(CreateMutexW(nullptr, FALSE, hkv::kInstanceMutexName), nullptr);
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    ProgramUnderTest program(L"secondcopy");
    const std::string utf8 = "\xEF\xBB\xBF[Velmo]\r\nVelmo1Text=F8\r\n"; // converted by any read
    ASSERT_TRUE(program.WriteIni(utf8));
    HANDLE second = program.Launch();
    ASSERT_EQ(WaitForSingleObject(second, 20000), WAIT_OBJECT_0) << "the second copy ran on";
    DWORD code = 1;
    GetExitCodeProcess(second, &code);
    EXPECT_EQ(code, 0u);
    const auto bytes = ReadFileBytes(program.IniPath());
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), utf8) << "read or written";
}
