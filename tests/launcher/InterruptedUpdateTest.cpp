// The built launcher applying a browser-sized update and killed at random
// moments, once or a few times in a row: the first start that runs to its end
// must leave the data folder as the old tree with the staged tree copied over
// it, nothing more, and start the browser.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "tests/launcher/LauncherInstall.h"

namespace {

const unsigned kSeed = 7031;
// After a killed start, the next one is killed too one time in three, but
// never more than three starts in a row.
const double kKillAgainChance = 1.0 / 3;
const int kMostKillsInARow = 3;
// Differences shown by name before the rest are only counted.
const size_t kDifferencesShown = 8;

// Each file's and folder's hash by its path relative to the root; folders end
// with '/' and hash to 0.
typedef std::map<std::string, uint64_t> Contents;

Contents ContentsOf(const fs::path& root) {
    Contents contents;
    for (const auto& [name, state] : SnapshotTree(root)) {
        contents[name] = state.hash;
    }
    return contents;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Where the update_trees test wrote the old data folder and the staged update.
fs::path UpdateTrees() {
    const char* folder = std::getenv("TAVREL_UPDATE_TREES");
    return folder == nullptr ? fs::path() : fs::path(folder);
}

// The old tree and a post-upgrade program in the data folder; the staged tree
// and a new browser program in the update folder. Gives the new browser's
// bytes.
std::string LayOutUpdate(const LauncherInstall& install, const fs::path& trees) {
    fs::copy(trees / "old", install.Data(), fs::copy_options::recursive);
    WriteFile(install.Data() / "TavrelPostUpgrade.exe", "post-upgrade");
    fs::copy(trees / "staged", install.Update(), fs::copy_options::recursive);
    return install.StageBrowser();
}

// What applying the laid-out update must make of the data folder: the update
// folder's contents over the rest, without the post-upgrade program.
Contents AppliedContents(const LauncherInstall& install) {
    Contents applied;
    for (const auto& [name, hash] : ContentsOf(install.Data())) {
        if (!StartsWith(name, "update/") && name != "TavrelPostUpgrade.exe") {
            applied[name] = hash;
        }
    }
    for (const auto& [name, hash] : ContentsOf(install.Update())) {
        applied[name] = hash;
    }
    return applied;
}

// The data folder without the launch records that browsers write there.
Contents DataContents(const LauncherInstall& install) {
    const std::string record = LaunchRecordPath(fs::path()).filename().string();
    Contents contents = ContentsOf(install.Data());
    for (auto entry = contents.begin(); entry != contents.end();) {
        entry = StartsWith(entry->first, record) ? contents.erase(entry) : std::next(entry);
    }
    return contents;
}

// Where `actual` differs from `expected`, the first few paths by name.
std::vector<std::string> Differences(const Contents& expected, const Contents& actual) {
    std::vector<std::string> found;
    for (const auto& [name, hash] : expected) {
        const auto entry = actual.find(name);
        if (entry == actual.end()) {
            found.push_back("missing " + name);
        } else if (entry->second != hash) {
            found.push_back("other bytes in " + name);
        }
    }
    for (const auto& entry : actual) {
        if (expected.count(entry.first) == 0) {
            found.push_back("left over " + entry.first);
        }
    }
    if (found.size() > kDifferencesShown) {
        const size_t more = found.size() - kDifferencesShown;
        found.resize(kDifferencesShown);
        found.push_back("and " + std::to_string(more) + " more");
    }
    return found;
}

// How far a killed start had come, as what it left tells.
std::string Progress(const LauncherInstall& install, const std::string& stagedBrowser) {
    if (fs::exists(install.Data() / "update-applied")) {
        return "removing the applied update";
    }
    if (!fs::exists(install.Update())) {
        return "update done";
    }
    if (!fs::exists(install.Update() / "Tavrel.exe")) {
        return "update folder without its browser program";
    }
    if (ReadFile(install.Data() / "Tavrel.exe") == stagedBrowser) {
        return "copying the staged tree";
    }
    return "before the browser program was replaced";
}

// Starts the launcher and kills it after `seconds`; false when it had ended
// by then.
bool KillLauncherAfter(const LauncherInstall& install, double seconds) {
    StartedProgram launcher = install.Start();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    launcher.Kill();
    return launcher.Wait() != 0;
}

// Kills starts of the launcher at moments spread evenly over `window`
// seconds; after a killed start, the next one is killed too by chance.
class RandomKills {
public:
    explicit RandomKills(double window) : moment_(0, window) {}

    // Kills one start or a few in a row in `install`: when, and how far each
    // had come.
    std::string KillStarts(const LauncherInstall& install, const std::string& stagedBrowser) {
        std::ostringstream kills;
        int killed = 0;
        do {
            const double seconds = moment_(random_);
            const std::string progress = KillLauncherAfter(install, seconds)
                                             ? Progress(install, stagedBrowser)
                                             : "ended before the kill";
            ++tally_[progress];
            kills << " killed after " << seconds << " s, " << progress << ";";
        } while (++killed < kMostKillsInARow && killAgain_(random_));
        return kills.str();
    }

    // How many kills found each stage of progress.
    std::string Tally() const {
        std::ostringstream text;
        for (const auto& [progress, count] : tally_) {
            text << " " << count << " " << progress << ";";
        }
        return text.str();
    }

private:
    std::mt19937 random_{kSeed};
    std::uniform_real_distribution<double> moment_;
    std::bernoulli_distribution killAgain_{kKillAgainChance};
    std::map<std::string, int> tally_;
};

// Expects the update applied by a start that ended with `run`, and the
// browser started.
void ExpectApplied(const LauncherInstall& install, const RunResult& run, const Contents& applied) {
    EXPECT_EQ(run.exitCode, 0);
    LaunchRecord record;
    ASSERT_TRUE(install.WaitForBrowser(&record));
    EXPECT_EQ(Differences(applied, DataContents(install)), std::vector<std::string>());
}

// Applies the update in one uncut start: sets what every start that runs to
// its end must leave, and gives how long the start took.
double TimeUncutStart(const fs::path& trees, Contents* applied) {
    LauncherInstall install;
    LayOutUpdate(install, trees);
    *applied = AppliedContents(install);
    const RunResult run = install.Start().Finish();
    ExpectApplied(install, run, *applied);
    return run.seconds;
}

TEST(InterruptedUpdateTest, NextFullStartFinishesWhatKilledStartsLeft) {
    const fs::path trees = UpdateTrees();
    ASSERT_TRUE(fs::is_directory(trees / "old") && fs::is_directory(trees / "staged"))
        << "no update trees in \"" << trees.string() << "\"; the update_trees test writes them";
    Contents applied;
    const double window = TimeUncutStart(trees, &applied);

    SCOPED_TRACE("seed " + std::to_string(kSeed) + ", kills within " + std::to_string(window) +
                 " s");
    RandomKills kills(window);
    for (int update = 0; update < CUT_OFF_UPDATES; ++update) {
        LauncherInstall install;
        const std::string stagedBrowser = LayOutUpdate(install, trees);
        SCOPED_TRACE("update " + std::to_string(update) + ":" +
                     kills.KillStarts(install, stagedBrowser));
        // A browser that a killed start had started may have left its record.
        std::error_code ignored;
        fs::remove(LaunchRecordPath(install.Data()), ignored);
        ExpectApplied(install, install.Run({}), applied);
    }
    std::printf("Killed starts left:%s\n", kills.Tally().c_str());
}

}  // namespace
