#include "launcher/LaunchDelay.h"

#include <climits>

#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"

namespace {

// The plan from the first parameter and the command tail: a tail that holds
// the switch asks for the first parameter, read as atol reads it, as a wait
// in whole seconds (never wrapped, never endless), and forwards nothing.
TEST(LaunchDelayTest, PlansTheLaunchAndReadsTheDelayAsAtolDoes) {
    const struct {
        LPCWSTR first;
        // Null for the switch and the first parameter.
        LPCWSTR tail;
        int seconds;
        DWORD milliseconds;
        BOOL forwardTail = FALSE;
    } cases[] = {
        {TEXT("5"), nullptr, 5, 5000},
        {TEXT(" \t\n\v\f\r7x"), nullptr, 7, 7000},
        {TEXT("+3"), nullptr, 3, 3000},
        {TEXT("-3"), nullptr, -3, 0},
        {TEXT("abc"), nullptr, 0, 0},
        {TEXT("- 4"), nullptr, 0, 0},
        {TEXT("\u0663"), nullptr, 0, 0},  // a digit, but not an ASCII one
        {TEXT("1"), nullptr, 1, 1000},
        {TEXT("4294967"), nullptr, 4294967, 4294967000u},
        // x 1000 would wrap to 704 ms in 32 bits.
        {TEXT("4294968"), nullptr, 4294968, INFINITE - 1},
        {TEXT("2147483647"), nullptr, INT_MAX, INFINITE - 1},
        // Wraps in 32 bits.
        {TEXT("2147483648"), nullptr, INT_MIN, 0},
        {TEXT("4294967301"), nullptr, 5, 5000},
        // The reader holds 19 characters; the twentieth is never read.
        {TEXT("0000000000000000009"), nullptr, 9, 9000},
        {TEXT("00000000000000000012"), nullptr, 1, 1000},
        {TEXT("                   5"), nullptr, 0, 0},
        {TEXT("7"), TEXT("7 x-wkesto y"), 7, 7000},
        {TEXT("5"), TEXT("5 -wkesto"), 5, 0, TRUE},
        {TEXT("page.htm"), TEXT("page.htm -WKESTO 7"), 0, 0, TRUE},
        {TEXT(""), TEXT("-x"), 0, 0},
        {TEXT(""), TEXT("-wkesto "), 0, 0},
    };
    for (const auto& c : cases) {
        const CString tail = c.tail ? CString(c.tail) : TEXT("-wkesto ") + CString(c.first);
        SCOPED_TRACE(::testing::PrintToString(tail));
        EXPECT_EQ(ReadDelaySeconds(c.first), c.seconds);
        const LaunchPlan plan = PlanLaunch(c.first, tail);
        EXPECT_EQ(plan.forwardTail, c.forwardTail);
        EXPECT_EQ(plan.delayMilliseconds, c.milliseconds);
    }
}

}  // namespace
