#include "editor/edit_dialog.h"

#include <commctrl.h>

#include "common/decimal.h"
#include "editor/composition.h"
#include "editor/edit_accessible.h"
#include "editor/editor_notices.h"
#include "editor/list_picks.h"
#include "editor/row_store.h"
#include "editor/edit_ids.h"
#include "keys/message_pump.h"
#include "settings/modini.h"
#include "ui/font.h"
#include "ui/moveit.h"
#include "ui/notice.h"
#include "ui/pictures.h"
#include "ui/twips.h"

namespace hkv {
namespace {

constexpr int kClientWidthTwips = 6855;
constexpr int kClientHeightTwips = 2625;
// A drop-down combo box's height includes its dropped list.
constexpr int kDroppedListPixels = 320;

const FontSpec kListFont{L"微软雅黑", 9, 400, 134};
const FontSpec kTitleFont{L"微软雅黑", 12, 700, 0};
const FontSpec kButtonFont{L"微软雅黑", 18, 700, 134};

} // namespace

EditDialog::EditDialog(EditorHost host, ComApartment& com)
    : host_(std::move(host)), accessible_(com) {}
EditDialog::~EditDialog() = default;

bool EditDialog::Create() {
    const int dpi = ScreenDpi();
    listFont_ = CreateFontFromSpec(kListFont, dpi);
    titleFont_ = CreateFontFromSpec(kTitleFont, dpi);
    buttonFont_ = CreateFontFromSpec(kButtonFont, dpi);
    // Without an owner: the dialog has its own taskbar button while the main window is hidden.
    if (!CreateForm(ids::kEditClass, L"Form1", TwipsToPixels(kClientWidthTwips, dpi),
                    TwipsToPixels(kClientHeightTwips, dpi))) {
        return false;
    }
    CreateControls();
    Form_Load();
    return true;
}

void EditDialog::CreateControls() {
    HWND self = hwnd();
    // The state boxes lie below or beyond the visible area and are no tab stops, disabled so that
    // no key reaches them: what the user cannot see must not be typed into. Hidden as well, so
    // that no screen reader offers them.
    auto stateBox = [&](const TwipsRect& tw, int id, const wchar_t* text) {
        HWND box = ui::CreateControl(
            self, dpi(),
            {WC_EDITW, id, tw, ES_AUTOHSCROLL | WS_BORDER | WS_DISABLED, listFont_.get(), text});
        ShowWindow(box, SW_HIDE);
        return box;
    };
    auto keyList = [&](const TwipsRect& tw, int id) {
        return ui::CreateControl(self, dpi(),
                                 {WC_COMBOBOXW, id, tw,
                                  WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL,
                                  listFont_.get(), L"", kDroppedListPixels});
    };

    // The lists come first, so that Tab visits them left to right and then "添加" (created
    // last), and never an unseen state box.
    lists_[0] = keyList({360, 720, 1815, 375}, ids::kLovea);
    lists_[1] = keyList({2400, 720, 1815, 375}, ids::kLovek);
    lists_[2] = keyList({4440, 720, 2055, 375}, ids::kLovem);
    num_ = stateBox({10920, 2400, 1575, 375}, ids::kNum, L"0");
    codeParts_[2] = stateBox({4680, 2640, 1575, 375}, ids::kText4, L"");
    codeParts_[1] = stateBox({2520, 2760, 1455, 270}, ids::kText3, L"");
    codeParts_[0] = stateBox({480, 2760, 1455, 270}, ids::kText2, L"");
    pd_ = stateBox({10800, 1440, 1575, 375}, ids::kPd, L"Text1");
    nameParts_[0] = stateBox({360, 4440, 1455, 270}, ids::kM1, L"");
    nameParts_[1] = stateBox({2520, 4440, 1335, 270}, ids::kM2, L"");
    nameParts_[2] = stateBox({4680, 4440, 1455, 375}, ids::kM3, L"");

    pmenu_.Create(self, ids::kEditPmenu, ToPixels({0, 0, 12735, 375}, dpi()),
                  ui::ColorRole::Accent);
    image3_.Create(pmenu_.hwnd(), ids::kEditImage3, ToPixels({6480, 30, 240, 240}, dpi()),
                   PictureId::Close);
    title_.Create(pmenu_.hwnd(), ids::kEditTitle, ToPixels({120, 0, 615, 375}, dpi()), L"编辑",
                  {titleFont_.get(), ui::ColorRole::AccentText, ui::ColorRole::Accent, false});
    label1_.Create(self, ids::kLabel1, ToPixels({360, 1620, 6135, 510}, dpi()), L"添加",
                   {buttonFont_.get(), ui::ColorRole::AccentText, ui::ColorRole::Accent, true});
    DescribeEditor(accessible_, self);
}

void EditDialog::Form_Load() {
    FitFrame();

    // A failing add (CB_ERR, CB_ERRSPACE) is skipped; loading goes on.
    auto add = [](HWND list, std::wstring_view name) {
        const std::wstring text(name);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    };
    const auto& entries = editor::KeyListEntries();
    for (HWND list : lists_) {
        add(list, entries[0]);
        // The blank field is the blank entry: the first Down goes on to the next one.
        SendMessageW(list, CB_SETCURSEL, 0, 0);
    }
    for (HWND list : lists_) {
        for (int e = 1; e < editor::kFixedEntries; ++e) {
            add(list, entries[e]);
        }
    }
    MessagePump pump;
    for (int e = editor::kFixedEntries; e < editor::kKeyListEntries; ++e) {
        pump.DispatchPending();
        for (HWND list : lists_) {
            add(list, entries[e]);
        }
    }
}

void EditDialog::SetPd(const std::wstring& row, const std::wstring& rowShows) {
    SetBoxText(pd_, row);
    const auto index = editor::RowFromPd(row);
    DescribeEditedRow(accessible_, hwnd(), index ? *index + 1 : 0, rowShows);
}

void EditDialog::Show() {
    if (!shownBefore_) {
        CentreOnScreen();
    }
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    if (!shownBefore_) {
        SetFocus(lists_[0]);
        shownBefore_ = true;
    }
}

void EditDialog::OnClose() {
    Image3_Click();
}

LRESULT EditDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == DM_GETDEFID) {
        // Enter in a key list whose drop-down is closed presses "添加".
        return MAKELRESULT(ids::kLabel1, DC_HASDEFID);
    }
    return Form::OnMessage(msg, wParam, lParam);
}

