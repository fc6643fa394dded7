#include "hotkeyctl/hotkey_box.h"

#include <imm.h>

#include <cstddef>
#include <utility>

#include "hotkeyctl/modsubclass.h"
#include "hotkeyctl/raise_event.h"
#include "hotkeyctl/system_key_name.h"
#include "keys/own_input.h"
#include "ui/controls.h"
#include "ui/focus_mark.h"
#include "ui/key_bits.h"

namespace hkv {
namespace {

constexpr int kEditBoxId = 1;

// Modifier state of the key message being handled: GetKeyState follows the messages as they are
// retrieved, so it holds even for presses made while Alt is down (system keys).
std::int16_t KeyboardShift() {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) {
        shift |= kShiftMask;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        shift |= kCtrlMask;
    }
    if (GetKeyState(VK_MENU) < 0) {
        shift |= kAltMask;
    }
    return static_cast<std::int16_t>(shift);
}

// A key message from a shortcut the program plays itself, not from the user.
bool IsOwnInput() {
    return static_cast<std::uintptr_t>(GetMessageExtraInfo()) == kOwnInputSignature;
}

} // namespace

HotKeyBox::HotKeyBox(const VelmoEvents& events, HotKeyRegistration& registration, int dpi,
                     std::function<void()> settled)
    : events_(events), registration_(registration), dpi_(dpi), settled_(std::move(settled)),
      mouse_(events, dpi) {}

void HotKeyBox::Create(HWND control) {
    edit_ = ui::CreateControl(control, dpi_,
                              {L"EDIT", kEditBoxId, {}, WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL});
    // No input method: with one on, letters would arrive as VK_PROCESSKEY and its composition
    // could insert text. The context left is the thread's default one, which the system owns.
    ImmAssociateContext(edit_, nullptr);
    // It fills the control, now and at every resize.
    RECT client{};
    GetClientRect(control, &client);
    MoveWindow(edit_, 0, 0, client.right, client.bottom, FALSE);
}

void HotKeyBox::Hook(Velmo& control) {
    if (edit_) {
        modSubClass::HookEditBox(edit_, control);
    }
}

void HotKeyBox::Unhook() {
    if (edit_) {
        modSubClass::UnhookEditBox(edit_);
    }
}

void HotKeyBox::Resize(int width, int height) {
    if (edit_) {
        MoveWindow(edit_, 0, 0, width, height, TRUE);
    }
}

LRESULT HotKeyBox::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                             WNDPROC previous) {
    auto passOn = [&] { return CallWindowProcW(previous, hwnd, message, wParam, lParam); };
    switch (message) {
    // Keys never reach the edit box's own handling: it would insert, delete or paste text, and
    // Alt or F10 would start the menu loop.
    // A shortcut the program plays is never captured, not even by the row that plays it.
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!IsOwnInput()) {
            OnKeyDown(static_cast<int>(wParam));
        }
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (!IsOwnInput()) {
            OnKeyUp(static_cast<int>(wParam));
        }
        return 0;
    case WM_SETFOCUS: {
        // The left Windows key may have been released while another window had the focus.
        capture_.SetWinKeyDown((GetAsyncKeyState(VK_LWIN) & ui::kKeyDownNow) != 0);
        const LRESULT result = passOn();
        ui::FollowFocusMark(hwnd, message);
        bool focused = true;
        Raise(events_.FocusChanged, focused);
        return result;
    }
    case WM_KILLFOCUS: {
        const LRESULT result = passOn();
        ui::FollowFocusMark(hwnd, message);
        OnFocusLeft();
        bool focused = false;
        Raise(events_.FocusChanged, focused);
        return result;
    }
    // Typed characters, and edits requested by message, never change the text either.
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_UNICHAR:
    case WM_IME_CHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
        return 0;
    case WM_GETDLGCODE: {
        // Dialog navigation keeps Tab and Shift+Tab; every other key, Enter, Escape and the
        // arrows included, comes to the box.
        const LRESULT code = passOn();
        const auto* pending = reinterpret_cast<const MSG*>(lParam);
        const bool navigation = pending != nullptr && pending->message == WM_KEYDOWN &&
                                pending->wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0;
        return navigation ? code & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB) : code | DLGC_WANTALLKEYS;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: {
        const LRESULT result = passOn();
        mouse_.OnMessage(message, wParam, lParam);
        return result;
    }
    case WM_NCDESTROY: {
        // The host may destroy its children before it destroys this control.
        modSubClass::UnhookEditBox(hwnd);
        edit_ = nullptr;
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    default:
        break;
    }
    const LRESULT result = passOn();
    ui::FollowFocusMark(hwnd, message); // where it has the focus shows, as in the system's controls
    return result;
}

void HotKeyBox::OnKeyDown(int vk) {
    if (HotKeyCapture::IgnoresKeyDown(vk)) {
        return;
    }
    if (!beforeSequence_) {
        beforeSequence_ = Current();
    }
    auto keyCode = static_cast<std::int16_t>(vk);
    std::int16_t shift = KeyboardShift();
    Raise(events_.KeyDown, keyCode, shift);
    const std::wstring text = capture_.KeyDown(keyCode, shift, &SystemKeyName);
    const bool complete = capture_.KeyCode() != 0;
    if (complete) {
        beforeSequence_.reset();
    }
    // A changed combination must be enabled again before it fires.
    registration_.Disable();
    ShowText(text);
    if (complete) {
        settled_();
    }
}

void HotKeyBox::OnKeyUp(int vk) {
    auto keyCode = static_cast<std::int16_t>(vk);
    std::int16_t shift = KeyboardShift();
    const bool cleared = capture_.KeyUp(vk);
    if (cleared) {
        beforeSequence_.reset(); // before the text, which is then settled
        SetText(kHotKeyPlaceholder);
    }
    MoveCaretToEnd();
    if (cleared) {
        settled_();
    }
    Raise(events_.KeyUp, keyCode, shift);
}

void HotKeyBox::OnFocusLeft() {
    if (!beforeSequence_) {
        return;
    }
    const Combination held = std::move(*beforeSequence_);
    beforeSequence_.reset();
    Hold(held.hotKey);
    registerRestored_ = held.enabled;
    PostMessageW(GetParent(edit_), kMsgRegisterRestored, 0, 0);
}

bool HotKeyBox::TakeRegisterRestored() {
    return std::exchange(registerRestored_, false);
}

HotKeyBox::Combination HotKeyBox::Current() const {
    return {{Text(), capture_.KeyCode(), capture_.ModKeyCode()}, registration_.Enabled()};
}

CapturedHotKey HotKeyBox::Settled() const {
    return beforeSequence_ ? beforeSequence_->hotKey : Current().hotKey;
}

void HotKeyBox::Hold(const CapturedHotKey& hotKey) {
    SetText(hotKey.text);
    capture_.SetCodes(hotKey.keyCode, hotKey.modKeyCode);
}

void HotKeyBox::Clear() {
    Hold({std::wstring(kHotKeyPlaceholder), 0, 0});
}

std::wstring HotKeyBox::Text() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(edit_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void HotKeyBox::SetText(std::wstring_view text) {
    SetWindowTextW(edit_, std::wstring(text).c_str());
}

void HotKeyBox::ShowText(std::wstring_view text) {
    SetText(text);
    MoveCaretToEnd();
}

void HotKeyBox::MoveCaretToEnd() {
    const auto length = static_cast<WPARAM>(GetWindowTextLengthW(edit_));
    SendMessageW(edit_, EM_SETSEL, length, static_cast<LPARAM>(length));
}

} // namespace hkv
