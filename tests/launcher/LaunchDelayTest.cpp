#include "launcher/LaunchDelay.h"

#include <climits>

#include <gtest/gtest.h>

#include "tests/support/TestStrings.h"

namespace {

// The first parameter read as atol reads it, the wait in whole seconds that
// it asks for (never wrapped, never endless), and the plan when the tail
// begins with the switch.
TEST(LaunchDelayTest, ReadsTheDelayAsAtolDoesAndWaitsWithoutWrapping) {
    const struct {
        LPCWSTR text;
        int seconds;
        DWORD milliseconds;
    } cases[] = {
        {TEXT("5"), 5, 5000},
        {TEXT(" \t\n\v\f\r7x"), 7, 7000},
        {TEXT("+3"), 3, 3000},
        {TEXT("-3"), -3, 0},
        {TEXT("abc"), 0, 0},
        {TEXT(""), 0, 0},
        {TEXT("- 4"), 0, 0},
        {TEXT("\u0663"), 0, 0},  // a digit, but not an ASCII one
        {TEXT("1"), 1, 1000},
        {TEXT("4294967"), 4294967, 4294967000u},
        // x 1000 would wrap to 704 ms in 32 bits.
        {TEXT("4294968"), 4294968, INFINITE - 1},
        {TEXT("2147483647"), INT_MAX, INFINITE - 1},
        // Wraps in 32 bits.
        {TEXT("2147483648"), INT_MIN, 0},
        {TEXT("4294967301"), 5, 5000},
        // The reader holds 19 characters; the twentieth is never read.
        {TEXT("0000000000000000009"), 9, 9000},
        {TEXT("00000000000000000012"), 1, 1000},
        {TEXT("                   5"), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(CString(c.text)));
        EXPECT_EQ(ReadDelaySeconds(c.text), c.seconds);
        EXPECT_EQ(DelayMilliseconds(c.seconds), c.milliseconds);
        const LaunchPlan plan = PlanLaunch(c.text, TEXT("-wkesto ") + CString(c.text));
        EXPECT_EQ(plan.forwardTail, FALSE);
        EXPECT_EQ(plan.delayMilliseconds, c.milliseconds);
    }
}

TEST(LaunchDelayTest, PlansTheLaunchFromFirstParameterAndTail) {
    const struct {
        LPCWSTR firstParameter;
        LPCWSTR tail;
        BOOL forwardTail;
        DWORD delay;
    } cases[] = {
        {TEXT("7"), TEXT("7 x-wkesto y"), FALSE, 7000},
        {TEXT("5"), TEXT("5 -wkesto"), TRUE, 0},
        {TEXT("page.htm"), TEXT("page.htm -WKESTO 7"), TRUE, 0},
        {TEXT(""), TEXT("-x"), FALSE, 0},
    };
    for (const auto& c : cases) {
        const LaunchPlan plan = PlanLaunch(c.firstParameter, c.tail);
        EXPECT_EQ(plan.forwardTail, c.forwardTail) << ::testing::PrintToString(CString(c.tail));
        EXPECT_EQ(plan.delayMilliseconds, c.delay) << ::testing::PrintToString(CString(c.tail));
    }
}

}  // namespace
