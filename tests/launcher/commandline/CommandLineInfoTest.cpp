#include "launcher/commandline/CommandLineInfo.h"

#include <gtest/gtest.h>

#include "platform/WinApp.h"
#include "platform/commandline/ArgumentVector.h"
#include "tests/support/TestFiles.h"

namespace {

// The record as one text: the file name, the shell command, the splash
// screen, embedding and automation flags (s, e, a), then the printer, driver
// and port names, '|' between them.
CString Describe(const CCommandLineInfo& info) {
    const LPCWSTR commands[] = {TEXT("New"),     TEXT("Open"), TEXT("Print"),
                                TEXT("PrintTo"), TEXT("DDE"),  TEXT("Unregister")};
    return info.m_strFileName + TEXT('|') + commands[info.m_nShellCommand] + TEXT('|') +
           (info.m_bShowSplash ? TEXT("s") : TEXT("")) +
           (info.m_bRunEmbedded ? TEXT("e") : TEXT("")) +
           (info.m_bRunAutomated ? TEXT("a") : TEXT("")) + TEXT('|') + info.m_strPrinterName +
           TEXT('|') + info.m_strDriverName + TEXT('|') + info.m_strPortName;
}

TEST(CommandLineInfoTest, FillsTheRecordFromTheArguments) {
    const struct {
        LPCWSTR commandLine;
        LPCWSTR record;
    } cases[] = {
        {TEXT("p"), TEXT("|New|s|||")},
        {TEXT(R"("C:\Program Files\B\launcher.exe" -wkesto 5)"), TEXT("5|Open|s|||")},
        {TEXT("p -wkesto"), TEXT("|New|s|||")},
        // An empty argument leaves the file name for the next one.
        {TEXT(R"(p "" 7)"), TEXT("7|Open|s|||")},
        {TEXT("p -5"), TEXT("|New|s|||")},
        {TEXT("p /x -wkesto "), TEXT("|New|s|||")},
        {TEXT("p -- x"), TEXT("x|Open|s|||")},
        {TEXT("p a b"), TEXT("a|Open|s|||")},
        {TEXT("p /pt f p d o extra"), TEXT("f|PrintTo|s|p|d|o")},
        {TEXT("p f /pt p"), TEXT("f|PrintTo|s|p||")},
        // Case matters for pt, p and dde only.
        {TEXT("p -PT x"), TEXT("x|Open|s|||")},
        {TEXT("p -DDE"), TEXT("|New|s|||")},
        {TEXT("p /dde"), TEXT("|DDE|s|||")},
        {TEXT("p doc /p"), TEXT("doc|Print|s|||")},
        {TEXT("p -unregserver"), TEXT("|Unregister|s|||")},
        {TEXT("p /UNREGISTER doc"), TEXT("doc|Unregister|s|||")},
        {TEXT("p -EMBEDDING"), TEXT("|New|e|||")},
        {TEXT("p /automation doc"), TEXT("doc|Open|a|||")},
        {TEXT("p -\u00C9mbedding"), TEXT("|New|s|||")},
        // Only the full flag text matches.
        {TEXT("p -Embeddings"), TEXT("|New|s|||")},
    };
    for (const auto& c : cases) {
        const ArgumentVector arguments = ArgumentVector::FromCommandLine(c.commandLine);
        CCommandLineInfo info;
        ParseArguments(arguments.Count(), arguments.Values(), info);
        EXPECT_EQ(Describe(info), CString(c.record))
            << ::testing::PrintToString(CString(c.commandLine));
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
    EXPECT_EQ(Describe(info), CString(TEXT("doc|PrintTo|s|printer||")));
    // Each of those flags turns it off at once.
    CCommandLineInfo embedded;
    embedded.ParseParam("Embedding", TRUE, FALSE);
    CCommandLineInfo automated;
    automated.ParseParam(TEXT("automation"), TRUE, FALSE);
    EXPECT_EQ(Describe(embedded) + Describe(automated), CString(TEXT("|New|e||||New|a|||")));
}

}  // namespace
