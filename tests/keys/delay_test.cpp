// The message-pumping delay under Wine: real timers, real windows, real message queues.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "common/app_error.h"
#include "common/win_handles.h"
#include "keys/keyfunc.h"
#include "keys/waitable_timer.h"
#include "common/path.h"
#include "support/win_test_util.h"
#include "test_window.h"

using hkv::clsWaitableTimer;
using hkv::test::Narrow;
using hkv::test::TestWindow;
using Clock = std::chrono::steady_clock;

namespace {

constexpr UINT kMsgProbe = WM_APP + 1;
constexpr UINT kMsgNestedWait = WM_APP + 2;
constexpr UINT_PTR kTimerId = 1;

// Loose bounds only: the exact figures come from the delay benchmark.
constexpr double kEarlyToleranceMs = 10; // timer and clock granularity
// A wait this late is hung, not slowed down: a busy machine holds a thread back far less.
constexpr double kHangLimitMs = 10000;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename F> double TimeMs(F&& f) {
    const auto start = Clock::now();
    f();
    return MsSince(start);
}

// The minute and second that name the timer of a wait starting now.
int MinuteAndSecond() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wMinute * 60 + now.wSecond;
}

class Delay : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(window_.hwnd(), nullptr);
        hkv::test::PumpMessages();
    }
    void TearDown() override { KillTimer(window_.hwnd(), kTimerId); }

    TestWindow window_;
};

} // namespace

TEST_F(Delay, LastsItsDelayAndEnds) {
    for (double ms : {0.0, 100.0, 200.0}) {
        const double elapsed = TimeMs([&] { hkv::keyfunc::Delay(ms); });
        EXPECT_GE(elapsed, ms - kEarlyToleranceMs) << "Delay(" << ms << ")";
        EXPECT_LT(elapsed, ms + kHangLimitMs) << "Delay(" << ms << ")";
    }
}

TEST_F(Delay, HoldsItsTimerOnlyWhileWaiting) {
    clsWaitableTimer timer;
    EXPECT_EQ(timer.TimerHandle(), nullptr);
    for (int round = 1; round <= 2; ++round) {
        HANDLE during = nullptr;
        window_.OnMessage([&](UINT msg, WPARAM, LPARAM) {
            if (msg == kMsgProbe) {
                during = timer.TimerHandle();
            }
        });
        PostMessageW(window_.hwnd(), kMsgProbe, 0, 0);
        const double elapsed = TimeMs([&] { timer.Wait(50); });
        EXPECT_GE(elapsed, 50 - kEarlyToleranceMs) << "round " << round;
        ASSERT_NE(during, nullptr) << "round " << round << ": no timer while waiting";
        EXPECT_EQ(timer.TimerHandle(), nullptr) << "round " << round;
        DWORD flags = 0;
        EXPECT_FALSE(GetHandleInformation(during, &flags))
            << "round " << round << ": the timer handle was left open";
    }
}

TEST_F(Delay, DispatchesPostedSentAndTimerMessagesWhileWaiting) {
    clsWaitableTimer timer;
    bool postedDuringWait = false;
    bool sentDuringWait = false;
    int ticksDuringWait = 0;
    window_.OnMessage([&](UINT msg, WPARAM wParam, LPARAM) {
        const bool waiting = timer.TimerHandle() != nullptr;
        if (msg == kMsgProbe && wParam == 0) {
            postedDuringWait = waiting;
        } else if (msg == kMsgProbe && wParam == 1) {
            sentDuringWait = waiting;
        } else if (msg == WM_TIMER && waiting) {
            ++ticksDuringWait;
        }
    });
    PostMessageW(window_.hwnd(), kMsgProbe, 0, 0);
    SetTimer(window_.hwnd(), kTimerId, 30, nullptr);
    // Another thread's SendMessage blocks until this thread handles it, inside the wait.
    std::thread sender([hwnd = window_.hwnd()] { SendMessageW(hwnd, kMsgProbe, 1, 0); });
    timer.Wait(200);
    sender.join();
    EXPECT_TRUE(postedDuringWait);
    EXPECT_TRUE(sentDuringWait);
    EXPECT_GE(ticksDuringWait, 2) << "WM_TIMER every 30 ms during a 200 ms wait";
}

