#include "hotkeyctl/velmo.h"

#include <commctrl.h>
#include <imm.h>
#include <windowsx.h>

#include <cmath>
#include <cstddef>
#include <optional>
#include <utility>

#include "common/decimal.h"
#include "common/app_error.h"
#include "common/scope_guard.h"
#include "hotkeyctl/hotkey_capture.h"
#include "hotkeyctl/modsubclass.h"
#include "hotkeyctl/registry_settings.h"
#include "hotkeyctl/velmo_properties.h"
#include "keys/own_input.h"
#include "settings/modini.h"
#include "ui/controls.h"
#include "ui/font.h"
#include "ui/tooltip.h"
#include "ui/window_base.h"

namespace hkv {

namespace {

namespace property = velmo_property;

constexpr wchar_t kWindowClass[] = L"Velmo";
constexpr wchar_t kErrorSource[] = L"Velmo";
constexpr wchar_t kSettingsSection[] = L"Velmo";
constexpr wchar_t kTextSuffix[] = L"Text";
constexpr wchar_t kKeyCodeSuffix[] = L"KeyCode";
constexpr wchar_t kModKeyCodeSuffix[] = L"ModKeyCode";

// Every instance registers identifier 1: each does so on its own hotkey window.
constexpr int kHotKeyId = 1;
constexpr int kEditBoxId = 1;

constexpr wchar_t kNotSetMessage[] = L"Not set hotkey";
constexpr wchar_t kAlreadyExistsMessage[] = L"Hotkey already exists, please change a hotkey.";
constexpr wchar_t kRefusalTitle[] = L"error";
constexpr UINT kRefusalStyle = MB_ICONHAND | MB_OK;

// The key name buffer GetKeyNameTextW fills.
constexpr int kKeyNameChars = 255;
// GetKeyNameTextW takes the scan code in bits 16 to 23. The extended-key bit (24) and the
// "don't care" bit (25) stay clear, so the names are those of the main keyboard block.
constexpr int kScanCodeShift = 16;
constexpr UINT kScanCodeMask = 0xFF;

constexpr double kPointsPerInch = 72.0;

// The high bit of GetAsyncKeyState: the key is down now.
constexpr SHORT kKeyDownNow = static_cast<SHORT>(0x8000);

// Posted to the control's own window after the focus left in the middle of a key sequence: the
// registration is made again once the focus has moved, since a refusal shows a message box, and
// no window may be activated while the focus is changing.
constexpr UINT kMsgRegisterRestored = WM_APP + 1;

// Mouse buttons as the host's mouse events number them.
constexpr std::int16_t kLeftButton = 1;
constexpr std::int16_t kRightButton = 2;
constexpr std::int16_t kMiddleButton = 4;

HINSTANCE ModuleInstance() {
    return GetModuleHandleW(nullptr);
}

HWND CreateHotKeyWindow(HINSTANCE instance) {
    // An invisible, zero-sized, ownerless top-level window of the system's dialog class.
    return CreateWindowExW(0, L"#32770", L"", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
}

Velmo::HotKeyWindowFactory g_hotKeyWindowFactory = &CreateHotKeyWindow;

COLORREF ResolveOleColor(std::uint32_t oleColor) {
    if ((oleColor & kSystemColorFlag) != 0) {
        return GetSysColor(static_cast<int>(oleColor & ~kSystemColorFlag));
    }
    return static_cast<COLORREF>(oleColor);
}

// The font a host without stored properties gives its controls: its own, or the GUI font.
FontSpec AmbientFontOf(HWND parent, int dpiY) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0));
    if (font == nullptr) {
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    LOGFONTW logFont{};
    GetObjectW(font, sizeof logFont, &logFont);
    FontSpec ambient;
    ambient.face = logFont.lfFaceName;
    ambient.points = std::abs(logFont.lfHeight) * kPointsPerInch / dpiY;
    ambient.weight = logFont.lfWeight;
    ambient.charset = logFont.lfCharSet;
    ambient.italic = logFont.lfItalic != 0;
    ambient.underline = logFont.lfUnderline != 0;
    ambient.strikethrough = logFont.lfStrikeOut != 0;
    return ambient;
}

std::wstring SystemKeyName(int vk) {
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC) & kScanCodeMask;
    wchar_t buffer[kKeyNameChars] = {};
    const int n = GetKeyNameTextW(static_cast<LONG>(scan << kScanCodeShift), buffer, kKeyNameChars);
    return std::wstring(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

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

std::int16_t MouseShift(WPARAM keys) {
    int shift = (keys & MK_SHIFT) ? kShiftMask : 0;
    if (keys & MK_CONTROL) {
        shift |= kCtrlMask;
    }
    if (GetKeyState(VK_MENU) < 0) {
        shift |= kAltMask;
    }
    return static_cast<std::int16_t>(shift);
}

std::int16_t HeldButtons(WPARAM keys) {
    int buttons = (keys & MK_LBUTTON) ? kLeftButton : 0;
    if (keys & MK_RBUTTON) {
        buttons |= kRightButton;
    }
    if (keys & MK_MBUTTON) {
        buttons |= kMiddleButton;
    }
    return static_cast<std::int16_t>(buttons);
}

template <typename Handler, typename... Args> void Raise(const Handler& handler, Args&... args) {
    if (handler) {
        handler(args...);
    }
}

} // namespace

// The control's own child window, its edit box txtHotKey and its hidden hotkey window.
class Velmo::Impl : public ui::WindowBase {
  public:
    Impl(HWND parent, std::wstring name, int controlId, const RECT& bounds, HostMode mode,
         VelmoEvents events, std::optional<FontSpec> ambientFont);
    ~Impl() override;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // Creates the hotkey window and hooks it and the edit box (user mode only).
    void Attach(Velmo& owner);
    void RestoreSettings();
    void SaveSettings();
    void SwitchRegistration(bool enable);

