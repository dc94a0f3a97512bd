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

TEST(FileProc, ExtensionTakesTheLastPart) {
    EXPECT_EQ(FileExtension("/web/page.HTM", false), "HTM");
    EXPECT_EQ(FileExtension("/web/page.HTM", true), "htm");
    EXPECT_EQ(FileExtension("/web.site/page", true), "");
    EXPECT_EQ(FileExtension("page.tar.gz", false), "gz");
    EXPECT_EQ(FileExtension("/web/page.", false), "");
    EXPECT_EQ(FileExtension("/web/\xC9T\xC9.\xC9", true), "\xE9");
}

