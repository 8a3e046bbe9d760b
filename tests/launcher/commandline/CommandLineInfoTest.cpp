#include "launcher/commandline/CommandLineInfo.h"

#include <gtest/gtest.h>

#include "platform/commandline/ArgumentVector.h"
#include "tests/support/TestStrings.h"

namespace {

struct Expected {
    LPCWSTR fileName;
    int shellCommand;
    BOOL showSplash = TRUE;
    BOOL embedded = FALSE;
    BOOL automated = FALSE;
    LPCWSTR printer = TEXT("");
    LPCWSTR driver = TEXT("");
    LPCWSTR port = TEXT("");
};

struct ParseCase {
    LPCWSTR commandLine;
    Expected expected;
};

typedef CCommandLineInfo Info;

const ParseCase kParseCases[] = {
    {TEXT("p"), {TEXT(""), Info::FileNew}},
    {TEXT(R"("C:\Program Files\B\launcher.exe" -wkesto 5)"), {TEXT("5"), Info::FileOpen}},
    {TEXT("p -wkesto"), {TEXT(""), Info::FileNew}},
    // An empty argument leaves the file name for the next one.
    {TEXT(R"(p "" 7)"), {TEXT("7"), Info::FileOpen}},
    {TEXT("p -5"), {TEXT(""), Info::FileNew}},
    {TEXT("p /x -wkesto "), {TEXT(""), Info::FileNew}},
    {TEXT("p -- x"), {TEXT("x"), Info::FileOpen}},
    {TEXT("p a b"), {TEXT("a"), Info::FileOpen}},
    {TEXT("p /pt f p d o extra"),
     {TEXT("f"), Info::FilePrintTo, TRUE, FALSE, FALSE, TEXT("p"), TEXT("d"), TEXT("o")}},
    {TEXT("p f /pt p"), {TEXT("f"), Info::FilePrintTo, TRUE, FALSE, FALSE, TEXT("p")}},
    // Case matters for pt, p and dde only.
    {TEXT("p -PT x"), {TEXT("x"), Info::FileOpen}},
    {TEXT("p -DDE"), {TEXT(""), Info::FileNew}},
    {TEXT("p /dde"), {TEXT(""), Info::FileDDE}},
    {TEXT("p doc /p"), {TEXT("doc"), Info::FilePrint}},
    {TEXT("p -unregserver"), {TEXT(""), Info::AppUnregister}},
    {TEXT("p /UNREGISTER doc"), {TEXT("doc"), Info::AppUnregister}},
    {TEXT("p -EMBEDDING"), {TEXT(""), Info::FileNew, FALSE, TRUE, FALSE}},
    {TEXT("p /automation doc"), {TEXT("doc"), Info::FileOpen, FALSE, FALSE, TRUE}},
    {TEXT("p -\u00C9mbedding"), {TEXT(""), Info::FileNew}},
    // Only the full flag text matches.
    {TEXT("p -Embeddings"), {TEXT(""), Info::FileNew}},
};

TEST(CommandLineInfoTest, FillsTheRecordFromTheArguments) {
    for (const ParseCase& c : kParseCases) {
        const ArgumentVector arguments = ArgumentVector::FromCommandLine(c.commandLine);
        CCommandLineInfo info;
        ParseArguments(arguments.Count(), arguments.Values(), info);
        const Expected& e = c.expected;
        SCOPED_TRACE(::testing::PrintToString(CString(c.commandLine)));
        EXPECT_EQ(info.m_strFileName, CString(e.fileName));
        EXPECT_EQ(info.m_nShellCommand, e.shellCommand);
        EXPECT_EQ(info.m_bShowSplash, e.showSplash);
        EXPECT_EQ(info.m_bRunEmbedded, e.embedded);
        EXPECT_EQ(info.m_bRunAutomated, e.automated);
        EXPECT_EQ(info.m_strPrinterName, CString(e.printer));
        EXPECT_EQ(info.m_strDriverName, CString(e.driver));
        EXPECT_EQ(info.m_strPortName, CString(e.port));
    }
}

// The last parameter decides the splash screen from the embedding and
// automation flags alone.
TEST(CommandLineInfoTest, EightBitParametersActAsWideOnes) {
    CCommandLineInfo info;
    info.m_bShowSplash = FALSE;
    info.ParseParam("pt", TRUE, FALSE);
    info.ParseParam("doc", FALSE, FALSE);
    info.ParseParam("printer", FALSE, TRUE);
    EXPECT_EQ(info.m_nShellCommand, Info::FilePrintTo);
    EXPECT_EQ(info.m_strFileName, CString(TEXT("doc")));
    EXPECT_EQ(info.m_strPrinterName, CString(TEXT("printer")));
    EXPECT_TRUE(info.m_bShowSplash);
}

}  // namespace
