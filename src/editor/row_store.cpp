#include "editor/row_store.h"

#include <windows.h>

#include "settings/modini.h"

namespace hkv::editor {
namespace {

constexpr wchar_t kTextSection[] = L"conftext";
constexpr wchar_t kKeyCodeListSection[] = L"conftooltip";

} // namespace

RowStored StoreRow(const std::wstring& pd, const Composition& composed) {
    // Each write takes all or nothing of its own section; what the file holds after both is read
    // back, so a second write that failed after the first landed is told as it is.
    RowStored stored;
    if (!modINI::IniWrite(kTextSection, pd, composed.displayText)) {
        stored.error = GetLastError();
    }
    if (!modINI::IniWrite(kKeyCodeListSection, pd, composed.keyCodeList) && stored.error == 0) {
        stored.error = GetLastError();
    }
    stored.inFile = StoredRow(pd);
    stored.kept = stored.inFile.displayText == composed.displayText &&
                  stored.inFile.keyCodeList == composed.keyCodeList;
    return stored;
}

RowInFile StoredRow(const std::wstring& pd) {
    return {modINI::IniRead(kTextSection, pd, L""), modINI::IniRead(kKeyCodeListSection, pd, L"")};
}

} // namespace hkv::editor
