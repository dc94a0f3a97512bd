// The dry run's pages in memory, reached through other paths to the same
// file: a folder link, a file link, a path with ".."; kept as a difference
// from the file outside, and given up when another program changes it.
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

TEST(DryRunFileSystem, APageKeptAsItsDifferenceReadsBackWhole) {
    const std::pair<std::string, std::string> edits[] = {
        {"<head>\r\n</head>\r\nbody", "<head>\r\n<meta x>\r\n</head>\r\nbody"},
        {"abc", "xabc"},          {"abc", "abcx"},   {"abcdef", "abef"},
        {"aaaa", "aaaaaa"},       {"aaaaaa", "aa"},  {"same", "same"},
        {"", "new"},              {"old", ""},       {std::string(100, 'a') + "b" + std::string(100, 'c'),
                                                      std::string(100, 'a') + "XY" + std::string(100, 'c')},
    };
    TempDir dir;
    DryRunFileSystem fs(RealFileSystem());
    int n = 0;
    for (const auto& [before, after] : edits) {
        SCOPED_TRACE(before + " -> " + after);
        const std::string page = dir.Write("page" + std::to_string(++n) + ".htm", before);
        ASSERT_TRUE(Rewrite(fs, page, after));
        EXPECT_EQ(ReadThrough(fs, page), after);
        FileStatus st;
        ASSERT_TRUE(fs.Stat(page, st));
        EXPECT_EQ(st.size, static_cast<long long>(after.size()));
        EXPECT_EQ(ReadBytes(page), before);
    }
}

TEST(DryRunFileSystem, AChangeOutsideAfterTheRewriteStands) {
    TempDir dir;
    const std::string page = dir.Write("page.htm", "old text");
    DryRunFileSystem fs(RealFileSystem());
    ASSERT_TRUE(Rewrite(fs, page, "old new text"));
    dir.Write("page.htm", "an editor's text");
    EXPECT_EQ(ReadThrough(fs, page), "an editor's text");
    FileStatus st;
    ASSERT_TRUE(fs.Stat(page, st));
    EXPECT_EQ(st.size, 16);
    // The next rewrite works on the editor's text.
    ASSERT_TRUE(Rewrite(fs, page, "an editor's text, rewritten"));
    EXPECT_EQ(ReadThrough(fs, page), "an editor's text, rewritten");
}

}  // namespace
}  // namespace zelk::testing
