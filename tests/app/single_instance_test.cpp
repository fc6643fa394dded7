// The program started while another copy holds one of its names: a copy in this session running
// elevated or as another user (which this one may not even open), or a copy in another session on
// the same settings file.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include "app/single_instance.h"
#include "common/win_handles.h"
#include "support/program_under_test.h"

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

TEST(SecondCopy, EndsBeforeReadingTheSettingsWhileAnotherHoldsEitherName) {
    ProgramUnderTest program(L"secondcopy");
    // Another session's copy names the file in its own spelling.
    std::wstring upper = program.IniPath();
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    const std::wstring fileName = hkv::SettingsFileMutexName(upper);
    ASSERT_EQ(fileName, hkv::SettingsFileMutexName(program.IniPath()));
    ASSERT_NE(fileName, hkv::SettingsFileMutexName(program.IniPath() + L"x"));
    const struct {
        const char* holder;
        std::wstring name;
        bool denying;
    } holders[] = {{"an elevated copy in this session", hkv::kInstanceMutexName, true},
                   {"a copy in another session", fileName, false},
                   {"an elevated copy in another session", fileName, true}};
    for (const auto& h : holders) {
        hkv::UniqueKernelHandle held(
            h.denying ? HoldDenyingAll(h.name)
                      : hkv::UniqueKernelHandle(CreateMutexW(nullptr, FALSE, h.name.c_str())));
        ASSERT_TRUE(held) << h.holder;
        if (h.denying) {
            ASSERT_EQ(CreateMutexW(nullptr, FALSE, h.name.c_str()), nullptr) << h.holder;
            ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << h.holder;
        }
        const std::string utf8 = "\xEF\xBB\xBF[Velmo]\r\nVelmo1Text=F8\r\n"; // converted by a read
        ASSERT_TRUE(program.WriteIni(utf8));
        HANDLE second = program.Launch();
        ASSERT_EQ(WaitForSingleObject(second, 20000), WAIT_OBJECT_0) << h.holder << ": ran on";
        DWORD code = 1;
        GetExitCodeProcess(second, &code);
        EXPECT_EQ(code, 0u) << h.holder;
        const auto bytes = ReadFileBytes(program.IniPath());
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), utf8) << h.holder << ": read or written";
    }
}
