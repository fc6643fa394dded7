#pragma once
// What a screen reader is told about the program's controls. Readers ask a window through
// Windows' accessibility interface (WM_GETOBJECT; UI Automation's bridge asks the same way); an
// attached control answers with the system's own description of it, corrected by the facts given
// here, and announces the changes of its value and of its checked state itself.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/com_apartment.h"

namespace hkv::ui {

// IID_IAccessible, spelled out: with MinGW the import library's copy can come out unusable,
// depending on the order the libraries are linked in.
inline constexpr IID kAccessibleInterface = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct AccessibleFacts {
    std::wstring name{};        // empty: the system's
    long role = 0;              // a ROLE_SYSTEM_ value; 0: the system's
    std::wstring description{}; // empty: the system's
    bool valueIsText = false;   // its value is its text: read back, and announced when it changes
    // Whether the text is a value the control holds now, not one shown in passing (a modifier
    // held in a hotkey box): only such a text is announced. Empty: every text is.
    std::function<bool()> valueSettled{};
    bool checkBox = false;      // checked or not as BM_GETCHECK says: read back, and announced
};

// The facts of one window's controls, kept by that window. Everything here runs on the thread of
// the windows: readers' calls reach it through that thread's message loop.
class AccessibleControls {
  public:
    // COM is entered and the libraries loaded through com when a reader first asks.
    explicit AccessibleControls(ComApartment& com);
    ~AccessibleControls();
    AccessibleControls(const AccessibleControls&) = delete;
    AccessibleControls& operator=(const AccessibleControls&) = delete;

    // From now on the control answers with these facts, until others are attached to it or it
    // or this object is destroyed; what a reader still holds then answers that it is no longer
    // connected. A control without its window (null) is left out.
    void Attach(HWND control, AccessibleFacts facts);

    class Library;
    struct Link;

  private:
    std::unique_ptr<Library> library_;
    // Shared with the objects readers hold, which may outlive this owner.
    std::vector<std::shared_ptr<Link>> links_;
};

} // namespace hkv::ui
