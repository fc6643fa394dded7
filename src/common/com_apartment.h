#pragma once
// COM on the thread of the windows, entered only when something first needs it: an object handed
// to a screen reader, a page handed to the shell. Most starts need neither, and COM's own
// libraries are then never loaded for them. One owner, made at start-up and handed to those users.
#include <windows.h>

#include <utility>
#include <vector>

#include "common/win_handles.h"

namespace hkv {

class ComApartment {
  public:
    ComApartment() = default;
    // Leaves COM if it was entered, then lets go of the libraries: the last leave releases what
    // readers still hold, objects of those libraries among them, whose code must still be there.
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // Enters the single-threaded apartment on this thread the first time; true while COM is
    // usable here. Only from the thread that made the owner.
    bool Enter();

    // The function a system library exports, with the given type, or null. The library is loaded
    // once, from System32 alone (a copy beside the program must never be loaded instead), and kept
    // until COM has been left. The name is a literal that outlives the owner.
    template <typename Function> Function Export(const wchar_t* library, const char* name) {
        // GetProcAddress's generic type stands for any function; this one has the given type.
        HMODULE module = Library(library);
        return module ? reinterpret_cast<Function>(
                            reinterpret_cast<void*>(GetProcAddress(module, name)))
                      : nullptr;
    }

  private:
    HMODULE Library(const wchar_t* name);

    std::vector<std::pair<const wchar_t*, UniqueModule>> libraries_;
    bool tried_ = false;
    HRESULT(WINAPI* leave_)() = nullptr; // set once entered
};

} // namespace hkv
