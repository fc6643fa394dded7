#include "common/com_apartment.h"

#include <objbase.h>

#include <cwchar>

namespace hkv {
namespace {

constexpr wchar_t kComLibrary[] = L"ole32.dll";

} // namespace

ComApartment::~ComApartment() {
    if (leave_) {
        leave_();
    }
    // The libraries loaded later may use those loaded before them.
    while (!libraries_.empty()) {
        libraries_.pop_back();
    }
}

bool ComApartment::Enter() {
    if (!tried_) {
        tried_ = true;
        using EnterFn = HRESULT(WINAPI*)(void*, DWORD);
        const auto enter = Export<EnterFn>(kComLibrary, "CoInitializeEx");
        const auto leave = Export<HRESULT(WINAPI*)()>(kComLibrary, "CoUninitialize");
        // S_FALSE: entered already on this thread, which still wants its leave.
        if (enter && leave && SUCCEEDED(enter(nullptr, COINIT_APARTMENTTHREADED))) {
            leave_ = leave;
        }
    }
    return leave_ != nullptr;
}

HMODULE ComApartment::Library(const wchar_t* name) {
    for (const auto& [loaded, module] : libraries_) {
        if (std::wcscmp(loaded, name) == 0) {
            return module.get();
        }
    }
    UniqueModule module(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!module) {
        return nullptr;
    }
    return libraries_.emplace_back(name, std::move(module)).second.get();
}

} // namespace hkv
