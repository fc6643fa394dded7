#pragma once
// Finds message boxes with a given title, in one process or in any, records what each one showed
// (text, icon, buttons, owner) and answers it.
#include <windows.h>

#include <chrono>
#include <cwchar>
#include <mutex>
#include <string>
#include <vector>

#include "common/scope_guard.h"
#include "common/win_handles.h"
#include "support/win_test_util.h"
#include "support/window_watcher.h"

namespace hkv::test {

enum class MessageBoxIcon { None, Hand, Question, Exclamation, Asterisk, Unknown };

struct SeenMessageBox {
    HWND window = nullptr;
    HWND owner = nullptr;
    DWORD processId = 0;
    std::wstring title;
    std::wstring text;
    MessageBoxIcon icon = MessageBoxIcon::None;
    std::vector<std::wstring> buttons;
};

namespace detail {

struct StandardIcon {
    MessageBoxIcon kind;
    const wchar_t* id;
};
inline const StandardIcon kStandardIcons[] = {
    {MessageBoxIcon::Hand, IDI_HAND},
    {MessageBoxIcon::Question, IDI_QUESTION},
    {MessageBoxIcon::Exclamation, IDI_EXCLAMATION},
    {MessageBoxIcon::Asterisk, IDI_ASTERISK},
};

// The 32-bit pixels of a width x height picture.
class Picture {
  public:
    Picture(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
    }

    // Lets paint draw into the picture.
    template <typename Paint> void Draw(Paint paint) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, bitmap_.get());
        ScopeGuard release([&] {
            SelectObject(dc, previous);
            DeleteDC(dc);
        });
        paint(dc);
        GdiFlush();
    }

    COLORREF At(int x, int y) const {
        DWORD bgra = bits_ ? static_cast<const DWORD*>(bits_)[y * width_ + x] : 0;
        return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
    }

    bool SameAs(const Picture& other) const {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (At(x, y) != other.At(x, y)) {
                    return false;
                }
            }
        }
        return true;
    }

  private:
    int width_;
    int height_;
    void* bits_ = nullptr;
    UniqueBitmap bitmap_;
};

// Another process's icon handle means nothing here, so its picture on the screen is compared with
// each standard icon drawn over the same background.
inline MessageBoxIcon IconOnScreenNow(HWND iconControl) {
    RedrawWindow(iconControl, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT r{};
    GetWindowRect(iconControl, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) {
        return MessageBoxIcon::Unknown;
    }
    Picture shown(width, height);
    shown.Draw([&](HDC dc) {
        HDC screen = GetDC(nullptr);
        ScopeGuard release([screen] { ReleaseDC(nullptr, screen); });
        BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    });
    UniqueBrush background(CreateSolidBrush(shown.At(0, 0))); // icon corners are transparent
    for (const StandardIcon& icon : kStandardIcons) {
        Picture drawn(width, height);
        drawn.Draw([&](HDC dc) {
            RECT all{0, 0, width, height};
            FillRect(dc, &all, background.get());
            DrawIconEx(dc, 0, 0, LoadIconW(nullptr, icon.id), width, height, 0, nullptr, DI_NORMAL);
        });
        if (shown.SameAs(drawn)) {
            return icon.kind;
        }
    }
    return MessageBoxIcon::Unknown;
}

// A box just shown may not be painted yet: look again for a while before calling it unknown.
inline MessageBoxIcon IconOnScreen(HWND iconControl) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(2000);
    for (;;) {
        const MessageBoxIcon icon = IconOnScreenNow(iconControl);
        if (icon != MessageBoxIcon::Unknown || std::chrono::steady_clock::now() >= deadline ||
            !IsWindow(iconControl)) {
            return icon;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

inline MessageBoxIcon IconOf(HWND iconControl) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(iconControl, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
    if (result == 0) {
        return MessageBoxIcon::None;
    }
    if (ProcessOf(iconControl) != GetCurrentProcessId()) {
        return IconOnScreen(iconControl);
    }
    // Within one process the standard icons are shared handles.
    for (const StandardIcon& icon : kStandardIcons) {
        if (reinterpret_cast<HICON>(result) == LoadIconW(nullptr, icon.id)) {
            return icon.kind;
        }
    }
    return MessageBoxIcon::Unknown;
}

inline SeenMessageBox Inspect(HWND box) {
    SeenMessageBox seen;
    seen.window = box;
    seen.owner = GetWindow(box, GW_OWNER);
    seen.processId = ProcessOf(box);
    seen.title = StoredWindowText(box);
    std::vector<HWND> children;
    EnumChildWindows(box, &TopLevelWindowWatcher::CollectWindow,
                     reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        const std::wstring kind = ClassNameOf(child);
        if (_wcsicmp(kind.c_str(), L"Button") == 0) {
            seen.buttons.push_back(StoredWindowText(child));
        } else if (_wcsicmp(kind.c_str(), L"Static") == 0) {
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                seen.icon = IconOf(child);
            } else if (std::wstring text = StoredWindowText(child); !text.empty()) {
                seen.text = text;
            }
        }
    }
    return seen;
}

} // namespace detail

class MessageBoxWatcher {
  public:
    static constexpr DWORD kAnyProcess = 0;

    // Answers every box titled `title` shown by processId (or by any process) with the command
    // `answer`, as if its button had been pressed.
    explicit MessageBoxWatcher(std::wstring title, DWORD processId = GetCurrentProcessId(),
                               int answer = IDOK)
        : title_(std::move(title)), processId_(processId), answer_(answer),
          watcher_([this](HWND window) { return IsWatchedBox(window); },
                   [this](HWND window) { Answer(window); }) {}

    std::vector<SeenMessageBox> Seen() const {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    std::size_t Count() const {
        std::lock_guard lock(mutex_);
        return seen_.size();
    }
    // Dispatches this thread's messages until `count` boxes have been answered.
    bool WaitForCount(std::size_t count,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) const {
        return WaitUntil([&] { return Count() >= count; }, timeout);
    }

  private:
    bool IsWatchedBox(HWND window) const {
        return ClassNameOf(window) == L"#32770" && StoredWindowText(window) == title_ &&
               (processId_ == kAnyProcess || ProcessOf(window) == processId_);
    }

    void Answer(HWND box) {
        SeenMessageBox seen = detail::Inspect(box);
        {
            std::lock_guard lock(mutex_);
            seen_.push_back(std::move(seen));
        }
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer_, BN_CLICKED), 0);
    }

    const std::wstring title_;
    const DWORD processId_;
    const int answer_;
    mutable std::mutex mutex_;
    std::vector<SeenMessageBox> seen_;
    TopLevelWindowWatcher watcher_; // last: its thread uses everything above
};

} // namespace hkv::test
