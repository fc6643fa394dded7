// The shortcut editor of the real program, opened from a row of the real main window and used
// with real clicks and key presses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/composition.h"
#include "ui/notice.h"
#include "support/input.h"
#include "support/key_recorder.h"
#include "support/message_box_watcher.h"
#include "support/program_under_test.h"

using namespace hkv::test;
namespace ids = hkv::ids;

namespace {

int IndexOf(const wchar_t* name) {
    const auto& entries = hkv::editor::KeyListEntries();
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (entries[k] == name) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

class Editor : public testing::Test {
  protected:
    void TearDown() override { EXPECT_TRUE(NoKeyLeftDown()); }

    // Clicks row i's box and waits for the editor to be shown instead of the main window.
    HWND Open(ProgramUnderTest& program, int i) {
        if (!ClickOn(program.Text1(i))) {
            return nullptr;
        }
        HWND editor = nullptr;
        const bool shown = WaitUntil([&] {
            editor = program.Editor();
            return editor && IsWindowVisible(editor) && !IsWindowVisible(program.Main());
        });
        return shown ? editor : nullptr;
    }

    static HWND Box(HWND editor, int id) { return FindDescendant(editor, id); }
    static int Selected(HWND editor, int listId) {
        return static_cast<int>(SendMessageW(Box(editor, listId), CB_GETCURSEL, 0, 0));
    }

    // Selects an entry the keyboard way: the list has the focus and the arrow keys move its
    // selection one entry at a time.
    static bool PickByKeyboard(HWND editor, int listId, const wchar_t* name) {
        HWND list = Box(editor, listId);
        if (!ClickOn(list, EditFieldOf(list)) ||
            !WaitUntil([&] { return FocusOf(editor) && IsChild(list, FocusOf(editor)); })) {
            return false;
        }
        const int target = IndexOf(name);
        int current = Selected(editor, listId);
        const WORD key = target > current ? VK_DOWN : VK_UP;
        for (int n = std::abs(target - current); n > 0; --n) {
            TapKey(key);
        }
        return WaitUntil([&] { return Selected(editor, listId) == target; });
    }

    // Selects an entry the mouse way: drops the list with its button and clicks the entry.
    static bool PickByClick(HWND editor, int listId, const wchar_t* name) {
        HWND list = Box(editor, listId);
        DWORD pid = 0;
        GetWindowThreadProcessId(editor, &pid);
        const int target = IndexOf(name);
        RECT rc;
        GetWindowRect(list, &rc);
        HWND dropped = nullptr;
        if (!ClickOn(list, {rc.right - 6, rc.top + (rc.bottom - rc.top) / 2}) || !WaitUntil([&] {
                dropped = FindProcessWindow(pid, L"ComboLBox", true);
                return dropped != nullptr;
            }) ||
            !PointAtWindow(dropped, CentreOf(dropped))) {
            return false;
        }
        // Scrolled until the entry shows and lies under the pointer, and stays there while the
        // list takes the pointer's move: a move from above the list (where the drop-down button
        // is) that reaches it late, as the display's events may, starts it scrolling up on a
        // timer, which only a move inside stops. A click at a place worked out before that would
        // pick the entry above.
        POINT at{};
        if (!WaitUntil([&] {
                const auto top = SendMessageW(dropped, LB_GETTOPINDEX, 0, 0);
                RECT item{};
                RECT view{};
                SendMessageW(dropped, LB_GETITEMRECT, target, reinterpret_cast<LPARAM>(&item));
                GetClientRect(dropped, &view);
                if (top > target || item.bottom > view.bottom) {
                    SendMessageW(dropped, LB_SETTOPINDEX, target, 0);
                    return false;
                }
                POINT inside{10, (item.top + item.bottom) / 2};
                const LPARAM client = MAKELPARAM(inside.x, inside.y);
                ClientToScreen(dropped, &inside);
                POINT cursor{};
                GetCursorPos(&cursor);
                if (cursor.x != inside.x || cursor.y != inside.y) {
                    MoveMouseTo(inside);
                    return false;
                }
                at = inside;
                return InputTaken(dropped) && SendMessageW(dropped, LB_GETTOPINDEX, 0, 0) == top &&
                       SendMessageW(dropped, LB_ITEMFROMPOINT, 0, client) == target;
            })) {
            return false;
        }
        return ClickOn(dropped, at) && WaitUntil([&] {
                   return Selected(editor, listId) == target && !IsWindowVisible(dropped);
               });
    }

    static POINT EditFieldOf(HWND list) {
        RECT rc;
        GetWindowRect(list, &rc);
        return {rc.left + 12, rc.top + 8};
    }

    // Presses "添加" and waits for the main window to take the editor's place.
    static bool Add(ProgramUnderTest& program, HWND editor) {
        return ClickOn(Box(editor, ids::kLabel1)) && BackToMain(program, editor);
    }

    static bool BackToMain(ProgramUnderTest& program, HWND editor) {
        return WaitUntil([&] {
            return IsWindowVisible(program.Main()) &&
                   !(IsWindow(editor) && IsWindowVisible(editor));
        });
    }
};

} // namespace

TEST_F(Editor, EachListOffersTheSame63EntriesInOrderAndCloseDiscardsThePicks) {
    ProgramUnderTest program(L"lists");
    ASSERT_TRUE(program.Start());
    HWND editor = Open(program, 4);
    ASSERT_NE(editor, nullptr);
    for (int listId : {ids::kLovea, ids::kLovek, ids::kLovem}) {
        HWND list = Box(editor, listId);
        ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 63) << listId;
        for (int k = 0; k < 63; ++k) {
            wchar_t text[64] = {};
            SendMessageW(list, CB_GETLBTEXT, k, reinterpret_cast<LPARAM>(text));
            EXPECT_EQ(std::wstring(text),
                      hkv::editor::KeyListEntries()[static_cast<std::size_t>(k)])
                << "list " << listId << " entry " << k;
        }
        EXPECT_EQ(Selected(editor, listId), 0) << "a new editor starts on the blank entry";
    }
    EXPECT_EQ(TextOf(editor), L"Form1");
    EXPECT_EQ(TextOf(Box(editor, ids::kEditTitle)), L"编辑");
    EXPECT_EQ(TextOf(Box(editor, ids::kNum)), L"0");
    // The state boxes exist but lie outside the visible area.
    RECT client;
    GetClientRect(editor, &client);
    for (int id : {ids::kText2, ids::kText3, ids::kText4, ids::kM1, ids::kM2, ids::kM3, ids::kPd,
                   ids::kNum}) {
        HWND box = Box(editor, id);
        ASSERT_NE(box, nullptr) << id;
        RECT rc;
        GetWindowRect(box, &rc);
        MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_TRUE(rc.top >= client.bottom || rc.left >= client.right) << "state box " << id;
    }
    // First shown, the focus is in the first list (Tab from there: the keyboard scenario).
    EXPECT_TRUE(WaitUntil([&] { return IsChild(Box(editor, ids::kLovea), FocusOf(editor)); }));

