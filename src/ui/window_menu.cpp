#include "ui/window_menu.h"

#include <utility>

namespace hkv::ui {
namespace {

// The system keeps the low four bits of a WM_SYSCOMMAND for itself and uses the ids from 0xF000
// up: the items take multiples of 16 below that.
constexpr UINT kFirstItemId = 0x0100;
constexpr UINT kItemIdStep = 0x10;
constexpr WPARAM kSystemBits = 0xF;

UINT ItemId(std::size_t n) {
    return kFirstItemId + kItemIdStep * static_cast<UINT>(n);
}

} // namespace

void WindowMenuItems::Add(HWND window, std::vector<WindowMenuItem> items) {
    items_ = std::move(items);
    HMENU menu = GetSystemMenu(window, FALSE); // the window's own copy, destroyed with it
    if (!menu) {
        return;
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (std::size_t n = 0; n < items_.size(); ++n) {
        AppendMenuW(menu, MF_STRING, ItemId(n), items_[n].text.c_str());
    }
}

void WindowMenuItems::OnInitMenuPopup(WPARAM menu, LPARAM lParam) const {
    if (!HIWORD(lParam)) {
        return; // not the system menu
    }
    for (std::size_t n = 0; n < items_.size(); ++n) {
        if (items_[n].checked) {
            CheckMenuItem(reinterpret_cast<HMENU>(menu), ItemId(n),
                          MF_BYCOMMAND | (items_[n].checked() ? MF_CHECKED : MF_UNCHECKED));
        }
    }
}

bool WindowMenuItems::OnSysCommand(WPARAM command) const {
    const WPARAM id = command & ~kSystemBits;
    if (id < kFirstItemId || (id - kFirstItemId) / kItemIdStep >= items_.size()) {
        return false;
    }
    const WindowMenuItem& item = items_[(id - kFirstItemId) / kItemIdStep];
    if (item.action) {
        item.action();
    }
    return true;
}

} // namespace hkv::ui