    void ApplyAppearance();
    void ApplyColors();
    void ApplyEnabled();
    void ApplyFont();
    void ApplyBorder();
    void ApplyToolTip();

    // Stores a property, applies it to the edit box where it shows there, and tells the host so
    // that a layout editor saves it.
    template <typename T>
    void Change(T VelmoProperties::*field, const T& value, void (Impl::*apply)(),
                std::wstring_view propertyName) {
        props_.*field = value;
        if (apply) {
            (this->*apply)();
        }
        Raise(events_.PropertyChanged, propertyName);
    }
    // The settings store is fixed while the program runs.
    template <typename T>
    void ChangeDesignOnly(T VelmoProperties::*field, const T& value,
                          std::wstring_view propertyName);

    std::wstring Text() const;
    void SetText(std::wstring_view text);
    // Sets the text with the caret after its end.
    void ShowText(std::wstring_view text);

    // What the box shows and holds, and whether it is registered.
    struct Combination {
        std::wstring text;
        std::int32_t keyCode = 0;
        std::int32_t modKeyCode = 0;
        bool enabled = false;
    };
    // The combination a key sequence started from while the sequence is unfinished, else the
    // current one: what a save keeps, since modifiers alone are no hotkey.
    Combination Settled() const;

    const std::wstring name_;
    const HostMode mode_;
    const VelmoEvents events_;
    const int dpi_;
    const FontSpec ambientFont_;
    VelmoProperties props_;
    HotKeyCapture capture_;
    bool hotKeyEnabled_ = false;
    HWND edit_ = nullptr; // child of this control's window, destroyed with it
    // Owned by the host's top-level window, not by this control's child window: it outlives the
    // control unless destroyed with it, and goes away early with the host.
    ui::ToolTip toolTip_;
    UniqueWindow hotKeyWindow_;

