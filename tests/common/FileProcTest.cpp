#include <gtest/gtest.h>

#include <sys/stat.h>

#include "common/FileProc.h"
#include "support/TempDir.h"

using namespace zelk;
using zelk::testing::TempDir;
using zelk::testing::WriteBytes;

TEST(FileProc, ExistenceOfFilesAndFolders) {
    TempDir dir;
    WriteBytes(dir / "a.htm", "x");
    EXPECT_TRUE(FileExists(dir / "a.htm"));
    EXPECT_FALSE(FileExists(dir / "b.htm"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(dir.path()));  // a folder is not a file
    EXPECT_TRUE(FolderExists(dir.path()));
    EXPECT_TRUE(FolderExists("  " + dir.path() + " "));
    EXPECT_FALSE(FolderExists(dir / "a.htm"));
    EXPECT_FALSE(FolderExists("   "));
    EXPECT_EQ(FileLength(dir / "a.htm"), 1);
    EXPECT_EQ(FileLength(dir.path()), -1);
}

TEST(FileProc, ExtensionAndNameTakeTheLastPart) {
    EXPECT_EQ(FileExtension("/web/page.HTM", false), "HTM");
    EXPECT_EQ(FileExtension("/web/page.HTM", true), "htm");
    EXPECT_EQ(FileExtension("/web.site/page", true), "");
    EXPECT_EQ(FileExtension("page.tar.gz", false), "gz");
    EXPECT_EQ(FileExtension("/web/page.", false), "");
    EXPECT_EQ(FileExtension("/web/\xC9T\xC9.\xC9", true), "\xE9");
    EXPECT_EQ(FileNameOf("/web/Page.HTM", false), "Page.HTM");
    EXPECT_EQ(FileNameOf("/web/Page.HTM", true), "page.htm");
    EXPECT_EQ(FileNameOf("page.htm", false), "");
    EXPECT_EQ(FileNameOf("/web/", false), "");
}

TEST(FileProc, DeleteFileClearsReadOnlyOnlyWhenAsked) {
    TempDir dir;
    const std::string f = dir / "old.bak.htm";
    WriteBytes(f, "x");
    ::chmod(f.c_str(), 0444);
    EXPECT_FALSE(DeleteFile(f, true, false, true));
    EXPECT_TRUE(FileExists(f));
    EXPECT_TRUE(DeleteFile(f, true, true, true));
    EXPECT_FALSE(FileExists(f));
    EXPECT_FALSE(DeleteFile(f, true, true, true));  // already gone
    EXPECT_FALSE(DeleteFile(dir.path(), true, true, true));
    EXPECT_TRUE(FolderExists(dir.path()));
}