void EditDialog::OnCommand(int id, WORD code) {
    if (id == IDCANCEL && code == 0) {
        Image3_Click(); // Esc, from dialog navigation
    } else if (id >= ids::kLovea && id <= ids::kLovem) {
        if (code == CBN_SELCHANGE) {
            KeyList_Click(id - ids::kLovea);
        } else if (code == CBN_EDITCHANGE) {
            KeyList_Typed(id - ids::kLovea);
        } else if (code == CBN_SELENDOK) {
            KeyList_Chosen(id - ids::kLovea);
        }
    } else if (id == ids::kEditPmenu && code == ui::kNotifyMouseMove) {
        // The move loop lasts as long as the user drags: no playback may hold keys meanwhile.
        moveit::DragWindow(hwnd(), host_.BeforeModalLoop);
    } else if (id == ids::kLabel1 && code == ui::kNotifyClick) {
        Label1_Click();
    } else if (id == ids::kEditImage3 && code == ui::kNotifyClick) {
        Image3_Click();
    }
}

void EditDialog::OnMenuLoop() {
    if (host_.BeforeModalLoop) {
        host_.BeforeModalLoop();
    }
}

void EditDialog::KeyList_Click(int list) {
    // The selected entry's own text: the list's field is updated only after this notification.
    HWND box = lists_[list];
    const LRESULT selected = SendMessageW(box, CB_GETCURSEL, 0, 0);
    std::wstring name;
    if (selected != CB_ERR) {
        const LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, selected, 0);
        if (length != CB_ERR) {
            name.resize(static_cast<std::size_t>(length) + 1);
            SendMessageW(box, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(name.data()));
            name.resize(static_cast<std::size_t>(length));
        }
    }
    const editor::KeyPick pick = editor::PickFromName(name);
    SetBoxText(codeParts_[list], pick.codePart);
    SetBoxText(nameParts_[list], pick.namePart);
}

