#include "ui/notice.h"

namespace hkv::ui {

void ShowNotice(HWND owner, const std::wstring& text,
                const std::function<void()>& beforeModalLoop) {
    if (beforeModalLoop) {
        beforeModalLoop();
    }
    // In front: nothing the user just did may have put this program there (a start at sign-in).
    MessageBoxW(owner, text.c_str(), kNoticeTitle, MB_ICONWARNING | MB_OK | MB_SETFOREGROUND);
}

} // namespace hkv::ui