    // Closed, the editor takes its picks with it and changes nothing.
    ASSERT_TRUE(PickByKeyboard(editor, ids::kLovea, L"Win"));
    ASSERT_TRUE(ClickOn(Box(editor, ids::kEditImage3)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor) && IsWindowVisible(program.Main()); }));
    EXPECT_EQ(TextOf(program.Text1(4)), L"");
    EXPECT_FALSE(FileExists(program.IniPath()));
    HWND fresh = Open(program, 4);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(Selected(fresh, ids::kLovea), 0);
    EXPECT_EQ(TextOf(Box(fresh, ids::kText2)), L"");
    EXPECT_EQ(SendMessageW(Box(fresh, ids::kLovea), CB_GETCOUNT, 0, 0), 63);
}

TEST_F(Editor, ThreePicksByMouseWithTheRowFromPd) {
    ProgramUnderTest program(L"three");
    ASSERT_TRUE(program.Start());
    HWND editor = Open(program, 3); // row 4
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(PickByClick(editor, ids::kLovea, L"Ctrl"));
    ASSERT_TRUE(PickByClick(editor, ids::kLovek, L"Shift"));
    ASSERT_TRUE(PickByClick(editor, ids::kLovem, L"S"));
    ASSERT_TRUE(Add(program, editor));
    EXPECT_EQ(TextOf(program.Text1(3)), L"Ctrl + Shift + S");
    EXPECT_EQ(program.ReadIni(L"conftext", L"3"), L"Ctrl + Shift + S");
    EXPECT_EQ(program.ReadIni(L"conftooltip", L"3"), L"3|17|16|83");
    EXPECT_EQ(program.ReadIni(L"conftext", L"0"), L"<missing>");
    EXPECT_EQ(TextOf(program.Text1(0)), L"");
}

