#include "platform/WinApp.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/commandline/CommandTail.h"
#include "tests/support/TestStrings.h"

namespace {

class RecordingApp : public CWinApp {
public:
    BOOL InitApplication() override { return Note("application "); }
    BOOL InitInstance() override { return Note("instance ") && answer; }
    int ExitInstance() override { return Note("exit") ? 7 : 0; }
    BOOL Note(const char* hook) {
        calls += hook;
        tailSeen = m_lpCmdLine;
        return TRUE;
    }
    BOOL answer = FALSE;
    std::string calls;
    CString tailSeen;
};

// Whatever InitInstance answers, the exit hook follows; the error mode keeps
// what it had and gains the bits that keep system dialogs away.
TEST(WinAppTest, MainRoutineCallsTheHooksInOrderAndAnswersTheExitCode) {
    const UINT before = SetErrorMode(0x0002);
    for (const BOOL answer : {FALSE, TRUE}) {
        RecordingApp app;
        app.answer = answer;
        ASSERT_EQ(AfxGetApp(), &app);
        EXPECT_EQ(AfxWinMain(nullptr, nullptr, TEXT("-wkesto 5"), SW_SHOW), 7);
        EXPECT_EQ(app.calls, "application instance exit");
        EXPECT_EQ(app.tailSeen, CString(TEXT("-wkesto 5")));
        EXPECT_EQ(app.m_nCmdShow, SW_SHOW);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    const UINT quiet = 0x0002 | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
    EXPECT_EQ(SetErrorMode(before) & quiet, quiet);
}

// The process entry runs the application on its own command line's tail.
TEST(WinAppTest, EntryRunsTheAppOnTheProcessCommandTail) {
    RecordingApp app;
    EXPECT_EQ(AfxEntry(nullptr), 7);
    EXPECT_EQ(app.tailSeen, CString(FindCommandTail(GetCommandLineW())));
}

}  // namespace
