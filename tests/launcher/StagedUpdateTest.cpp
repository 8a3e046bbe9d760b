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
#include "tests/launcher/Install.h"
#include "tests/support/TestFiles.h"

#ifdef _WIN32
struct Fault {};
const bool kRoot = false;
#else
#include <unistd.h>

#include "platform/posix/FaultInjection.h"

const bool kRoot = getuid() == 0;
#endif

namespace {

// The update applied; everything as it was, times too; the update staged and
// the installed files as they were; the update staged, or renamed as
// applied, and each installed file old or new, none cut short.
enum Outcome { kApplied, kUntouched, kKept, kPartial, kRenamed };

// What stands in the way of the first start, on `path` below the data
// folder: removed; written; held in use throughout the start, or for its
// first 30 ms; a small disk of its own with room for half the browser
// program, or for it and half the rest; made read-only (a folder: listed but
// not entered), for a start by an ordinary user who owns the install; a
// leftover of an earlier update at `path`, which cannot be deleted.
enum Obstacle {
    kNothing,
    kRemoved,
    kWritten,
    kInUse,
    kInUseAtFirst,
    kNoRoomForBrowser,
    kNoRoomForRest,
    kReadOnly,
    kLeftover
};

struct UpdateCase {
    const char* name;
    Outcome outcome;
    Fault fault;
    Obstacle obstacle = kNothing;
    const char* path = nullptr;
};

const UpdateCase kUpdateCases[] = {
    {"a nested tree", kApplied, {}},
    {"a staged post-upgrade program", kApplied, {}, kWritten, "update/TavrelPostUpgrade.exe"},
    {"no update folder", kUntouched, {}, kRemoved, "update"},
    {"no browser program staged", kUntouched, {}, kRemoved, "update/Tavrel.exe"},
    {"a file named update", kUntouched, {}, kWritten, "update"},
    {"a data file in use", kPartial, {}, kInUse, "old.dat"},
    {"the browser program in use at first", kApplied, {}, kInUseAtFirst, "Tavrel.exe"},
    {"the browser program in use throughout", kKept, {}, kInUse, "Tavrel.exe"},
    {"a disk too full for the browser program", kKept, {}, kNoRoomForBrowser},
    {"a disk too full for the rest", kKept, {}, kNoRoomForRest},
#ifndef _WIN32
    {"disk full at the second file", kKept, {FaultPoint::CopyFile, ERROR_DISK_FULL, nullptr, 1}},
    {"a written file that cannot be flushed", kKept, {FaultPoint::BeginFlushFile, ERROR_IO_DEVICE}},
    {"written files that cannot be flushed", kKept, {FaultPoint::FinishFlushes, ERROR_IO_DEVICE}},
    {"old.dat cannot be replaced",
     kPartial,
     {FaultPoint::MoveFile, ERROR_ACCESS_DENIED, u"old.dat"}},
    // A power cut loses what no flush covered: each file is on stable storage
    // before it is put in place, and in place before the update is marked
    // applied, and that mark is durable before anything of the update goes.
    {"placed files not flushed",
     kPartial,
     {FaultPoint::FinishFlushes, ERROR_IO_DEVICE, nullptr, 1}},
    {"the applied update's new name not flushed",
     kRenamed,
     {FaultPoint::FlushFolder, ERROR_IO_DEVICE}},
    // Not renamed while the leftover is there, the update is removed where it
    // stands, its folders first and its browser program last, so that a
    // removal cut off part-way leaves an update that the next start applies.
    {"a leftover that cannot be removed",
     kPartial,
     {FaultPoint::DeleteFile, ERROR_ACCESS_DENIED, u"old.dat"},
     kLeftover,
     "update-applied/old.dat"},
    // Each is one ordinary name: followed as a path, it would write victim.txt.
    {"a staged name with backslashes", kApplied, {}, kWritten, "update/x\\..\\victim.txt"},
    {"a staged name that Windows does not allow", kApplied, {}, kWritten, "update/a:b/q\"<>|*?"},
    // The code points that stand for \ and : in such names, and a byte that
    // is no UTF-8.
    {"look-alikes", kApplied, {}, kWritten, "update/\xEF\x81\x9C..\xEF\x81\x9C/c\xEF\x80\xBA\xE9"},
    // Replaced by a rename, which needs no write permission on it.
    {"a read-only browser program", kApplied, {}, kReadOnly, "Tavrel.exe"},
    // Listed as empty, its files would pass for copied, and go with the update.
    {"a staged folder that cannot be entered", kKept, {}, kReadOnly, "update/sub"},
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

// Applies the update in this process, or runs the launcher as an ordinary
// user who owns the whole install (setpriv comes with util-linux).
void Apply(const Install& install, [[maybe_unused]] bool asNobody) {
#ifndef _WIN32
    if (asNobody) {
        const std::string owner = "chown -R nobody:nogroup '" + install.root.string() + "'";
        ASSERT_EQ(std::system(owner.c_str()), 0);
        const RunResult run = RunProgram({"/usr/bin/setpriv",
                                          {TEXT("--reuid=nobody"), TEXT("--regid=nogroup"),
                                           TEXT("--clear-groups"), TEXT("./" LAUNCHER_FILE)},
                                          install.root});
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_FALSE(install.WaitForBrowser(60).empty());
        return;
    }
#endif
    ApplyStagedUpdate(install.layout);
}

TEST(StagedUpdateTest, EachStartLeavesWhatItCanAndTheNextAppliesTheRest) {
    for (const UpdateCase& c : kUpdateCases) {
        SCOPED_TRACE(c.name);
        const bool onSmallDisk = c.obstacle == kNoRoomForBrowser || c.obstacle == kNoRoomForRest;
        // A small file system mounted here, or another user to be, needs root.
        if ((onSmallDisk && SmallDisk().empty()) || (c.obstacle == kReadOnly && !kRoot)) {
            continue;
        }
        Install install(fs::path(), onSmallDisk ? SmallDisk() : fs::path());
        WriteFile(install.data / "old.dat", "old");
        WriteFile(install.data / "TavrelPostUpgrade.exe", "post-upgrade");
        const std::string browser = install.StageBrowser();
        for (const char* file : {"old.dat", "sub/added.dat", "locales/de/x.pak", "empty.dat"}) {
            install.Stage(file, file == std::string("empty.dat") ? "" : std::string("new ") + file);
        }
        const fs::path path = c.path == nullptr ? fs::path() : install.data / c.path;
        const fs::path filler = SmallDisk() / "filler";
        std::shared_ptr<BusyFile> busy;
        if (c.obstacle == kRemoved || c.obstacle == kLeftover || path == install.update) {
            fs::remove_all(c.obstacle == kLeftover ? install.data / "TavrelPostUpgrade.exe" : path);
        }
        if (c.obstacle == kWritten || c.obstacle == kLeftover) {
            fs::create_directories(path.parent_path());
            WriteFile(path, "written");
        } else if (c.obstacle == kInUse || c.obstacle == kInUseAtFirst) {
            busy = std::make_shared<BusyFile>(path);
        } else if (c.obstacle == kReadOnly) {
            fs::permissions(path, fs::perms::owner_read | fs::perms::others_read);
        } else if (onSmallDisk) {
            const bool rest = c.obstacle == kNoRoomForRest;
            install.Stage("big.dat", std::string(rest ? browser.size() : 0, 'b'));
            const uintmax_t room = browser.size() / 2 + (rest ? browser.size() : 0);
            WriteFile(filler, std::string(fs::space(SmallDisk()).available - room, 'f'));
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
#ifndef _WIN32
        if (c.fault.error != 0) {
            InjectFault(c.fault);
        }
#endif
        Apply(install, c.obstacle == kReadOnly);
#ifndef _WIN32
        ClearFault();
#endif
        release.wait();

        const Contents after = install.Installed();
        if (c.outcome == kApplied) {
            EXPECT_EQ(ContentsOf(install.data), applied);
            EXPECT_FALSE(fs::exists(install.update) || fs::exists(install.data / "update-applied"));
        } else if (c.outcome == kUntouched) {
            EXPECT_EQ(SnapshotTree(install.data), before);
        } else {
            EXPECT_TRUE(c.outcome != kKept || after == installed);
            for (const auto& file : after) {
                EXPECT_TRUE(std::count(installed.begin(), installed.end(), file) +
                            std::count(applied.begin(), applied.end(), file))
                    << file.first;
            }
            const fs::path kept =
                c.outcome == kRenamed ? install.data / "update-applied" : install.update;
            EXPECT_TRUE(fs::exists(kept / "Tavrel.exe"));
            // It goes once the copy is whole.
            EXPECT_EQ(fs::exists(install.data / "TavrelPostUpgrade.exe"),
                      postUpgrade && c.outcome != kRenamed);
            for (const char* folder : {"locales", "sub"}) {
                EXPECT_FALSE(c.obstacle == kLeftover && fs::exists(install.update / folder));
            }
            busy.reset();
            fs::remove(filler);
            ApplyStagedUpdate(install.layout);
            EXPECT_EQ(ContentsOf(install.data), applied);
        }
    }
}

}  // namespace