void EditDialog::KeyList_Typed(int list) {
    // A field that names an entry makes it the list's current one, open or closed, so that the
    // arrow keys go on from what the field shows and Enter in the open list keeps it. Through the
    // list itself: the combo's own selecting would rewrite the field under the typing. Otherwise
    // the open list keeps the combo's highlight of the first name the typing begins.
    const auto entry = editor::EntryNamed(BoxText(lists_[list]));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!entry || !GetComboBoxInfo(lists_[list], &info)) {
        return;
    }
    SendMessageW(info.hwndList, LB_SETCURSEL, static_cast<WPARAM>(*entry), 0);
    SendMessageW(info.hwndList, LB_SETTOPINDEX, static_cast<WPARAM>(*entry), 0);
}

void EditDialog::KeyList_Chosen(int list) {
    // The open list closed on its highlighted entry, which the combo does not put into the field
    // after typing: the field shows what is kept.
    HWND box = lists_[list];
    const LRESULT chosen = SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (chosen < 0 || chosen >= editor::kKeyListEntries ||
        BoxText(box) == editor::KeyListEntries()[static_cast<std::size_t>(chosen)]) {
        return;
    }
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
    KeyList_Click(list);
}

void EditDialog::Label1_Click() {
    if (!StorePicks()) {
        return; // the user was told; the picks stay for another try
    }
    host_.ShowMain();
    ShowWindow(hwnd(), SW_HIDE);
}

bool EditDialog::StorePicks() {
    std::array<std::wstring, kMaxShortcutKeys> fields;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        fields[k] = BoxText(lists_[k]);
    }
    const auto taken = editor::TakePicks(fields);
    if (const auto* refused = std::get_if<editor::PickRefused>(&taken)) {
        ui::ShowNotice(hwnd(), editor::PicksRefusedText(*refused), host_.BeforeModalLoop);
        return false;
    }
    const auto& picks = std::get<editor::Picks>(taken);
    for (std::size_t k = 0; k < picks.names.size(); ++k) {
        // The field as the list spells the name, and the list's current entry with it.
        const auto entry = static_cast<LRESULT>(editor::EntryNamed(picks.names[k]).value_or(0));
        if (BoxText(lists_[k]) != picks.names[k] ||
            SendMessageW(lists_[k], CB_GETCURSEL, 0, 0) != entry) {
            SendMessageW(lists_[k], CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
        }
        SetBoxText(codeParts_[k], picks.picks[k].codePart);
        SetBoxText(nameParts_[k], picks.picks[k].namePart);
    }
    const std::wstring pd = BoxText(pd_);
    const auto row = editor::RowFromPd(pd);
    const auto composed = editor::Compose(picks.picks);
    if (!composed || !row) {
        return true; // no row to store into: the row stays as it was
    }
    SetBoxText(num_, composed->num);
    host_.SetRow(*row, composed->displayText, composed->keyCodeList);
    const editor::RowStored stored = editor::StoreRow(pd, *composed);
    if (!stored.kept) {
        // The row shows the shortcut all the same; without a word it would be gone next time.
        const std::wstring reason = stored.error != 0 ? SystemReasonLine(stored.error) : L"";
        ui::ShowNotice(hwnd(),
                       editor::RowNotKeptText(*row + 1, composed->displayText,
                                              modINI::IniFilePath(), stored.inFile, reason),
                       host_.BeforeModalLoop);
    }
    return true;
}

void EditDialog::Image3_Click() {
    host_.ShowMain();
    Destroy();
}

std::wstring EditDialog::BoxText(HWND box) const {
    return ui::ControlText(box);
}

void EditDialog::SetBoxText(HWND box, const std::wstring& text) {
    SetWindowTextW(box, text.c_str());
}

} // namespace hkv
