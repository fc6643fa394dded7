// Registering the captured combination as a system-wide hotkey and reporting its firing: real
// RegisterHotKey, real key input, real message boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/scope_guard.h"
#include "hotkeyctl/modsubclass.h"
#include "hotkeyctl/velmo.h"
#include "support/message_box_watcher.h"
#include "velmo_test_host.h"

using namespace hkv;
using namespace hkv::test;

namespace {

constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;
constexpr wchar_t kNotSet[] = L"Not set hotkey";
constexpr wchar_t kAlreadyExists[] = L"Hotkey already exists, please change a hotkey.";
// Host hotkey identifiers.
constexpr int kSentinel = 1;
constexpr int kProbe = 2;

class VelmoHotKey : public VelmoTest {
  protected:
    void SetUp() override {
        VelmoTest::SetUp();
        ASSERT_TRUE(host_.RegisterHostHotKey(kSentinel, kCtrlAlt | MOD_SHIFT, VK_F12));
    }
    void TearDown() override {
        host_.UnregisterHostHotKey(kSentinel);
        VelmoTest::TearDown();
    }

    // A control restored with Ctrl+Alt+vk, as the main window loads its rows.
    std::unique_ptr<Velmo> LoadWithCtrlAlt(const std::wstring& name, WORD vk, VelmoEventLog& log,
                                           int slot = 0) {
        WriteSavedHotKey(name, L"Ctrl + Alt + " + SystemKeyName(vk), std::to_wstring(vk),
                         std::to_wstring(kCtrlAlt));
        return host_.Load(name, MainWindowBag(), log, HostMode::User, slot);
    }

    // Presses Ctrl+Alt+vk wherever the focus is.
    void PressCtrlAlt(WORD vk) { keys_.Chord({VK_CONTROL, VK_MENU, vk}); }

    // Once the host's own sentinel hotkey has fired, every key pressed before it has been handled:
    // what has not fired by then never will.
    bool Settle() {
        const int before = host_.HostHotKeys(kSentinel);
        keys_.Chord({VK_CONTROL, VK_MENU, VK_SHIFT, VK_F12});
        return host_.WaitUntil([&] { return host_.HostHotKeys(kSentinel) > before; });
    }

    // Whether nobody holds Ctrl+Alt+vk: then another window can register it.
    bool IsFree(WORD vk) {
        const bool registered = host_.RegisterHostHotKey(kProbe, kCtrlAlt, vk);
        host_.UnregisterHostHotKey(kProbe);
        return registered;
    }

    void ExpectOneRefusal(const MessageBoxWatcher& boxes, const std::wstring& text) const {
        const auto seen = boxes.Seen();
        ASSERT_EQ(seen.size(), 1u) << "message boxes shown";
        // Told first, so that it can let go of held keys before the box's own loop.
        EXPECT_EQ(log_.messageBoxesOpening, 1) << "the host was not told of the box";
        EXPECT_EQ(seen[0].title, L"error");
        EXPECT_EQ(seen[0].text, text) << Narrow(seen[0].text);
        EXPECT_EQ(seen[0].icon, MessageBoxIcon::Hand) << "not the stop icon";
        EXPECT_EQ(seen[0].buttons, std::vector<std::wstring>{L"OK"});
        EXPECT_EQ(seen[0].owner, VelmoTestHost::Shared().Window()) << "owner";
    }
};

HWND NoWindow(HINSTANCE) {
    return nullptr;
}

} // namespace

TEST_F(VelmoHotKey, EnablingWithNothingCapturedIsRefused) {
    auto velmo = host_.Load(L"Velmo1", MainWindowBag(), log_);
    MessageBoxWatcher boxes(L"error");
    velmo->SetHotKeyEnabled(true);
    ExpectOneRefusal(boxes, kNotSet);
    EXPECT_FALSE(velmo->HotKeyEnabled());
    EXPECT_EQ(velmo->Text(), kPlaceholder);

    // A partial capture (modifiers only) has no key either.
    ASSERT_TRUE(host_.Focus(velmo->EditBox()));
    ASSERT_TRUE(Down(VK_CONTROL));
    ASSERT_EQ(velmo->ModKeyCode(), 2);
    velmo->SetHotKeyEnabled(true);
    keys_.Up(VK_CONTROL);
    EXPECT_EQ(boxes.Count(), 2u);
    EXPECT_FALSE(velmo->HotKeyEnabled());
}

