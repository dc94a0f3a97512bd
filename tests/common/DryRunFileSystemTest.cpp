// The dry run's pages in memory, reached through other paths to the same
// file: a folder link, a file link, a path with "..".
#include <gtest/gtest.h>

#include <filesystem>

#include "common/DryRunFileSystem.h"
#include "common/SafeWrite.h"
#include "support/TempDir.h"

namespace zelk::testing {
namespace {

std::string ReadThrough(FileSystem& fs, const std::string& path) {
    std::string out;
    int err = 0;
    return ReadWholeFile(fs, path, out, err) ? out : "error " + std::to_string(err);
}

bool Rewrite(FileSystem& fs, const std::string& path, const std::string& text) {
    SafeRewrite page(fs);
    return page.Open(path) == SafeRewrite::Opened::Ok && page.Replace(path + ".tmp", text);
}

TEST(DryRunFileSystem, EveryPathToARewrittenPageReadsItsNewText) {
    TempDir dir;
    std::filesystem::create_directory(dir / "real");
    dir.Write("real/page.htm", "old");
    dir.Write("real/other.htm", "other");
    std::filesystem::create_directory_symlink("real", dir / "alias");
    std::filesystem::create_symlink("page.htm", dir / "real/link.htm");
    DryRunFileSystem fs(RealFileSystem());

    ASSERT_TRUE(Rewrite(fs, dir / "alias/page.htm", "new text"));
    for (const std::string p : {"real/page.htm", "alias/page.htm", "real/link.htm",
                                "alias/../real/page.htm"}) {
        SCOPED_TRACE(p);
        EXPECT_EQ(ReadThrough(fs, dir / p), "new text");
        FileStatus st;
        ASSERT_TRUE(fs.Stat(dir / p, st));
        EXPECT_EQ(st.size, 8);
    }
    // Rewritten again through the link: one page, the latest text.
    ASSERT_TRUE(Rewrite(fs, dir / "real/link.htm", "newer"));
    EXPECT_EQ(ReadThrough(fs, dir / "alias/page.htm"), "newer");
    EXPECT_EQ(ReadThrough(fs, dir / "alias/other.htm"), "other");
    EXPECT_EQ(ReadBytes(dir / "real/page.htm"), "old");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"alias", "real"}));
}

}  // namespace
}  // namespace zelk::testing
