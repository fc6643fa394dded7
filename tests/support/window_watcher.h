#pragma once
// Watches the desktop from a thread of its own for top-level windows that match, and hands each
// new one to an action once. For windows that block the thread showing them (message boxes, popup
// menus): that thread cannot answer them itself.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace hkv::test {

// The window's own text, read without sending it a message: the thread that owns it may be the
// one waiting for us.
inline std::wstring StoredWindowText(HWND window) {
    wchar_t buffer[1024] = {};
    int n = InternalGetWindowText(window, buffer, static_cast<int>(std::size(buffer)));
    return std::wstring(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

inline std::wstring ClassNameOf(HWND window) {
    wchar_t buffer[256] = {};
    int n = GetClassNameW(window, buffer, static_cast<int>(std::size(buffer)));
    return std::wstring(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

inline DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

class TopLevelWindowWatcher {
  public:
    using Match = std::function<bool(HWND)>;
    using Action = std::function<void(HWND)>;

    // Calls action, on the watcher's thread, for every visible top-level window that matches,
    // once per window.
    TopLevelWindowWatcher(Match match, Action action)
        : match_(std::move(match)), action_(std::move(action)), thread_([this] { Run(); }) {}

    ~TopLevelWindowWatcher() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    TopLevelWindowWatcher(const TopLevelWindowWatcher&) = delete;
    TopLevelWindowWatcher& operator=(const TopLevelWindowWatcher&) = delete;

    // An EnumWindows/EnumChildWindows callback filling the std::vector<HWND> it is given.
    static BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
        return TRUE;
    }

  private:
    static constexpr std::chrono::milliseconds kPollInterval{15};

    void Run() {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            lock.unlock();
            Poll();
            lock.lock();
            wake_.wait_for(lock, kPollInterval, [this] { return stop_; });
        }
    }

    void Poll() {
        // A window handled before stays handled while it exists; a closed one is forgotten so
        // that a later window given the same handle counts again.
        std::erase_if(handled_, [](HWND window) { return !IsWindow(window); });
        std::vector<HWND> found;
        EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&found));
        for (HWND window : found) {
            if (!IsWindowVisible(window) ||
                std::find(handled_.begin(), handled_.end(), window) != handled_.end()) {
                continue;
            }
            if (match_(window)) {
                handled_.push_back(window);
                action_(window);
            }
        }
    }

    Match match_;
    Action action_;
    std::vector<HWND> handled_; // touched by the watcher thread only
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_; // last: starts once everything above exists
};

} // namespace hkv::test