// A second playback started by a hotkey during the pause of the first: the inner wait runs inside
// the outer one. Started in the same second, both open one named timer, which the inner re-arms.
TEST_F(Delay, NestedWaitEndsAndTheOuterStillLastsItsOwnDelay) {
    struct Row {
        double outerMs;
        double innerMs;
    };
    for (const Row row : {Row{300, 50}, Row{100, 250}}) {
        SCOPED_TRACE(testing::Message() << "outer " << row.outerMs << ", inner " << row.innerMs);
        clsWaitableTimer timer;
        double innerElapsed = -1;
        HANDLE outerHandle = nullptr;
        int innerStart = -1;
        window_.OnMessage([&](UINT msg, WPARAM, LPARAM) {
            if (msg != kMsgNestedWait) {
                return;
            }
            outerHandle = timer.TimerHandle();
            innerStart = MinuteAndSecond();
            innerElapsed = TimeMs([&] { timer.Wait(row.innerMs); });
            EXPECT_EQ(timer.TimerHandle(), outerHandle) << "the inner wait took the outer's place";
        });
        // Retried when a second boundary separates the two starts: then they would not share.
        int outerStart = -2;
        double outerElapsed = 0;
        for (int attempt = 0; attempt < 3 && innerStart != outerStart; ++attempt) {
            PostMessageW(window_.hwnd(), kMsgNestedWait, 0, 0);
            outerStart = MinuteAndSecond();
            outerElapsed = TimeMs([&] { timer.Wait(row.outerMs); });
        }
        ASSERT_EQ(innerStart, outerStart) << "could not start both waits in the same second";
        ASSERT_GE(innerElapsed, 0) << "the inner wait did not run";
        EXPECT_NE(outerHandle, nullptr);
        EXPECT_GE(innerElapsed, row.innerMs - kEarlyToleranceMs);
        EXPECT_GE(outerElapsed, row.outerMs - kEarlyToleranceMs) << "the outer wait ended early";
        EXPECT_GE(outerElapsed, innerElapsed);
        EXPECT_LT(outerElapsed, row.outerMs + row.innerMs + kHangLimitMs);
        EXPECT_EQ(timer.TimerHandle(), nullptr);
    }
}

TEST_F(Delay, RefusesWhatIsNoDelayWithThePrefixedDescription) {
    struct Row {
        double milliSeconds;
        long number;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Row rows[] = {{std::nan(""), hkv::kErrTypeMismatch},
                        {inf, hkv::kErrTypeMismatch},
                        {-inf, hkv::kErrTypeMismatch},
                        {-1, hkv::kErrInvalidArgument},
                        {1e300, hkv::kErrOverflow}};
    const std::wstring prefix = L"[clsWaitableTimer.Wait]";
    clsWaitableTimer timer;
    for (const auto& row : rows) {
        for (bool throughDelay : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << row.milliSeconds << (throughDelay ? " (Delay)" : ""));
            try {
                if (throughDelay) {
                    hkv::keyfunc::Delay(row.milliSeconds);
                } else {
                    timer.Wait(row.milliSeconds);
                }
                ADD_FAILURE() << "no failure";
            } catch (const hkv::AppError& e) {
                const std::wstring& text = e.description();
                EXPECT_EQ(text.rfind(prefix, 0), 0u) << Narrow(text);
                EXPECT_EQ(text.find(prefix, 1), std::wstring::npos)
                    << "prefixed twice: " << Narrow(text);
                EXPECT_GT(text.size(), prefix.size()) << "the failure's own description is lost";
                EXPECT_EQ(e.number(), row.number);
                EXPECT_EQ(e.source(), L"clsWaitableTimer");
            }
        }
    }
    EXPECT_EQ(timer.TimerHandle(), nullptr);
    const double elapsed = TimeMs([&] { timer.Wait(30); });
    EXPECT_GE(elapsed, 30 - kEarlyToleranceMs) << "a refused value broke later waits";
}

