#include "editor/edit_accessible.h"

#include <oleacc.h>

#include <string>

#include "common/decimal.h"
#include "editor/edit_ids.h"

namespace hkv {
namespace {

constexpr wchar_t kCloseName[] = L"关闭";
constexpr wchar_t kRowNow[] = L"该行当前为 ";
constexpr wchar_t kRowEmpty[] = L"该行当前为空";

std::wstring TextOf(HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

} // namespace

void DescribeEditor(ui::AccessibleControls& accessible, HWND editor) {
    HWND strip = GetDlgItem(editor, ids::kEditPmenu);
    DescribeEditedRow(accessible, editor, 0, L"");
    const std::pair<int, const wchar_t*> lists[] = {
        {ids::kLovea, L"第一个键"}, {ids::kLovek, L"第二个键"}, {ids::kLovem, L"第三个键"}};
    for (const auto& [id, name] : lists) {
        HWND list = GetDlgItem(editor, id);
        accessible.Attach(
            list,
            {.name = name, .role = ROLE_SYSTEM_COMBOBOX, .description = {}, .valueIsText = true});
        // Its field is what takes the focus.
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (list && GetComboBoxInfo(list, &info)) {
            accessible.Attach(info.hwndItem, {.name = name});
        }
    }
    HWND add = GetDlgItem(editor, ids::kLabel1);
    accessible.Attach(add, {.name = TextOf(add), .role = ROLE_SYSTEM_PUSHBUTTON});
    accessible.Attach(GetDlgItem(strip, ids::kEditImage3),
                      {.name = kCloseName, .role = ROLE_SYSTEM_PUSHBUTTON});
}

void DescribeEditedRow(ui::AccessibleControls& accessible, HWND editor, int row,
                       const std::wstring& rowShows) {
    // Its window text is not what the user sees; the title strip's is, with the row it edits
    // ("编辑 第 3 行"), which the strip has no room for.
    ui::AccessibleFacts facts{
        .name = TextOf(GetDlgItem(GetDlgItem(editor, ids::kEditPmenu), ids::kEditTitle))};
    if (row > 0) {
        facts.name += L" 第 " + DecimalText(row) + L" 行";
        facts.description = rowShows.empty() ? std::wstring(kRowEmpty) : kRowNow + rowShows;
    }
    accessible.Attach(editor, std::move(facts));
}

} // namespace hkv
