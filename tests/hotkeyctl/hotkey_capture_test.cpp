#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hotkeyctl/hotkey_capture.h"

using hkv::HotKeyCapture;
using hkv::kAltMask;
using hkv::kCtrlMask;
using hkv::kShiftMask;
using hkv::ParseStoredInt32;

namespace {

constexpr int kVkF1 = 112;
constexpr int kVkF5 = 116;
constexpr int kVkRWin = 92;

// Stands in for the system's key names; "" for the keys without one.
std::wstring FakeName(int vk) {
    if (vk == kVkRWin) {
        return L"";
    }
    return L"<" + std::to_wstring(vk) + L">";
}

} // namespace

TEST(HotKeyCapture, TypicalSequencesGiveTextAndCodes) {
    // Each step: a key-down with the modifier state the keyboard reports at that moment.
    struct Step {
        int vk;
        int shift;
    };
    struct Row {
        const char* what;
        std::vector<Step> downs;
        std::wstring text;
        int keyCode;
        int modKeyCode;
    };
    const Row rows[] = {
        {"Ctrl, A", {{17, kCtrlMask}, {'A', kCtrlMask}}, L"Ctrl + " + FakeName('A'), 'A', 2},
        {"Shift, Ctrl, Z",
         {{16, kShiftMask}, {17, kShiftMask | kCtrlMask}, {'Z', kShiftMask | kCtrlMask}},
         L"Ctrl + Shift + " + FakeName('Z'),
         'Z',
         6},
        {"left Win, Alt, F5",
         {{91, 0}, {18, kAltMask}, {kVkF5, kAltMask}},
         L"Win + Alt + " + FakeName(kVkF5),
         kVkF5,
         9},
        {"F1 alone", {{kVkF1, 0}}, FakeName(kVkF1), kVkF1, 0},
        {"Ctrl alone", {{17, kCtrlMask}}, L"Ctrl + ", 0, 2},
        {"Alt alone", {{18, kAltMask}}, L"Alt + ", 0, 1},
        {"Shift alone", {{16, kShiftMask}}, L"Shift + ", 0, 4},
        {"left Win alone", {{91, 0}}, L"Win + ", 0, 8},
        {"all four, then K",
         {{91, 0},
          {16, kShiftMask},
          {18, kShiftMask | kAltMask},
          {17, kShiftMask | kAltMask | kCtrlMask},
          {'K', kShiftMask | kAltMask | kCtrlMask}},
         L"Win + Ctrl + Alt + Shift + " + FakeName('K'),
         'K',
         15},
        {"right Win is a main key", {{kVkRWin, 0}}, L"", kVkRWin, 0},
        {"a key without a name keeps its code",
         {{17, kCtrlMask}, {kVkRWin, kCtrlMask}},
         L"Ctrl + ",
         kVkRWin,
         2},
    };
    for (const Row& row : rows) {
        HotKeyCapture capture;
        std::wstring text;
        for (const Step& step : row.downs) {
            text = capture.KeyDown(step.vk, step.shift, FakeName);
        }
        EXPECT_EQ(text, row.text) << row.what;
        EXPECT_EQ(capture.KeyCode(), row.keyCode) << row.what;
        EXPECT_EQ(capture.ModKeyCode(), row.modKeyCode) << row.what;
    }
}

TEST(HotKeyCapture, ModifiersShowInFixedOrderWhateverOrderTheyWerePressed) {
    const int order[][3] = {{16, 17, 18}, {16, 18, 17}, {17, 16, 18},
                            {17, 18, 16}, {18, 16, 17}, {18, 17, 16}};
    for (const auto& keys : order) {
        HotKeyCapture capture;
        int shift = 0;
        for (int vk : keys) {
            shift |= vk == 16 ? kShiftMask : vk == 17 ? kCtrlMask : kAltMask;
            capture.KeyDown(vk, shift, FakeName);
        }
        EXPECT_EQ(capture.KeyDown('Q', shift, FakeName), L"Ctrl + Alt + Shift + " + FakeName('Q'))
            << keys[0] << "," << keys[1] << "," << keys[2];
        EXPECT_EQ(capture.ModKeyCode(), 7);
    }
}

TEST(HotKeyCapture, KeyNameIsAskedOnlyForMainKeys) {
    HotKeyCapture capture;
    std::vector<int> asked;
    auto recorder = [&](int vk) {
        asked.push_back(vk);
        return std::wstring(L"x");
    };
    for (int vk : {16, 17, 18, 91}) {
        capture.KeyDown(vk, 0, recorder);
    }
    capture.KeyDown(kVkRWin, 0, recorder);
    EXPECT_EQ(asked, std::vector<int>{kVkRWin});
}

