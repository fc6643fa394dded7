// The borderless window: its title strip drags it, and a larger screen scale changes nothing.
#include "app/app_fixture.h"

using namespace hkv::test;
namespace ids = hkv::ids;

TEST_F(App, TitleStripDragsTheWindowOnlyWhileTheButtonIsDown) {
    ProgramUnderTest program(L"drag");
    // Moved over the strip without a button pressed during a playback's pause: no drag starts,
    // so the playback's keys stay down for their whole pause.
    KeyRecorder target;
    ASSERT_NO_FATAL_FAILURE(StartHoldingPlayback(program, target, [&] {
        RECT rc;
        GetWindowRect(program.Main(), &rc);
        MoveMouseTo({rc.left + 250, rc.top + 12});
        MoveMouseTo({rc.left + 280, rc.top + 17});
    }));
    ASSERT_TRUE(WaitUntil([&] { return Contains(target.keys(), 'A', true); }))
        << Describe(target.keys());
    const auto played = From(target.keys(), 'A');
    EXPECT_GE(played.back().time - played.front().time, 150u) << Describe(target.keys());
    RECT start;
    GetWindowRect(program.Main(), &start);
    const POINT grip{start.left + 250, start.top + 12}; // on the strip, clear of the images
    // Moving over the strip without a button pressed leaves the window where it is.
    ASSERT_TRUE(PointAtWindow(program.Main(), grip));
    MoveMouseTo({grip.x + 30, grip.y + 5});
    ASSERT_TRUE(InputTaken(program.Main()));
    RECT hovered;
    GetWindowRect(program.Main(), &hovered);
    EXPECT_EQ(hovered.left, start.left);
    EXPECT_EQ(hovered.top, start.top);

    ASSERT_TRUE(PointAtWindow(program.Main(), grip));
    MouseInput::Press(MouseInput::Button::Left, grip);
    for (int step = 1; step <= 10; ++step) {
        PumpFor(20);
        MoveMouseTo({grip.x - 6 * step, grip.y + 4 * step});
    }
    PumpFor(50);
    MouseInput::Release(MouseInput::Button::Left, {grip.x - 60, grip.y + 40});
    RECT now{};
    ASSERT_TRUE(WaitUntil([&] {
        GetWindowRect(program.Main(), &now);
        // The move loop starts at the first move, so the window may lag by that one step.
        return now.left <= start.left - 54 && now.left >= start.left - 60 &&
               now.top >= start.top + 36 && now.top <= start.top + 40;
    })) << "the window did not follow the mouse: it went from "
        << start.left << "," << start.top << " to " << now.left << "," << now.top;
}

TEST_F(App, AtAScaleOf150PercentMouseMovesOverTheWindowOpenNoMenu) {
    ScreenScale scale(144);
    ProgramUnderTest program(L"scale144");
    ASSERT_TRUE(program.Start());
    RECT window{};
    GetWindowRect(program.Main(), &window);
    ASSERT_GT(window.right - window.left, 517) << "the program did not see 144 DPI";
    // Across the whole width, in the band between the title strip and the column headings where
    // the pointer is over the window itself.
    const int y = window.top + hkv::TwipsToPixels(390, 144);
    for (int x = window.left; x < window.right; ++x) {
        MoveMouseTo({x, y});
    }
    ASSERT_TRUE(InputTaken(program.Main()));
    EXPECT_EQ(FindProcessWindow(program.Pid(), L"#32768", true), nullptr) << "a menu opened";
}
