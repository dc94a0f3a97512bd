#include <gtest/gtest.h>

#include "common/FileProc.h"
#include "support/TempDir.h"

using namespace zelk;

TEST(FileProc, FilesFoldersAndExtensions) {
    zelk::testing::TempDir dir;
    zelk::testing::WriteBytes(dir / "a.htm", "x");
    EXPECT_TRUE(FileExists(dir / "a.htm"));
    EXPECT_FALSE(FileExists(dir / "b.htm") || FileExists("") || FileExists(dir.path()));
    EXPECT_TRUE(FolderExists("  " + dir.path() + " "));
    EXPECT_FALSE(FolderExists(dir / "a.htm") || FolderExists("   "));
    EXPECT_EQ(FileLength(dir / "a.htm"), 1);
    EXPECT_EQ(FileLength(dir.path()), -1);
    EXPECT_EQ(FileExtension("/web/page.HTM", false), "HTM");
    EXPECT_EQ(FileExtension("page.tar.gz", false), "gz");
    EXPECT_EQ(FileExtension("/web/\xC9T\xC9.\xC9", true), "\xE9");  // Windows-1252 lower case
    EXPECT_EQ(FileExtension("/web.site/page", true), "");
    EXPECT_EQ(FileExtension("/web/page.", false), "");
}
