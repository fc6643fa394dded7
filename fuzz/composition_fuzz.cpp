// The editor's picks, any names at all: a shortcut is composed only from a first pick, its display
// text and key code list agree with the picks, and known names give a list the player accepts.
#include <fuzzer/FuzzedDataProvider.h>

#include "editor/composition.h"
#include "fuzz/fuzz_input.h"
#include "keys/co.h"

using hkv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::array<std::wstring, hkv::kMaxShortcutKeys> names;
    std::array<hkv::editor::KeyPick, hkv::kMaxShortcutKeys> picks;
    int count = 0;
    bool allKnown = true;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string raw = input.ConsumeRandomLengthString(64);
        names[k] =
            hkv::fuzz::WideText(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
        picks[k] = hkv::editor::PickFromName(names[k]);
        Require(picks[k].codePart.empty() == names[k].empty());
        Require(picks[k].namePart.empty() == names[k].empty());
        if (!names[k].empty()) {
            ++count;
            allKnown = allKnown && hkv::co::KeyNameToCode(names[k]).has_value();
        }
    }
    const auto row = hkv::editor::RowFromPd(names[0]);
    Require(!row || (*row >= 0 && *row <= 9 && names[0] == std::to_wstring(*row)));

    const auto composed = hkv::editor::Compose(picks);
    Require(composed.has_value() == !names[0].empty());
    if (!composed) {
        return 0;
    }
    Require(composed->num == std::to_wstring(count));
    std::wstring display;
    for (const auto& name : names) {
        if (!name.empty()) {
            display += (display.empty() ? L"" : L" + ") + name;
        }
    }
    Require(composed->displayText == display);
    const auto list = hkv::ParseKeyCodeList(composed->keyCodeList);
    if (allKnown) {
        Require(list && list->count == count);
        int k = 0;
        for (const auto& name : names) {
            if (!name.empty()) {
                Require(list->codes[static_cast<std::size_t>(k++)] ==
                        *hkv::co::KeyNameToCode(name));
            }
        }
    }
    return 0;
}
