// The update step run in this process: what a start makes of the data folder
// from each set-up, and that the next start without the obstacle applies
// whatever stayed staged.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "launcher/StagedUpdate.h"
#include "launcher/UpdateLock.h"
#include "tests/launcher/Install.h"
#include "tests/support/FaultSeam.h"
#include "tests/support/TestFiles.h"

#ifdef _WIN32
const bool kRoot = false;
#else
#include <unistd.h>

const bool kRoot = getuid() == 0;
#endif

namespace {

// The update applied; everything as it was, times too, but the lock file
// made; the update staged and the installed files exactly as they were; the
// update staged, or renamed as applied, with each installed file there old
// or new, none cut short, and what the next start finishes or undoes kept
// aside under names of the temporaries' kind; the update applied and gone,
// but what the copy kept aside, which the next start removes.
// (kAsElsewhere: on Windows, the outcome it has on Linux.)
enum Outcome { kApplied, kUntouched, kKept, kPending, kRenamed, kDone, kAsElsewhere };

// What stands in the way of the first start, on `path` below the data
// folder: removed; written; held in use throughout the start, or for its
// first 30 ms; locked against renaming, replacing and removing; a small disk
// of its own with room for half the browser program, or for it and half the
// rest; made read-only (a program that can still run; a folder: listed but
// not entered), for a start by an ordinary user who owns the install; a
// leftover of an earlier update at `path`, which cannot be deleted; links in
// the staged tree to its own folders.
enum Obstacle {
    kNothing,
    kRemoved,
    kWritten,
    kInUse,
    kInUseAtFirst,
    kLocked,
    kNoRoomForBrowser,
    kNoRoomForRest,
    kReadOnly,
    kLeftover,
    kOwnLinks,
};

struct UpdateCase {
    const char* name;
    Outcome outcome;
    Fault fault;
    Obstacle obstacle = kNothing;
    const char* path = nullptr;
    Outcome onWindows = kAsElsewhere;
};

const UpdateCase kUpdateCases[] = {
    {"a nested tree", kApplied, kNoFault},
    {"a staged post-upgrade program", kApplied, kNoFault, kWritten, "update/TavrelPostUpgrade.exe"},
    // Never applied over the launcher's own: they go with the update.
    {"staged names of the launcher's own", kApplied, kNoFault, kWritten, "update/update.lock"},
    {"a staged name of the launcher's own that cannot go",
     kUntouched,
     {Call::Remove, Failure::AccessDenied, "update/update.lock"},
     kWritten,
     "update/update.lock"},
    {"a staged update folder in the update", kApplied, kNoFault, kWritten,
     "update/update/Tavrel.exe"},
    {"no update folder", kUntouched, kNoFault, kRemoved, "update"},
    {"no browser program staged", kUntouched, kNoFault, kRemoved, "update/Tavrel.exe"},
    {"a file named update", kUntouched, kNoFault, kWritten, "update"},
    // Every file put back: none of the update is applied.
    {"a data file that cannot be replaced", kKept, kNoFault, kLocked, "old.dat"},
    {"the browser program in use at first", kApplied, kNoFault, kInUseAtFirst, "Tavrel.exe"},
    {"the browser program in use throughout", kKept, kNoFault, kInUse, "Tavrel.exe"},
    {"a disk too full for the browser program", kKept, kNoFault, kNoRoomForBrowser},
    {"a disk too full for the rest", kKept, kNoFault, kNoRoomForRest},
    // Removed as links whatever the order: US goes before posix\US, which
    // points at it, and US\back goes before posix, which it points at.
    {"links to the update's own folders", kApplied, kNoFault, kOwnLinks},
    // A file's content counts once per file on Windows, a few times on Linux:
    // either way a later file than the first.
    {"disk full at a later file", kKept, {Call::Copy, Failure::DiskFull, nullptr, 2}},
    {"written files that cannot be flushed", kKept, {Call::Flush, Failure::IoError}},
    {"old.dat cannot take its place",
     kKept,
     {Call::Rename, Failure::AccessDenied, "old.dat", 0, 1}},
    {"the fourth rename refused", kKept, {Call::Rename, Failure::AccessDenied, nullptr, 3, 1}},
    // Neither in place nor put back at once, old.dat waits under its kept
    // name, with the copy's record, for the next start to put it back.
    {"old.dat cannot be put back at first",
     kPending,
     {Call::Rename, Failure::AccessDenied, "old.dat", 0, 3}},
    // Not put back as its placing fails, old.dat is put back by the undo.
    {"old.dat put back by the undo", kKept, {Call::Rename, Failure::AccessDenied, "old.dat", 0, 2}},
    // A power cut loses what no flush covered: each file is on stable storage
    // before it is put in place, and in place before the copy is marked done,
    // and that mark before the kept old files go; then the update is marked
    // applied, and that mark is durable before anything of the update goes.
    // Put back without a flush, the files are put back again by the next
    // start. On Windows each file is flushed as it is written and each rename
    // is written through in its own call, so there the second, third and
    // fourth flushes are those of written files.
    {"placed files not flushed", kPending, {Call::Flush, Failure::IoError, nullptr, 1}},
    {"the copy's mark of done not flushed",
     kRenamed,
     {Call::Flush, Failure::IoError, nullptr, 2},
     kNothing,
     nullptr,
     kKept},
    {"the applied update's new name not flushed",
     kRenamed,
     {Call::Flush, Failure::IoError, nullptr, 3, 1},
     kNothing,
     nullptr,
     kKept},
    // Not renamed, the update is removed where it stands, its browser
    // program last, so that a removal cut off part-way leaves an update that
    // the next start applies.
    {"the update folder cannot be renamed",
     kApplied,
     {Call::Rename, Failure::AccessDenied, "update-applied"}},
    {"a kept old file that cannot be removed at first",
     kDone,
     {Call::Remove, Failure::IoError, nullptr, 0, 1}},
    {"a leftover that cannot be removed",
     kPending,
     {Call::Remove, Failure::AccessDenied, "old.dat"},
     kLeftover,
     "update-applied/old.dat"},
    // Listed as empty, its files would pass for copied, and go with the update.
    {"a staged folder that cannot be searched",
     kKept,
     {Call::Search, Failure::AccessDenied, "update/sub"}},
#ifndef _WIN32
    // Each is one ordinary name: followed as a path, it would write victim.txt.
    {"a staged name with backslashes", kApplied, kNoFault, kWritten, "update/x\\..\\victim.txt"},
    {"a staged name that Windows does not allow", kApplied, kNoFault, kWritten,
     "update/a:b/q\"<>|*?"},
    // The code points that stand for \ and : in such names, and a byte that
    // is no UTF-8.
    {"look-alikes", kApplied, kNoFault, kWritten,
     "update/\xEF\x81\x9C..\xEF\x81\x9C/c\xEF\x80\xBA\xE9"},
    // Replaced by a rename, which needs no write permission on it; and put
    // back the same way, over a new one that no one may write.
    {"a read-only browser program", kApplied, kNoFault, kReadOnly, "Tavrel.exe"},
    {"a read-only staged browser program put back",
     kKept,
     {Call::Rename, Failure::AccessDenied, "old.dat", 0, 1},
     kReadOnly,
     "update/Tavrel.exe"},
    // Listed as empty, its files would pass for copied, and go with the update.
    {"a staged folder that cannot be entered", kKept, kNoFault, kReadOnly, "update/sub"},
#endif
};

// Where the small_disk test mounted a small file system, or empty where it
// could not (mounting takes root).
fs::path SmallDisk() {
    const char* folder = std::getenv("TAVREL_SMALL_DISK");
    std::error_code error;
    if (folder == nullptr || fs::space(folder, error).capacity > (uintmax_t(256) << 20) || error) {
        return fs::path();
    }
    return folder;
}

// The update of every case: a new browser program, a replaced file, added
// files in new folders, an empty one; and a post-upgrade program.
void StageUpdate(const Install& install) {
    WriteFile(install.data / "old.dat", "old");
    WriteFile(install.data / "TavrelPostUpgrade.exe", "post-upgrade");
    install.StageBrowser();
    for (const char* file : {"old.dat", "sub/added.dat", "locales/de/x.pak", "empty.dat"}) {
        install.Stage(file, file == std::string("empty.dat") ? "" : std::string("new ") + file);
    }
}

// Applies the update in this process, or in a child that runs as an
// ordinary user who owns the whole install; a fault put in holds in both.
void Apply(const Install& install, [[maybe_unused]] bool asNobody) {
#ifndef _WIN32
    if (asNobody) {
        EXPECT_EQ(ExitCodeAsNobody(install.root,
                                   [&] {
                                       ApplyStagedUpdate(install.layout);
                                       return 0;
                                   }),
                  0);
        return;
    }
#endif
    ApplyStagedUpdate(install.layout);
}

// Why a case cannot run here, or null.
const char* CannotRun(const UpdateCase& c) {
    const bool onSmallDisk = c.obstacle == kNoRoomForBrowser || c.obstacle == kNoRoomForRest;
    if (onSmallDisk && SmallDisk().empty()) {
        return "no small file system mounted (that takes root)";
    }
    if (c.obstacle == kReadOnly && !kRoot) {
        return "the start as another user takes root";
    }
    if (c.fault.call != kNoFault.call && !HasFaultSeam()) {
        return kNoFaultSeam;
    }
    return nullptr;
}

TEST(StagedUpdateTest, EachStartLeavesWhatItCanAndTheNextAppliesTheRest) {
    std::string skipped;
    for (const UpdateCase& c : kUpdateCases) {
        SCOPED_TRACE(c.name);
#ifdef _WIN32
        const Outcome outcome = c.onWindows != kAsElsewhere ? c.onWindows : c.outcome;
#else
        const Outcome outcome = c.outcome;
#endif
        if (const char* reason = CannotRun(c)) {
            skipped += std::string("\n  ") + c.name + ": " + reason;
            continue;
        }
        const bool onSmallDisk = c.obstacle == kNoRoomForBrowser || c.obstacle == kNoRoomForRest;
        Install install(fs::path(), onSmallDisk ? SmallDisk() : fs::path());
        StageUpdate(install);
        const std::string browser = ReadFile(install.update / "Tavrel.exe");
        const fs::path path = c.path == nullptr ? fs::path() : install.data / c.path;
        const fs::path filler = SmallDisk() / "filler";
        std::shared_ptr<BusyFile> busy;
        if (c.obstacle == kRemoved || c.obstacle == kLeftover || path == install.update) {
            fs::remove_all(c.obstacle == kLeftover ? install.data / "TavrelPostUpgrade.exe" : path);
        }
        if (c.obstacle == kWritten || c.obstacle == kLeftover) {
            fs::create_directories(path.parent_path());
            WriteFile(path, "written");
        } else if (c.obstacle == kInUse || c.obstacle == kInUseAtFirst || c.obstacle == kLocked) {
            busy = std::make_shared<BusyFile>(
                path, c.obstacle == kLocked ? BusyFile::kLocked : BusyFile::kRunning);
            if (!busy->IsHeld()) {
                skipped += std::string("\n  ") + c.name + ": no immutable files here (chattr +i)";
                continue;
            }
        } else if (c.obstacle == kReadOnly) {
            // A program keeps its execute bits; a folder loses them.
            const fs::perms run = fs::is_directory(path)
                                      ? fs::perms::none
                                      : fs::perms::owner_exec | fs::perms::others_exec;
            fs::permissions(path, fs::perms::owner_read | fs::perms::others_read | run);
        } else if (onSmallDisk) {
            const bool rest = c.obstacle == kNoRoomForRest;
            install.Stage("big.dat", std::string(rest ? browser.size() : 0, 'b'));
            const uintmax_t room = browser.size() / 2 + (rest ? browser.size() : 0);
            WriteFile(filler, std::string(fs::space(SmallDisk()).available - room, 'f'));
        } else if (c.obstacle == kOwnLinks) {
            install.Stage("US/Eastern", "new US/Eastern");
            install.Stage("posix/zone.tab", "new posix/zone.tab");
            if (!MakeDirectoryLink("../US", install.update / "posix/US") ||
                !MakeDirectoryLink("../posix", install.update / "US/back")) {
                skipped += std::string("\n  ") + c.name + ": this system makes no links";
                continue;
            }
        }
        const Contents installed = install.Installed();
        const Contents applied = install.Applied();
        const TreeState before = SnapshotTree(install.data);
        const bool postUpgrade = fs::exists(install.data / "TavrelPostUpgrade.exe");
        const auto release = std::async(std::launch::async, [&busy, &c] {
            if (c.obstacle == kInUseAtFirst) {
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                busy.reset();
            }
        });
        if (c.fault.call != kNoFault.call) {
            InjectFault(c.fault);
        }
        Apply(install, c.obstacle == kReadOnly);
        ClearFault();
        release.wait();

        const Contents after = install.Installed();
        if (outcome == kApplied) {
            EXPECT_EQ(after, applied);
            EXPECT_FALSE(fs::exists(install.update) || fs::exists(install.applied));
        } else if (outcome == kUntouched) {
            TreeState now = SnapshotTree(install.data);
            EXPECT_TRUE(now.erase("update.lock") == 1 || !fs::exists(install.update));
            EXPECT_EQ(now, before);
        } else {
            if (outcome == kKept) {
                EXPECT_EQ(after, installed);
            }
            for (const auto& file : WithoutTemporaries(after)) {
                EXPECT_TRUE(std::count(installed.begin(), installed.end(), file) +
                            std::count(applied.begin(), applied.end(), file))
                    << file.first;
            }
            if (outcome == kDone) {
                EXPECT_EQ(WithoutTemporaries(after), applied);
                EXPECT_NE(after, applied);
                EXPECT_FALSE(fs::exists(install.update) || fs::exists(install.applied));
            } else {
                const fs::path kept = outcome == kRenamed ? install.applied : install.update;
                EXPECT_TRUE(fs::exists(kept / "Tavrel.exe"));
                // It goes once the copy is whole.
                EXPECT_EQ(fs::exists(install.data / "TavrelPostUpgrade.exe"),
                          postUpgrade && outcome != kRenamed);
            }
            for (const char* folder : {"locales", "sub"}) {
                EXPECT_FALSE(c.obstacle == kLeftover && fs::exists(install.update / folder));
            }
            busy.reset();
            fs::remove(filler);
            ApplyStagedUpdate(install.layout);
            EXPECT_EQ(install.Installed(), applied);
            EXPECT_FALSE(fs::exists(install.update) || fs::exists(install.applied));
        }
    }
    if (!skipped.empty()) {
        GTEST_SKIP() << "cases that cannot run here:" << skipped;
    }
}

// A link where the lock file goes is replaced by a file, never followed.
TEST(StagedUpdateTest, TheUpdateLockIsNeverTakenThroughALink) {
    Install install;
    const fs::path outside = install.temp.path() / "outside";
    WriteFile(outside, "outside");
    if (!MakeFileLink(outside, install.data / "update.lock")) {
        GTEST_SKIP() << "this system makes no links";
    }
    EXPECT_TRUE(UpdateLock(install.layout.updateLock, 0).IsHeld());
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(install.data / "update.lock")));
    EXPECT_EQ(ReadFile(outside), "outside");
}

