// The built launcher applying a browser-sized update and killed at random
// moments, once or a few times in a row: the first start that runs to its end
// must leave the data folder as the old tree with the staged tree copied over
// it, nothing more, and start the browser.
#include <cstdlib>
#include <random>

#include <gtest/gtest.h>

#include "tests/launcher/Install.h"

namespace {

const unsigned kSeed = 7031;
// After a killed start, the next one is killed too one time in three, but
// never more than three starts in a row.
const double kKillAgainChance = 1.0 / 3;
const int kMostKillsInARow = 3;

// The old tree and a post-upgrade program in the data folder; the staged tree
// and a new browser program in the update folder.
void LayOutUpdate(const Install& install, const fs::path& trees) {
    fs::copy(trees / "old", install.data, fs::copy_options::recursive);
    WriteFile(install.data / "TavrelPostUpgrade.exe", "post-upgrade");
    fs::copy(trees / "staged", install.update, fs::copy_options::recursive);
    install.StageBrowser();
}

// Expects the update applied by a start that ended with `run`, and the
// browser started.
void ExpectApplied(const Install& install, const RunResult& run, const Contents& applied) {
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(install.WaitForBrowser(60).empty());
    install.ExpectUpdateApplied(applied);
}

TEST(InterruptedUpdateTest, NextFullStartFinishesWhatKilledStartsLeft) {
    // Where the update_trees test wrote the old data folder and the update.
    const char* folder = std::getenv("TAVREL_UPDATE_TREES");
    const fs::path trees = folder == nullptr ? fs::path() : fs::path(folder);
    ASSERT_TRUE(fs::is_directory(trees / "old") && fs::is_directory(trees / "staged"))
        << "no update trees in \"" << trees.string() << "\"; the update_trees test writes them";

    // One uncut start: what every start that runs to its end must leave, and
    // the time over which the kills are spread.
    Install uncut;
    LayOutUpdate(uncut, trees);
    const Contents applied = uncut.Applied();
    const RunResult run = RunProgram({uncut.launcher, {}, uncut.root});
    ExpectApplied(uncut, run, applied);

    std::mt19937 random(kSeed);
    std::uniform_real_distribution<double> moment(0, run.seconds);
    std::bernoulli_distribution killAgain(kKillAgainChance);
    for (int update = 0; update < CUT_OFF_UPDATES; ++update) {
        Install install;
        LayOutUpdate(install, trees);
        std::string kills;
        int killed = 0;
        do {
            const double seconds = moment(random);
            RunProgram({install.launcher, {}, install.root, seconds});
            kills += " " + std::to_string(seconds) + " s";
        } while (++killed < kMostKillsInARow && killAgain(random));
        SCOPED_TRACE("seed " + std::to_string(kSeed) + ", update " + std::to_string(update) +
                     ", killed after" + kills);
        // A browser that a killed start had started may have left its record.
        install.WaitForBrowser(0);
        ExpectApplied(install, RunProgram({install.launcher, {}, install.root}), applied);
    }
}

}  // namespace
