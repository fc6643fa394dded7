#pragma once
// The test build of the program draws as in high contrast while this variable is set in its
// environment: the test system reports the mode off and refuses to turn it on.

namespace hkv::test {

inline constexpr wchar_t kHighContrastVariable[] = L"HKV_TEST_HIGH_CONTRAST";

} // namespace hkv::test
