// Error text, progress window, path qualification and the directory test.
#include "tests/disk/DiskTest.h"

namespace {

TEST_F(DiskTest, QualifyDirectoryGivesOneTrailingBackslash) {
    const CString cwd = Path();
    const struct {
        CString in;
        CString out;
    } cases[] = {
        {TEXT("C:/Data/sub"), TEXT("C:\\Data\\sub\\")},
        {TEXT("C:\\Data\\"), TEXT("C:\\Data\\")},
        {TEXT("\\\\server\\share"), TEXT("\\\\server\\share\\")},
        // UNC paths are taken as they are, whatever they hold.
        {TEXT("\\\\server\\a*b"), TEXT("\\\\server\\a*b\\")},
        {TEXT(""), cwd + TEXT("\\")},
        {TEXT("sub"), cwd + TEXT("\\sub\\")},
    };
    for (const auto& c : cases) {
        CString directory = c.in;
        EXPECT_TRUE(disk.QualifyDirectory(directory)) << ::testing::PrintToString(c.in);
        EXPECT_EQ(directory, c.out);
    }
    EXPECT_TRUE(window.texts.empty());
}

TEST_F(DiskTest, QualifyFileMakesPathsAbsolute) {
    const CString cwd = Path("A/B/C");
    MakeFolder("A/B/C");
    ASSERT_TRUE(SetCurrentDirectoryW(cwd));
    const CString drive = cwd[1] == TEXT(':') ? cwd.Left(2) : CString();
    const struct {
        CString in;
        CString out;
    } cases[] = {
        {TEXT("a.txt"), cwd + TEXT("\\a.txt")},
        {TEXT("sub/a.txt"), cwd + TEXT("\\sub\\a.txt")},
        {TEXT("\\Temp\\a.txt"), drive + TEXT("\\Temp\\a.txt")},
        {TEXT("..\\a.txt"), Path("A/B/a.txt")},
        {TEXT("..\\..\\x\\a.txt"), Path("A/x/a.txt")},
        {TEXT("C:dir"), TEXT("C:dir")},
        {TEXT("C:\\Data\\a.txt"), TEXT("C:\\Data\\a.txt")},
    };
    for (const auto& c : cases) {
        CString path = c.in;
        EXPECT_TRUE(disk.QualifyFile(path)) << ::testing::PrintToString(c.in);
        EXPECT_EQ(path, c.out);
        EXPECT_EQ(FromFsPath(fs::current_path()), cwd);
    }
    ASSERT_TRUE(SetCurrentDirectoryW(Path()));
}

TEST_F(DiskTest, WildcardsAndColonsFailQualification) {
    const CString cwd = Path();
    const struct {
        CString in;
        CString out;
    } cases[] = {
        {TEXT("C:\\Data\\a*.txt"), TEXT("C:\\Data\\a*.txt")},
        // The absolute form is built before the parts are tested.
        {TEXT("sub\\a?.txt"), cwd + TEXT("\\sub\\a?.txt")},
        {TEXT("\\Temp\\a?.txt"),
         (cwd[1] == TEXT(':') ? cwd.Left(2) : CString()) + TEXT("\\Temp\\a?.txt")},
        {TEXT("C:\\Da:ta\\a.txt"), TEXT("C:\\Da:ta\\a.txt")},
        {TEXT("a.t*t"), cwd + TEXT("\\a.t*t")},
    };
    for (const auto& c : cases) {
        CString path = c.in;
        window.texts.clear();
        EXPECT_FALSE(disk.QualifyFile(path)) << ::testing::PrintToString(c.in);
        EXPECT_EQ(path, c.out);
        EXPECT_EQ(disk.m_errorText, kInternalError);
        EXPECT_EQ(window.texts, Texts{kInternalError});
    }
}

TEST_F(DiskTest, PathPartsMayHoldAnythingButColonAndWildcards) {
    const struct {
        LPCWSTR part;
        BOOL valid;
    } cases[] = {
        {TEXT(""), TRUE},       {TEXT("a|b"), TRUE}, {TEXT("a:b"), FALSE},
        {TEXT("*.txt"), FALSE}, {TEXT("a?"), FALSE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(disk.IsValidPathPart(c.part), c.valid)
            << ::testing::PrintToString(CString(c.part));
    }
}

TEST_F(DiskTest, SystemErrorIsTheTrimmedMessageAndTheElements) {
    disk.SetSystemError(ERROR_ACCESS_DENIED, TEXT("C:\\Data\\old.txt"));
    const CString message = SystemMessage(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(message.IsEmpty());
    EXPECT_EQ(disk.m_errorText, message + TEXT(" C:\\Data\\old.txt"));

    disk.SetSystemError(ERROR_ACCESS_DENIED, CString());
    EXPECT_EQ(disk.m_errorText, message);

    // A code without a message leaves the elements alone, after a blank.
    disk.SetSystemError(0x20000001, TEXT("C:\\x"));
    EXPECT_EQ(disk.m_errorText, CString(TEXT(" C:\\x")));
    disk.SetSystemError(0x20000001, CString());
    EXPECT_EQ(disk.m_errorText, CString());

    disk.ClearError();
    EXPECT_EQ(disk.m_errorText, CString());
    EXPECT_EQ(window.texts,
              (Texts{message + TEXT(" C:\\Data\\old.txt"), message, TEXT(" C:\\x"), CString()}));
}

TEST_F(DiskTest, DirectoryExistsOnlyForDirectories) {
    MakeFile("file.txt");
    MakeFolder("sub");
    const struct {
        CString path;
        BOOL exists;
    } cases[] = {
        {Path("sub"), 1},      {Path("sub/"), 1},    {TEXT("sub"), 1},
        {Path("file.txt"), 0}, {Path("missing"), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(disk.DirectoryExists(c.path), c.exists) << ::testing::PrintToString(c.path);
        EXPECT_EQ(disk.m_errorText, CString());
    }
    EXPECT_TRUE(window.texts.empty());

    EXPECT_EQ(disk.DirectoryExists(CString()), 0);
    EXPECT_EQ(disk.m_errorText, kInternalError);
}

}  // namespace
