#pragma once
// Runs a cleanup when the scope ends, however it ends, unless dismissed.
#include <utility>

namespace hkv {

template <typename F> class ScopeGuard {
  public:
    explicit ScopeGuard(F f) noexcept : f_(std::move(f)) {}
    ~ScopeGuard() {
        if (active_) {
            f_();
        }
    }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;
    void dismiss() noexcept { active_ = false; }

  private:
    F f_;
    bool active_ = true;
};

} // namespace hkv
