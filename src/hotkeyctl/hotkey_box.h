#pragma once
// txtHotKey, the control's edit box: turns the key presses it receives into the captured
// combination and its text, keeps typed characters and edits out, and passes its mouse messages on
// as the control's events. Its messages come through modSubClass's EditBoxProc.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "hotkeyctl/box_mouse.h"
#include "hotkeyctl/hotkey_capture.h"
#include "hotkeyctl/hotkey_registration.h"
#include "hotkeyctl/velmo.h"

namespace hkv {

class HotKeyBox {
  public:
    // Posted to the control's window after the focus left in the middle of a key sequence: the
    // registration is made again once the focus has moved, since a refusal shows a message box,
    // and no window may be activated while the focus is changing.
    static constexpr UINT kMsgRegisterRestored = WM_APP + 1;

    // A key-down unregisters the control's hotkey through `registration`. `settled` runs when a
    // main key completes a combination or a release clears the box on purpose: what Settled()
    // gives has changed for good.
    HotKeyBox(const VelmoEvents& events, HotKeyRegistration& registration, int dpi,
              std::function<void()> settled);
    HotKeyBox(const HotKeyBox&) = delete;
    HotKeyBox& operator=(const HotKeyBox&) = delete;

    // Creates the box as a child of the control's window, filling it.
    void Create(HWND control);
    // Null before creation and once the box is destroyed.
    HWND Window() const { return edit_; }
    // Its procedure replaced by modSubClass's and put back (loading in user mode, termination).
    void Hook(Velmo& control);
    void Unhook();
    void Resize(int width, int height);

    std::wstring Text() const;
    // Sets the text with the caret after its end.
    void ShowText(std::wstring_view text);
    std::int32_t KeyCode() const { return capture_.KeyCode(); }
    std::int32_t ModKeyCode() const { return capture_.ModKeyCode(); }
    // Shows and holds a combination (restored from the settings).
    void Hold(const CapturedHotKey& hotKey);
    // Back to nothing captured: the user has to press a new combination.
    void Clear();
    // The combination a key sequence started from while the sequence is unfinished, else the
    // current one: what a save keeps, since modifiers alone are no hotkey.
    CapturedHotKey Settled() const;
    // Whether the text shows a combination the box holds, not modifiers held in passing while a
    // key sequence is unfinished.
    bool TextSettled() const { return !beforeSequence_; }
    // Whether the combination put back when the focus left was registered; true once.
    bool TakeRegisterRestored();

    // The box's messages, as modSubClass passes them on; previous is the box's own procedure.
    LRESULT OnMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous);

  private:
    // What the box shows and holds, and whether it is registered.
    struct Combination {
        CapturedHotKey hotKey;
        bool enabled = false;
    };

    void OnKeyDown(int vk);
    void OnKeyUp(int vk);
    // The focus left the box: an unfinished key sequence is undone.
    void OnFocusLeft();
    void SetText(std::wstring_view text);
    void MoveCaretToEnd();
    Combination Current() const;

    const VelmoEvents& events_;
    HotKeyRegistration& registration_;
    const int dpi_;
    const std::function<void()> settled_;
    HWND edit_ = nullptr; // child of the control's window, destroyed with it
    HotKeyCapture capture_;
    BoxMouse mouse_;
    // Set at the first key-down of a sequence, cleared when a main key completes a combination
    // or a release clears the box on purpose (a modifier pressed and released alone).
    std::optional<Combination> beforeSequence_;
    // The combination put back was registered; kMsgRegisterRestored registers it again.
    bool registerRestored_ = false;
};

} // namespace hkv
