#include "common/system_error.h"

#include <windows.h>

#include <cwctype>

#include "common/decimal.h"
#include "common/scope_guard.h"

namespace hkv {

std::wstring SystemErrorText(SystemError error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const ScopeGuard release([buffer] { LocalFree(buffer); });
    std::wstring text(buffer ? buffer : L"", buffer ? length : 0);
    while (!text.empty() && std::iswspace(text.back())) {
        text.pop_back();
    }
    return text.empty() ? L"Windows error " + DecimalText(error) : text;
}

std::wstring SystemReasonLine(SystemError error) {
    return L"Windows reports: " + SystemErrorText(error);
}

} // namespace hkv