TEST_F(Editor, EmptyMiddlePickAndClearedPickAreLeftOut) {
    ProgramUnderTest program(L"middle");
    ASSERT_TRUE(program.Start());
    HWND editor = Open(program, 1);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(PickByKeyboard(editor, ids::kLovea, L"Ctrl"));
    ASSERT_TRUE(PickByKeyboard(editor, ids::kLovek, L"Alt"));
    ASSERT_TRUE(PickByClick(editor, ids::kLovem, L"C"));
    // Choosing the empty entry clears that key's parts.
    ASSERT_TRUE(PickByClick(editor, ids::kLovek, L""));
    EXPECT_EQ(TextOf(Box(editor, ids::kText3)), L"");
    EXPECT_EQ(TextOf(Box(editor, ids::kM2)), L"");
    ASSERT_TRUE(Add(program, editor));
    EXPECT_EQ(TextOf(program.Text1(1)), L"Ctrl + C");
    EXPECT_EQ(program.ReadIni(L"conftooltip", L"1"), L"2|17|67");
}

TEST_F(Editor, AddTakesWhatEachFieldShowsAndTellsWhenThereIsNothingToStore) {
    ProgramUnderTest program(L"nofirst");
    MessageBoxWatcher notices(hkv::ui::kNoticeTitle, MessageBoxWatcher::kAnyProcess);
    ASSERT_TRUE(program.WriteIni("[conftext]\r\n2=Alt\r\n[conftooltip]\r\n2=1|18\r\n"));
    ASSERT_TRUE(program.Start());
    const auto before = ReadFileBytes(program.IniPath());
    HWND editor = Open(program, 2);
    ASSERT_NE(editor, nullptr);
    // Told in a box the editor owns; the editor stays open, the row and the file as they were.
    auto expectRefused = [&](const wchar_t* told) {
        const std::size_t count = notices.Count();
        ASSERT_TRUE(ClickOn(Box(editor, ids::kLabel1)));
        ASSERT_TRUE(notices.WaitForCount(count + 1));
        const SeenMessageBox seen = notices.Seen().back();
        EXPECT_EQ(seen.owner, editor);
        EXPECT_NE(seen.text.find(told), std::wstring::npos) << Narrow(seen.text);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(seen.window) && InputTaken(editor); }));
        EXPECT_TRUE(IsWindowVisible(editor));
        EXPECT_EQ(TextOf(program.Text1(2)), L"Alt");
        EXPECT_EQ(ReadFileBytes(program.IniPath()), before);
    };
    expectRefused(L"picked in the first list");
    // Typed into the first list's field, a name of no key is no pick.
    HWND list = Box(editor, ids::kLovea);
    ASSERT_TRUE(ClickOn(list, EditFieldOf(list)));
    ASSERT_TRUE(WaitUntil([&] { return IsChild(list, FocusOf(editor)); }));
    for (WORD key : {WORD('C'), WORD('T'), WORD('R'), WORD('X')}) {
        TapKey(key);
    }
    HWND field = FindWindowExW(list, nullptr, L"Edit", nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(field).size() == 4; })) << Narrow(TextOf(field));
    EXPECT_EQ(TextOf(Box(editor, ids::kText2)), L"");
    expectRefused(L"first list shows \"ctrx\"");

    // The third list opened and "t" typed: the list selects T, its field shows the typing. Enter
    // closes the list, with T in its field; Enter again presses "添加", which stores it.
    ASSERT_TRUE(PickByClick(editor, ids::kLovea, L"Ctrl"));
    ASSERT_TRUE(PickByKeyboard(editor, ids::kLovek, L"Shift"));
    HWND third = Box(editor, ids::kLovem);
    ASSERT_TRUE(ClickOn(third, EditFieldOf(third)));
    ASSERT_TRUE(WaitUntil([&] { return IsChild(third, FocusOf(editor)); }));
    TapKey(VK_F4);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(third, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
    TapKey('T');
    ASSERT_TRUE(WaitUntil([&] { return Selected(editor, ids::kLovem) == IndexOf(L"T"); }));
    TapKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(third, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
    TapKey(VK_RETURN);
    ASSERT_TRUE(BackToMain(program, editor));
    EXPECT_EQ(TextOf(program.Text1(2)), L"Ctrl + Shift + T");
    EXPECT_EQ(program.ReadIni(L"conftooltip", L"2"), L"3|17|16|84");
    EXPECT_EQ(notices.Count(), 2u);
}
TEST_F(Editor, PicksAreStoredIntoTheRowAndTheFileAndKeptForTheNextRowAndAFileNotWrittenIsTold) {
    ProgramUnderTest program(L"reopen");
    MessageBoxWatcher notices(hkv::ui::kNoticeTitle, MessageBoxWatcher::kAnyProcess);
    ASSERT_TRUE(program.Start());
    HWND editor = Open(program, 0);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(PickByKeyboard(editor, ids::kLovea, L"Ctrl"));
    EXPECT_EQ(TextOf(Box(editor, ids::kText2)), L"17|");
    EXPECT_EQ(TextOf(Box(editor, ids::kM1)), L"Ctrl + ");
    ASSERT_TRUE(PickByKeyboard(editor, ids::kLovek, L"L-1"));
    ASSERT_TRUE(Add(program, editor));
    EXPECT_EQ(TextOf(program.Text1(0)), L"Ctrl + L-1");
    EXPECT_EQ(program.ReadIni(L"conftext", L"0"), L"Ctrl + L-1");
    EXPECT_EQ(program.ReadIni(L"conftooltip", L"0"), L"2|17|49");
    EXPECT_EQ(TextOf(Box(editor, ids::kNum)), L"2");
    EXPECT_TRUE(IsWindow(editor)) << "Add only hides the editor";
    EXPECT_EQ(notices.Count(), 0u);
    // The next row's shortcut still plays from its row; the user learns that the file lost it.
    // Row 4 holds the same text with other keys.
    const std::wstring ini = program.IniPath();
    ASSERT_TRUE(WritePrivateProfileStringW(L"conftext", L"3", L"Ctrl + L-1", ini.c_str()) &&
                WritePrivateProfileStringW(L"conftooltip", L"3", L"2|17|50", ini.c_str()));
    ASSERT_TRUE(SetFileAttributesW(program.IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    HWND again = Open(program, 6);
    ASSERT_EQ(again, editor) << "the hidden editor is shown again";
    EXPECT_EQ(Selected(again, ids::kLovea), IndexOf(L"Ctrl"));
    EXPECT_EQ(Selected(again, ids::kLovek), IndexOf(L"L-1"));
    EXPECT_EQ(TextOf(Box(again, ids::kPd)), L"6");
    ASSERT_TRUE(Add(program, again));
    EXPECT_EQ(TextOf(program.Text1(6)), L"Ctrl + L-1");
    EXPECT_EQ(program.ReadIni(L"conftooltip", L"6"), L"<missing>");
    EXPECT_EQ(program.ReadIni(L"conftooltip", L"0"), L"2|17|49");
    const auto told = notices.Seen();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].owner, again) << "shown after the editor went";
    EXPECT_NE(told[0].text.find(L"row 7 (Ctrl + L-1)"), std::wstring::npos) << Narrow(told[0].text);
    EXPECT_NE(told[0].text.find(program.IniPath()), std::wstring::npos) << Narrow(told[0].text);
    for (const wchar_t* part : {L"Windows reports: ", L"At the next start the row is empty."}) {
        EXPECT_NE(told[0].text.find(part), std::wstring::npos) << Narrow(told[0].text);
    }
    // Row 1's shortcut once more: the read-only file holds it already, so there is nothing to tell.
    ASSERT_EQ(Open(program, 0), again);
    ASSERT_TRUE(Add(program, again));
    EXPECT_EQ(notices.Count(), 1u);
    ASSERT_EQ(Open(program, 3), again);
    ASSERT_TRUE(Add(program, again));
    ASSERT_TRUE(notices.WaitForCount(2));
    EXPECT_NE(notices.Seen()[1].text.find(L"plays the key codes \"2|17|50\""), std::wstring::npos);
}
TEST_F(Editor, TheListsDecideWhateverTheHiddenBoxesHold) {
    ProgramUnderTest program(L"unseen");
    ASSERT_TRUE(program.WriteIni("[conftext]\r\n5=Alt\r\n[conftooltip]\r\n5=1|18\r\n"));
    ASSERT_TRUE(program.Start());
    HWND editor = Open(program, 5);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(PickByKeyboard(editor, ids::kLovea, L"Ctrl"));
    // State that no list shows, as typing into the hidden boxes used to leave it.
    for (const auto& [id, text] :
         {std::pair{ids::kText4, L"C"}, std::pair{ids::kText2, L"x"}, std::pair{ids::kM1, L""}}) {
        SendMessageW(Box(editor, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    ASSERT_TRUE(Add(program, editor));
    EXPECT_EQ(TextOf(program.Text1(5)), L"Ctrl");
    EXPECT_EQ(program.ReadIni(L"conftooltip", L"5"), L"1|17");
    EXPECT_EQ(TextOf(Box(editor, ids::kText4)), L"");
    // Opened for no row, it stores nowhere.
    ASSERT_EQ(Open(program, 5), editor);
    ASSERT_TRUE(PickByKeyboard(editor, ids::kLovek, L"Alt"));
    SendMessageW(Box(editor, ids::kPd), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
    ASSERT_TRUE(Add(program, editor));
    EXPECT_EQ(TextOf(program.Text1(5)), L"Ctrl");
    EXPECT_EQ(program.ReadIni(L"conftooltip", L"5"), L"1|17");
    EXPECT_TRUE(program.Running());
}

TEST_F(Editor, NewShortcutPlaysAtTheNextPressWithoutReEnabling) {
    ProgramUnderTest program(L"replay");
    ASSERT_TRUE(program.WriteIni("[conftext]\r\n0=A\r\n[conftooltip]\r\n0=1|65\r\n"
                                 "[Velmo]\r\nVelmo1Text=F8\r\nVelmo1KeyCode=119\r\n"
                                 "Velmo1ModKeyCode=0\r\n"));
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(ClickOn(program.Check(1)));
    ASSERT_TRUE(WaitUntil(
        [&] { return SendMessageW(program.Check(1), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    HWND editor = Open(program, 0);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(PickByKeyboard(editor, ids::kLovea, L"B"));
    ASSERT_TRUE(Add(program, editor));

    KeyRecorder target;
    ASSERT_TRUE(target.TakeFocus());
    // "添加" was a click on the program just before: Wine may apply its focus after ours.
    FocusGuard guard(target);
    ASSERT_TRUE(
        guard.Step([] { TapKey(VK_F8); }, [&] { return Contains(target.keys(), 'B', true); }))
        << Describe(target.keys());
    EXPECT_FALSE(Contains(target.keys(), 'A', false))
        << "the old shortcut was played: " << Describe(target.keys());
}
