#include "editor/composition.h"

#include "common/decimal.h"
#include "keys/co.h"

namespace hkv::editor {

namespace {
constexpr std::wstring_view kSeparator = L" + ";
}

const std::array<std::wstring_view, kKeyListEntries>& KeyListEntries() {
    static const std::array<std::wstring_view, kKeyListEntries> entries{
        L"",     L"Shift", L"Ctrl", L"Alt",    L"Win", L"Enter", L"Backspace", L"Space", L"ESC",
        L"LEFT", L"Right", L"UP",   L"BOTTOM", L"+",   L"-",     L"*",         L"/",     L"L-1",
        L"L-2",  L"L-3",   L"L-4",  L"L-5",    L"L-6", L"L-7",   L"L-8",       L"L-9",   L"L-0",
        L"R-1",  L"R-2",   L"R-3",  L"R-4",    L"R-5", L"R-6",   L"R-7",       L"R-8",   L"R-9",
        L"R-0",  L"A",     L"B",    L"C",      L"D",   L"E",     L"F",         L"G",     L"H",
        L"I",    L"J",     L"K",    L"L",      L"M",   L"N",     L"O",         L"P",     L"Q",
        L"R",    L"S",     L"T",    L"U",      L"V",   L"W",     L"X",         L"Y",     L"Z",
    };
    return entries;
}

KeyPick PickFromName(std::wstring_view name) {
    if (name.empty()) {
        return {};
    }
    KeyPick pick;
    const auto code = co::KeyNameToCode(name);
    pick.codePart = (code ? DecimalText(*code) : std::wstring()) + L"|";
    pick.namePart = std::wstring(name) + std::wstring(kSeparator);
    return pick;
}

std::optional<Composition> Compose(const std::array<KeyPick, kMaxShortcutKeys>& picks) {
    if (picks[0].codePart.empty()) {
        return std::nullopt;
    }
    Composition result;
    std::array<std::wstring, kMaxShortcutKeys> codeParts;
    int count = 0;
    for (std::size_t k = 0; k < picks.size(); ++k) {
        result.displayText += picks[k].namePart;
        codeParts[k] = picks[k].codePart;
        if (!picks[k].codePart.empty()) {
            ++count;
        }
    }
    if (result.displayText.size() >= kSeparator.size() &&
        std::wstring_view(result.displayText)
                .substr(result.displayText.size() - kSeparator.size()) == kSeparator) {
        result.displayText.resize(result.displayText.size() - kSeparator.size());
    }
    result.num = DecimalText(count);
    result.keyCodeList = BuildKeyCodeList(codeParts);
    return result;
}

std::optional<int> RowFromPd(std::wstring_view pd) {
    if (pd.size() != 1 || pd[0] < L'0' || pd[0] > L'9') {
        return std::nullopt;
    }
    return pd[0] - L'0';
}

} // namespace hkv::editor
