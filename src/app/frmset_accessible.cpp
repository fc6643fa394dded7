#include "app/frmset_accessible.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string>

#include "app/frmset_ids.h"
#include "app/frmset_texts.h"
#include "common/decimal.h"

namespace hkv {
namespace {

// What the keys do in the boxes, which a reader cannot see.
constexpr wchar_t kOpensEditor[] = L"按 Enter 或空格键打开编辑器";
constexpr wchar_t kEveryKeyCaptured[] = L"在此按下的每个键都成为新的热键";

// "第 1 行 替换为": the row in digits, then the column's heading.
std::wstring RowName(int row, const wchar_t* column) {
    return L"第 " + DecimalText(row) + L" 行 " + column;
}

} // namespace

void DescribeFrmSet(ui::AccessibleControls& accessible, HWND frmSet,
                    const std::array<std::unique_ptr<Velmo>, ids::kRows>& velmos) {
    for (int row = 1; row <= ids::kRows; ++row) {
        accessible.Attach(GetDlgItem(frmSet, ids::kText1First + row - 1),
                          {.name = RowName(row, frmset::kOldShortcutHeading),
                           .role = 0,
                           .description = kOpensEditor,
                           .valueIsText = true});
        // The hotkey control's edit box is what takes the focus.
        const Velmo* velmo = velmos[static_cast<std::size_t>(row - 1)].get();
        accessible.Attach(velmo ? velmo->EditBox() : nullptr,
                          {.name = RowName(row, frmset::kNewHotkeyHeading),
                           .role = ROLE_SYSTEM_HOTKEYFIELD,
                           .description = kEveryKeyCaptured,
                           .valueIsText = true,
                           .valueSettled = [velmo] { return velmo->TextSettled(); }});
        accessible.Attach(GetDlgItem(frmSet, ids::kCheckFirst + row - 1),
                          {.name = RowName(row, frmset::kEnableText),
                           .role = ROLE_SYSTEM_CHECKBUTTON,
                           .description = {},
                           .valueIsText = false,
                           .checkBox = true});
    }
    HWND strip = GetDlgItem(frmSet, ids::kPmenu);
    const std::pair<int, const wchar_t*> images[] = {{ids::kImage1, frmset::kMenuTip},
                                                     {ids::kImage2, frmset::kMinimiseTip},
                                                     {ids::kImage3, frmset::kExitTip}};
    for (const auto& [id, tip] : images) {
        accessible.Attach(GetDlgItem(strip, id), {.name = tip, .role = ROLE_SYSTEM_PUSHBUTTON});
    }
}

} // namespace hkv