    // The edit box's messages, as modSubClass passes them on; previous is the box's own procedure.
    LRESULT OnEditMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous);

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnKeyDown(int vk);
    void OnKeyUp(int vk);
    void OnMouse(UINT message, WPARAM wParam, LPARAM lParam);
    void MoveCaretToEnd();
    // The focus left the box: an unfinished key sequence is undone.
    void OnFocusLeft();
    bool RegisterOwnHotKey();
    void UnregisterOwnHotKey();
    void ShowRefusal(const wchar_t* text);
    std::wstring ReadSetting(const wchar_t* suffix, const std::wstring& defaultValue) const;

    bool clickPending_ = false;
    // Set at the first key-down of a sequence, cleared when a main key completes a combination
    // or a release clears the box on purpose (a modifier pressed and released alone).
    std::optional<Combination> beforeSequence_;
    // The combination put back was registered; kMsgRegisterRestored registers it again.
    bool registerRestored_ = false;
    UniqueBrush backBrush_;
    UniqueFont font_;
};

Velmo::Impl::Impl(HWND parent, std::wstring name, int controlId, const RECT& bounds, HostMode mode,
                  VelmoEvents events, std::optional<FontSpec> ambientFont)
    : name_(std::move(name)), mode_(mode), events_(std::move(events)), dpi_(ScreenDpi()),
      ambientFont_(ambientFont ? std::move(*ambientFont) : AmbientFontOf(parent, dpi_)) {
    WNDCLASSEXW wc{};
    wc.hInstance = ModuleInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    RegisterWindowClass(wc); // once per class name
    // WS_EX_CONTROLPARENT lets dialog navigation (Tab) step into the edit box.
    if (!CreateFor(WS_EX_CONTROLPARENT, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                   bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)))) {
        return;
    }
    edit_ = ui::CreateControl(hwnd(), dpi_,
                              {L"EDIT", kEditBoxId, {}, WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL});
    // No input method: with one on, letters would arrive as VK_PROCESSKEY and its composition
    // could insert text. The context left is the thread's default one, which the system owns.
    ImmAssociateContext(edit_, nullptr);
    // It fills the control, now and at every resize.
    RECT client{};
    GetClientRect(hwnd(), &client);
    MoveWindow(edit_, 0, 0, client.right, client.bottom, FALSE);
}

Velmo::Impl::~Impl() {
    if (hotKeyWindow_) {
        modSubClass::UnhookHotKeyWindow(hotKeyWindow_.get());
    }
    if (edit_) {
        modSubClass::UnhookEditBox(edit_);
    }
    // Destroying the window would free the registration too, but only once the system gets to it.
    if (hotKeyEnabled_) {
        UnregisterOwnHotKey();
    }
    hotKeyWindow_.reset();
}

void Velmo::Impl::Attach(Velmo& owner) {
    hotKeyWindow_.reset(g_hotKeyWindowFactory(ModuleInstance()));
    if (hotKeyWindow_) {
        modSubClass::HookHotKeyWindow(hotKeyWindow_.get(), owner);
    }
    if (edit_) {
        modSubClass::HookEditBox(edit_, owner);
    }
}

