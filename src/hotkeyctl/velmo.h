#pragma once
// Velmo: a hotkey input control. The user presses a key combination in its edit box; the control
// shows it as text, can register it as a system-wide hotkey, tells its host when it fires, and
// saves and restores it.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/system_error.h"
#include "common/win_handles.h"
#include "hotkeyctl/property_bag.h"
#include "ui/font_spec.h"

namespace hkv {

// Whether the host is running (user mode) or being laid out in an editor (design mode).
enum class HostMode { User, Design };

// What the control tells its host. By-reference arguments may be changed by the handler; the
// control goes on with the changed values.
struct VelmoEvents {
    std::function<void()> HotKeyPressed;
    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void(std::int16_t& keyCode, std::int16_t& shift)> KeyDown;
    std::function<void(std::int16_t& keyCode, std::int16_t& shift)> KeyUp;
    std::function<void(std::int16_t& button, std::int16_t& shift, float& x, float& y)> MouseDown;
    std::function<void(std::int16_t& button, std::int16_t& shift, float& x, float& y)> MouseMove;
    std::function<void(std::int16_t& button, std::int16_t& shift, float& x, float& y)> MouseUp;
    // The focus left the box before a main key completed a new combination: it went back to the
    // combination it held before that key sequence, registered again if it was (read
    // HotKeyEnabled to learn the outcome).
    std::function<void()> CaptureRestored;
    // The edit box gained (true) or lost (false) the keyboard focus. While it has it, a host
    // that wants its own hotkeys captured there suspends them (SuspendHotKey), or they fire
    // instead.
    std::function<void(bool focused)> FocusChanged;
    // A refusal's message box is about to open: its own message loop runs until the user answers,
    // also when the box comes from a message handled inside a playback's pause.
    std::function<void()> MessageBoxOpening;
    // A combination completed in the box, or the box cleared on purpose, has just been written
    // to the store as SaveSettings writes it: what became of the write. Raised at the key that
    // settled it, while the user may still hold keys down.
    std::function<void(const WriteOutcome& outcome)> Saved;
    // A stored property changed (its stored name, e.g. "BackColor"), so a layout editor saves it.
    std::function<void(std::wstring_view propertyName)> PropertyChanged;
};

class Velmo {
  public:
    // "Create new": placed without stored properties. No hotkey window, no hooks, no settings.
    static std::unique_ptr<Velmo> CreateNew(HWND parent, std::wstring name, int controlId,
                                            const RECT& bounds, HostMode mode, VelmoEvents events);
    // "Load": the host's stored properties exist. In user mode this creates the hotkey window,
    // hooks it and the edit box, fixes the settings file path and restores the saved hotkey.
    // ambientFont is the host's font, used when the bag holds no "Font".
    static std::unique_ptr<Velmo> Load(HWND parent, std::wstring name, int controlId,
                                       const RECT& bounds, const PropertyBag& stored,
                                       const FontSpec& ambientFont, HostMode mode,
                                       VelmoEvents events);
    // Terminate: unhooks, unregisters, destroys the hotkey window and the control's own window.
    ~Velmo();

    Velmo(const Velmo&) = delete;
    Velmo& operator=(const Velmo&) = delete;

    // Writes the ten stored properties, in their order, into the host's bag.
    void SaveProperties(PropertyBag& stored) const;

    // Public interface, in its order.
    void RaiseEvents();
    std::uint32_t BackColor() const;
    void SetBackColor(std::uint32_t oleColor);
    std::uint32_t ForeColor() const;
    void SetForeColor(std::uint32_t oleColor);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    FontSpec Font() const;
    void SetFont(const FontSpec& font);
    std::int16_t BorderStyle() const;
    void SetBorderStyle(std::int16_t style);
    std::int16_t Appearance() const;
    void SetAppearance(std::int16_t appearance);
    std::wstring Text() const;
    // Whether Text is a combination the control holds, not modifiers held in passing in its box.
    bool TextSettled() const;
    std::wstring ToolTipText() const;
    void SetToolTipText(const std::wstring& text);
    std::int32_t KeyCode() const;
    bool HotKeyEnabled() const;
    void SetHotKeyEnabled(bool enabled);
    // Registers the captured hotkey without telling the user of a refusal and without clearing
    // the capture: for a host that arms its rows itself and tells the user once about them all.
    // Whether the hotkey is registered afterwards.
    bool EnableHotKeyQuietly();
    std::int32_t ModKeyCode() const;
    // While a playback's keys would set the registered hotkey off, or while a hotkey box has the
    // focus: unregistered, still enabled. False when it is not enabled. Suspensions nest: the
    // last Resume registers it again, unless it was switched off meanwhile; false, and no longer
    // enabled, when it is not registered again (switched off, or the system refuses).
    bool SuspendHotKey();
    bool ResumeHotKey();
    // Failed, with the system's reason, when the store does not hold the hotkey afterwards (see
    // SaveHotKey).
    WriteOutcome SaveSettings();
    const std::wstring& INIFileName() const;
    void SetINIFileName(const std::wstring& value); // throws AppError 382 in user mode
    std::int32_t SettingLocation() const;
    void SetSettingLocation(std::int32_t value); // throws AppError 382 in user mode
    const std::wstring& RegKeyName() const;
    void SetRegKeyName(const std::wstring& value); // throws AppError 382 in user mode

    // The windows, for the host's layout and for tests.
    HWND Window() const;
    HWND EditBox() const;
    HWND HotKeyWindow() const;
    const std::wstring& Name() const;
    // The tooltip control that shows ToolTipText; null until a non-empty text is first set.
    HWND ToolTipWindow() const;

    // The edit box's messages, as modSubClass's EditBoxProc passes them on; previous is the
    // procedure EditBoxProc replaced.
    LRESULT EditBoxMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous);

    // Makes the hidden window that a registration names. Tests replace it to simulate a window
    // that cannot be created; nullptr restores the real one.
    using HotKeyWindowFactory = HWND (*)(HINSTANCE instance);
    static void SetHotKeyWindowFactoryForTesting(HotKeyWindowFactory factory);

    class Impl;

  private:
    explicit Velmo(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace hkv
