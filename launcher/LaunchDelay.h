// The launch-delay switch: "-wkesto " anywhere in the command tail asks the
// launcher to wait the first parameter's number of seconds, then start the
// browser without arguments.
#pragma once

#include "platform/String.h"

extern const WCHAR kLaunchDelaySwitch[];

// What the browser gets: the whole command tail, or nothing after a wait.
struct LaunchPlan {
    BOOL forwardTail;
    DWORD delayMilliseconds;
};

LaunchPlan PlanLaunch(const CString& firstParameter, const CString& commandTail);

// The first parameter read as a whole number the way atol reads it: leading
// white space, a sign, digits up to the first non-digit, wrapping in 32
// bits. Only the first 19 characters count, as many as the reader has room
// for.
int ReadDelaySeconds(const CString& firstParameter);

// seconds x 1000, without wrapping, and never the endless INFINITE: a
// longer wait is cut to the longest finite one.
DWORD DelayMilliseconds(int seconds);