#ifndef _WIN32
// A start killed at each step that changes a file, of an update that goes in
// and of one that is put back because a file cannot take its place. The next
// start finishes or undoes what it left before anything else, so that when it
// meets that file too, it leaves one whole version; the start after that
// applies the whole update and leaves nothing behind.
TEST(StagedUpdateTest, AStartKilledAtAnyStepIsFinishedOrUndoneByTheNext) {
    SKIP_WITHOUT_FAULT_SEAM();
    // Renamed onto only by the placing of a file the update adds.
    const Fault refused{Call::Rename, Failure::AccessDenied, "added.dat", 0, 1};
    for (const bool putBack : {false, true}) {
        bool ended = false;
        for (int step = 0; !ended; ++step) {
            SCOPED_TRACE((putBack ? "put back, killed at step " : "killed at step ") +
                         std::to_string(step));
            Install install;
            StageUpdate(install);
            // The post-upgrade program goes with the update, once it is in.
            Contents installed = install.Installed();
            installed.erase("TavrelPostUpgrade.exe");
            const Contents applied = install.Applied();
            const int exitCode = ExitCodeInChild([&] {
                if (putBack) {
                    InjectFault(refused);
                }
                EndProcessAtCall(step);
                ApplyStagedUpdate(install.layout);
                return 0;
            });
            ASSERT_TRUE(exitCode == 0 || exitCode == kEndedAtCall) << exitCode;
            ended = exitCode == 0;
            InjectFault(refused);
            ApplyStagedUpdate(install.layout);
            ClearFault();
            Contents whole = install.Installed();
            whole.erase("TavrelPostUpgrade.exe");
            EXPECT_TRUE(whole == installed || whole == applied) << testing::PrintToString(whole);
            ApplyStagedUpdate(install.layout);
            EXPECT_EQ(install.Installed(), applied);
            EXPECT_FALSE(fs::exists(install.update) || fs::exists(install.applied));
        }
    }
}
#endif

}  // namespace
