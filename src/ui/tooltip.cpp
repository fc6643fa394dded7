#include "ui/tooltip.h"

#include <commctrl.h>

#include <cstddef>

namespace hkv::ui {
namespace {

// TTTOOLINFOW up to lParam: the size every common-controls version accepts, with or without a
// manifest asking for version 6 (older versions refuse the larger record).
constexpr UINT kToolInfoSize = offsetof(TTTOOLINFOW, lParam) + sizeof(LPARAM);

} // namespace

ToolTip::~ToolTip() {
    if (tip_ && !IsWindow(tip_.get())) {
        tip_.release(); // destroyed already with the top-level window that owned it
    }
}

bool ToolTip::Create(HWND owner) {
    // The tooltip class comes from the common controls, which register it on request.
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)registered;
    tip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr));
    return static_cast<bool>(tip_);
}

void ToolTip::SetText(HWND control, const std::wstring& text) {
    if (!tip_ && !Create(GetAncestor(control, GA_ROOT))) {
        return;
    }
    TTTOOLINFOW info{};
    info.cbSize = kToolInfoSize;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    const bool known = !tools_.insert(control).second;
    SendMessageW(tip_.get(), known ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
                 reinterpret_cast<LPARAM>(&info));
}

} // namespace hkv::ui