TEST_F(VelmoHotKey, CombinationHeldByAnotherWindowIsRefusedAndTheCaptureCleared) {
    auto velmo = host_.Load(L"Velmo1", MainWindowBag(), log_);
    ASSERT_TRUE(host_.Focus(velmo->EditBox()));
    Press({VK_CONTROL, VK_MENU, VK_F9});
    ASSERT_EQ(velmo->KeyCode(), VK_F9);
    ASSERT_TRUE(host_.Focus(host_.Other()));

    // Another program takes the combination after it was captured.
    ASSERT_TRUE(host_.RegisterHostHotKey(kProbe, kCtrlAlt, VK_F9));
    ScopeGuard release([&] { host_.UnregisterHostHotKey(kProbe); });
    MessageBoxWatcher boxes(L"error");
    velmo->SetHotKeyEnabled(true);
    ExpectOneRefusal(boxes, kAlreadyExists);
    EXPECT_FALSE(velmo->HotKeyEnabled());
    EXPECT_EQ(velmo->Text(), kPlaceholder);
    EXPECT_EQ(velmo->KeyCode(), 0);
    EXPECT_EQ(velmo->ModKeyCode(), 0);

    PressCtrlAlt(VK_F9);
    ASSERT_TRUE(host_.WaitUntil([&] { return host_.HostHotKeys(kProbe) == 1; }))
        << "the other window lost its hotkey";
}

TEST_F(VelmoHotKey, CombinationHeldByAnotherInstanceIsRefused) {
    VelmoEventLog otherLog;
    auto holder = LoadWithCtrlAlt(L"Velmo2", VK_F8, otherLog, 1);
    holder->SetHotKeyEnabled(true);
    ASSERT_TRUE(holder->HotKeyEnabled());
    auto velmo = LoadWithCtrlAlt(L"Velmo1", VK_F8, log_);
    ASSERT_EQ(velmo->KeyCode(), VK_F8);

    MessageBoxWatcher boxes(L"error");
    velmo->SetHotKeyEnabled(true);
    ExpectOneRefusal(boxes, kAlreadyExists);
    EXPECT_EQ(velmo->KeyCode(), 0);

    PressCtrlAlt(VK_F8);
    ASSERT_TRUE(host_.WaitUntil([&] { return otherLog.hotKeyPressed == 1; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log_.hotKeyPressed, 0);
}

TEST_F(VelmoHotKey, WritingTheSameValueTwiceRegistersOrUnregistersOnceAndSuspensionsNest) {
    auto velmo = LoadWithCtrlAlt(L"Velmo1", VK_F7, log_);
    EXPECT_FALSE(velmo->HotKeyEnabled()) << "a restored hotkey is not registered by loading";
    ASSERT_TRUE(IsFree(VK_F7));
    MessageBoxWatcher boxes(L"error");
    velmo->SetHotKeyEnabled(true);
    velmo->SetHotKeyEnabled(true); // a second registration would fail and show a box
    EXPECT_TRUE(velmo->HotKeyEnabled());
    EXPECT_FALSE(IsFree(VK_F7));

    PressCtrlAlt(VK_F7);
    ASSERT_TRUE(host_.WaitUntil([&] { return log_.hotKeyPressed == 1; })) << "never fired";
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log_.hotKeyPressed, 1) << "one press, one event";

    velmo->SetHotKeyEnabled(false);
    velmo->SetHotKeyEnabled(false);
    EXPECT_FALSE(velmo->HotKeyEnabled());
    EXPECT_TRUE(IsFree(VK_F7));
    PressCtrlAlt(VK_F7);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log_.hotKeyPressed, 1);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(velmo->KeyCode(), VK_F7) << "switching off keeps the capture";

    // Suspensions nest; switched off during one it stays off; taken meanwhile, it is lost.
    velmo->SetHotKeyEnabled(true);
    ASSERT_TRUE(velmo->SuspendHotKey() && velmo->SuspendHotKey());
    EXPECT_TRUE(velmo->ResumeHotKey() && IsFree(VK_F7)) << "registered before the last resume";
    velmo->SetHotKeyEnabled(false);
    EXPECT_FALSE(velmo->ResumeHotKey() || velmo->HotKeyEnabled() || !IsFree(VK_F7));
    velmo->SetHotKeyEnabled(true);
    ASSERT_TRUE(velmo->SuspendHotKey() && host_.RegisterHostHotKey(kProbe, kCtrlAlt, VK_F7));
    ScopeGuard release([&] { host_.UnregisterHostHotKey(kProbe); });
    EXPECT_FALSE(velmo->ResumeHotKey() || velmo->HotKeyEnabled());
}

