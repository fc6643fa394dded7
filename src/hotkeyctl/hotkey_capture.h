#pragma once
// What key presses in the hotkey box turn into: the display text and the two numbers that
// RegisterHotKey takes. No Windows calls here: the control supplies the modifier state of each key
// event and the system's key names.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "keys/extended_keys.h"
#include "keys/modifier_keys.h"

namespace hkv {

// Shown while nothing is captured.
inline constexpr std::wstring_view kHotKeyPlaceholder = L"按下快捷键";

// Modifier state of a key event, as the host's KeyDown/KeyUp handlers receive it.
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// Virtual-key codes run from 1 to 254; 0 and 255 name no key.
inline constexpr std::int32_t kFirstVirtualKey = 1;
inline constexpr std::int32_t kLastVirtualKey = 254;

// A combination as the box shows it and as it is saved.
struct CapturedHotKey {
    std::wstring text;
    std::int32_t keyCode = 0;
    std::int32_t modKeyCode = 0;

    bool operator==(const CapturedHotKey&) const = default;
};

class HotKeyCapture {
  public:
    using KeyNameFunction = std::function<std::wstring(int vk)>;

    // The application key's key-down must not reach the capture at all: it opens context menus.
    static bool IgnoresKeyDown(int vk) { return vk == kVkApps; }

    // A key-down, with the values the host left after seeing it. Returns the new display text:
    // the held modifiers as prefixes in the fixed order Win, Ctrl, Alt, Shift, then the key's
    // name unless the key is itself a modifier. keyName is asked only for main keys.
    std::wstring KeyDown(int vk, int shift, const KeyNameFunction& keyName);

    // A key-up. True when the box has to go back to the placeholder (no main key held).
    bool KeyUp(int vk);

    // Sets the two numbers as restored from the settings, put back after an unfinished key
    // sequence, or cleared after a refusal. The left Windows key's state stays.
    void SetCodes(std::int32_t keyCode, std::int32_t modKeyCode) {
        keyCode_ = keyCode;
        modKeyCode_ = modKeyCode;
    }

    // The left Windows key's state as the system has it, taken when the box gains the focus: its
    // release may have gone to another window (after Win+D, Win+E, Win+L).
    void SetWinKeyDown(bool down) { winKeyDown_ = down; }

    std::int32_t KeyCode() const { return keyCode_; }
    std::int32_t ModKeyCode() const { return modKeyCode_; }
    bool WinKeyDown() const { return winKeyDown_; }

  private:
    std::int32_t keyCode_ = 0;
    std::int32_t modKeyCode_ = 0;
    // Tracked from the box's own key events while it has the focus; the Windows keys are not part
    // of the modifier state a key event carries.
    bool winKeyDown_ = false;
};

// The text a capture shows for the codes: the prefixes of the modifier flags in the fixed order
// Win, Ctrl, Alt, Shift, then the key's name unless keyCode is 0 (only modifiers held so far).
std::wstring CombinationText(std::int32_t keyCode, std::int32_t modKeyCode,
                             const HotKeyCapture::KeyNameFunction& keyName);

// A saved hotkey as the box takes it back. Its three values are written one after another, so a
// crash or a kill between the writes can leave the text of one combination beside the codes of
// another: the codes, which are what gets registered, win, and the text is made from them as a
// capture makes it. Without a key code nothing is captured: the placeholder, both codes 0.
CapturedHotKey RestoredHotKey(const CapturedHotKey& saved,
                              const HotKeyCapture::KeyNameFunction& keyName);

// A saved KeyCode or ModKeyCode: an optional minus sign and decimal digits that fit in 32 bits.
// Anything else (letters, blanks, a plus sign, an empty text, an overflow) reads as 0, so a damaged
// file restores as "nothing captured" instead of a code RegisterHotKey would misread.
std::int32_t ParseStoredInt32(std::wstring_view text);

// A saved KeyCode or ModKeyCode that RegisterHotKey can honour, else 0 like any unreadable value:
// a virtual-key code from 1 to 254, modifier flags made of Alt, Ctrl, Shift and Win only. A value
// outside these would register, tick the row and never fire.
std::int32_t StoredKeyCode(std::wstring_view text);
std::int32_t StoredModKeyCode(std::wstring_view text);

} // namespace hkv
