#include "tray/cd_window.h"

#include <shellapi.h>

#include "ui/controls.h"
#include "ui/font.h"
#include "ui/twips.h"

namespace hkv {
namespace {

constexpr wchar_t kClassName[] = L"BrevinHotkeyVeridir.cd";
// The product's page, opened by "关于 Velmo Change Hotkey".
constexpr wchar_t kProductPage[] =
    L"https://brevin.example/software/velmo-change-hotkey/index.html?v=1.0";
// Either mouse button may choose an item.
constexpr UINT kPopupFlags = TPM_RIGHTBUTTON;

} // namespace

CdWindow::CdWindow(TrayMenuActions actions) : actions_(std::move(actions)) {}
CdWindow::~CdWindow() = default;

bool CdWindow::Create() {
    RegisterWindowClass(kClassName, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));

    HMENU popup = CreatePopupMenu();
    HMENU about = CreatePopupMenu();
    AppendMenuW(about, MF_STRING, kAchId, L"关于 Velmo Change Hotkey");
    AppendMenuW(popup, MF_STRING, kShowId, L"显示");
    AppendMenuW(popup, MF_STRING, kSignInStartId, kSignInStartText);
    AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(about), L"关于");
    AppendMenuW(popup, MF_STRING, kExitId, L"退出");
    menuBar_.reset(CreateMenu());
    AppendMenuW(menuBar_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup), L"cd");

    const int dpi = ScreenDpi();
    RECT frame{0, 0, TwipsToPixels(8850, dpi), TwipsToPixels(2505, dpi)};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
    if (!CreateFor(0, kClassName, L"Form1", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                   frame.right - frame.left, frame.bottom - frame.top, nullptr, menuBar_.get())) {
        return false;
    }
    // The window owns the menu now and destroys it with itself.
    menuBar_.release();
    ui::CreateControl(
        hwnd(), dpi,
        {L"BUTTON", kCommand1Id, {1320, 600, 1575, 735}, BS_PUSHBUTTON, nullptr, L"Command1"});
    return true;
}

void CdWindow::PopupMenuAt(POINT screen) {
    HMENU popup = GetSubMenu(GetMenu(hwnd()), 0);
    CheckMenuItem(popup, kSignInStartId,
                  MF_BYCOMMAND | (actions_.SignInStartArmed() ? MF_CHECKED : MF_UNCHECKED));
    // The chosen item runs here, before the caller learns that the menu has ended.
    const auto chosen = static_cast<UINT>(
        TrackPopupMenu(popup, kPopupFlags | TPM_RETURNCMD, screen.x, screen.y, 0, hwnd(), nullptr));
    // Without a message after the menu, the next click elsewhere may not close a menu opened
    // from the notification area.
    PostMessageW(hwnd(), WM_NULL, 0, 0);
    if (chosen != 0) {
        SendMessageW(hwnd(), WM_COMMAND, chosen, 0);
    }
}

LRESULT CdWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && HIWORD(wParam) == 0 && lParam == 0) {
        switch (LOWORD(wParam)) {
        case kShowId:
            actions_.Show();
            return 0;
        case kAchId:
            if (actions_.BeforeShell) {
                actions_.BeforeShell();
            }
            ShellExecuteW(hwnd(), L"open", kProductPage, L"", L"", SW_SHOWNORMAL);
            return 0;
        case kExitId:
            actions_.Exit();
            return 0;
        case kSignInStartId:
            actions_.SignInStartClick();
            return 0;
        default:
            break;
        }
    }
    if (msg == WM_CLOSE) {
        return 0; // never shown, never closed on its own
    }
    return DefWindowProcW(hwnd(), msg, wParam, lParam);
}

} // namespace hkv
