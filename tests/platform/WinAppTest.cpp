#include "platform/WinApp.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/support/TestStrings.h"

namespace {

class RecordingApp : public CWinApp {
public:
    BOOL InitApplication() override {
        calls += "application ";
        return TRUE;
    }
    BOOL InitInstance() override {
        calls += "instance ";
        tailSeen = m_lpCmdLine;
        return initInstanceAnswer;
    }
    int ExitInstance() override {
        calls += "exit";
        return 7;
    }

    BOOL initInstanceAnswer = FALSE;
    std::string calls;
    CString tailSeen;
};

TEST(WinAppTest, MainRoutineCallsTheHooksInOrderAndAnswersTheExitCode) {
    for (const BOOL answer : {FALSE, TRUE}) {
        RecordingApp app;
        app.initInstanceAnswer = answer;
        ASSERT_EQ(AfxGetApp(), &app);
        EXPECT_EQ(AfxWinMain(nullptr, nullptr, TEXT("-wkesto 5"), SW_SHOW), 7);
        EXPECT_EQ(app.calls, "application instance exit");
        EXPECT_EQ(app.tailSeen, CString(TEXT("-wkesto 5")));
        EXPECT_EQ(app.m_nCmdShow, SW_SHOW);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

TEST(WinAppTest, MainRoutineAddsTheQuietErrorModeBits) {
    const UINT before = SetErrorMode(0x0002);
    RecordingApp app;
    AfxWinMain(nullptr, nullptr, TEXT(""), SW_SHOWDEFAULT);
    const UINT after = SetErrorMode(before);
    EXPECT_EQ(after & 0x0002u, 0x0002u);
    EXPECT_EQ(after & (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX),
              SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

}  // namespace