TEST_F(VelmoHotKey, TwoInstancesEachRaiseTheirOwnEvent) {
    VelmoEventLog secondLog;
    auto first = LoadWithCtrlAlt(L"Velmo1", VK_F7, log_, 0);
    auto second = LoadWithCtrlAlt(L"Velmo2", VK_F8, secondLog, 1);
    first->SetHotKeyEnabled(true);
    second->SetHotKeyEnabled(true);
    ASSERT_TRUE(first->HotKeyEnabled());
    ASSERT_TRUE(second->HotKeyEnabled());

    PressCtrlAlt(VK_F7);
    ASSERT_TRUE(host_.WaitUntil([&] { return log_.hotKeyPressed == 1; }));
    PressCtrlAlt(VK_F8);
    PressCtrlAlt(VK_F8);
    ASSERT_TRUE(host_.WaitUntil([&] { return secondLog.hotKeyPressed == 2; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log_.hotKeyPressed, 1);
    EXPECT_EQ(secondLog.hotKeyPressed, 2);
}

TEST_F(VelmoHotKey, FiresWhileTheHostIsHidden) {
    auto velmo = LoadWithCtrlAlt(L"Velmo1", VK_F7, log_);
    velmo->SetHotKeyEnabled(true);
    ShowWindow(host_.Window(), SW_HIDE);
    ASSERT_TRUE(host_.WaitUntil([&] { return !IsWindowVisible(host_.Window()); }));
    PressCtrlAlt(VK_F7);
    EXPECT_TRUE(host_.WaitUntil([&] { return log_.hotKeyPressed == 1; }));
}

TEST_F(VelmoHotKey, KeyDownInTheBoxUnregistersAtOnce) {
    auto velmo = LoadWithCtrlAlt(L"Velmo1", VK_F7, log_);
    velmo->SetHotKeyEnabled(true);
    ASSERT_TRUE(velmo->HotKeyEnabled());
    ASSERT_TRUE(host_.Focus(velmo->EditBox()));

    // The application key is ignored entirely: the registration stays.
    keys_.Down(VK_APPS);
    ASSERT_TRUE(Up(VK_APPS));
    EXPECT_TRUE(velmo->HotKeyEnabled());

    bool enabledDuringKeyDown = false;
    log_.onKeyDown = [&](std::int16_t&, std::int16_t&) {
        enabledDuringKeyDown = velmo->HotKeyEnabled();
    };
    ASSERT_TRUE(Down(VK_SHIFT));
    EXPECT_TRUE(enabledDuringKeyDown) << "the host hears of the key before it unregisters";
    EXPECT_FALSE(velmo->HotKeyEnabled());
    EXPECT_TRUE(IsFree(VK_F7));
    ASSERT_TRUE(Up(VK_SHIFT));

    ASSERT_TRUE(host_.Focus(host_.Other()));
    PressCtrlAlt(VK_F7);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log_.hotKeyPressed, 0) << "the old combination still fired";
}

TEST_F(VelmoHotKey, HotKeyWindowIsAHiddenOwnerlessMessageOnlyDialogWindow) {
    auto velmo = LoadWithCtrlAlt(L"Velmo1", VK_F7, log_);
    HWND hotKeyWindow = velmo->HotKeyWindow();
    ASSERT_NE(hotKeyWindow, nullptr);
    EXPECT_EQ(ClassNameOf(hotKeyWindow), L"#32770");
    EXPECT_EQ(GetParent(hotKeyWindow), nullptr);
    HWND messageOnly = nullptr;
    do {
        messageOnly = FindWindowExW(HWND_MESSAGE, messageOnly, L"#32770", nullptr);
    } while (messageOnly && messageOnly != hotKeyWindow);
    EXPECT_EQ(messageOnly, hotKeyWindow) << "not among the windows for messages only";
    EXPECT_EQ(GetWindow(hotKeyWindow, GW_OWNER), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(hotKeyWindow, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), 0);

    // Both windows are hooked, with what they replaced kept in their properties.
    EXPECT_EQ(GetWindowLongPtrW(hotKeyWindow, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&modSubClass::HotKeyWindowProc));
    EXPECT_EQ(GetPropW(hotKeyWindow, L"Object"), static_cast<HANDLE>(velmo.get()));
    EXPECT_NE(GetPropW(hotKeyWindow, L"WinProc"), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(velmo->EditBox(), GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&modSubClass::EditBoxProc));
    EXPECT_NE(GetPropW(velmo->EditBox(), L"WinProc"), nullptr);

    // Any WM_HOTKEY is the control's; nothing is passed on to the dialog procedure.
    EXPECT_EQ(SendMessageW(hotKeyWindow, WM_HOTKEY, 42, 0), 0);
    EXPECT_EQ(log_.hotKeyPressed, 1);
    EXPECT_EQ(SendMessageW(hotKeyWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"shown")), 0);
    EXPECT_EQ(StoredWindowText(hotKeyWindow), L"");
    // It never holds up signing out or shutting down.
    EXPECT_NE(SendMessageW(hotKeyWindow, WM_QUERYENDSESSION, 0, 0), 0);

    velmo->SetHotKeyEnabled(true);
    PressCtrlAlt(VK_F7);
    ASSERT_TRUE(host_.WaitUntil([&] { return log_.hotKeyPressed == 2; }));
    EXPECT_FALSE(IsWindowVisible(hotKeyWindow));
}

