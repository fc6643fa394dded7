#pragma once
// One owner for every Win32 resource: a move-only holder parameterised on the function that
// releases it. Handles are never closed by hand and never copied.
#include <utility>

namespace hkv {

template <typename Handle, auto Close, Handle Invalid = Handle{}> class UniqueHandle {
  public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : handle_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    [[nodiscard]] Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Invalid; }

    // Gives up ownership without closing, e.g. when the window system has already destroyed it.
    Handle release() noexcept { return std::exchange(handle_, Invalid); }

    void reset(Handle h = Invalid) noexcept {
        Handle old = std::exchange(handle_, h);
        if (old != Invalid) {
            Close(old);
        }
    }

  private:
    Handle handle_ = Invalid;
};

} // namespace hkv
