#pragma once
// Whether a keyboard layout makes right Alt AltGr, decided from what can be learnt of it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace hkv {

// What the layout answered for one key asked with Ctrl and Alt down, without touching the state
// it keeps for dead keys: the count of characters (negative for a dead key, 0 for none) and the
// first of them.
struct CtrlAltAnswer {
    std::uint8_t vk;
    int count;
    wchar_t first;
};

// The keys that type characters: digits, letters, and the punctuation keys of the main block.
constexpr bool TypesCharacters(std::uint8_t vk) {
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') || (vk >= 0xBA && vk <= 0xC0) ||
           (vk >= 0xDB && vk <= 0xE2);
}

// The flag among a layout's locale flags (in the tables its layout library describes itself by)
// that says it has AltGr: right Alt is Ctrl + Alt there.
inline constexpr std::uint32_t kLocaleFlagAltGr = 0x0001;

// The layout's own flags (from its layout library) when they could be read; otherwise whether
// Ctrl + Alt types a character on one of the character keys (a dead key counts too), the state
// AltGr produces.
bool LayoutHasAltGr(std::optional<std::uint32_t> localeFlags,
                    std::span<const CtrlAltAnswer> answers);

// Whether right Alt is AltGr, per keyboard layout met so far: a layout is asked (its library
// found in the registry and read, its keys tried) at the first press under it and never again, so
// that a press asks neither the registry nor the file system. Past the layouts kept, the one
// asked first of them makes room.
class AltGrByLayout {
  public:
    template <typename Ask> bool HasAltGr(std::uintptr_t layout, Ask ask) {
        for (std::size_t i = 0; i < count_; ++i) {
            if (known_[i].layout == layout) {
                return known_[i].altGr;
            }
        }
        Known& slot = known_[count_ < kLayouts ? count_++ : next_++ % kLayouts];
        slot = {layout, ask()};
        return slot.altGr;
    }

  private:
    // More than a person switches among.
    static constexpr std::size_t kLayouts = 16;
    struct Known {
        std::uintptr_t layout;
        bool altGr;
    };
    std::array<Known, kLayouts> known_{};
    std::size_t count_ = 0;
    std::size_t next_ = 0;
};

} // namespace hkv
