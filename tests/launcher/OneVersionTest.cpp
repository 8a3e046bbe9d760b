// The built launcher started several times close together over one staged
// update, as a double click or a handful of documents opened at once start
// it, and beside an updater that is still writing the update: every browser
// that starts finds one whole version, old or new, and the update ends
// applied, with nothing left behind. (A file that cannot be replaced, which
// puts the update back, is a case of the update step's own table.)
#include <chrono>
#include <future>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "launcher/UpdateLock.h"
#include "platform/Utf8.h"
#include "tests/launcher/Install.h"

namespace {

const unsigned kSeed = 4177;
// Under Wine every start is slower, and fewer rounds take as long.
#ifdef _WIN32
const int kRounds = 4;
#else
const int kRounds = 8;
#endif
const int kDataFiles = 12;
const size_t kDataFileSize = 2 << 20;

// Old data files beside the browser program, and an update of all of them.
void StageDataFiles(const Install& install) {
    for (int i = 0; i < kDataFiles; ++i) {
        const std::string name = "data" + std::to_string(i) + ".pak";
        WriteFile(install.data / name, std::string(kDataFileSize, 'o'));
        install.Stage(name, std::string(kDataFileSize, 'n'));
    }
}

// Starts the launcher in the install, asking the browser to record the files
// it finds.
std::future<RunResult> Start(const Install& install) {
    return std::async(std::launch::async, [&install] {
        return RunProgram({install.launcher, {kRecordFiles}, install.root});
    });
}

// Takes the records of `starts` browsers and expects each to have found the
// install whole, as it was or as the update makes it.
void ExpectWholeVersions(const Install& install, int starts, const Contents& before,
                         const Contents& after) {
    for (int i = 0; i < starts; ++i) {
        LaunchRecord record;
        ASSERT_TRUE(TakeLaunchRecord(install.data, 60, &record)) << "browser " << i;
        const Contents found = Install::OutsideUpdate(record.files);
        EXPECT_TRUE(found == before || found == after)
            << "browser " << i << " started with \"" << ToUtf8(record.tail) << "\" found "
            << testing::PrintToString(found);
    }
}

TEST(OneVersionTest, EveryBrowserOfStartsAtOnceFindsOneWholeVersion) {
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<int> count(2, 5);
    std::uniform_real_distribution<double> gap(0, 0.4);
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("seed " + std::to_string(kSeed) + ", round " + std::to_string(round));
        Install install;
        StageDataFiles(install);
        install.StageBrowser();
        const Contents before = install.Installed();
        const Contents after = install.Applied();
        const int starts = count(random);
        std::vector<std::future<RunResult>> runs;
        for (int i = 0; i < starts; ++i) {
            std::this_thread::sleep_for(std::chrono::duration<double>(i > 0 ? gap(random) : 0));
            runs.push_back(Start(install));
        }
        for (std::future<RunResult>& run : runs) {
            EXPECT_EQ(run.get().exitCode, 0);
        }
        ExpectWholeVersions(install, starts, before, after);
        install.ExpectUpdateApplied(after);
    }
}

// The update lock has one holder: while an updater holds it, another waits
// as long as it is told and goes without. A start waits for the updater that
// holds it while it writes the update, and applies the whole update once it
// lets go, never the part that is there when the start comes.
TEST(OneVersionTest, AnUpdaterHoldingTheLockIsWaitedFor) {
    Install install;
    std::future<RunResult> run;
    Contents after;
    {
        const UpdateLock updater(install.layout.updateLock, 0);
        ASSERT_TRUE(updater.IsHeld());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(UpdateLock(install.layout.updateLock, 50).IsHeld());
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
        install.StageBrowser();
        run = Start(install);
        // Long enough for a start under Wine to come to the lock.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        StageDataFiles(install);
        after = install.Applied();
    }
    EXPECT_EQ(run.get().exitCode, 0);
    ExpectWholeVersions(install, 1, after, after);
    install.ExpectUpdateApplied(after);
}

}  // namespace
