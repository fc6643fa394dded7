#pragma once
// Inside a Velmo: the control's own child window, which holds the parts that do its jobs: the
// hidden hotkey window and its registration, the edit box and its capture, and the property system.
// Velmo, the public face, asks the parts; none of their state is reached from outside them.
#include <windows.h>

#include <optional>
#include <string>

#include "hotkeyctl/hotkey_box.h"
#include "hotkeyctl/hotkey_registration.h"
#include "hotkeyctl/velmo.h"
#include "hotkeyctl/velmo_property_system.h"
#include "ui/window_base.h"

namespace hkv {

class Velmo::Impl : public ui::WindowBase {
  public:
    // ambientFont: the host's font; without one, the font the parent window uses.
    Impl(HWND parent, std::wstring name, int controlId, const RECT& bounds, HostMode mode,
         VelmoEvents events, std::optional<FontSpec> ambientFont);
    // Terminate: both procedures put back, the hotkey window's first, then the registration and
    // the hotkey window go.
    ~Impl() override;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // Loading in user mode: creates the hotkey window, hooks it and the edit box to the control,
    // and restores the saved hotkey (fixing the settings file path).
    void Attach(Velmo& owner);

    // Writes what the box holds, as the exit does.
    WriteOutcome SaveSettled() const;
    // A combination completed in the box or cleared on purpose is kept at once, as the user
    // made it, and the host told what became of the write.
    void SaveWhenSettled();

    // Writing HotKeyEnabled; a combination the system refuses is cleared.
    void SwitchRegistration(bool enable);

    const std::wstring& Name() const { return name_; }
    const VelmoEvents& Events() const { return events_; }
    HotKeyRegistration& Registration() { return registration_; }
    const HotKeyRegistration& Registration() const { return registration_; }
    HotKeyBox& Box() { return box_; }
    const HotKeyBox& Box() const { return box_; }
    VelmoPropertySystem& Properties() { return properties_; }
    const VelmoPropertySystem& Properties() const { return properties_; }

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    const std::wstring name_;
    const VelmoEvents events_;
    const int dpi_;
    HotKeyRegistration registration_;
    HotKeyBox box_;
    VelmoPropertySystem properties_;
    // What a settled combination last wrote.
    std::optional<CapturedHotKey> lastWritten_;
};

} // namespace hkv
