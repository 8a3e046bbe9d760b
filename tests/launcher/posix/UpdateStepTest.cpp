// The update step run in this process, where the Linux layer's seam records
// the order of its file calls and makes chosen calls fail.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "disk/FileBatch.h"
#include "launcher/StagedUpdate.h"
#include "platform/Utf8.h"
#include "platform/posix/FaultInjection.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestStrings.h"

namespace {

const char* const kStagedFiles[] = {"Tavrel.exe", "old.dat", "sub/added.dat"};

// An install without programs: an old data folder and an update staged in it.
class StagedInstall {
public:
    StagedInstall() : layout(FromFsPath(temp.path()) + TEXT('\\')) {
        fs::create_directories(Update() / "sub");
        WriteFile(Data() / "Tavrel.exe", "old browser");
        WriteFile(Data() / "old.dat", "old");
        WriteFile(Data() / "TavrelPostUpgrade.exe", "post-upgrade");
        for (const char* file : kStagedFiles) {
            WriteFile(Update() / file, std::string("new ") + file);
        }
    }

    fs::path Data() const { return temp.path() / "TavrelData"; }
    fs::path Update() const { return Data() / "update"; }
    // The data folder without the update: every file's bytes by its path.
    std::map<std::string, std::string> Installed() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(Data())) {
            const std::string name = fs::relative(entry.path(), Data()).generic_string();
            if (name.compare(0, 6, "update") != 0 && entry.is_regular_file()) {
                files[name] = ReadFile(entry.path());
            }
        }
        return files;
    }
    bool IsApplied() const {
        for (const char* file : kStagedFiles) {
            if (ReadFile(Data() / file) != std::string("new ") + file) {
                return false;
            }
        }
        return !fs::exists(Update()) && !fs::exists(Data() / "TavrelPostUpgrade.exe");
    }

    TempDir temp;
    const FolderLayout layout;
};

CString WithoutBackslash(const CString& folder) {
    return folder.Left(folder.GetLength() - 1);
}

class UpdateStepTest : public ::testing::Test {
protected:
    void TearDown() override {
        ClearFault();
        RecordFileCalls(nullptr);
    }
};

// A power cut loses what no flush covered. The staged copy may go only once
// every file written from it is on stable storage, and each new file is
// there before it takes its target's place; the rename that marks the update
// applied is durable before anything of it is deleted.
TEST_F(UpdateStepTest, EverythingIsDurableBeforeTheStagedCopyGoes) {
    StagedInstall install;
    std::vector<FileCall> calls;
    RecordFileCalls(&calls);
    ApplyStagedUpdate(install.layout);
    RecordFileCalls(nullptr);
    ASSERT_TRUE(install.IsApplied());

    const auto find = [&](size_t from, FaultPoint point, const CString& path) {
        for (size_t i = from; i < calls.size(); ++i) {
            if (calls[i].point == point && CString(calls[i].path.c_str()) == path) {
                return i;
            }
        }
        ADD_FAILURE() << "no such call after " << from << ": " << ToUtf8(path);
        return calls.size();
    };
    const auto findAny = [&](size_t from, FaultPoint point) {
        for (size_t i = from; i < calls.size(); ++i) {
            if (calls[i].point == point) {
                return i;
            }
        }
        return calls.size();
    };
    const CString data = install.layout.dataFolder;
    size_t lastPlaced = 0;
    for (const char* file : kStagedFiles) {
        SCOPED_TRACE(file);
        const CString target = FromFsPath(install.Data() / file);
        const CString temporary = FileBatch::TemporaryFor(target);
        const size_t written = find(0, FaultPoint::CopyFile, temporary);
        const size_t flushed = find(written, FaultPoint::BeginFlushFile, temporary);
        const size_t durable = find(flushed, FaultPoint::FinishFlushes, data);
        lastPlaced = std::max(lastPlaced, find(durable, FaultPoint::MoveFile, target));
    }
    const size_t placedDurable = find(lastPlaced, FaultPoint::FinishFlushes, data);
    const CString applied = WithoutBackslash(install.layout.appliedUpdateFolder);
    const size_t renamed = find(placedDurable, FaultPoint::MoveFile, applied);
    const size_t renameDurable = find(renamed, FaultPoint::FlushFolder, WithoutBackslash(data));
    // Temporaries are cleared before they are written; the first deletion
    // of the update comes after its rename.
    for (const FaultPoint removal : {FaultPoint::DeleteFile, FaultPoint::RemoveDirectory}) {
        for (size_t i = findAny(0, removal); i < calls.size(); i = findAny(i + 1, removal)) {
            const CString path(calls[i].path.c_str());
            if (path.Find(TEXT("\\update")) >= 0 || path.Find(TEXT("PostUpgrade")) >= 0) {
                EXPECT_GT(i, renameDurable) << ToUtf8(path);
            }
        }
    }
}

