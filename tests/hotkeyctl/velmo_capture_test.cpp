// Capturing a combination by pressing it: real key input into a real edit box.
#include <gtest/gtest.h>

#include <windows.h>

#include <imm.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <string>
#include <utility>

#include "hotkeyctl/velmo.h"
#include "keys/own_input.h"
#include "support/window_watcher.h"
#include "velmo_test_host.h"

using namespace hkv;
using namespace hkv::test;

namespace {

using Key = VelmoEventLog::Key;

class VelmoCapture : public VelmoTest {
  protected:
    void SetUp() override {
        VelmoTest::SetUp();
        velmo_ = host_.Load(L"Velmo1", MainWindowBag(), log_);
        ASSERT_TRUE(host_.Focus(velmo_->EditBox()));
    }

    void ExpectCapture(const std::wstring& text, int keyCode, int modKeyCode,
                       const char* what) const {
        EXPECT_EQ(velmo_->Text(), text) << what << ": " << Narrow(velmo_->Text());
        EXPECT_EQ(velmo_->KeyCode(), keyCode) << what;
        EXPECT_EQ(velmo_->ModKeyCode(), modKeyCode) << what;
    }

    // Selection start and end of the box.
    std::pair<DWORD, DWORD> Selection() const {
        DWORD start = 0, end = 0;
        SendMessageW(velmo_->EditBox(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }

    std::unique_ptr<Velmo> velmo_;
};

// Counts the popup menus this process opens and closes each one at once, as Escape would.
class PopupMenuWatcher {
  public:
    PopupMenuWatcher()
        : watcher_(
              [](HWND window) {
                  return ClassNameOf(window) == L"#32768" &&
                         ProcessOf(window) == GetCurrentProcessId();
              },
              [this](HWND menu) {
                  ++count_;
                  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
              }) {}
    int Count() const { return count_; }

  private:
    std::atomic<int> count_{0};
    TopLevelWindowWatcher watcher_;
};

// Positions in twips, as the control reports them: 1440 per inch of the screen.
float Twips(int pixels, int axis) {
    return static_cast<float>(pixels * 1440.0 / ScreenDpi(axis));
}

POINT ScreenPointOf(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

} // namespace

TEST_F(VelmoCapture, TypicalSequencesGiveTextAndCodes) {
    struct Row {
        const char* what;
        std::vector<WORD> keys;
        std::wstring textWhileHeld;
        int keyCode;
        int modKeyCode;
        std::wstring textAfterRelease;
        int modKeyCodeAfterRelease;
    };
    const std::wstring a = SystemKeyName('A'), z = SystemKeyName('Z');
    const std::wstring f5 = SystemKeyName(VK_F5), f1 = SystemKeyName(VK_F1);
    const Row rows[] = {
        {"Ctrl, A", {VK_CONTROL, 'A'}, L"Ctrl + " + a, 'A', 2, L"Ctrl + " + a, 2},
        {"Shift, Ctrl, Z",
         {VK_SHIFT, VK_CONTROL, 'Z'},
         L"Ctrl + Shift + " + z,
         'Z',
         6,
         L"Ctrl + Shift + " + z,
         6},
        {"left Win, Alt, F5",
         {VK_LWIN, VK_MENU, VK_F5},
         L"Win + Alt + " + f5,
         VK_F5,
         9,
         L"Win + Alt + " + f5,
         9},
        {"F1 alone", {VK_F1}, f1, VK_F1, 0, f1, 0},
        {"Ctrl alone", {VK_CONTROL}, L"Ctrl + ", 0, 2, kPlaceholder, 0},
    };
    for (const Row& row : rows) {
        for (WORD vk : row.keys) {
            ASSERT_TRUE(Down(vk)) << row.what << ": no KeyDown for " << vk;
        }
        ExpectCapture(row.textWhileHeld, row.keyCode, row.modKeyCode, row.what);
        EXPECT_EQ(Selection(),
                  std::make_pair(DWORD(row.textWhileHeld.size()), DWORD(row.textWhileHeld.size())))
            << row.what << ": caret not at the end";
        for (auto it = row.keys.rbegin(); it != row.keys.rend(); ++it) {
            ASSERT_TRUE(Up(*it)) << row.what << ": no KeyUp for " << *it;
        }
        ExpectCapture(row.textAfterRelease, row.keyCode, row.modKeyCodeAfterRelease, row.what);
    }
}

TEST_F(VelmoCapture, EventsCarryTheKeyAndTheModifierStateOfEachMessage) {
    Press({VK_CONTROL, VK_MENU, 'K'});
    EXPECT_EQ(log_.keyDowns, (std::vector<Key>{{VK_CONTROL, 2}, {VK_MENU, 6}, {'K', 6}}));
    // The state at the time of each message: a released modifier is no longer held.
    EXPECT_EQ(log_.keyUps, (std::vector<Key>{{'K', 6}, {VK_MENU, 2}, {VK_CONTROL, 0}}));
    // Keys held with Alt arrive as system keys and are captured like the others.
    log_.keyDowns.clear();
    Press({VK_MENU, VK_F10});
    EXPECT_EQ(log_.keyDowns, (std::vector<Key>{{VK_MENU, 4}, {VK_F10, 4}}));
    ExpectCapture(L"Alt + " + SystemKeyName(VK_F10), VK_F10, 1, "Alt, F10");
}

TEST_F(VelmoCapture, ModifiersPressedInAnyOrderShowAsWinCtrlAltShift) {
    std::array<WORD, 4> order{VK_CONTROL, VK_LWIN, VK_MENU, VK_SHIFT};
    std::sort(order.begin(), order.end());
    const std::wstring expected = L"Win + Ctrl + Alt + Shift + " + SystemKeyName('Q');
    int permutations = 0;
    do {
        for (WORD vk : order) {
            ASSERT_TRUE(Down(vk));
        }
        ASSERT_TRUE(Down('Q'));
        EXPECT_EQ(velmo_->Text(), expected)
            << "order " << order[0] << "," << order[1] << "," << order[2] << "," << order[3];
        EXPECT_EQ(velmo_->ModKeyCode(), 15);
        EXPECT_EQ(velmo_->KeyCode(), 'Q');
        ASSERT_TRUE(Up('Q'));
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            ASSERT_TRUE(Up(*it));
        }
        ++permutations;
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(permutations, 24);
}

TEST_F(VelmoCapture, ModifierAloneAfterACaptureDiscardsIt) {
    Press({VK_CONTROL, 'A'});
    ExpectCapture(L"Ctrl + " + SystemKeyName('A'), 'A', 2, "kept after release");
    ASSERT_TRUE(Down(VK_SHIFT));
    ExpectCapture(L"Shift + ", 0, 4, "modifier alone");
    ASSERT_TRUE(Up(VK_SHIFT));
    ExpectCapture(kPlaceholder, 0, 0, "released");
    // Cleared on purpose: leaving the box brings nothing back.
    ASSERT_TRUE(host_.Focus(host_.Other()));
    ExpectCapture(kPlaceholder, 0, 0, "after leaving");
    ASSERT_TRUE(host_.Focus(velmo_->EditBox()));

    ASSERT_TRUE(Down(VK_LWIN));
    ExpectCapture(L"Win + ", 0, 8, "left Win alone");
    ASSERT_TRUE(Up(VK_LWIN));
    ExpectCapture(kPlaceholder, 0, 0, "left Win released");
}

TEST_F(VelmoCapture, ApplicationKeyChangesNothingAndRaisesNoKeyDown) {
    PopupMenuWatcher menus;
    Press({VK_CONTROL, 'B'});
    const std::wstring captured = velmo_->Text();
    const std::size_t downs = log_.keyDowns.size();

    keys_.Down(VK_APPS);
    ASSERT_TRUE(Up(VK_APPS));
    EXPECT_EQ(log_.keyDowns.size(), downs) << "KeyDown raised for the application key";
    EXPECT_EQ(log_.keyUps.back(), (Key{VK_APPS, 0}));
    ExpectCapture(captured, 'B', 2, "after the application key");

    // With nothing captured, its release is an ordinary key-up that shows the placeholder.
    ASSERT_TRUE(Down(VK_CONTROL));
    keys_.Down(VK_APPS);
    ASSERT_TRUE(Up(VK_APPS));
    ExpectCapture(kPlaceholder, 0, 0, "application key released while Ctrl held");
    ASSERT_TRUE(Up(VK_CONTROL));
    EXPECT_EQ(menus.Count(), 0);
}

TEST_F(VelmoCapture, RightWinIsAMainKeyAndNoModifier) {
    Press({VK_RWIN});
    ExpectCapture(SystemKeyName(VK_RWIN), VK_RWIN, 0, "right Win");
    EXPECT_EQ(log_.keyDowns.back(), (Key{VK_RWIN, 0}));
    Press({VK_CONTROL});
    ExpectCapture(kPlaceholder, 0, 0, "Ctrl after right Win");
    ASSERT_TRUE(Down(VK_CONTROL));
    EXPECT_EQ(velmo_->Text(), L"Ctrl + ") << "right Win must not leave Win held";
    ASSERT_TRUE(Up(VK_CONTROL));
}

TEST_F(VelmoCapture, LeftWinStateIsTakenFromTheSystemWhenTheBoxGetsTheFocus) {
    ASSERT_TRUE(Down(VK_LWIN));
    ASSERT_TRUE(host_.Focus(host_.Other()));
    const std::size_t ups = log_.keyUps.size();
    keys_.Up(VK_LWIN);
    // The release goes to whichever window has the focus when it is taken from the queue.
    ASSERT_TRUE(host_.WaitUntil([] { return GetKeyState(VK_LWIN) >= 0; }));
    ASSERT_TRUE(host_.Focus(velmo_->EditBox()));
    EXPECT_EQ(log_.keyUps.size(), ups) << "the release reached the box";

    Press({VK_F1});
    ExpectCapture(SystemKeyName(VK_F1), VK_F1, 0, "F1 after Win released elsewhere");
    Press({VK_CONTROL, 'M'});
    ExpectCapture(L"Ctrl + " + SystemKeyName('M'), 'M', 2, "Ctrl+M after Win released elsewhere");
}

TEST_F(VelmoCapture, LeavingWithOnlyModifiersDownPutsBackTheCombinationAndItsRegistration) {
    Press({VK_F8});
    velmo_->SetHotKeyEnabled(true);
    for (WORD modifier : {VK_SHIFT, VK_CONTROL, VK_LWIN}) { // Shift+Tab, else the focus moves
        ASSERT_TRUE(host_.Focus(velmo_->EditBox()));
        const int restored = log_.restored;
        ASSERT_TRUE(Down(modifier));
        velmo_->SaveSettings(); // modifiers alone are no hotkey: the combination is kept
        EXPECT_EQ(modINI::IniRead(L"Velmo", L"Velmo1Text", L""), SystemKeyName(VK_F8));
        modifier == VK_SHIFT ? keys_.Tap(VK_TAB) : static_cast<void>(SetFocus(host_.Other()));
        ASSERT_TRUE(host_.WaitUntil([&] { return log_.restored > restored; })) << modifier;
        keys_.Up(modifier);
        ExpectCapture(SystemKeyName(VK_F8), VK_F8, 0, "after leaving");
        EXPECT_TRUE(velmo_->HotKeyEnabled()) << modifier;
    }
    // A shortcut the program plays meanwhile (another row's hotkey) releases keys into the box:
    // they are not the user's and must not end the sequence, or leaving would put nothing back.
    ASSERT_TRUE(host_.Focus(velmo_->EditBox()));
    const int restored = log_.restored;
    ASSERT_TRUE(Down(VK_SHIFT));
    for (WORD played : {WORD('C'), WORD(VK_LCONTROL)}) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = played;
        up.ki.wScan = static_cast<WORD>(MapVirtualKeyW(played, MAPVK_VK_TO_VSC));
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        up.ki.dwExtraInfo = kOwnInputSignature;
        SendInput(1, &up, sizeof up);
    }
    keys_.Tap(VK_TAB); // after the played keys in the input stream
    ASSERT_TRUE(host_.WaitUntil([&] { return log_.restored > restored; }));
    keys_.Up(VK_SHIFT);
    ExpectCapture(SystemKeyName(VK_F8), VK_F8, 0, "after played releases");
}

TEST_F(VelmoCapture, KeyWithoutASystemNameStillSetsItsCode) {
    // Several keys have no name on some systems (the numeric keypad, the Windows keys).
    Press({VK_CONTROL, VK_NUMPAD1});
    ExpectCapture(L"Ctrl + " + SystemKeyName(VK_NUMPAD1), VK_NUMPAD1, 2, "Ctrl, numpad 1");
    Press({VK_SHIFT, VK_RWIN});
    ExpectCapture(L"Shift + " + SystemKeyName(VK_RWIN), VK_RWIN, 4, "Shift, right Win");
}

TEST(KeyNames, ExtendedKeysAreNamedAsLabelledNotAsTheirKeypadTwins) {
    const std::pair<WORD, WORD> twins[] = {{VK_HOME, VK_NUMPAD7},
                                           {VK_DELETE, VK_DECIMAL},
                                           {VK_PRIOR, VK_NUMPAD9},
                                           {VK_RIGHT, VK_NUMPAD6}};
    for (const auto& [key, twin] : twins) {
        EXPECT_NE(SystemKeyName(key), UnmarkedKeyName(key)) << key;
        // Wine gives the keypad's digits no scan code while NumLock is off.
        if (MapVirtualKeyW(twin, MAPVK_VK_TO_VSC) == MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) {
            EXPECT_EQ(SystemKeyName(twin), UnmarkedKeyName(key)) << twin;
        }
    }
}

TEST_F(VelmoCapture, TypedCharactersNeverReachTheBox) {
    for (WORD vk : {'H', 'E', 'L', 'L', 'O'}) {
        Press({vk});
    }
    ExpectCapture(SystemKeyName('O'), 'O', 0, "typing hello");
    Press({VK_SHIFT, 'X'});
    ExpectCapture(L"Shift + " + SystemKeyName('X'), 'X', 4, "typing a capital X");
    Press({VK_SPACE});
    ExpectCapture(SystemKeyName(VK_SPACE), VK_SPACE, 0, "typing a blank");

    // Characters and edits that arrive as messages change nothing either.
    const std::wstring before = velmo_->Text();
    HWND box = velmo_->EditBox();
    SendMessageW(box, WM_CHAR, L'x', 1);
    SendMessageW(box, WM_SYSCHAR, L'y', 1);
    SendMessageW(box, WM_IME_CHAR, L'中', 1);
    SendMessageW(box, WM_CLEAR, 0, 0);
    SendMessageW(box, WM_PASTE, 0, 0);
    EXPECT_EQ(velmo_->Text(), before) << Narrow(velmo_->Text());
    // No input method either: it would turn letters into VK_PROCESSKEY and insert its text.
    HIMC context = ImmGetContext(box);
    ImmReleaseContext(box, context);
    EXPECT_EQ(context, nullptr);
}

TEST_F(VelmoCapture, EditingKeysDoNotEditTheText) {
    // Put a text on the clipboard: a paste would show it.
    ASSERT_TRUE(OpenClipboard(host_.Window()));
    EmptyClipboard();
    const std::wstring pasted = L"PASTED";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(memory), pasted.c_str(), (pasted.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory); // the clipboard owns it now
    CloseClipboard();

    Press({VK_SHIFT, VK_INSERT});
    ExpectCapture(L"Shift + " + SystemKeyName(VK_INSERT), VK_INSERT, 4, "Shift+Insert");
    Press({VK_CONTROL, 'V'});
    ExpectCapture(L"Ctrl + " + SystemKeyName('V'), 'V', 2, "Ctrl+V");
    SendMessageW(velmo_->EditBox(), EM_SETSEL, 0, -1);
    Press({VK_DELETE});
    ExpectCapture(SystemKeyName(VK_DELETE), VK_DELETE, 0, "Delete over a selection");
    Press({VK_BACK});
    ExpectCapture(SystemKeyName(VK_BACK), VK_BACK, 0, "Backspace");
    Press({VK_CONTROL, 'Z'});
    ExpectCapture(L"Ctrl + " + SystemKeyName('Z'), 'Z', 2, "Ctrl+Z");
}

TEST_F(VelmoCapture, HostCanChangeKeyAndShiftInItsKeyDownHandler) {
    log_.onKeyDown = [](std::int16_t& keyCode, std::int16_t& shift) {
        if (keyCode == 'A') {
            keyCode = 'B';
            shift = 1; // Shift instead of Ctrl
        }
    };
    Press({VK_CONTROL, 'A'});
    ExpectCapture(L"Shift + " + SystemKeyName('B'), 'B', 4, "A turned into Shift+B");
    EXPECT_EQ(log_.keyUps.front(), (Key{'A', 2})) << "key-up reports the real key";

    // A host that turns a key into a modifier turns the capture into a partial one.
    log_.onKeyDown = [](std::int16_t& keyCode, std::int16_t&) { keyCode = VK_CONTROL; };
    ASSERT_TRUE(Down('C'));
    ExpectCapture(L"", 0, 0, "C turned into Ctrl without modifiers");
    ASSERT_TRUE(Up('C'));
    ExpectCapture(kPlaceholder, 0, 0, "released");
}

TEST_F(VelmoCapture, DialogNavigationKeepsTabOnlyAndEveryOtherKeyIsCaptured) {
    struct Row {
        WORD vk;
        const char* what;
    };
    for (const Row& row : {Row{VK_RETURN, "Enter"}, Row{VK_ESCAPE, "Escape"}, Row{VK_LEFT, "Left"},
                           Row{VK_DOWN, "Down"}, Row{VK_F4, "F4"}}) {
        Press({row.vk});
        ExpectCapture(SystemKeyName(row.vk), row.vk, 0, row.what);
        EXPECT_EQ(GetFocus(), velmo_->EditBox()) << row.what << " moved the focus";
    }
    Press({VK_CONTROL, VK_TAB});
    ExpectCapture(L"Ctrl + " + SystemKeyName(VK_TAB), VK_TAB, 2, "Ctrl+Tab");

    const std::size_t downs = log_.keyDowns.size();
    keys_.Tap(VK_TAB);
    EXPECT_TRUE(host_.WaitUntil([&] { return GetFocus() == host_.Other(); }))
        << "Tab did not move the focus on";
    EXPECT_EQ(log_.keyDowns.size(), downs) << "Tab reached the box";
    ExpectCapture(L"Ctrl + " + SystemKeyName(VK_TAB), VK_TAB, 2, "after Tab");

    keys_.Down(VK_SHIFT);
    keys_.Tap(VK_TAB);
    EXPECT_TRUE(host_.WaitUntil([&] { return GetFocus() == velmo_->EditBox(); }))
        << "Shift+Tab did not bring the focus back";
    ASSERT_TRUE(Up(VK_SHIFT));
    EXPECT_EQ(log_.keyDowns.size(), downs);
}

TEST_F(VelmoCapture, MouseEventsReportButtonShiftAndTwips) {
    HWND box = velmo_->EditBox();
    const POINT inside{30, 8};
    MouseInput::Click(ScreenPointOf(box, inside));
    ASSERT_TRUE(host_.WaitUntil([&] { return log_.clicks == 1; })) << "no Click";
    ASSERT_EQ(log_.buttons.size(), 2u);
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(box, &cursor);
    EXPECT_EQ(log_.buttons[0].kind, 'D');
    EXPECT_EQ(log_.buttons[1].kind, 'U');
    for (const auto& b : log_.buttons) {
        EXPECT_EQ(b.button, 1);
        EXPECT_EQ(b.shift, 0);
        EXPECT_FLOAT_EQ(b.x, Twips(cursor.x, LOGPIXELSX));
        EXPECT_FLOAT_EQ(b.y, Twips(cursor.y, LOGPIXELSY));
    }
    EXPECT_GT(log_.mouseMoves, 0);
    EXPECT_EQ(log_.dblClicks, 0);

    log_.buttons.clear();
    keys_.Down(VK_SHIFT);
    MouseInput::Click(ScreenPointOf(box, {60, 8}), MouseInput::Button::Right);
    ASSERT_TRUE(host_.WaitUntil([&] { return log_.buttons.size() == 2; }));
    keys_.Up(VK_SHIFT);
    EXPECT_EQ(log_.buttons[0].button, 2);
    EXPECT_EQ(log_.buttons[0].shift, 1);
    EXPECT_EQ(log_.clicks, 1) << "a right click is no Click";

    MouseInput::DoubleClick(ScreenPointOf(box, inside));
    ASSERT_TRUE(host_.WaitUntil([&] { return log_.dblClicks == 1; })) << "no DblClick";
    ASSERT_TRUE(host_.WaitUntil([&] { return log_.buttons.size() == 5; }));
    // Down, Up, Click, DblClick, Up: the second press is the double click itself.
    EXPECT_EQ(log_.clicks, 2);
    EXPECT_EQ(log_.buttons[2].kind, 'D');
    EXPECT_EQ(log_.buttons[3].kind, 'U');
    EXPECT_EQ(log_.buttons[4].kind, 'U');
    EXPECT_EQ(velmo_->Text(), kPlaceholder) << "clicks changed the text";
}

TEST_F(VelmoCapture, ContextMenuNeverOpensOnALoadedControl) {
    PopupMenuWatcher menus;
    // A control only placed (not loaded) keeps the edit box's own menu: the watcher sees it.
    VelmoEventLog placedLog;
    auto placed = host_.CreateNew(L"Placed", placedLog, 1);
    MouseInput::Click(ScreenPointOf(placed->EditBox(), {20, 8}), MouseInput::Button::Right);
    ASSERT_TRUE(host_.WaitUntil([&] { return menus.Count() == 1; }))
        << "the edit box's own menu never showed: this test could not see one";

    HWND box = velmo_->EditBox();
    const std::size_t ups = log_.buttons.size();
    MouseInput::Click(ScreenPointOf(box, {20, 8}), MouseInput::Button::Right);
    ASSERT_TRUE(host_.WaitUntil([&] { return log_.buttons.size() == ups + 2; }));
    ASSERT_TRUE(host_.Focus(box));
    Press({VK_SHIFT, VK_F10});
    keys_.Down(VK_APPS);
    ASSERT_TRUE(Up(VK_APPS));
    EXPECT_EQ(SendMessageW(box, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(box), -1), 0);
    EXPECT_EQ(menus.Count(), 1) << "the loaded control opened a context menu";
}
