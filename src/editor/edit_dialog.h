#pragma once
// edit: the small borderless dialog in which a row's old shortcut is composed from three key
// lists. Its working state lives in text boxes placed outside its visible area, so hiding the
// dialog keeps the picks and destroying it loses them.
#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "common/com_apartment.h"
#include "common/win_handles.h"
#include "ui/accessible.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/label_button.h"

namespace hkv {

// What the dialog needs of the window that opened it.
struct EditorHost {
    // Puts a composed old shortcut into row (0..9): its display text and key code list.
    std::function<void(int row, const std::wstring& displayText, const std::wstring& keyCodeList)>
        SetRow;
    // Shows the main window again.
    std::function<void()> ShowMain;
    // Lets go of every key a playback holds, before a modal loop (the dialog's move loop) starts.
    std::function<void()> BeforeModalLoop;
};

class EditDialog : public ui::Form {
  public:
    // Screen readers' objects enter COM through com, which outlives the dialog.
    EditDialog(EditorHost host, ComApartment& com);
    ~EditDialog() override;

    // Creates the dialog hidden and runs its load step.
    bool Create();
    // Sets the row the dialog edits ("0" to "9") and tells a screen reader what it shows now.
    void SetPd(const std::wstring& row, const std::wstring& rowShows);
    // Shows the dialog, modeless and without an owner.
    void Show();

  private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, WORD code) override;
    void OnClose() override;
    void OnMenuLoop() override;
    void CreateControls();
    void Form_Load();

    void KeyList_Click(int list); // lovea_Click, lovek_Click, lovem_Click
    void KeyList_Typed(int list);
    void KeyList_Chosen(int list);
    void Label1_Click();
    // Stores the lists' picks into the row; false, with the user told why, when there are none.
    bool StorePicks();
    void Image3_Click();

    std::wstring BoxText(HWND box) const;
    static void SetBoxText(HWND box, const std::wstring& text);

    EditorHost host_;
    bool shownBefore_ = false;
    UniqueFont listFont_;
    UniqueFont titleFont_;
    UniqueFont buttonFont_;
    ui::PictureBox pmenu_;
    ui::Label title_;
    ui::ImageBox image3_;
    ui::LabelButton label1_;          // "添加", the default button
    std::array<HWND, 3> lists_{};     // lovea, lovek, lovem
    std::array<HWND, 3> codeParts_{}; // Text2, Text3, Text4
    std::array<HWND, 3> nameParts_{}; // m1, m2, m3
    HWND num_ = nullptr;
    HWND pd_ = nullptr;
    ui::AccessibleControls accessible_;
};

} // namespace hkv