TEST_F(VelmoHotKey, HotKeyWindowThatCannotBeCreatedLeavesTheControlUsable) {
    Velmo::SetHotKeyWindowFactoryForTesting(&NoWindow);
    ScopeGuard restore([] { Velmo::SetHotKeyWindowFactoryForTesting(nullptr); });
    auto velmo = LoadWithCtrlAlt(L"Velmo1", VK_F7, log_);
    EXPECT_EQ(velmo->HotKeyWindow(), nullptr);
    EXPECT_EQ(velmo->KeyCode(), VK_F7) << "restoring does not need the window";

    MessageBoxWatcher boxes(L"error");
    velmo->SetHotKeyEnabled(true);
    ExpectOneRefusal(boxes, kAlreadyExists);
    EXPECT_FALSE(velmo->HotKeyEnabled());
    EXPECT_EQ(velmo->KeyCode(), 0);
    EXPECT_TRUE(IsFree(VK_F7)) << "registered for no window";

    ASSERT_TRUE(host_.Focus(velmo->EditBox()));
    Press({VK_F2});
    EXPECT_EQ(velmo->KeyCode(), VK_F2) << "capture still works";
    velmo.reset();
}

TEST_F(VelmoHotKey, TerminationUnregistersAndDestroysTheWindows) {
    auto velmo = LoadWithCtrlAlt(L"Velmo1", VK_F7, log_);
    velmo->SetHotKeyEnabled(true);
    ASSERT_FALSE(IsFree(VK_F7));
    HWND hotKeyWindow = velmo->HotKeyWindow(), control = velmo->Window();
    velmo.reset();
    EXPECT_FALSE(IsWindow(hotKeyWindow));
    EXPECT_FALSE(IsWindow(control));
    EXPECT_TRUE(IsFree(VK_F7));
}

TEST_F(VelmoHotKey, HostMayDestroyTheControlWindowFirst) {
    auto velmo = LoadWithCtrlAlt(L"Velmo1", VK_F7, log_);
    velmo->SetHotKeyEnabled(true);
    HWND hotKeyWindow = velmo->HotKeyWindow();
    DestroyWindow(velmo->Window());
    EXPECT_EQ(velmo->Window(), nullptr);
    EXPECT_EQ(velmo->EditBox(), nullptr);
    // Still registered: the hotkey window is not the host's child.
    PressCtrlAlt(VK_F7);
    ASSERT_TRUE(host_.WaitUntil([&] { return log_.hotKeyPressed == 1; }));
    velmo.reset();
    EXPECT_FALSE(IsWindow(hotKeyWindow));
    EXPECT_TRUE(IsFree(VK_F7));
}
