#pragma once
// Raising one of the control's events to its host, which may leave any handler out. By-reference
// arguments come back as the handler left them.
namespace hkv {

template <typename Handler, typename... Args> void Raise(const Handler& handler, Args&... args) {
    if (handler) {
        handler(args...);
    }
}

} // namespace hkv
