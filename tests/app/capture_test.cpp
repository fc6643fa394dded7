// A row's hotkey box captures the hotkey of a ticked row, which works again once the box is left.
#include "app/app_fixture.h"

using namespace hkv::test;

TEST_F(App, AnotherRowsHotkeyIsCapturedInABoxAndPlaysAgainOnceTheBoxIsLeft) {
    ProgramUnderTest program(L"capture");
    ASSERT_TRUE(program.WriteIni(kMappedIni)); // row 2: Ctrl + F9 plays Ctrl + C
    ASSERT_TRUE(program.Start());
    Enable(program, 2);
    ASSERT_TRUE(ClickOn(program.VelmoEdit(5)));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.Main()) == program.VelmoEdit(5); }));
    PressHotkeyLikeAPerson({VK_CONTROL}, VK_F9);
    ASSERT_TRUE(WaitUntil([&] {
        return TextOf(program.VelmoEdit(5)) == TextOf(program.VelmoEdit(2));
    })) << Narrow(TextOf(program.VelmoEdit(5)));
    KeyRecorder target;
    ASSERT_TRUE(target.TakeFocus());
    // Left, the box gives the program's hotkeys back to the system: pressed only then.
    ASSERT_TRUE(WaitUntil([&] {
        return FocusOf(program.Main()) != program.VelmoEdit(5) && InputTaken(program.Main());
    }));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL, VK_F9)) << "not registered again";
    FocusGuard guard(target);
    EXPECT_TRUE(guard.Step([] { PressHotkeyLikeAPerson({VK_CONTROL}, VK_F9); },
                           [&] { return Contains(target.keys(), 'C', true); }))
        << Describe(target.keys());
}
