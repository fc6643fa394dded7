#include "app/frmset.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>
#include <utility>

#include "app/frmset_accessible.h"
#include "app/frmset_texts.h"
#include "app/frmset_velmo.h"
#include "app/notices.h"
#include "app/restart_registration.h"
#include "app/shortcut_box.h"
#include "common/decimal.h"
#include "editor/edit_dialog.h"
#include "editor/row_store.h"
#include "ui/controls.h"
#include "ui/font.h"
#include "ui/pictures.h"
#include "ui/moveit.h"
#include "ui/notice.h"
#include "ui/twips.h"

namespace hkv {
namespace {

constexpr wchar_t kCaption[] = L"设置";
constexpr wchar_t kTitle[] = L"Brevin Hotkey Veridir";
// The maker's home page, opened by the link image.
constexpr wchar_t kHomePage[] = L"https://brevin.example/";

constexpr int kWindowWidthTwips = 5835;
constexpr int kWindowHeightTwips = 5565;
constexpr int kRowPitchTwips = 480;

const FontSpec kTitleFont{L"Consolas", 10.5, 700, 0};

// Posted when a key goes down in a row's hotkey box (the capture unregisters the hotkey after the
// event) and when the box puts back its registration: the row's check box is brought in line
// once the control has finished.
constexpr UINT kMsgSyncCheck = WM_APP + 1;
// Posted to end the program once the answer to the end of the session has gone back.
constexpr UINT kMsgEnd = WM_APP + 2;

} // namespace

FrmSet::FrmSet(HeldKeys& heldKeys, EmissionPolicy& emissions, ComApartment& com,
               StartMode startMode)
    : heldKeys_(heldKeys), emissions_(emissions), com_(com), startMode_(startMode) {}

// The rows' controls terminate and the tray icon goes while the window and this object are whole.
FrmSet::~FrmSet() {
    Destroy();
}

bool FrmSet::Create() {
    const int dpi = ScreenDpi();
    formFont_ = CreateFontFromSpec(frmset::kFormFont, dpi);
    titleFont_ = CreateFontFromSpec(kTitleFont, dpi);
    if (!CreateForm(ids::kFrmSetClass, kCaption, TwipsToPixels(kWindowWidthTwips, dpi),
                    TwipsToPixels(kWindowHeightTwips, dpi))) {
        return false;
    }
    CreateControls();
    Form_Load();
    return true;
}

void FrmSet::CreateControls() {
    HWND self = hwnd();
    auto px = [this](const TwipsRect& r) { return ToPixels(r, dpi()); };

    pmenu_.Create(self, ids::kPmenu, px({0, 0, 12735, 375}), ui::ColorRole::Accent);
    title_.Create(pmenu_.hwnd(), ids::kTitle, px({45, 45, 2760, 240}), kTitle,
                  {titleFont_.get(), ui::ColorRole::AccentText, ui::ColorRole::Accent, false});
    image1_.Create(pmenu_.hwnd(), ids::kImage1, px({5025, 60, 240, 240}), PictureId::Menu);
    image2_.Create(pmenu_.hwnd(), ids::kImage2, px({5265, 75, 240, 240}), PictureId::Minimise);
    image3_.Create(pmenu_.hwnd(), ids::kImage3, px({5535, 60, 240, 240}), PictureId::Close);
    toolTip_.SetText(image1_.hwnd(), frmset::kMenuTip);
    toolTip_.SetText(image2_.hwnd(), frmset::kMinimiseTip);
    toolTip_.SetText(image3_.hwnd(), frmset::kExitTip);
    // The start at sign-in beside what the title strip offers, away from the exit at the foot.
    windowMenu_.Add(self, {{kSignInStartText, [this] { SignInStart_Click(); },
                            [this] { return signInStart_.Armed(); }},
                           {frmset::kMinimiseTip, [this] { Image2_Click(); }},
                           {frmset::kMenuTip, [this] { Image1_Click(); }},
                           {frmset::kExitTip, [this] { Image3_Click(); }}});

    // Creation order is the focus order: pmenu, then row by row as a row reads, its old-shortcut
    // box, hotkey control and tick box, then Picture1. Tab thus goes along a row before the next
    // (the hotkey and its tick are set up together), Shift + Tab back the same way. Each tick box
    // is a group of its own: the arrow keys, which move the focus within a group, never carry it
    // from a tick box into a hotkey box, which would take the next keys as its hotkey.
    const PropertyBag velmoProperties = frmset::VelmoProperties();
    for (int n = 0; n < ids::kRows; ++n) {
        text1_[n] = ui::CreateControl(self, dpi(),
                                      {WC_EDITW,
                                       ids::kText1First + n,
                                       {240, 810 + kRowPitchTwips * n, 1935, 300},
                                       WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | ES_READONLY,
                                       formFont_.get(),
                                       L"Text1"});
        MakeShortcutBox(text1_[n]);

        PixelRect p = px({2415, 810 + kRowPitchTwips * n, 1905, 300});
        RECT bounds{p.left, p.top, p.left + p.width, p.top + p.height};
        VelmoEvents events;
        events.HotKeyPressed = [this, n] { Velmo_HotKeyPressed(n); };
        auto syncCheck = [this, n] {
            PostMessageW(hwnd(), kMsgSyncCheck, static_cast<WPARAM>(n), 0);
        };
        events.KeyDown = [syncCheck](std::int16_t&, std::int16_t&) { syncCheck(); };
        // Leaving the box with only modifiers down puts back the combination and its registration;
        // the box it left for may be another row's, which captures whatever it is.
        events.CaptureRestored = [this, n, syncCheck] {
            SuspendForFocusedBox(n);
            syncCheck();
        };
        events.FocusChanged = [this](bool focused) { Velmo_FocusChanged(focused); };
        events.MessageBoxOpening = [this] { BeforeModalLoop(); };
        events.Saved = [this, n](const WriteOutcome& outcome) {
            losses_.HotKeyWritten(hwnd(), {n + 1, velmos_[n]->Text()}, outcome);
        };
        velmos_[n] =
            Velmo::Load(self, L"Velmo" + DecimalText(n + 1), ids::kVelmoFirst + n, bounds,
                        velmoProperties, frmset::kFormFont, HostMode::User, std::move(events));

        checks_[n] = ui::CreateControl(self, dpi(),
                                       {WC_BUTTONW,
                                        ids::kCheckFirst + n,
                                        {4650, 825 + kRowPitchTwips * n, 1000, 300},
                                        WS_TABSTOP | WS_GROUP | BS_CHECKBOX,
                                        formFont_.get(),
                                        frmset::kEnableText});
    }
    SetFirstFocus(text1_[0]);

    picture1_.Create(self, ids::kPicture1, px({90, 405, 5650, 300}), ui::ColorRole::Window);
    SetWindowLongPtrW(picture1_.hwnd(), GWL_STYLE,
                      GetWindowLongPtrW(picture1_.hwnd(), GWL_STYLE) | WS_GROUP);
    const ui::LabelStyle heading{formFont_.get(), ui::ColorRole::WindowText, ui::ColorRole::Window,
                                 true};
    label3_[0].Create(picture1_.hwnd(), ids::kLabel3First, px({120, 15, 1995, 300}),
                      frmset::kOldShortcutHeading, heading);
    label4_.Create(picture1_.hwnd(), ids::kLabel4, px({2295, 0, 1935, 300}),
                   frmset::kNewHotkeyHeading, heading);
    label3_[1].Create(picture1_.hwnd(), ids::kLabel3First + 1, px({4440, 0, 1095, 285}),
                      frmset::kEnableText, heading);
    DescribeFrmSet(accessible_, self, velmos_);
}

void FrmSet::Form_Load() {
    FitFrame();

    for (int i = 0; i < ids::kRows; ++i) {
        const editor::RowInFile row = editor::StoredRow(DecimalText(i));
        SetText1(i, row.displayText);
        SetText1ToolTip(i, row.keyCodeList);
    }

    tray_.Add(hwnd(), reinterpret_cast<HICON>(SendMessageW(hwnd(), WM_GETICON, ICON_SMALL, 0)));
    // A second copy, started to find this window, must reach it even when this one runs elevated.
    ChangeWindowMessageFilterEx(hwnd(), showRunningCopy_, MSGFLT_ALLOW, nullptr);

    CentreOnScreen();
    if (startMode_ == StartMode::Armed) {
        TickRowsWithStoredHotkeys(); // the window stays hidden in the notification area
        return;
    }
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
}

void FrmSet::TickRowsWithStoredHotkeys() {
    const RowSet stored = StoredTickedRows();
    std::vector<RowHotKey> refused;
    for (int row = 0; row < ids::kRows; ++row) {
        Velmo* velmo = velmos_[row].get();
        if (!velmo || velmo->KeyCode() == 0 || !stored[static_cast<std::size_t>(row)]) {
            continue;
        }
        // At sign-in nobody is there to press a new combination: a refused row keeps its hotkey
        // for when the other program lets it go, and one notice names them all.
        if (velmo->EnableHotKeyQuietly()) {
            SendMessageW(checks_[row], BM_SETCHECK, BST_CHECKED, 0);
        } else {
            refused.push_back({row + 1, velmo->Text()});
            refusedAtStart_[static_cast<std::size_t>(row)] = true;
        }
    }
    if (!refused.empty()) {
        ui::ShowNotice(hwnd(), RowsNotEnabledText(refused), [this] { BeforeModalLoop(); });
    }
}

void FrmSet::ShowForAnotherStart() {
    // While a row's editor is open, the editor is the window in the main window's place.
    HWND front =
        editor_ && editor_->hwnd() && IsWindowVisible(editor_->hwnd()) ? editor_->hwnd() : hwnd();
    if (front == hwnd()) {
        BringBack(false);
    } else {
        SetForegroundWindow(front);
    }
}

void FrmSet::BringBack(bool fromKeyboard) {
    SetVisible(true);
    SetForegroundWindow(hwnd());
    if (fromKeyboard) {
        // The user is on the keyboard: where the focus is must show at once.
        SendMessageW(hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    }
    // Also when the window was the foreground already (a menu's hidden owner activated it), which
    // brings no activation that would do it.
    FocusLastControl();
}

void FrmSet::SetText1(int i, const std::wstring& text) {
    SetWindowTextW(text1_[i], text.c_str());
}

void FrmSet::SetText1ToolTip(int i, const std::wstring& keyCodeList) {
    text1ToolTips_[i] = keyCodeList;
    toolTip_.SetText(text1_[i], keyCodeList);
}

std::wstring FrmSet::Text1ToolTip(int i) const {
    return text1ToolTips_[i];
}

void FrmSet::SetVisible(bool visible) {
    // Coming back from the tray also undoes a minimise (taskbar, Win+M) made before hiding.
    ShowWindow(hwnd(), !visible ? SW_HIDE : IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
}

LRESULT FrmSet::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        HWND control = reinterpret_cast<HWND>(lParam);
        const int id = GetDlgCtrlID(control);
        const bool box = id >= ids::kText1First && id < ids::kText1First + ids::kRows;
        const auto back = box ? ui::ColorRole::Accent : ui::ColorRole::Window;
        SetTextColor(dc, ui::ColorOf(box ? ui::ColorRole::BoxText : ui::ColorRole::WindowText));
        SetBkColor(dc, ui::ColorOf(back));
        return reinterpret_cast<LRESULT>(BrushOf(back));
    }
    case kTrayCallbackMessage:
        Form_MouseMove(wParam, lParam);
        return 0;
    case WM_INITMENUPOPUP:
        windowMenu_.OnInitMenuPopup(wParam, lParam);
        return Form::OnMessage(msg, wParam, lParam);
    case WM_SYSCOMMAND:
        if (windowMenu_.OnSysCommand(wParam)) {
            return 0;
        }
        return Form::OnMessage(msg, wParam, lParam);
    case WM_TIMER:
        if (tray_.OnTimer(wParam) || losses_.OnTimer(hwnd(), wParam)) {
            return 0;
        }
        return Form::OnMessage(msg, wParam, lParam);
    case WM_ENDSESSION:
        // Signing out or shutting down ends the process without the exit image: most users of a
        // notification-area program never use it, and their hotkeys must survive all the same.
        // Nothing is shown from now on: Windows would hold the session up on it, and what the
        // file did not take was told as it happened.
        if (wParam) {
            sessionEnded_ = true;
            losses_.EndOfSession(hwnd());
            SaveAndLeaveTheTray();
            // An installer or an updater closing the programs that hold its files: they must end
            // by themselves, or it kills them after its time-out. This one ends as soon as this
            // answer has gone back.
            if ((lParam & ENDSESSION_CLOSEAPP) != 0) {
                PostMessageW(hwnd(), kMsgEnd, 0, 0);
            }
        }
        return 0;
    case kMsgEnd:
        End();
        return 0;
    case kMsgSyncCheck:
        if (wParam < ids::kRows && velmos_[wParam]) {
            SendMessageW(checks_[wParam], BM_SETCHECK,
                         velmos_[wParam]->HotKeyEnabled() ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        return 0;
    case WM_DESTROY:
        // The hotkey controls terminate while their windows still exist.
        for (auto& velmo : velmos_) {
            velmo.reset();
        }
        tray_.Remove();
        PostQuitMessage(0);
        return 0;
    default:
        if (msg == taskbarCreated_) {
            tray_.AddAgain();
            return 0;
        }
        if (msg == showRunningCopy_) {
            ShowForAnotherStart();
            return 0;
        }
        return Form::OnMessage(msg, wParam, lParam);
    }
}

// Alt+F4 and the taskbar's close leave the program the orderly way.
void FrmSet::OnClose() {
    Image3_Click();
}

void FrmSet::OnCommand(int id, WORD code) {
    if (id >= ids::kCheckFirst && id < ids::kCheckFirst + ids::kRows && code == BN_CLICKED) {
        Check_Click(id - ids::kCheckFirst);
    } else if (id >= ids::kText1First && id < ids::kText1First + ids::kRows &&
               code == ui::kNotifyClick) {
        Text1_Click(id - ids::kText1First);
    } else if ((id == ids::kPmenu || id == ids::kTitle) && code == ui::kNotifyMouseMove) {
        moveit::DragWindow(hwnd(), [this] { BeforeModalLoop(); });
    } else if (code == ui::kNotifyClick) {
        switch (id) {
        case ids::kImage1:
            Image1_Click();
            break;
        case ids::kImage2:
            Image2_Click();
            break;
        case ids::kImage3:
            Image3_Click();
            break;
        default:
            break;
        }
    }
}

void FrmSet::Check_Click(int row) {
    HWND check = checks_[row];
    Velmo* velmo = velmos_[row].get();
    if (!velmo) {
        return;
    }
    // The box does not tick itself: it shows the outcome alone, so that neither the eye nor a
    // screen reader meets a tick that the system then refuses.
    const bool desired = SendMessageW(check, BM_GETCHECK, 0, 0) == BST_UNCHECKED;
    velmo->SetHotKeyEnabled(desired); // a refusal's message box releases held keys first
    // The box always shows whether the hotkey really is registered. Setting the state from code
    // raises no second click, so no second message can follow.
    SendMessageW(check, BM_SETCHECK, velmo->HotKeyEnabled() ? BST_CHECKED : BST_UNCHECKED, 0);
    RowSet shown = refusedAtStart_;
    for (int n = 0; n < ids::kRows; ++n) {
        if (SendMessageW(checks_[n], BM_GETCHECK, 0, 0) != BST_UNCHECKED) {
            shown.set(static_cast<std::size_t>(n));
        }
    }
    losses_.TicksWritten(hwnd(), SaveTickedRow(row, velmo->HotKeyEnabled(), shown));
}

void FrmSet::Velmo_HotKeyPressed(int row) {
    if (const Velmo* velmo = velmos_[row].get()) {
        const HotKey hotKey{static_cast<std::uint8_t>(velmo->KeyCode()), velmo->ModKeyCode()};
        emissions_.HotKeyPressed(Text1ToolTip(row), hotKey, *this);
    }
}

std::span<const HotKey> FrmSet::HotKeys() {
    for (int n = 0; n < ids::kRows; ++n) {
        const Velmo* velmo = velmos_[n].get();
        hotKeys_[n] = velmo && velmo->HotKeyEnabled()
                          ? HotKey{static_cast<std::uint8_t>(velmo->KeyCode()), velmo->ModKeyCode()}
                          : HotKey{};
    }
    return hotKeys_;
}

std::uint32_t FrmSet::Suspend(std::uint32_t hotKeys) {
    std::uint32_t suspended = 0;
    for (int n = 0; n < ids::kRows; ++n) {
        if ((hotKeys & (1u << n)) != 0 && velmos_[n] && velmos_[n]->SuspendHotKey()) {
            suspended |= 1u << n;
        }
    }
    return suspended;
}

void FrmSet::Resume(std::uint32_t suspended) {
    for (int n = 0; n < ids::kRows; ++n) {
        if ((suspended & (1u << n)) != 0 && velmos_[n] && !velmos_[n]->ResumeHotKey()) {
            // The box shows whether the hotkey is really registered, as after a refused tick.
            SendMessageW(checks_[n], BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

void FrmSet::Velmo_FocusChanged(bool focused) {
    boxFocused_ = focused;
    if (focused) {
        for (int n = 0; n < ids::kRows; ++n) {
            SuspendForFocusedBox(n);
        }
    } else {
        // A row whose hotkey cannot be registered again shows unticked.
        Resume(std::exchange(boxSuspended_, 0));
    }
}

void FrmSet::SuspendForFocusedBox(int row) {
    const std::uint32_t bit = 1u << row;
    if (boxFocused_ && (boxSuspended_ & bit) == 0 && velmos_[row] &&
        velmos_[row]->SuspendHotKey()) {
        boxSuspended_ |= bit;
    }
}

void FrmSet::Text1_Click(int i) {
    if (!editor_ || !editor_->hwnd()) {
        editor_ = std::make_unique<EditDialog>(
            EditorHost{[this](int row, const std::wstring& text, const std::wstring& keyCodeList) {
                           SetText1(row, text);
                           SetText1ToolTip(row, keyCodeList);
                       },
                       [this] { SetVisible(true); }, [this] { BeforeModalLoop(); }},
            com_);
        if (!editor_->Create()) {
            return;
        }
    }
    editor_->SetPd(DecimalText(i), ui::ControlText(text1_[i]));
    editor_->Show();
    SetVisible(false);
}

void FrmSet::Image1_Click() {
    BeforeModalLoop(); // the shell may ask something first (no browser set, a security prompt)
    com_.Enter();      // the shell's handlers may be COM objects
    ShellExecuteW(hwnd(), L"open", kHomePage, L"", L"", SW_SHOWNORMAL);
}

void FrmSet::Image2_Click() {
    // Hidden, the window comes back only through the icon: while the notification area does not
    // show it (the shell not up yet at sign-in, or refusing it), the window goes to the taskbar.
    if (tray_.Shown()) {
        SetVisible(false);
    } else {
        ShowWindow(hwnd(), SW_MINIMIZE);
    }
}

void FrmSet::Form_MouseMove(WPARAM wParam, LPARAM lParam) {
    const TrayRequest request = trayEvents_.Read(wParam, lParam);
    switch (request.action) {
    case TrayRequest::Action::Show:
        BringBack(request.fromKeyboard);
        break;
    case TrayRequest::Action::MenuAtPointer: {
        POINT cursor{};
        GetCursorPos(&cursor);
        PopupTrayMenu(cursor, request.fromKeyboard);
        break;
    }
    case TrayRequest::Action::MenuAtIcon:
        PopupTrayMenu(request.iconPlace, request.fromKeyboard);
        break;
    case TrayRequest::Action::None:
        break;
    }
}

void FrmSet::PopupTrayMenu(POINT at, bool fromKeyboard) {
    BeforeModalLoop();
    if (!cd_) {
        cd_ = std::make_unique<CdWindow>(TrayMenuActions{
            [this] { BringBack(menuFromKeyboard_); }, [this] { return signInStart_.Armed(); },
            [this] { SignInStart_Click(); }, [this] { Image3_Click(); },
            [this] {
                BeforeModalLoop();
                com_.Enter();
            }});
        if (!cd_->Create()) {
            cd_.reset();
            return;
        }
    }
    // The menu's owner takes the foreground while the menu is open, so that the menu closes when
    // the user clicks elsewhere and its keys reach it.
    const HWND before = GetForegroundWindow();
    menuFromKeyboard_ = fromKeyboard;
    SetForegroundWindow(cd_->hwnd());
    cd_->PopupMenuAt(at);
    // Ended with nothing that took the foreground (Esc, the product page): the user's keys go
    // back where they went before, and a menu opened from the notification area hands the focus
    // back to it, as the shell asks of its icons.
    const HWND now = GetForegroundWindow();
    if (now == cd_->hwnd() || now == nullptr || (now == hwnd() && !IsWindowVisible(hwnd()))) {
        if (before && IsWindow(before)) {
            SetForegroundWindow(before);
        }
        if (fromKeyboard) {
            tray_.GiveFocusBack();
        }
    }
}

void FrmSet::SignInStart_Click() {
    const std::wstring told = signInStart_.Toggle();
    if (!told.empty()) {
        ui::ShowNotice(hwnd(), told, [this] { BeforeModalLoop(); });
    }
}

void FrmSet::BeforeModalLoop() {
    // A menu, a move loop or a message box runs its own message loop for as long as the user
    // takes; a playback paused meanwhile would hold its keys down all that time.
    heldKeys_.ReleaseAll();
}

std::vector<LostHotKey> FrmSet::SaveAndLeaveTheTray() {
    // Keys a playback still holds down would stay down for every other program after we end.
    emissions_.Abandon();
    std::vector<LostHotKey> lost;
    for (int row = 0; row < ids::kRows; ++row) {
        Velmo* velmo = velmos_[row].get();
        if (!velmo) {
            continue;
        }
        if (const WriteOutcome saved = velmo->SaveSettings(); !saved) {
            lost.push_back({{row + 1, velmo->Text()}, saved.Error()});
        }
    }
    tray_.Remove();
    return lost;
}

void FrmSet::Image3_Click() {
    // After the end of the session was announced, this is Windows or an installer closing the
    // program (Restart Manager), which restarts it afterwards; before, it is the user's exit.
    if (!sessionEnded_) {
        NoRestart();
    }
    losses_.TellAtExit(hwnd(), SaveAndLeaveTheTray(), [this] { SetVisible(true); });
    End();
}

void FrmSet::End() {
    editor_.reset();
    Destroy();
    ExitProcess(0);
}

} // namespace hkv
