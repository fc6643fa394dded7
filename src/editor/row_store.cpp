#include "editor/row_store.h"

#include <windows.h>

#include "settings/modini.h"

namespace hkv::editor {
namespace {

constexpr wchar_t kTextSection[] = L"conftext";
constexpr wchar_t kKeyCodeListSection[] = L"conftooltip";

// The row's key in "set.ini"; each write takes all or nothing of its own section.
class SettingsRowFile final : public RowFile {
  public:
    explicit SettingsRowFile(std::wstring pd) : pd_(std::move(pd)) {}
    std::wstring Read(Value value) override { return modINI::IniRead(Section(value), pd_, L""); }
    WriteOutcome Write(Value value, const std::wstring& text) override {
        return modINI::IniWrite(Section(value), pd_, text) ? WriteOutcome::Done()
                                                           : WriteOutcome::Failed(GetLastError());
    }

  private:
    static const wchar_t* Section(Value value) {
        return value == Value::Text ? kTextSection : kKeyCodeListSection;
    }
    std::wstring pd_;
};

} // namespace

RowStored StoreRow(const std::wstring& pd, const Composition& composed) {
    SettingsRowFile file(pd);
    return SaveRow(file, composed);
}

RowInFile StoredRow(const std::wstring& pd) {
    return {modINI::IniRead(kTextSection, pd, L""), modINI::IniRead(kKeyCodeListSection, pd, L"")};
}

} // namespace hkv::editor