// Whatever fails on the way, no file is left cut short, no temporary stays,
// and the update stays staged until a start gets through it.
TEST_F(UpdateStepTest, AFailureKeepsTheUpdateStagedAndNoFileCutShort) {
    const struct {
        const char* name;
        Fault fault;
        bool installUntouched;
    } cases[] = {
        {"the disk is full at the second file",
         {FaultPoint::CopyFile, ERROR_DISK_FULL, nullptr, 1},
         true},
        {"a written file cannot be flushed", {FaultPoint::BeginFlushFile, ERROR_IO_DEVICE}, true},
        {"the written files cannot be flushed", {FaultPoint::FinishFlushes, ERROR_IO_DEVICE}, true},
        {"a file cannot take its place",
         {FaultPoint::MoveFile, ERROR_ACCESS_DENIED, u"old.dat"},
         false},
        {"what took its place cannot be flushed",
         {FaultPoint::FinishFlushes, ERROR_IO_DEVICE, nullptr, 1},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StagedInstall install;
        const auto before = install.Installed();
        InjectFault(c.fault);
        ApplyStagedUpdate(install.layout);
        ClearFault();

        EXPECT_TRUE(fs::exists(install.Update() / "Tavrel.exe"));
        EXPECT_TRUE(fs::exists(install.Data() / "TavrelPostUpgrade.exe"));
        const auto after = install.Installed();
        if (c.installUntouched) {
            EXPECT_EQ(after, before);
        }
        for (const auto& [name, bytes] : after) {
            EXPECT_NE(name.find(".tavrel-"), 0u) << name;
            EXPECT_TRUE(bytes == "old" || bytes == "old browser" || bytes == "post-upgrade" ||
                        bytes == "new " + name)
                << name;
        }

        ApplyStagedUpdate(install.layout);
        EXPECT_TRUE(install.IsApplied());
    }
}

// When the applied update cannot be renamed (a leftover of an earlier one
// holds a file that cannot be deleted), it is removed where it stands; cut
// off part-way, it still holds its browser program, so that the next start
// applies it again.
TEST_F(UpdateStepTest, RemovalWhereItStandsTakesTheBrowserProgramLast) {
    StagedInstall install;
    fs::create_directories(install.Data() / "update-applied");
    WriteFile(install.Data() / "update-applied" / "locked.dat", "held");
    WriteFile(install.Update() / "locked.dat", "new locked.dat");
    InjectFault({FaultPoint::DeleteFile, ERROR_ACCESS_DENIED, u"locked.dat"});
    ApplyStagedUpdate(install.layout);
    ClearFault();

    EXPECT_EQ(ReadFile(install.Data() / "old.dat"), "new old.dat");
    EXPECT_TRUE(fs::exists(install.Update() / "locked.dat"));
    EXPECT_TRUE(fs::exists(install.Update() / "Tavrel.exe"));

    ApplyStagedUpdate(install.layout);
    EXPECT_TRUE(install.IsApplied());
    EXPECT_FALSE(fs::exists(install.Data() / "update-applied"));
}

}  // namespace
