// Copies on Linux trees as real ones are: links in the tree copied and in
// the way of the copy, FIFOs, devices. Nothing outside the trees is read,
// written or changed, and nothing blocks.
#include <sys/stat.h>

#include "tests/disk/DiskTest.h"

namespace {

TEST_F(DiskTest, CopyTreeNeverGoesThroughALinkNorOpensADevice) {
    MakeFile("outside/secret.txt");
    fs::permissions(FsPath("outside/secret.txt"), fs::perms::owner_read | fs::perms::owner_write);
    MakeFile("outside/config.ini");
    MakeFolder("outside/plugins");
    MakeFile("src/z-last.txt");
    MakeFile("src/config.ini");
    MakeFile("src/plugins/x.dll");
    MakeFile("src/pipe");
    MakeFolder("dst");
    fs::create_symlink(FsPath("outside/secret.txt"), FsPath("src/secret.txt"));
    fs::create_symlink(FsPath("nowhere"), FsPath("src/dangling"));
    fs::create_symlink("/dev/zero", FsPath("src/zero"));
    ASSERT_EQ(mkfifo(FsPath("src/fifo").c_str(), 0600), 0);
    fs::create_symlink(FsPath("outside/config.ini"), FsPath("dst/config.ini"));
    fs::create_directory_symlink(FsPath("outside/plugins"), FsPath("dst/plugins"));
    ASSERT_EQ(mkfifo(FsPath("dst/pipe").c_str(), 0600), 0);

    EXPECT_TRUE(disk.CopyTree(Path("src"), Path("dst"), TRUE)) << disk.m_errorText;
    EXPECT_EQ(Names("dst"), (std::set<std::string>{"config.ini", "pipe", "plugins", "z-last.txt"}));
    for (const char* file : {"config.ini", "pipe", "plugins/x.dll", "z-last.txt"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(FsPath("dst") / file))) << file;
        EXPECT_EQ(ReadFile(FsPath("dst") / file), std::string("src/") + file) << file;
    }
    EXPECT_FALSE(fs::is_symlink(FsPath("dst/plugins")));
    EXPECT_EQ(Names("outside/plugins"), std::set<std::string>());
    EXPECT_EQ(ReadFile(FsPath("outside/config.ini")), "outside/config.ini");
    EXPECT_EQ(fs::status(FsPath("outside/secret.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
