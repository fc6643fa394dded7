// What the system answers, decided without it: the hooks' wait from its setting as stored, a call
// after it, and AltGr from what a layout answers.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "keys/altgr_layout.h"
#include "keys/hook_timeout.h"

TEST(SystemAnswers, TheHooksWaitAsAnyToolStoresItACallAfterItAndAltGrFromTheLayout) {
    using Number = std::optional<std::uint32_t>;
    for (auto [number, wait] :
         {std::pair{Number{}, 300u}, {200u, 200u}, {5000u, 1000u}, {0u, 300u}}) {
        EXPECT_EQ(hkv::HooksTimeoutMs(number, std::nullopt, 16299), wait);
    }
    EXPECT_EQ(hkv::HooksTimeoutMs(5000u, std::nullopt, 15063), 5000u); // no cap before 1709
    for (auto [text, wait] : {std::pair{L"450", 450u}, {L"99999999999", 1000u}, {L"2 s", 300u}}) {
        EXPECT_EQ(hkv::HooksTimeoutMs(std::nullopt, text, 16299), wait);
    }
    EXPECT_FALSE(hkv::CameAfterTimeout(1000, 1000, 1300, 300, false));
    EXPECT_TRUE(hkv::CameAfterTimeout(1000, 1000, 1301, 300, false));
    EXPECT_TRUE(hkv::CameAfterTimeout(0xFFFFFF00u, 0, 400, 300, false)); // the tick count wrapped
    EXPECT_FALSE(hkv::CameAfterTimeout(1400, 0, 1000, 300, false)); // stamped after the clock read
    EXPECT_TRUE(hkv::CameAfterTimeout(1000, 1000, 1301, 300, true));
    // A program's key stamped by itself, from a recording or another clock, or not at all.
    EXPECT_TRUE(hkv::CameAfterTimeout(1000, 0, 3000000, 300, false));
    EXPECT_FALSE(hkv::CameAfterTimeout(1000, 0, 3000000, 300, true));
    EXPECT_FALSE(hkv::CameAfterTimeout(0, 0, 3000000, 300, true));
    // AltGr + Q types @; a dead key; Ctrl + A's control character; F1; the layout's own flags:
    // every one but AltGr's, AltGr's alone.
    const struct {
        std::optional<std::uint32_t> flag;
        std::vector<hkv::CtrlAltAnswer> answers;
        bool altGr;
    } layouts[] = {{{}, {{'Q', 1, L'@'}}, true},     {{}, {{0xDD, -1, L'^'}}, true},
                   {{}, {{'A', 1, L'\x01'}}, false}, {{}, {{0x70, 1, L'x'}}, false},
                   {~1u, {{'E', 1, L'e'}}, false},   {1u, {}, true}};
    for (const auto& l : layouts) {
        EXPECT_EQ(hkv::LayoutHasAltGr(l.flag, l.answers), l.altGr) << l.answers.size();
    }
}
