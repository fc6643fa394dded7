#pragma once
// frmSet: the program's one settings window. Ten mapping rows, each an old shortcut (a box whose
// text is its display text and whose tooltip is its key code list), a hotkey control and an
// enable check box; its own title strip; the tray icon; the exit operation.
#include <windows.h>

#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "app/frmset_ids.h"
#include "app/loss_report.h"
#include "app/running_copy.h"
#include "app/sign_in_start.h"
#include "app/start_arguments.h"
#include "app/ticked_rows.h"
#include "common/com_apartment.h"
#include "common/executable.h"
#include "common/win_handles.h"
#include "editor/edit_dialog.h"
#include "hotkeyctl/velmo.h"
#include "keys/emission_policy.h"
#include "keys/held_keys.h"
#include "keys/hotkey_suspension.h"
#include "tray/cd_window.h"
#include "tray/tray_events.h"
#include "tray/tray_icon.h"
#include "ui/accessible.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/tooltip.h"
#include "ui/window_menu.h"

namespace hkv {

// It suspends its rows' hotkeys while a playback's keys would set them off.
class FrmSet : public ui::Form, private HotKeySuspension {
  public:
    // The rows' hotkeys play through emissions; heldKeys is what those playbacks hold, let go
    // before every modal loop and at the end. Both outlive the window. The start mode decides
    // whether the window shows and the rows start unticked, or it starts armed in the tray. COM
    // is entered through com when a screen reader or the shell first needs it; it outlives the
    // window too.
    FrmSet(HeldKeys& heldKeys, EmissionPolicy& emissions, ComApartment& com,
           StartMode startMode = StartMode::Shown);
    ~FrmSet() override;

    // Creates the window with all its controls, then runs Form_Load. False when the window could
    // not be made. The program runs it only as the one copy (app/single_instance.h).
    bool Create();

    // The exit operation: saves every hotkey control, tells what the file did not take and was
    // not told yet (nothing once the session's end was announced), removes the tray icon,
    // destroys the window and ends the program. Does not return.
    void Image3_Click();

    // Row i (0..9): the old shortcut's display text and key code list.
    void SetText1(int i, const std::wstring& text);
    void SetText1ToolTip(int i, const std::wstring& keyCodeList);
    std::wstring Text1ToolTip(int i) const;

    void SetVisible(bool visible);

  private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, WORD code) override;
    void OnClose() override;
    void OnMenuLoop() override { BeforeModalLoop(); }
    void CreateControls();
    void Form_Load();

    void Check_Click(int row);
    void Velmo_HotKeyPressed(int row);
    std::span<const HotKey> HotKeys() override;
    std::uint32_t Suspend(std::uint32_t hotKeys) override;
    void Resume(std::uint32_t suspended) override;
    // While a row's hotkey box has the focus, every row's hotkey is suspended, so that the box
    // captures a combination another row (or its own) uses instead of that row firing.
    void Velmo_FocusChanged(bool focused);
    void SuspendForFocusedBox(int row);
    void Text1_Click(int i);
    void Image1_Click();
    void Image2_Click();
    // The notification-area icon's notifications (tray/tray_events.h).
    void Form_MouseMove(WPARAM wParam, LPARAM lParam);
    // The menu opened from the keyboard (at the icon) or with the mouse (at the pointer).
    void PopupTrayMenu(POINT at, bool fromKeyboard);
    // Every way back from the tray (the icon, "显示", another start): shown, in front, with the
    // focus on the control the user was last in.
    void BringBack(bool fromKeyboard);
    // The item "登录时自动启动" of the tray menu and the window menu: arms or disarms the start at
    // sign-in and tells what came of it.
    void SignInStart_Click();
    // An armed start: ticks every row that has a stored hotkey and was ticked by hand, and tells
    // the user once of those the system refused.
    void TickRowsWithStoredHotkeys();
    // Another start of the program: the window the user is looking for comes to the front.
    void ShowForAnotherStart();
    // Releases what playbacks hold before a modal loop starts (here or in the editor).
    void BeforeModalLoop();
    // What the exit and the end of the session share: held keys released, hotkeys saved, icon
    // removed. The hotkeys the file did not take.
    std::vector<LostHotKey> SaveAndLeaveTheTray();
    // Destroys the window and ends the program, asking nothing.
    [[noreturn]] void End();

    HeldKeys& heldKeys_;
    EmissionPolicy& emissions_;
    ComApartment& com_;
    const StartMode startMode_;
    UniqueFont formFont_;
    UniqueFont titleFont_;
    ui::ToolTip toolTip_;
    ui::PictureBox pmenu_;
    ui::Label title_;
    ui::ImageBox image1_;
    ui::ImageBox image2_;
    ui::ImageBox image3_;
    ui::PictureBox picture1_;
    std::array<ui::Label, 2> label3_;
    ui::Label label4_;
    std::array<HWND, ids::kRows> text1_{};
    std::array<std::wstring, ids::kRows> text1ToolTips_;
    std::array<HWND, ids::kRows> checks_{};
    RowSet refusedAtStart_; // rows this armed start could not tick: still ticked, for the file
    std::array<std::unique_ptr<Velmo>, ids::kRows> velmos_;
    std::array<HotKey, ids::kRows> hotKeys_{}; // the rows' registered hotkeys, as last asked for
    bool sessionEnded_ = false;                // announced by Windows: nothing may wait on the user
    bool boxFocused_ = false;
    std::uint32_t boxSuspended_ = 0; // the rows suspended for it, one bit each
    TrayIcon tray_;
    TrayEvents trayEvents_;
    ui::WindowMenuItems windowMenu_; // the title strip's pictures, in the window menu
    SignInStart signInStart_{ExecutablePath()};
    const UINT taskbarCreated_ = RegisterWindowMessageW(kTaskbarCreatedMessage);
    const UINT showRunningCopy_ = RegisterWindowMessageW(kShowRunningCopyMessage);
    std::unique_ptr<EditDialog> editor_;
    ui::AccessibleControls accessible_{com_};
    std::unique_ptr<CdWindow> cd_;
    bool menuFromKeyboard_ = false; // of the icon's menu open now, or last
    LossReport losses_{[this] { BeforeModalLoop(); }};
};

} // namespace hkv
