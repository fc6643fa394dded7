#pragma once
// The screen scale that programs started afterwards see (read from the registry at their start).
#include <windows.h>

namespace hkv::test {

// 100 %, the scale every run starts from.
inline constexpr DWORD kNormalScreenDpi = 96;

// Sets the scale for the life of the object, then 100 % again.
class ScreenScale {
  public:
    explicit ScreenScale(DWORD dpi) { Set(dpi); }
    ~ScreenScale() { Set(kNormalScreenDpi); }
    ScreenScale(const ScreenScale&) = delete;
    ScreenScale& operator=(const ScreenScale&) = delete;

  private:
    static void Set(DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi,
                        sizeof dpi);
    }
};

} // namespace hkv::test
