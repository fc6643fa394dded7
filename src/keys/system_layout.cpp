// The AltGr question put to the system's keyboard layouts.
#include <windows.h>

#include <array>
#include <cwchar>
#include <optional>
#include <string>

#include "common/decimal.h"
#include "common/win_handles.h"
#include "keys/altgr_layout.h"
#include "keys/system_layout.h"

namespace hkv {
namespace {

// The few leading members of the tables a layout library describes itself by, as far as the
// flags of its locale; the rest is never read.
struct LayoutTables {
    void* charModifiers;
    void* vkToCharTable;
    void* deadKeys;
    void* keyNames;
    void* keyNamesExtended;
    void* keyNamesDead;
    void* scanToVk;
    BYTE maxScanToVk;
    void* scanToVkE0;
    void* scanToVkE1;
    DWORD localeFlags;
};
using LayerDescriptor = LayoutTables*(WINAPI*)();

constexpr wchar_t kLayoutsKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";
// A layout's name under kLayoutsKey: eight hexadecimal digits.
constexpr std::size_t kLayoutNameLength = 8;
// The top of a layout handle's upper half marks a layout variant (its number in the low bits,
// stored as the layout's "Layout Id") or an input method (the handle is the name itself).
constexpr WORD kVariantMark = 0xF000;
constexpr WORD kInputMethodMark = 0xE000;
constexpr WORD kVariantNumber = 0x0FFF;

std::optional<std::wstring> ReadText(HKEY key, const wchar_t* subKey, const wchar_t* value) {
    std::array<wchar_t, MAX_PATH> text{};
    DWORD size = sizeof(text);
    if (RegGetValueW(key, subKey, value, RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(text.data());
}

// The layout's key under kLayoutsKey.
std::optional<std::wstring> LayoutName(HKL layout) {
    const auto handle = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(layout));
    const auto device = static_cast<WORD>(handle >> 16);
    if ((device & kVariantMark) == kInputMethodMark) {
        return HexText(handle, kLayoutNameLength);
    }
    if ((device & kVariantMark) != kVariantMark) {
        return HexText(device, kLayoutNameLength);
    }
    UniqueRegKey layouts;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLayoutsKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    layouts.reset(opened);
    const std::wstring variant = HexText(device & kVariantNumber, 4);
    std::array<wchar_t, kLayoutNameLength + 1> name{};
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(layouts.get(), i, name.data(), &length, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        const auto id = ReadText(layouts.get(), name.data(), L"Layout Id");
        if (id && _wcsicmp(id->c_str(), variant.c_str()) == 0) {
            return std::wstring(name.data());
        }
    }
}

// The layout library's own locale flags; none where the library cannot be had (Wine has none).
std::optional<std::uint32_t> LocaleFlags(HKL layout) {
    const auto name = LayoutName(layout);
    const auto file =
        name ? ReadText(HKEY_LOCAL_MACHINE, (std::wstring(kLayoutsKey) + L"\\" + *name).c_str(),
                        L"Layout File")
             : std::nullopt;
    // A bare file name, so that nothing but the system's own folder is searched.
    if (!file || file->find_first_of(L"\\/:") != std::wstring::npos) {
        return std::nullopt;
    }
    // Loaded to be called: a library loaded as a resource only could not answer.
    const UniqueModule library(
        LoadLibraryExW(file->c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    const auto describe = library ? reinterpret_cast<LayerDescriptor>(reinterpret_cast<void*>(
                                        GetProcAddress(library.get(), "KbdLayerDescriptor")))
                                  : nullptr;
    const LayoutTables* tables = describe ? describe() : nullptr;
    if (!tables) {
        return std::nullopt;
    }
    return tables->localeFlags;
}

} // namespace

bool SystemLayoutHasAltGr(HKL layout) {
    const std::optional<std::uint32_t> flags = LocaleFlags(layout);
    std::array<CtrlAltAnswer, 256> answers{};
    std::size_t count = 0;
    if (!flags) {
        BYTE state[256] = {};
        state[VK_CONTROL] = state[VK_LCONTROL] = state[VK_MENU] = state[VK_RMENU] = 0x80;
        // Leaves the state the layout keeps for dead keys alone (from Windows 10 version 1607).
        constexpr UINT kKeepKeyboardState = 4;
        for (UINT vk = 0; vk < answers.size(); ++vk) {
            if (!TypesCharacters(static_cast<std::uint8_t>(vk))) {
                continue;
            }
            wchar_t typed[4] = {};
            const int typedCount =
                ToUnicodeEx(vk, MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, layout), state, typed,
                            static_cast<int>(std::size(typed)), kKeepKeyboardState, layout);
            answers[count++] = {static_cast<std::uint8_t>(vk), typedCount, typed[0]};
        }
    }
    return LayoutHasAltGr(flags, {answers.data(), count});
}

} // namespace hkv
