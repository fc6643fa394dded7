// The icon's add against a notification area that refuses it for a while, as the shell's does at
// sign-in while it is still starting, or that shows it already after a restart.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/win_handles.h"
#include "support/win_test_util.h"
#include "tray/tray_icon.h"

namespace {

// What the notification area answers to each kind of icon call, and how many of each it saw.
bool g_takesAdd = false;
bool g_takesModify = false;
int g_adds = 0;
int g_modifies = 0;
int g_deletes = 0;
int g_versions = 0;
UINT g_addFlags = 0; // of the last add
hkv::TrayIcon* g_icon = nullptr;

// The icon call a WM_COPYDATA carries: Windows sends 1 with a record that starts with a
// signature and the call; Wine sends the call itself.
constexpr ULONG_PTR kWindowsTrayData = 1;
constexpr DWORD kWindowsTraySignature = 0x34753423;
DWORD IconCallOf(const COPYDATASTRUCT& data) {
    const auto* words = static_cast<const DWORD*>(data.lpData);
    if (data.dwData == kWindowsTrayData && data.cbData >= 2 * sizeof(DWORD) &&
        words[0] == kWindowsTraySignature) {
        return words[1];
    }
    return static_cast<DWORD>(data.dwData);
}
// Its flags: after the 32-bit size, window and id of the icon's record on Windows; after the
// window and id on Wine.
DWORD IconFlagsOf(const COPYDATASTRUCT& data) {
    const std::size_t at = IconCallOf(data) == data.dwData ? 2 : 5;
    return data.cbData > at * sizeof(DWORD) ? static_cast<const DWORD*>(data.lpData)[at] : 0;
}

// The notification area, found by the icon calls ahead of the real one while it exists
// (topmost). Also the icon's owner, which hands its timer to the icon as the main window does.
LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COPYDATA) {
        switch (IconCallOf(*reinterpret_cast<const COPYDATASTRUCT*>(lParam))) {
        case NIM_ADD:
            g_addFlags = IconFlagsOf(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            ++g_adds;
            return g_takesAdd;
        case NIM_MODIFY:
            ++g_modifies;
            return g_takesModify;
        case NIM_DELETE:
            ++g_deletes;
            return TRUE;
        case NIM_SETVERSION:
            ++g_versions;
            return TRUE;
        default:
            return FALSE;
        }
    }
    if (msg == WM_TIMER && g_icon->OnTimer(wParam)) {
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

TEST(TrayIcon, ARefusedAddIsRetriedOnTheTimerUntilTakenOrTheTriesRunOutOrTheIconIsRemoved) {
    using hkv::test::WaitUntil;
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Shell_TrayWnd";
    RegisterClassW(&wc);
    hkv::UniqueWindow shell(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"",
                                            WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                                            nullptr));
    ASSERT_TRUE(shell) << "no stand-in notification area: error " << GetLastError();
    // The icon calls go to the first notification area in the z-order: this one, topmost, and
    // kept so (Wine starts its desktop process anew with each test process, so the desktop's own
    // may come up while this test runs). Another one first would take every call, none counted.
    ASSERT_TRUE(WaitUntil([&] {
        SetWindowPos(shell.get(), HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return FindWindowExW(nullptr, nullptr, wc.lpszClassName, nullptr) == shell.get();
    })) << "the icon calls would reach another notification area";
    const HICON image = LoadIconW(nullptr, IDI_APPLICATION);
    {
        hkv::TrayIcon icon(10); // ms between tries
        g_icon = &icon;

        // Refused every time: each try is an add, then a change in case the icon shows already;
        // the first and its retries, then no timer until the shell announces itself.
        icon.Add(shell.get(), image);
        constexpr int kTries = 1 + hkv::kTrayRetryAttempts;
        EXPECT_TRUE(WaitUntil([&] { return g_adds == kTries && g_modifies == kTries; }))
            << g_adds << " adds, " << g_modifies << " changes";
        EXPECT_FALSE(KillTimer(shell.get(), hkv::kTrayRetryTimerId)) << "still waking";

        // Announced: refused and retried, then taken on a later tick, after which no timer is left.
        icon.AddAgain();
        const int before = g_adds;
        ASSERT_TRUE(WaitUntil([&] { return g_adds > before; }));
        g_takesAdd = true;
        ASSERT_TRUE(WaitUntil([&] { return icon.Shown(); }));
        EXPECT_FALSE(KillTimer(shell.get(), hkv::kTrayRetryTimerId)) << "still waking";
        EXPECT_EQ(g_versions, 1) << "the icon taken is asked to work from the keyboard";
        EXPECT_EQ(g_addFlags & NIF_SHOWTIP, UINT{NIF_SHOWTIP}) << "no tooltip with that version";

        // A restarted shell that still shows the icon refuses to add it again, but changes it.
        g_takesAdd = false;
        g_takesModify = true;
        icon.AddAgain();
        EXPECT_TRUE(icon.Shown());
        EXPECT_EQ(g_versions, 2);
        EXPECT_FALSE(KillTimer(shell.get(), hkv::kTrayRetryTimerId)) << "still waking";

        // Removed while refused: a tick already queued adds nothing.
        g_takesModify = false;
        icon.AddAgain();
        ASSERT_FALSE(icon.Shown());
        icon.Remove();
        EXPECT_EQ(g_deletes, 1);
        const int adds = g_adds;
        PostMessageW(shell.get(), WM_TIMER, hkv::kTrayRetryTimerId, 0);
        PostMessageW(shell.get(), WM_NULL, 0, 0);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_NULL) {
            DispatchMessageW(&msg);
        }
        EXPECT_EQ(g_adds, adds) << "the icon came back after its removal";
        EXPECT_FALSE(KillTimer(shell.get(), hkv::kTrayRetryTimerId)) << "still waking";
    }
    EXPECT_EQ(g_deletes, 1) << "removed twice";
}
