#pragma once
// edit: the small borderless dialog in which a row's old shortcut is composed from three key
// lists. Its working state lives in text boxes placed outside its visible area, so hiding the
// dialog keeps the picks and destroying it loses them.
#include <windows.h>

#include <array>
#include <string>

#include "common/win_handles.h"
#include "ui/controls.h"

namespace hkv {

class FrmSet;

class EditDialog : public ui::WindowBase {
  public:
    explicit EditDialog(FrmSet& main);
    ~EditDialog() override;

    // Creates the dialog hidden and runs its load step.
    bool Create();
    // Sets the row the dialog edits ("0" to "9").
    void SetPd(const std::wstring& row);
    // Shows the dialog, modeless and without an owner.
    void Show();

  private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void CreateControls();
    void Form_Load();
    void Paint();
    void OnCommand(int id, WORD code);

    void KeyList_Click(int list); // lovea_Click, lovek_Click, lovem_Click
    void Label1_Click();
    void Image3_Click();

    std::wstring BoxText(HWND box) const;
    static void SetBoxText(HWND box, const std::wstring& text);

    FrmSet& main_;
    int dpi_ = 96;
    bool shownBefore_ = false;
    RECT shape1_{};
    UniqueFont listFont_;
    UniqueFont titleFont_;
    UniqueFont buttonFont_;
    UniqueBrush backBrush_;
    UniqueIcon iconLarge_;
    UniqueIcon iconSmall_;
    ui::PictureBox pmenu_;
    ui::Label title_;
    ui::ImageBox image3_;
    ui::Label label1_;
    std::array<HWND, 3> lists_{};     // lovea, lovek, lovem
    std::array<HWND, 3> codeParts_{}; // Text2, Text3, Text4
    std::array<HWND, 3> nameParts_{}; // m1, m2, m3
    HWND num_ = nullptr;
    HWND pd_ = nullptr;
};

} // namespace hkv
