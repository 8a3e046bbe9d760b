#include "launcher/LaunchDelay.h"

#include <climits>

#include <gtest/gtest.h>

#include "tests/support/TestStrings.h"

namespace {

TEST(LaunchDelayTest, ReadsTheFirstParameterAsAtolDoes) {
    const struct {
        LPCWSTR text;
        int seconds;
    } cases[] = {
        {TEXT("5"), 5},
        {TEXT(" \t\n\v\f\r7x"), 7},
        {TEXT("+3"), 3},
        {TEXT("-3"), -3},
        {TEXT("abc"), 0},
        {TEXT(""), 0},
        {TEXT("- 4"), 0},
        {TEXT("\u0663"), 0},  // a digit, but not an ASCII one
        {TEXT("4294968"), 4294968},
        // Wraps in 32 bits.
        {TEXT("2147483648"), INT_MIN},
        {TEXT("4294967301"), 5},
        // The reader holds 19 characters; the twentieth is never read.
        {TEXT("0000000000000000009"), 9},
        {TEXT("00000000000000000012"), 1},
        {TEXT("                   5"), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadDelaySeconds(c.text), c.seconds) << ::testing::PrintToString(CString(c.text));
    }
}

TEST(LaunchDelayTest, WaitsWholeSecondsWithoutWrapping) {
    const struct {
        int seconds;
        DWORD milliseconds;
    } cases[] = {
        {0, 0},
        {-5, 0},
        {INT_MIN, 0},
        {1, 1000},
        {4294967, 4294967000u},
        // 4294968 x 1000 would wrap to 704 ms in 32 bits.
        {4294968, INFINITE - 1},
        {INT_MAX, INFINITE - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DelayMilliseconds(c.seconds), c.milliseconds) << c.seconds;
    }
}

// The launcher runs cover the other plans; these would make them wait long.
TEST(LaunchDelayTest, PlansTheLaunchFromFirstParameterAndTail) {
    const struct {
        LPCWSTR firstParameter;
        LPCWSTR tail;
        BOOL forwardTail;
        DWORD delay;
    } cases[] = {
        {TEXT("5"), TEXT("-wkesto 5"), FALSE, 5000},
        {TEXT("7"), TEXT("7 x-wkesto y"), FALSE, 7000},
        {TEXT("5"), TEXT("5 -wkesto"), TRUE, 0},
    };
    for (const auto& c : cases) {
        const LaunchPlan plan = PlanLaunch(c.firstParameter, c.tail);
        EXPECT_EQ(plan.forwardTail, c.forwardTail) << ::testing::PrintToString(CString(c.tail));
        EXPECT_EQ(plan.delayMilliseconds, c.delay) << ::testing::PrintToString(CString(c.tail));
    }
}

}  // namespace
