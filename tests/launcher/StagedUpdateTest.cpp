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

#include "disk/FileIdentity.h"
#include "launcher/StagedUpdate.h"
#include "launcher/UpdateLock.h"
#include "platform/ScopedHandle.h"
#include "tests/launcher/Install.h"
#include "tests/support/FaultSeam.h"
#include "tests/support/TestFiles.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// Why a start by an ordinary user who owns the install cannot be made here,
// or null. On Linux the test becomes one in a child, which takes root. Wine
// run as root writes read-only files as root may, which one write tells: the
// Windows test runs again as an ordinary user (cmake/wine-as-user.sh).
#ifdef _WIN32
const char* const kNoOrdinaryUser = [] {
    const TempDir temp;
    const fs::path file = temp.path() / "read-only";
    WriteFile(file, "");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    const ScopedHandle writable(
        CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    return writable.IsValid() ? "Wine run as root ignores the read-only attribute" : nullptr;
}();
#else
const char* const kNoOrdinaryUser =
    getuid() == 0 ? nullptr : "the start as another user takes root";
#endif

// The update applied; everything as it was, times too, but the lock file
// made; the update staged and the installed files exactly as they were; the
// update staged, or renamed as applied, with each installed file there old
// or new, none cut short, and what the next start finishes or undoes kept
// aside under names of the temporaries' kind; the update applied and gone,
// but what the copy kept aside, which the next start removes.
enum Outcome { kApplied, kUntouched, kKept, kPending, kRenamed, kDone };

// What stands in the way of the first start, on `path` below the data
// folder: removed; written; held in use throughout the start, or for its
// first 30 ms; locked against renaming, replacing and removing; a small disk
// of its own with room for half the browser program, where a staged file as
// big has a second name outside the install, or not; made read-only
// (a program that can still run; a folder: listed but not entered), for a
// start by an ordinary user who owns the install; a leftover of an earlier
// update at `path`, which cannot be deleted; links in the staged tree to its
// own folders.
enum Obstacle {
    kNothing,
    kRemoved,
    kWritten,
    kInUse,
    kInUseAtFirst,
    kLocked,
    kNearlyFull,
    kNoRoomForCopy,
    kReadOnly,
    kLeftover,
    kOwnLinks,
};

struct UpdateCase {
    const char* name;
    Outcome outcome;
    Fault fault = kNoFault;
    Obstacle obstacle = kNothing;
    const char* path = nullptr;
};

// Renames onto a path ending so refused, after `after` that succeed, `times`
// times (every one when negative).
constexpr Fault Refused(const char* path, int after = 0, int times = -1) {
    return {Call::Rename, Failure::AccessDenied, path, after, times};
}
// Removals of a path ending so failing, `times` times.
constexpr Fault Unremovable(const char* path, int times = -1) {
    return {Call::Remove, Failure::IoError, path, 0, times};
}
// The flushes after the first `after` failing, `times` of them.
constexpr Fault Unflushed(int after, int times = -1) {
    return {Call::Flush, Failure::IoError, nullptr, after, times};
}

const UpdateCase kUpdateCases[] = {
    {"a nested tree", kApplied},
    {"a staged post-upgrade program", kApplied, kNoFault, kWritten, "update/TavrelPostUpgrade.exe"},
    // Never applied over the launcher's own: they go with the update.
    {"staged names of the launcher's own", kApplied, kNoFault, kWritten, "update/update.lock"},
    {"one of them that cannot go", kUntouched, Unremovable("update/update.lock"), kWritten,
     "update/update.lock"},
    {"an update folder in the update", kApplied, kNoFault, kWritten, "update/update/Tavrel.exe"},
    {"no update folder", kUntouched, kNoFault, kRemoved, "update"},
    {"no browser program staged", kUntouched, kNoFault, kRemoved, "update/Tavrel.exe"},
    {"a file named update", kUntouched, kNoFault, kWritten, "update"},
    // Every file put back: none of the update is applied.
    {"a data file that cannot be replaced", kKept, kNoFault, kLocked, "old.dat"},
    {"the browser program in use at first", kApplied, kNoFault, kInUseAtFirst, "Tavrel.exe"},
    {"the browser program in use throughout", kKept, kNoFault, kInUse, "Tavrel.exe"},
    // Files go in by a second name, which takes no room for their content;
    // one that has other names is copied, and does not fit.
    {"a nearly full disk", kApplied, kNoFault, kNearlyFull},
    {"a disk too full for a copy", kKept, kNoFault, kNoRoomForCopy},
    // Removed as links whatever the order: US goes before posix\US, which
    // points at it, and US\back goes before posix, which it points at.
    {"links to the update's own folders", kApplied, kNoFault, kOwnLinks},
    // A power cut loses what no flush covered: each file is on stable storage
    // before it is put in place.
    {"written files that cannot be flushed", kKept, Unflushed(0)},
    // Copied where a link is refused.
    {"links refused", kApplied, {Call::Link, Failure::AccessDenied}},
    {"old.dat cannot take its place", kKept, Refused("old.dat", 0, 1)},
    // Neither in place nor put back at once, old.dat waits under its kept
    // name, with the copy's record, for the next start to put it back.
    {"old.dat cannot be put back at first", kPending, Refused("old.dat", 0, 3)},
    // Not renamed, the update is removed where it stands, its browser
    // program last, so that a removal cut off part-way leaves an update that
    // the next start applies.
    {"the update folder cannot be renamed", kApplied, Refused("update-applied")},
    {"a kept old file that cannot be removed at first", kDone, Unremovable(nullptr, 1)},
    {"a leftover that cannot be removed", kPending, Unremovable("old.dat"), kLeftover,
     "update-applied/old.dat"},
    // Replaced by a rename, which needs no write permission on it; and put
    // back the same way, over a new one that no one may write. A read-only
    // staged file stays so where it is installed, and goes from the update.
    {"a read-only browser program", kApplied, kNoFault, kReadOnly, "Tavrel.exe"},
    {"a read-only staged browser program put back", kKept, Refused("old.dat", 0, 1), kReadOnly,
     "update/Tavrel.exe"},
    {"a read-only staged file", kApplied, kNoFault, kReadOnly, "update/old.dat"},
#ifndef _WIN32
    // The copy's mark of done is durable before the kept old files go; then
    // the update is marked applied, and that mark is durable before anything
    // of the update goes. (On Windows each rename is written through in its
    // own call, and each file flushed as it is written.)
    {"the copy's mark of done not flushed", kRenamed, Unflushed(2)},
    {"the applied update's new name not flushed", kRenamed, Unflushed(3, 1)},
    // A file system without renames that keep what is there (NFS): an added
    // file takes its place by a second name, the temporary's going.
    {"no renames that keep", kApplied, {Call::Rename, Failure::InvalidParameter, "added.dat"}},
    // Each is one ordinary name: followed as a path, it would write victim.txt.
    {"a staged name with backslashes", kApplied, kNoFault, kWritten, "update/x\\..\\victim.txt"},
    {"a staged name that Windows does not allow", kApplied, kNoFault, kWritten,
     "update/a:b/q\"<>|*?"},
    // The code points that stand for \ and : in such names, and a byte that
    // is no UTF-8.
    {"look-alikes", kApplied, kNoFault, kWritten,
     "update/\xEF\x81\x9C..\xEF\x81\x9C/c\xEF\x80\xBA\xE9"},
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

bool OnSmallDisk(const UpdateCase& c) {
    return c.obstacle == kNearlyFull || c.obstacle == kNoRoomForCopy;
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

// Puts the case's obstacle in the way, at path; why it cannot be put here,
// or null.
const char* PutObstacle(const UpdateCase& c, const Install& install, const fs::path& path,
                        std::shared_ptr<BusyFile>* busy) {
    if (OnSmallDisk(c) && SmallDisk().empty()) {
        return "no small file system mounted (that takes root)";
    }
    if (c.obstacle == kReadOnly && kNoOrdinaryUser != nullptr) {
        return kNoOrdinaryUser;
    }
    if (c.fault.call != kNoFault.call && !HasFaultSeam()) {
        return kNoFaultSeam;
    }
    const std::string browser = ReadFile(install.update / "Tavrel.exe");
    switch (c.obstacle) {
        case kLeftover:
            fs::remove(install.data / "TavrelPostUpgrade.exe");
            [[fallthrough]];
        case kWritten:
        case kRemoved:
            fs::remove_all(path);
            if (c.obstacle != kRemoved) {
                fs::create_directories(path.parent_path());
                WriteFile(path, "written");
            }
            return nullptr;
        case kInUse:
        case kInUseAtFirst:
        case kLocked:
            *busy = std::make_shared<BusyFile>(
                path, c.obstacle == kLocked ? BusyFile::kLocked : BusyFile::kRunning);
            return (*busy)->IsHeld() ? nullptr : "no immutable files here (chattr +i)";
        case kReadOnly:
            // A program keeps its execute bits; a folder loses them.
            fs::permissions(path, fs::perms(fs::is_directory(path) ? 0444 : 0555));
            return nullptr;
        case kNoRoomForCopy:
            install.Stage("big.dat", browser);
            fs::create_hard_link(install.update / "big.dat", install.root / "elsewhere");
            [[fallthrough]];
        case kNearlyFull:
            WriteFile(install.root / "filler",
                      std::string(fs::space(SmallDisk()).available - browser.size() / 2, 'f'));
            return nullptr;
        case kOwnLinks:
            install.Stage("US/Eastern", "new US/Eastern");
            install.Stage("posix/zone.tab", "new posix/zone.tab");
            return MakeLink("../US", install.update / "posix/US") &&
                           MakeLink("../posix", install.update / "US/back")
                       ? nullptr
                       : "this system makes no links";
        case kNothing:
            return nullptr;
    }
    return nullptr;
}

TEST(StagedUpdateTest, EachStartLeavesWhatItCanAndTheNextAppliesTheRest) {
    std::string skipped;
    for (const UpdateCase& c : kUpdateCases) {
        SCOPED_TRACE(c.name);
        Install install(fs::path(), OnSmallDisk(c) ? SmallDisk() : fs::path());
        StageUpdate(install);
        std::shared_ptr<BusyFile> busy;
        const fs::path path = c.path == nullptr ? fs::path() : install.data / c.path;
        if (const char* reason = PutObstacle(c, install, path, &busy)) {
            skipped += std::string("\n  ") + c.name + ": " + reason;
            continue;
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
        // A start by an ordinary user who owns the install, for a read-only
        // obstacle; a fault put in holds there too.
        const auto apply = [&] { return ApplyStagedUpdate(install.layout), 0; };
        EXPECT_EQ(c.obstacle == kReadOnly ? ExitCodeAsNobody(install.root, apply) : apply(), 0);
        ClearFault();
        release.wait();

        const Contents after = install.Installed();
        if (c.outcome == kUntouched) {
            TreeState now = SnapshotTree(install.data);
            EXPECT_TRUE(now.erase("update.lock") == 1 || !fs::exists(install.update));
            EXPECT_EQ(now, before);
            continue;
        }
        if (c.outcome != kApplied) {
            EXPECT_TRUE(c.outcome != kKept || after == installed);
            for (const auto& file : WithoutTemporaries(after)) {
                EXPECT_TRUE(std::count(installed.begin(), installed.end(), file) +
                            std::count(applied.begin(), applied.end(), file))
                    << file.first;
            }
            if (c.outcome == kDone) {
                EXPECT_EQ(WithoutTemporaries(after), applied);
                EXPECT_NE(after, applied);
                EXPECT_FALSE(fs::exists(install.update) || fs::exists(install.applied));
            } else {
                const fs::path kept = c.outcome == kRenamed ? install.applied : install.update;
                EXPECT_TRUE(fs::exists(kept / "Tavrel.exe"));
                // It goes once the copy is whole.
                EXPECT_EQ(fs::exists(install.data / "TavrelPostUpgrade.exe"),
                          postUpgrade && c.outcome != kRenamed);
            }
            for (const char* folder : {"locales", "sub"}) {
                EXPECT_FALSE(c.obstacle == kLeftover && fs::exists(install.update / folder));
            }
            busy.reset();
            fs::remove(install.root / "filler");
            ApplyStagedUpdate(install.layout);
        }
        install.ExpectUpdateApplied(applied);
        // A read-only staged file stays so where it is installed.
        const fs::path installedName =
            path.parent_path() == install.update ? install.data / path.filename() : fs::path();
        if (c.obstacle == kReadOnly && fs::is_regular_file(installedName)) {
            EXPECT_EQ(fs::status(installedName).permissions() & fs::perms::owner_write,
                      fs::perms::none);
        }
    }
    if (!skipped.empty()) {
        GTEST_SKIP() << "cases that cannot run here:" << skipped;
    }
}

// An update goes in by its files' names: each installed file is the staged
// file itself, not a copy, but where the staged file has a second name
// elsewhere, which goes on apart from the install.
TEST(StagedUpdateTest, AnUpdateGoesInByItsFilesOwnNames) {
    Install install;
    StageUpdate(install);
    fs::create_hard_link(install.update / "old.dat", install.root / "elsewhere");
    // The volume and the index that tell a file.
    const auto identity = [](const fs::path& path) {
        const BY_HANDLE_FILE_INFORMATION file = InformationOf(FromFsPath(path));
        return std::make_tuple(file.dwVolumeSerialNumber, file.nFileIndexHigh, file.nFileIndexLow);
    };
    std::map<std::string, std::tuple<DWORD, DWORD, DWORD>> staged;
    for (const auto& [name, hash] : ContentsOf(install.update)) {
        staged[name] = identity(install.update / name);
    }
    const Contents applied = install.Applied();
    ApplyStagedUpdate(install.layout);
    install.ExpectUpdateApplied(applied);
    for (const auto& [name, file] : staged) {
        EXPECT_EQ(identity(install.data / name) == file, name != "old.dat") << name;
    }
    WriteFile(install.root / "elsewhere", "written later");
    EXPECT_EQ(install.Installed(), applied);
}

// A link where the lock file goes is replaced by a file, never followed.
TEST(StagedUpdateTest, TheUpdateLockIsNeverTakenThroughALink) {
    Install install;
    const fs::path outside = install.temp.path() / "outside";
    WriteFile(outside, "outside");
    if (!MakeLink(outside, install.data / "update.lock")) {
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
            install.ExpectUpdateApplied(applied);
        }
    }
}
#endif

}  // namespace
