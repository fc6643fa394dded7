#pragma once
// The control's properties as a host changes them: the appearance it forwards to its edit box
// (each change shown at once), the settings store a layout editor may change and the running
// program may not (error 382), and every change reported to the host so that a layout editor
// saves it.
#include <windows.h>

#include <string_view>

#include "common/win_handles.h"
#include "hotkeyctl/hotkey_box.h"
#include "hotkeyctl/property_bag.h"
#include "hotkeyctl/velmo.h"
#include "hotkeyctl/velmo_properties.h"
#include "ui/font_spec.h"
#include "ui/tooltip.h"

namespace hkv {

class VelmoPropertySystem {
  public:
    // ambientFont: the host's font, for a "Font" the stored properties leave out.
    VelmoPropertySystem(HostMode mode, int dpi, FontSpec ambientFont, const VelmoEvents& events,
                        const HotKeyBox& box);
    VelmoPropertySystem(const VelmoPropertySystem&) = delete;
    VelmoPropertySystem& operator=(const VelmoPropertySystem&) = delete;

    // The font a host without stored properties gives its controls: its own, or the GUI font.
    static FontSpec AmbientFontOf(HWND parent, int dpi);

    // Create new: every property at its default, the font the host's. Load: the stored
    // properties. Both show them on the box at once.
    void ApplyDefaults();
    void Load(const PropertyBag& stored);
    // Writes the ten stored properties, in their order, into the host's bag.
    void Save(PropertyBag& stored) const;

    const VelmoProperties& Values() const { return values_; }
    bool BoxEnabled() const;

    // Each shows one part of the appearance on the box, as the values have it now.
    void ShowColors();
    void ShowEnabled();
    void ShowFont();
    void ShowBorder();
    void ShowToolTip();
    using Show = void (VelmoPropertySystem::*)();

    // Stores a property, shows it on the box (unless show is null), and tells the host.
    template <typename T>
    void Change(T VelmoProperties::*field, const T& value, Show show,
                std::wstring_view propertyName);
    // The same for the settings store, which is fixed while the program runs: throws AppError
    // 382 in user mode, leaving the value as it was.
    template <typename T>
    void ChangeDesignOnly(T VelmoProperties::*field, const T& value,
                          std::wstring_view propertyName);

    // The box's colours for its WM_CTLCOLOREDIT (and, disabled, WM_CTLCOLORSTATIC): set on dc;
    // returns the background brush.
    HBRUSH PaintBox(HDC dc) const;
    // The tooltip control that shows ToolTipText; null until a non-empty text is first set.
    HWND ToolTipWindow() const { return toolTip_.hwnd(); }

  private:
    void ShowAll();

    const HostMode mode_;
    const int dpi_;
    const FontSpec ambientFont_;
    const VelmoEvents& events_;
    const HotKeyBox& box_;
    VelmoProperties values_;
    UniqueBrush backBrush_;
    UniqueFont font_;
    // Owned by the host's top-level window, not by this control's child window: it outlives the
    // control unless destroyed with it, and goes away early with the host.
    ui::ToolTip toolTip_;
};

} // namespace hkv
