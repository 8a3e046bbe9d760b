// The built launcher started by an ordinary user who owns the install, where
// permission bits count as they do not for root.
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/launcher/LauncherInstall.h"

namespace {

// Gives the whole tree below root to the user, links themselves included.
void GiveTo(const fs::path& root, uid_t user, gid_t group) {
    ASSERT_EQ(lchown(root.c_str(), user, group), 0);
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        ASSERT_EQ(lchown(entry.path().c_str(), user, group), 0);
    }
}

TEST(OrdinaryUserTest, PermissionBitsNeitherStrandNorPassForApplied) {
    const passwd* nobody = getpwnam("nobody");
    if (getuid() != 0 || nobody == nullptr) {
        GTEST_SKIP() << "this needs root, and a user named nobody";
    }
    const uid_t user = nobody->pw_uid;
    const gid_t group = nobody->pw_gid;
    const struct {
        const char* name;
        void (*prepare)(const LauncherInstall&);
        bool applied;
    } cases[] = {
        // Replaced by a rename, which needs no write permission on them.
        {"a read-only data file and browser program",
         [](const LauncherInstall& install) {
             WriteFile(install.Data() / "old.dat", "old");
             fs::permissions(install.Data() / "old.dat", fs::perms::owner_read);
             fs::permissions(install.Data() / "Tavrel.exe",
                             fs::perms::owner_read | fs::perms::owner_exec);
         },
         true},
        // Its files cannot be read: listed as empty, it would pass for
        // copied, and the update would go without them.
        {"a staged folder that can be listed but not entered",
         [](const LauncherInstall& install) {
             WriteFile(install.Update() / "locked" / "inside.dat", "new");
             fs::permissions(install.Update() / "locked", fs::perms::owner_read |
                                                              fs::perms::group_read |
                                                              fs::perms::others_read);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LauncherInstall install;
        const std::string browser = install.StageBrowser();
        WriteFile(install.Update() / "old.dat", "new");
        fs::create_directories(install.Update() / "locked");
        c.prepare(install);
        GiveTo(install.Launcher().parent_path(), user, group);

        Preparation asNobody;
        asNobody.prepare = [user, group] {
            return setgroups(0, nullptr) == 0 && setgid(group) == 0 && setuid(user) == 0;
        };
        const RunResult run =
            RunPrepared(install.Launcher(), {}, install.Launcher().parent_path(), asNobody);
        EXPECT_EQ(run.exitCode, 0);
        LaunchRecord record;
        EXPECT_TRUE(install.WaitForBrowser(&record));
        EXPECT_EQ(fs::exists(install.Update()), !c.applied);
        EXPECT_EQ(ReadFile(install.Data() / "Tavrel.exe") == browser, c.applied);
        EXPECT_EQ(ReadFile(install.Data() / "old.dat") == "new", c.applied);
        // So that the temporary folder can go.
        std::error_code ignored;
        fs::permissions(install.Update() / "locked", fs::perms::owner_all, fs::perm_options::add,
                        ignored);
    }
}

}  // namespace
