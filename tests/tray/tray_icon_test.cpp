// The icon's add against a notification area that refuses it for a while, as the shell's does at
// sign-in while it is still starting.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/win_handles.h"
#include "support/win_test_util.h"
#include "tray/tray_icon.h"

namespace {

bool g_accepting = false;
int g_calls = 0;
hkv::TrayIcon* g_icon = nullptr;

// The notification area, found by the icon calls ahead of the real one while it exists
// (topmost): it takes icons only when told to, and counts the calls. Also the icon's owner, which
// hands its timer to the icon as the main window does.
LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COPYDATA) {
        ++g_calls;
        return g_accepting;
    }
    if (msg == WM_TIMER && g_icon->OnTimer(wParam)) {
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

TEST(TrayIcon, ARefusedAddIsRetriedOnTheTimerUntilTakenOrTheTriesRunOut) {
    using hkv::test::WaitUntil;
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Shell_TrayWnd";
    RegisterClassW(&wc);
    hkv::UniqueWindow shell(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"",
                                            WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                                            nullptr));
    hkv::TrayIcon icon(10); // ms between tries
    g_icon = &icon;

    // Refused every time: the add and its tries, then no timer until the shell announces itself.
    icon.Add(shell.get(), LoadIconW(nullptr, IDI_APPLICATION));
    const int callsPerTry = g_calls; // an add, then asking whether the icon is shown already
    EXPECT_TRUE(WaitUntil([&] { return g_calls == callsPerTry * (1 + hkv::kTrayRetryAttempts); }))
        << g_calls << " calls";
    EXPECT_FALSE(KillTimer(shell.get(), hkv::kTrayRetryTimerId)) << "still waking";

    // Announced: refused and retried, then taken on a later tick, after which no timer is left.
    icon.AddAgain();
    const int before = g_calls;
    ASSERT_TRUE(WaitUntil([&] { return g_calls > before; }));
    g_accepting = true;
    ASSERT_TRUE(WaitUntil([&] { return icon.Shown(); }));
    EXPECT_FALSE(KillTimer(shell.get(), hkv::kTrayRetryTimerId)) << "still waking";
}
