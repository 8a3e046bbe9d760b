#include "platform/WinApp.h"

#include <exception>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"

namespace {

class RecordingApp : public CWinApp {
public:
    BOOL InitApplication() override { return Note("application "); }
    BOOL InitInstance() override { return !Note("instance "); }
    int ExitInstance() override { return Note("exit") ? 7 : 0; }
    BOOL Note(const char* hook) {
        calls += hook;
        tailSeen = m_lpCmdLine;
        return TRUE;
    }
    std::string calls;
    CString tailSeen;
};

// Though InitInstance answers no, the exit hook follows and gives the exit
// code.
// The application is the process's until it goes.
TEST(WinAppTest, MainRoutineCallsTheHooksInOrderOnTheCommandTail) {
    {
        RecordingApp app;
        EXPECT_EQ(AfxWinMain(nullptr, nullptr, TEXT("-wkesto 5"), SW_SHOW), 7);
        EXPECT_EQ(app.calls, "application instance exit");
        EXPECT_EQ(app.tailSeen, CString(TEXT("-wkesto 5")));
        EXPECT_EQ(app.m_nCmdShow, SW_SHOW);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

// Whatever ends the program unforeseen (an exception that nothing catches,
// or one thrown with no memory left) ends it quietly with the exit code for
// no memory.
TEST(WinAppTest, AnUnforeseenEndIsQuiet) {
    EXPECT_EXIT(std::terminate(), ::testing::ExitedWithCode(255), "^$");
}

}  // namespace
