// The start at sign-in against the test prefix's registry, and its item used from the tray menu.
#include "app/app_fixture.h"
#include "app/sign_in_command.h"
#include "app/sign_in_start.h"
#include "common/executable.h"
#include "common/path.h"
#include "common/scope_guard.h"
#include "common/system_error.h"

namespace hkv::test {
namespace {

constexpr SignInStart::Keys kKeys{L"Software\\BrevinHotkeyTests\\Run",
                                  L"Software\\BrevinHotkeyTests\\StartupApproved"};
// As 12 bytes, Task Manager's switch turned off: 3, then (its time) zeros.
const std::wstring kSwitchedOff(L"\x0003\0\0\0\0", 5);

void SetValue(const wchar_t* key, const std::wstring& data, DWORD type = REG_SZ) {
    RegSetKeyValueW(HKEY_CURRENT_USER, key, kSignInValueName, type, data.c_str(),
                    static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

std::wstring Command(const wchar_t* key) {
    wchar_t text[MAX_PATH * 2] = L"<missing>";
    DWORD size = sizeof text;
    RegGetValueW(HKEY_CURRENT_USER, key, kSignInValueName, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

class SignInKeys : public testing::Test {
  protected:
    void SetUp() override {
        TearDown();
        for (const wchar_t* key : {kKeys.run, kKeys.startupSwitch}) { // volatile: see the refusal
            HKEY made = nullptr;
            RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, REG_OPTION_VOLATILE, KEY_READ,
                            nullptr, &made, nullptr);
            RegCloseKey(made);
        }
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\BrevinHotkeyTests"); }
};

// Pixels of the menu's left margin, where a checked item shows its mark, unlike the menu's colour:
// a stray one, a mark's more, or all of them while the menu is not painted yet.
int MarksInMenu(HWND menu) {
    RECT r{};
    GetWindowRect(menu, &r);
    HDC screen = GetDC(nullptr);
    int marks = 0;
    for (int y = r.top + 3; y < r.bottom - 3; ++y) {
        for (int x = r.left + 2; x < r.left + 2 + GetSystemMetrics(SM_CXMENUCHECK); ++x) {
            marks += GetPixel(screen, x, y) != GetSysColor(COLOR_MENU) ? 1 : 0;
        }
    }
    ReleaseDC(nullptr, screen);
    return marks;
}
constexpr int kMarkPixels = 6;

} // namespace

TEST_F(SignInKeys, TheCheckFollowsTheValueTheSwitchAndTheCopyItNamesEachClickSetsItARefusalIsTold) {
    const std::wstring exe = L"C:\\Users\\李 雷\\My Tools\\BrevinHotkey.exe";
    SignInStart start(exe, kKeys);
    SetValue(kKeys.startupSwitch, kSwitchedOff, REG_BINARY);
    EXPECT_EQ(start.Toggle(), L"");
    EXPECT_EQ(Command(kKeys.run), L"\"" + exe + L"\" /armed");
    SetValue(kKeys.startupSwitch, kSwitchedOff, REG_BINARY);
    EXPECT_FALSE(start.Armed());
    SetValue(kKeys.run, L"D:\\Old Copy\\BrevinHotkey.exe /armed"); // told only when unchecked
    EXPECT_EQ(start.Toggle(),
              L"Signing in now starts this copy instead of D:\\Old Copy\\BrevinHotkey.exe");
    EXPECT_EQ(start.Toggle(), L"");
    EXPECT_EQ(Command(kKeys.run), L"<missing>");
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(ExecutablePath().c_str(), shortName, MAX_PATH), 0u);
    SetValue(kKeys.run, L"\"" + std::wstring(shortName) + L"\" -armed");
    EXPECT_TRUE(SignInStart(ExecutablePath(), kKeys).Armed()) << Narrow(shortName);
    // A refused write (no lasting key is made beside volatile ones), told with the system's reason.
    SignInStart refused(exe, {L"Software\\BrevinHotkeyTests\\Lasting", kKeys.startupSwitch});
    EXPECT_EQ(refused.Toggle(), L"Starting at sign-in could not be turned on.\r\n" +
                                    SystemReasonLine(ERROR_CHILD_MUST_BE_VOLATILE));
}

TEST_F(App, TheTrayMenusItemArmsTheStartWithTheQuotedPathAndShowsItCheckedWhenItOpensAgain) {
    const wchar_t* run = SignInStart::kUserKeys.run;
    RegDeleteKeyValueW(HKEY_CURRENT_USER, run, kSignInValueName);
    const ScopeGuard removed(
        [run] { RegDeleteKeyValueW(HKEY_CURRENT_USER, run, kSignInValueName); });
    ProgramUnderTest program(L"signin");
    ASSERT_TRUE(program.Start());
    HWND menu = nullptr;
    auto openMenu = [&] { // at the icon, with no item under the pointer
        MoveMouseTo({600, 500});
        PostMessageW(program.Main(), kTrayCallbackMessage, MAKEWPARAM(200, 180),
                     MAKELPARAM(WM_CONTEXTMENU, 0));
        return WaitUntil([&] { return menu = FindProcessWindow(program.Pid(), L"#32768", true); });
    };
    ASSERT_TRUE(openMenu());
    EXPECT_TRUE(WaitUntil([&] { return MarksInMenu(menu) < kMarkPixels; }));
    RECT m{};
    GetWindowRect(menu, &m); // "登录时自动启动" is the second of its four items
    ASSERT_TRUE(ClickOn(menu, {(m.left + m.right) / 2, m.top + (m.bottom - m.top) * 3 / 8}));
    const std::wstring armed =
        L"\"" + FolderOfPath(program.IniPath()) + L"\\BrevinHotkey.exe\" /armed";
    EXPECT_TRUE(WaitUntil([&] { return Command(run) == armed; })) << Narrow(Command(run));
    ASSERT_TRUE(WaitUntil([&] { return !FindProcessWindow(program.Pid(), L"#32768", true); }));
    ASSERT_TRUE(openMenu());
    EXPECT_TRUE(WaitUntil([&] {
        const int marks = MarksInMenu(menu);
        return marks >= kMarkPixels && marks < 10 * kMarkPixels;
    }));
}

} // namespace hkv::test
