#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "keys/player.h"
#include "recording_output.h"

using hkv::test::RecordingOutput;
using Events = std::vector<std::string>;

namespace {

class Player : public testing::Test {
  protected:
    void opendo(std::wstring_view list) { hkv::opendo(held_, list); }
    int ActivePlaybacks() const { return held_.ActivePlaybacks(); }
    void ReleaseHeldKeys() { held_.ReleaseAll(); }

    RecordingOutput out_;
    hkv::HeldKeys held_{out_};
};

} // namespace

TEST_F(Player, PressesInOrderPausesAndReleasesInReverse) {
    struct Row {
        const wchar_t* list;
        Events events;
    };
    const Row rows[] = {
        {L"1|65", {"down 65", "pause 100", "up 65"}},
        {L"2|17|67", {"down 162", "down 67", "pause 200", "up 67", "up 162"}},
        {L"3|17|16|83",
         {"down 162", "down 160", "down 83", "pause 200", "up 83", "up 160", "up 162"}},
        {L"1|65|66", {"down 65", "pause 100", "up 65"}}, // fields after the count are ignored
        {L"1|255", {"down 255", "pause 100", "up 255"}},
    };
    for (const auto& row : rows) {
        out_.events.clear();
        opendo(row.list);
        EXPECT_EQ(out_.events, row.events) << testing::PrintToString(std::wstring(row.list));
        EXPECT_EQ(ActivePlaybacks(), 0);
    }
}

TEST_F(Player, MalformedListsEmitNothingAndDoNotPause) {
    const wchar_t* rows[] = {
        L"",              // a row without an old shortcut
        L"4|17|18|16|83", // no such count
        L" 1|65",         // a blank before the count
        L"2|17",          // fewer codes than the count
        L"2|17|",         // a key the editor had no code for
        L"1|256",         // not an 8-bit code
        L"0|65",
        L"1",
        L"3|17||83",
        L"1|A",
    };
    for (const wchar_t* list : rows) {
        opendo(list);
        EXPECT_EQ(out_.events, Events{}) << testing::PrintToString(std::wstring(list));
        EXPECT_EQ(ActivePlaybacks(), 0);
    }
}

TEST_F(Player, NestedPlaybackRunsWhollyInsideThePauseWhileTheOuterKeysStayDown) {
    std::vector<int> activeInPauses;
    out_.onPause = [&] {
        activeInPauses.push_back(ActivePlaybacks());
        if (activeInPauses.size() == 1) {
            opendo(L"1|65"); // the hotkey pressed again during the pause
        }
    };
    opendo(L"2|17|67");
    EXPECT_EQ(out_.events, (Events{"down 162", "down 67", "pause 200", "down 65", "pause 100",
                                   "up 65", "up 67", "up 162"}));
    EXPECT_EQ(activeInPauses, (std::vector<int>{1, 2}));
    EXPECT_EQ(ActivePlaybacks(), 0);
}

TEST_F(Player, ReleaseHeldKeysDuringANestedPauseReleasesEachKeyOnceInReverse) {
    int pauses = 0;
    out_.onPause = [&] {
        if (++pauses == 1) {
            opendo(L"2|18|65");
            return;
        }
        // Inner pause: the program ends while both playbacks hold their keys.
        ReleaseHeldKeys();
        EXPECT_EQ(ActivePlaybacks(), 2) << "the interrupted playbacks are still on the stack";
        ReleaseHeldKeys(); // a second request finds nothing held
    };
    opendo(L"3|17|16|83");
    EXPECT_EQ(out_.events,
              (Events{"down 162", "down 160", "down 83", "pause 200", "down 164", "down 65",
                      "pause 200", "up 65", "up 164", "up 83", "up 160", "up 162"}))
        << "the resumed playbacks must release nothing again";
    EXPECT_EQ(ActivePlaybacks(), 0);

    // Nothing stale is left behind: the next playback is complete and a release finds nothing.
    out_.events.clear();
    out_.onPause = nullptr;
    opendo(L"1|65");
    ReleaseHeldKeys();
    EXPECT_EQ(out_.events, (Events{"down 65", "pause 100", "up 65"}));
}

TEST_F(Player, KeysAreReleasedWhenThePauseFails) {
    out_.onPause = [] { throw std::runtime_error("pause failed"); };
    EXPECT_THROW(opendo(L"2|17|67"), std::runtime_error);
    EXPECT_EQ(out_.events, (Events{"down 162", "down 67", "pause 200", "up 67", "up 162"}));
    EXPECT_EQ(ActivePlaybacks(), 0);
}

TEST_F(Player, EachPlaybackReleasesWhereItPressed) {
    RecordingOutput other;
    hkv::HeldKeys otherHeld{other};
    out_.onPause = [&] { hkv::opendo(otherHeld, L"1|66"); };
    opendo(L"1|65");
    EXPECT_EQ(out_.events, (Events{"down 65", "pause 100", "up 65"}));
    EXPECT_EQ(other.events, (Events{"down 66", "pause 100", "up 66"}));
}

TEST_F(Player, KnowsWhichKeysItHoldsDuringAPause) {
    std::vector<bool> heldDuringPause;
    out_.onPause = [&] {
        heldDuringPause = {held_.IsHeld(17), held_.IsHeld(67), held_.IsHeld(16)};
    };
    opendo(L"2|17|67");
    EXPECT_EQ(heldDuringPause, (std::vector<bool>{true, true, false}));
    EXPECT_FALSE(held_.IsHeld(17)) << "released keys are no longer held";
    EXPECT_FALSE(held_.IsHeld(67));
}
