#include "editor/editor_notices.h"

#include <array>

#include "common/decimal.h"

namespace hkv::editor {
namespace {

constexpr wchar_t kLineBreak[] = L"\r\n";
constexpr std::array<const wchar_t*, kMaxShortcutKeys> kListNames = {L"first", L"second", L"third"};

} // namespace

std::wstring PicksRefusedText(const PickRefused& refused) {
    if (refused.problem == PickProblem::NoFirstKey) {
        return L"Nothing was stored: an old shortcut starts with a key picked in the first list.";
    }
    return std::wstring(L"Nothing was stored: the ") + kListNames[refused.list] +
           L" list shows \"" + refused.field +
           L"\", which is none of its keys.\r\nPick a key from the list, or leave it empty.";
}

std::wstring RowNotKeptText(int row, const std::wstring& shown, const std::wstring& settingsFile,
                            const RowInFile& kept, const std::wstring& reason) {
    std::wstring text = L"The old shortcut of row " + DecimalText(row) + L" (" + shown +
                        L") could not be written to" + kLineBreak + settingsFile;
    if (!reason.empty()) {
        text += kLineBreak + reason;
    }
    text += kLineBreak;
    text += L"It works until the program ends. At the next start the row ";
    if (kept.displayText.empty() && kept.keyCodeList.empty()) {
        text += L"is empty.";
    } else {
        text += L"shows \"" + kept.displayText + L"\" and plays the key codes \"" +
                kept.keyCodeList + L"\".";
    }
    return text;
}

} // namespace hkv::editor