LRESULT Velmo::Impl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (edit_) {
            MoveWindow(edit_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        }
        return 0;
    case WM_SETFOCUS:
        if (edit_) {
            SetFocus(edit_);
        }
        return 0;
    case kMsgRegisterRestored:
        if (std::exchange(registerRestored_, false)) {
            SwitchRegistration(true);
        }
        Raise(events_.CaptureRestored);
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: // a disabled edit box asks with this one
        if (reinterpret_cast<HWND>(lParam) == edit_ && backBrush_) {
            auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, ResolveOleColor(props_.foreColor));
            SetBkColor(dc, ResolveOleColor(props_.backColor));
            return reinterpret_cast<LRESULT>(backBrush_.get());
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

LRESULT Velmo::Impl::OnEditMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
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
    case WM_SETFOCUS:
        // The left Windows key may have been released while another window had the focus.
        capture_.SetWinKeyDown((GetAsyncKeyState(VK_LWIN) & kKeyDownNow) != 0);
        return passOn();
    case WM_KILLFOCUS: {
        const LRESULT result = passOn();
        OnFocusLeft();
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
        OnMouse(message, wParam, lParam);
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
    return passOn();
}

void Velmo::Impl::OnKeyDown(int vk) {
    if (HotKeyCapture::IgnoresKeyDown(vk)) {
        return;
    }
    if (!beforeSequence_) {
        beforeSequence_ = Settled();
    }
    auto keyCode = static_cast<std::int16_t>(vk);
    std::int16_t shift = KeyboardShift();
    Raise(events_.KeyDown, keyCode, shift);
    const std::wstring text = capture_.KeyDown(keyCode, shift, &SystemKeyName);
    if (capture_.KeyCode() != 0) {
        beforeSequence_.reset(); // a new combination is complete
    }
    // A changed combination must be enabled again before it fires.
    SwitchRegistration(false);
    ShowText(text);
}

void Velmo::Impl::OnKeyUp(int vk) {
    auto keyCode = static_cast<std::int16_t>(vk);
    std::int16_t shift = KeyboardShift();
    if (capture_.KeyUp(vk)) {
        SetText(kHotKeyPlaceholder);
        beforeSequence_.reset(); // cleared on purpose
    }
    MoveCaretToEnd();
    Raise(events_.KeyUp, keyCode, shift);
}

void Velmo::Impl::OnFocusLeft() {
    if (!beforeSequence_) {
        return;
    }
    const Combination held = std::move(*beforeSequence_);
    beforeSequence_.reset();
    SetText(held.text);
    capture_.SetCodes(held.keyCode, held.modKeyCode);
    registerRestored_ = held.enabled;
    PostMessageW(hwnd(), kMsgRegisterRestored, 0, 0);
}

Velmo::Impl::Combination Velmo::Impl::Settled() const {
    if (beforeSequence_) {
        return *beforeSequence_;
    }
    return {Text(), capture_.KeyCode(), capture_.ModKeyCode(), hotKeyEnabled_};
}

void Velmo::Impl::OnMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    std::int16_t shift = MouseShift(wParam);
    // Twips, as a form reports positions.
    auto x = static_cast<float>(GET_X_LPARAM(lParam) * double{kTwipsPerInch} / dpi_);
    auto y = static_cast<float>(GET_Y_LPARAM(lParam) * double{kTwipsPerInch} / dpi_);
    auto down = [&](std::int16_t button) { Raise(events_.MouseDown, button, shift, x, y); };
    auto up = [&](std::int16_t button) { Raise(events_.MouseUp, button, shift, x, y); };
    switch (message) {
    case WM_MOUSEMOVE: {
        std::int16_t buttons = HeldButtons(wParam);
        Raise(events_.MouseMove, buttons, shift, x, y);
        break;
    }
    case WM_LBUTTONDOWN:
        clickPending_ = true;
        down(kLeftButton);
        break;
    case WM_LBUTTONDBLCLK:
        // The second press of a double click: no MouseDown, and its release is no Click.
        clickPending_ = false;
        Raise(events_.DblClick);
        break;
    case WM_LBUTTONUP:
        up(kLeftButton);
        if (std::exchange(clickPending_, false)) {
            Raise(events_.Click);
        }
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        down(kRightButton);
        break;
    case WM_RBUTTONUP:
        up(kRightButton);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        down(kMiddleButton);
        break;
    case WM_MBUTTONUP:
        up(kMiddleButton);
        break;
    default:
        break;
    }
}