TEST(HotKeyCapture, ReleaseKeepsACaptureButClearsAPartialOne) {
    HotKeyCapture capture;
    capture.KeyDown(17, kCtrlMask, FakeName);
    capture.KeyDown('A', kCtrlMask, FakeName);
    EXPECT_FALSE(capture.KeyUp('A'));
    EXPECT_FALSE(capture.KeyUp(17));
    EXPECT_EQ(capture.KeyCode(), 'A');
    EXPECT_EQ(capture.ModKeyCode(), 2);

    // A modifier alone afterwards discards the capture at once; its release clears the flags.
    EXPECT_EQ(capture.KeyDown(16, kShiftMask, FakeName), L"Shift + ");
    EXPECT_EQ(capture.KeyCode(), 0);
    EXPECT_EQ(capture.ModKeyCode(), 4);
    EXPECT_TRUE(capture.KeyUp(16));
    EXPECT_EQ(capture.ModKeyCode(), 0);
}

TEST(HotKeyCapture, LeftWinStaysHeldUntilItsOwnReleaseInTheBox) {
    HotKeyCapture capture;
    capture.KeyDown(91, 0, FakeName);
    EXPECT_TRUE(capture.WinKeyDown());
    // Released elsewhere: the box never hears of it, so later presses still carry Win.
    EXPECT_EQ(capture.KeyDown(kVkF1, 0, FakeName), L"Win + " + FakeName(kVkF1));
    EXPECT_FALSE(capture.KeyUp(kVkF1));
    EXPECT_EQ(capture.KeyDown('B', kCtrlMask, FakeName), L"Win + Ctrl + " + FakeName('B'));
    EXPECT_EQ(capture.ModKeyCode(), 10);
    // Setting the codes (a restore or a refusal) is no Win key event either.
    capture.SetCodes(0, 0);
    EXPECT_TRUE(capture.WinKeyDown());

    EXPECT_TRUE(capture.KeyUp(91));
    EXPECT_FALSE(capture.WinKeyDown());
    EXPECT_EQ(capture.KeyDown(kVkF1, 0, FakeName), FakeName(kVkF1));
    EXPECT_EQ(capture.ModKeyCode(), 0);
}

TEST(HotKeyCapture, RightWinNeverSetsTheWinFlag) {
    HotKeyCapture capture;
    capture.KeyDown(kVkRWin, 0, FakeName);
    EXPECT_FALSE(capture.WinKeyDown());
    EXPECT_EQ(capture.KeyDown(17, kCtrlMask, FakeName), L"Ctrl + ");
}

TEST(HotKeyCapture, OnlyTheApplicationKeyIsIgnored) {
    EXPECT_TRUE(HotKeyCapture::IgnoresKeyDown(93));
    for (int vk : {0, 16, 17, 18, 91, 92, 94, 65}) {
        EXPECT_FALSE(HotKeyCapture::IgnoresKeyDown(vk)) << vk;
    }
}

TEST(ParseStoredInt32, AcceptsPlainDecimalIntegers) {
    struct Row {
        const wchar_t* text;
        std::int32_t value;
    };
    const Row rows[] = {
        {L"0", 0},
        {L"65", 65},
        {L"-5", -5},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},
        {L"007", 7},
        {L"-0", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseStoredInt32(row.text), row.value) << std::wstring(row.text).size();
    }
}

TEST(ParseStoredInt32, AnythingElseReadsAsZero) {
    const wchar_t* garbage[] = {L"abc",  L"",    L"99999999999", L" 5",          L"5 ",
                                L"+5",   L"-",   L"2147483648",  L"-2147483649", L"1e3",
                                L"0x41", L"6５", L"--1"};
    for (const wchar_t* text : garbage) {
        EXPECT_EQ(ParseStoredInt32(text), 0) << "text of length " << std::wstring(text).size();
    }
}

TEST(StoredHotKeyValues, CodesRegisterHotKeyCannotHonourReadAsZero) {
    EXPECT_EQ(hkv::StoredKeyCode(L"75"), 75);
    EXPECT_EQ(hkv::StoredKeyCode(L"254"), 254);
    for (const wchar_t* text : {L"-5", L"255", L"300", L"2147483647", L"abc"}) {
        EXPECT_EQ(hkv::StoredKeyCode(text), 0) << std::wstring(text).size();
    }
    EXPECT_EQ(hkv::StoredModKeyCode(L"15"), 15);
    EXPECT_EQ(hkv::StoredModKeyCode(L"3"), 3);
    for (const wchar_t* text : {L"16", L"255", L"-1", L"19"}) {
        EXPECT_EQ(hkv::StoredModKeyCode(text), 0) << std::wstring(text).size();
    }
}
