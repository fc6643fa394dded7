#include "app/single_instance.h"

namespace hkv {

SingleInstance::SingleInstance(const wchar_t* name) {
    SetLastError(ERROR_SUCCESS);
    mutex_.reset(CreateMutexW(nullptr, FALSE, name));
    const DWORD error = GetLastError();
    // Any other failure (no resources for the name) must not keep the one copy from running.
    first_ = !(error == ERROR_ALREADY_EXISTS || (!mutex_ && error == ERROR_ACCESS_DENIED));
}

} // namespace hkv
