#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "common/app_error.h"
#include "keys/wait_timing.h"

using hkv::RelativeDueTime;
using hkv::WaitableTimerName;

TEST(WaitableTimerName, IsTheBaseNameTimerAndTwoDigitMinutesAndSeconds) {
    struct Row {
        const wchar_t* base;
        int minute;
        int second;
        const wchar_t* name;
    };
    const Row rows[] = {
        {L"hk", 7, 9, L"hkTimer0709"}, // started at 14:07:09
        {L"hk", 0, 0, L"hkTimer0000"},     {L"hk", 59, 59, L"hkTimer5959"},
        {L"hk", 10, 5, L"hkTimer1005"},    {L"my.tool", 30, 0, L"my.toolTimer3000"},
        {L"热键", 3, 4, L"热键Timer0304"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(WaitableTimerName(row.base, row.minute, row.second), row.name)
            << row.minute << ":" << row.second;
    }
}

TEST(RelativeDueTime, IsMinusTheDelayInHundredNanosecondUnits) {
    struct Row {
        double milliSeconds;
        std::int64_t due;
    };
    const Row rows[] = {
        {100, -1'000'000},
        {200, -2'000'000},
        {0, 0},
        {1, -10'000},
        {0.5, -5'000},
        {1.23456, -12'346},
        {0.00001, 0},                   // below one unit
        {86'400'000, -864'000'000'000}, // a day
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RelativeDueTime(row.milliSeconds), row.due) << row.milliSeconds;
    }
    const std::int64_t longest = RelativeDueTime(hkv::kMaxWaitMilliSeconds);
    EXPECT_LT(longest, 0);
    EXPECT_GE(longest, -std::numeric_limits<std::int64_t>::max());
}

TEST(RelativeDueTime, RefusesWhatIsNoDelay) {
    struct Row {
        double milliSeconds;
        long number;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Row rows[] = {
        {std::nan(""), hkv::kErrTypeMismatch},
        {inf, hkv::kErrTypeMismatch},
        {-inf, hkv::kErrTypeMismatch},
        {-1, hkv::kErrInvalidArgument},
        {-0.001, hkv::kErrInvalidArgument},
        {hkv::kMaxWaitMilliSeconds * 1.0001, hkv::kErrOverflow},
        {DBL_MAX, hkv::kErrOverflow},
    };
    for (const auto& row : rows) {
        try {
            RelativeDueTime(row.milliSeconds);
            ADD_FAILURE() << "no failure for " << row.milliSeconds;
        } catch (const hkv::AppError& e) {
            EXPECT_EQ(e.number(), row.number) << row.milliSeconds;
            EXPECT_EQ(e.source(), L"clsWaitableTimer");
            EXPECT_FALSE(e.description().empty());
        }
    }
}