std::wstring Velmo::Impl::Text() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(edit_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Velmo::Impl::SetText(std::wstring_view text) {
    SetWindowTextW(edit_, std::wstring(text).c_str());
}

void Velmo::Impl::ShowText(std::wstring_view text) {
    SetText(text);
    MoveCaretToEnd();
}

void Velmo::Impl::MoveCaretToEnd() {
    const auto length = static_cast<WPARAM>(GetWindowTextLengthW(edit_));
    SendMessageW(edit_, EM_SETSEL, length, static_cast<LPARAM>(length));
}

bool Velmo::Impl::RegisterOwnHotKey() {
    // Without its window a registration would go to the thread and fire for no control.
    // MOD_NOREPEAT: a hotkey held down fires once per press, not at every repeat of its key.
    return hotKeyWindow_ && RegisterHotKey(hotKeyWindow_.get(), kHotKeyId,
                                           static_cast<UINT>(capture_.ModKeyCode()) | MOD_NOREPEAT,
                                           static_cast<UINT>(capture_.KeyCode())) != FALSE;
}

void Velmo::Impl::UnregisterOwnHotKey() {
    if (hotKeyWindow_) {
        UnregisterHotKey(hotKeyWindow_.get(), kHotKeyId);
    }
}

void Velmo::Impl::ShowRefusal(const wchar_t* text) {
    HWND owner = hwnd() ? GetAncestor(hwnd(), GA_ROOT) : nullptr;
    MessageBoxW(owner, text, kRefusalTitle, kRefusalStyle);
}

void Velmo::Impl::SwitchRegistration(bool enable) {
    if (enable == hotKeyEnabled_) {
        return;
    }
    if (!enable) {
        UnregisterOwnHotKey();
        hotKeyEnabled_ = false;
        return;
    }
    if (capture_.KeyCode() == 0) {
        ShowRefusal(kNotSetMessage);
        return;
    }
    if (RegisterOwnHotKey()) {
        hotKeyEnabled_ = true;
        return;
    }
    ShowRefusal(kAlreadyExistsMessage);
    // The user has to press a new combination.
    SetText(kHotKeyPlaceholder);
    capture_.SetCodes(0, 0);
}

std::wstring Velmo::Impl::ReadSetting(const wchar_t* suffix,
                                      const std::wstring& defaultValue) const {
    const std::wstring key = name_ + suffix;
    if (props_.settingLocation == 0) {
        return modINI::IniRead(kSettingsSection, key, defaultValue);
    }
    return ReadRegistrySetting(props_.regKeyName, kSettingsSection, key, defaultValue);
}

void Velmo::Impl::RestoreSettings() {
    if (props_.settingLocation == 0) {
        // Fixes the settings file for the whole program, not only for this control.
        modINI::IniSetFile(props_.iniFileName);
    }
    SetText(ReadSetting(kTextSuffix, std::wstring(kHotKeyPlaceholder)));
    capture_.SetCodes(StoredKeyCode(ReadSetting(kKeyCodeSuffix, L"0")),
                      StoredModKeyCode(ReadSetting(kModKeyCodeSuffix, L"0")));
}

void Velmo::Impl::SaveSettings() {
    const Combination settled = Settled();
    const modINI::IniEntry values[] = {
        {name_ + kTextSuffix, settled.text},
        {name_ + kKeyCodeSuffix, DecimalText(settled.keyCode)},
        {name_ + kModKeyCodeSuffix, DecimalText(settled.modKeyCode)}};
    if (props_.settingLocation == 0) {
        // All three or none: a file holding the text of one combination and the codes of another
        // would show one and register the other after a restart.
        modINI::IniWriteKeys(kSettingsSection, values);
        return;
    }
    for (const modINI::IniEntry& v : values) {
        WriteRegistrySetting(props_.regKeyName, kSettingsSection, v.key, v.value);
    }
}

void Velmo::Impl::ApplyAppearance() {
    ApplyColors();
    ApplyEnabled();
    ApplyFont();
    ApplyBorder();
    ApplyToolTip();
}

void Velmo::Impl::ApplyColors() {
    backBrush_ = UniqueBrush(CreateSolidBrush(ResolveOleColor(props_.backColor)));
    InvalidateRect(edit_, nullptr, TRUE);
}

void Velmo::Impl::ApplyEnabled() {
    EnableWindow(edit_, props_.enabled);
}

void Velmo::Impl::ApplyFont() {
    // The box takes the new font before the old one is deleted.
    UniqueFont next = CreateFontFromSpec(props_.font, dpi_);
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(next.get()), TRUE);
    font_ = std::move(next);
}