// Every name the timer could take is held by an event, so the timer cannot be created.
TEST_F(Delay, WithoutATimerStillWaitsItsDelayAndDispatches) {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    const std::wstring base = hkv::BaseNameWithoutExtension(path);
    std::vector<hkv::UniqueKernelHandle> squatters;
    for (int minute = 0; minute < 60; ++minute) {
        for (int second = 0; second < 60; ++second) {
            const std::wstring name = hkv::WaitableTimerName(base, minute, second);
            squatters.emplace_back(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
            ASSERT_TRUE(squatters.back()) << Narrow(name);
        }
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::wstring current = hkv::WaitableTimerName(base, now.wMinute, now.wSecond);
    hkv::UniqueKernelHandle probe(CreateWaitableTimerW(nullptr, TRUE, current.c_str()));
    ASSERT_FALSE(probe) << "a timer could still be created: the failure path is not exercised";

    clsWaitableTimer timer;
    bool dispatched = false;
    window_.OnMessage(
        [&](UINT msg, WPARAM, LPARAM) { dispatched = dispatched || msg == kMsgProbe; });
    PostMessageW(window_.hwnd(), kMsgProbe, 0, 0);
    const double elapsed = TimeMs([&] { timer.Wait(100); });
    EXPECT_GE(elapsed, 100 - kEarlyToleranceMs);
    EXPECT_LT(elapsed, 100 + kHangLimitMs);
    EXPECT_TRUE(dispatched);
    EXPECT_EQ(timer.TimerHandle(), nullptr);
}

TEST_F(Delay, LeavesAQuitRequestForTheMainLoop) {
    constexpr int kExitCode = 7;
    window_.OnMessage([&](UINT msg, WPARAM, LPARAM) {
        if (msg == kMsgProbe) {
            PostQuitMessage(kExitCode);
        }
    });
    PostMessageW(window_.hwnd(), kMsgProbe, 0, 0);
    const double elapsed = TimeMs([] { hkv::keyfunc::Delay(60); });
    EXPECT_GE(elapsed, 60 - kEarlyToleranceMs);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "the delay swallowed WM_QUIT: the program would never end";
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(kExitCode));
}

TEST_F(Delay, PumpUntilReturnsOnceAMessageMakesTheConditionTrue) {
    bool ticked = false;
    window_.OnMessage([&](UINT msg, WPARAM, LPARAM) { ticked = ticked || msg == WM_TIMER; });
    SetTimer(window_.hwnd(), kTimerId, 50, nullptr);
    bool result = false;
    const double elapsed = TimeMs([&] {
        result = hkv::keyfunc::PumpUntil([&] { return ticked; }, static_cast<int>(kHangLimitMs));
    });
    EXPECT_TRUE(result);
    EXPECT_LT(elapsed, kHangLimitMs) << "it ran into its time-out";
}

// A hotkey's wait: a condition already true is not held up by what is queued, and a message whose
// nested loop (a menu, a message box) outlasts the time-out fails the wait: played then, the press
// would reach whatever has the focus by then.
TEST_F(Delay, PumpUntilLooksFirstAndFailsOnceANestedLoopOutlastsItsTimeOut) {
    bool ready = false;
    window_.OnMessage([&](UINT msg, WPARAM, LPARAM) {
        if (msg == kMsgProbe) {
            hkv::keyfunc::Delay(150);
            ready = true;
        }
    });
    PostMessageW(window_.hwnd(), kMsgProbe, 0, 0);
    EXPECT_TRUE(hkv::keyfunc::PumpUntil([] { return true; }, 1000));
    EXPECT_FALSE(ready) << "a message was handled before the condition was first asked";
    EXPECT_FALSE(hkv::keyfunc::PumpUntil([&] { return ready; }, 50));
    EXPECT_TRUE(ready) << "the nested loop did not run inside the wait";
}

TEST_F(Delay, PumpUntilNoticesAConditionThatNoMessageAnnounces) {
    // Like keys released in another program's window: the state changes, this queue hears nothing.
    const auto start = Clock::now();
    bool result = false;
    const double elapsed = TimeMs([&] {
        result = hkv::keyfunc::PumpUntil([&] { return MsSince(start) >= 80; },
                                         static_cast<int>(kHangLimitMs));
    });
    EXPECT_TRUE(result);
    EXPECT_LT(elapsed, kHangLimitMs) << "the condition was not checked again until the time-out";
}

TEST_F(Delay, PumpUntilGivesUpAfterItsTimeOutHavingDispatched) {
    bool dispatched = false;
    window_.OnMessage(
        [&](UINT msg, WPARAM, LPARAM) { dispatched = dispatched || msg == kMsgProbe; });
    PostMessageW(window_.hwnd(), kMsgProbe, 0, 0);
    bool result = true;
    const double elapsed =
        TimeMs([&] { result = hkv::keyfunc::PumpUntil([] { return false; }, 150); });
    EXPECT_FALSE(result);
    EXPECT_TRUE(dispatched);
    EXPECT_GE(elapsed, 150 - kEarlyToleranceMs);
    EXPECT_LT(elapsed, 150 + kHangLimitMs);

    EXPECT_TRUE(hkv::keyfunc::PumpUntil([] { return true; }, 0));
    EXPECT_FALSE(hkv::keyfunc::PumpUntil([] { return false; }, -5));
}