void Velmo::Impl::ApplyBorder() {
    if (!edit_) {
        return;
    }
    LONG_PTR style = GetWindowLongPtrW(edit_, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_BORDER);
    LONG_PTR exStyle =
        GetWindowLongPtrW(edit_, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE);
    if (props_.borderStyle != 0) {
        if (props_.appearance != 0) {
            exStyle |= WS_EX_CLIENTEDGE; // sunken, three-dimensional
        } else {
            style |= WS_BORDER; // a flat line
        }
    }
    SetWindowLongPtrW(edit_, GWL_STYLE, style);
    SetWindowLongPtrW(edit_, GWL_EXSTYLE, exStyle);
    SetWindowPos(edit_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Velmo::Impl::ApplyToolTip() {
    if (edit_ && (toolTip_.hwnd() || !props_.toolTipText.empty())) {
        toolTip_.SetText(edit_, props_.toolTipText);
    }
}

template <typename T>
void Velmo::Impl::ChangeDesignOnly(T VelmoProperties::*field, const T& value,
                                   std::wstring_view propertyName) {
    if (mode_ == HostMode::User) {
        throw AppError(kErrSetNotPermitted, kErrorSource,
                       L"'" + std::wstring(propertyName) + L"' cannot be set at run time");
    }
    Change(field, value, nullptr, propertyName);
}

// --- Velmo ---------------------------------------------------------------------------------------

Velmo::Velmo(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Velmo::~Velmo() = default;

std::unique_ptr<Velmo> Velmo::CreateNew(HWND parent, std::wstring name, int controlId,
                                        const RECT& bounds, HostMode mode, VelmoEvents events) {
    auto impl = std::make_unique<Impl>(parent, std::move(name), controlId, bounds, mode,
                                       std::move(events), std::nullopt);
    impl->props_.font = impl->ambientFont_;
    impl->ApplyAppearance();
    impl->ShowText(kHotKeyPlaceholder);
    return std::unique_ptr<Velmo>(new Velmo(std::move(impl)));
}

std::unique_ptr<Velmo> Velmo::Load(HWND parent, std::wstring name, int controlId,
                                   const RECT& bounds, const PropertyBag& stored,
                                   const FontSpec& ambientFont, HostMode mode, VelmoEvents events) {
    auto impl = std::make_unique<Impl>(parent, std::move(name), controlId, bounds, mode,
                                       std::move(events), ambientFont);
    impl->props_ = ReadVelmoProperties(stored, ambientFont);
    impl->ApplyAppearance();
    std::unique_ptr<Velmo> control(new Velmo(std::move(impl)));
    Impl& self = *control->impl_;
    if (mode == HostMode::User) {
        self.Attach(*control);
        self.RestoreSettings();
    } else {
        self.ShowText(ReadDesignText(stored));
    }
    return control;
}

void Velmo::SaveProperties(PropertyBag& stored) const {
    VelmoProperties current = impl_->props_;
    current.enabled = Enabled();
    WriteVelmoProperties(stored, current, impl_->ambientFont_);
}

void Velmo::RaiseEvents() {
    Raise(impl_->events_.HotKeyPressed);
}

std::uint32_t Velmo::BackColor() const {
    return impl_->props_.backColor;
}

void Velmo::SetBackColor(std::uint32_t oleColor) {
    impl_->Change(&VelmoProperties::backColor, oleColor, &Impl::ApplyColors, property::kBackColor);
}

std::uint32_t Velmo::ForeColor() const {
    return impl_->props_.foreColor;
}

void Velmo::SetForeColor(std::uint32_t oleColor) {
    impl_->Change(&VelmoProperties::foreColor, oleColor, &Impl::ApplyColors, property::kForeColor);
}

bool Velmo::Enabled() const {
    return IsWindowEnabled(impl_->edit_) != FALSE;
}

void Velmo::SetEnabled(bool enabled) {
    impl_->Change(&VelmoProperties::enabled, enabled, &Impl::ApplyEnabled, property::kEnabled);
}

FontSpec Velmo::Font() const {
    return impl_->props_.font;
}

void Velmo::SetFont(const FontSpec& font) {
    impl_->Change(&VelmoProperties::font, font, &Impl::ApplyFont, property::kFont);
}

std::int16_t Velmo::BorderStyle() const {
    return impl_->props_.borderStyle;
}

void Velmo::SetBorderStyle(std::int16_t style) {
    impl_->Change(&VelmoProperties::borderStyle, style, &Impl::ApplyBorder, property::kBorderStyle);
}

std::int16_t Velmo::Appearance() const {
    return impl_->props_.appearance;
}

void Velmo::SetAppearance(std::int16_t appearance) {
    impl_->Change(&VelmoProperties::appearance, appearance, &Impl::ApplyBorder,
                  property::kAppearance);
}

std::wstring Velmo::Text() const {
    return impl_->Text();
}

std::wstring Velmo::ToolTipText() const {
    return impl_->props_.toolTipText;
}

void Velmo::SetToolTipText(const std::wstring& text) {
    impl_->Change(&VelmoProperties::toolTipText, text, &Impl::ApplyToolTip, property::kToolTipText);
}

std::int32_t Velmo::KeyCode() const {
    return impl_->capture_.KeyCode();
}

bool Velmo::HotKeyEnabled() const {
    return impl_->hotKeyEnabled_;
}

void Velmo::SetHotKeyEnabled(bool enabled) {
    impl_->SwitchRegistration(enabled);
}

std::int32_t Velmo::ModKeyCode() const {
    return impl_->capture_.ModKeyCode();
}

void Velmo::SaveSettings() {
    impl_->SaveSettings();
}

const std::wstring& Velmo::INIFileName() const {
    return impl_->props_.iniFileName;
}

void Velmo::SetINIFileName(const std::wstring& value) {
    impl_->ChangeDesignOnly(&VelmoProperties::iniFileName, value, property::kINIFileName);
    modINI::IniSetFile(value);
}

std::int32_t Velmo::SettingLocation() const {
    return impl_->props_.settingLocation;
}

void Velmo::SetSettingLocation(std::int32_t value) {
    impl_->ChangeDesignOnly(&VelmoProperties::settingLocation, value, property::kSettingLocation);
}

const std::wstring& Velmo::RegKeyName() const {
    return impl_->props_.regKeyName;
}

void Velmo::SetRegKeyName(const std::wstring& value) {
    impl_->ChangeDesignOnly(&VelmoProperties::regKeyName, value, property::kRegKeyName);
}

HWND Velmo::Window() const {
    return impl_->hwnd();
}

HWND Velmo::EditBox() const {
    return impl_->edit_;
}

HWND Velmo::HotKeyWindow() const {
    return impl_->hotKeyWindow_.get();
}

const std::wstring& Velmo::Name() const {
    return impl_->name_;
}

HWND Velmo::ToolTipWindow() const {
    return impl_->toolTip_.hwnd();
}

LRESULT Velmo::EditBoxMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                              WNDPROC previous) {
    return impl_->OnEditMessage(box, message, wParam, lParam, previous);
}

void Velmo::SetHotKeyWindowFactoryForTesting(HotKeyWindowFactory factory) {
    g_hotKeyWindowFactory = factory ? factory : &CreateHotKeyWindow;
}

} // namespace hkv
