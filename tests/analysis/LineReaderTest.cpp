#include <gtest/gtest.h>

#include <vector>

#include "analysis/LineReader.h"
#include "insertion/TempDir.h"

using namespace zelk;
using zelk::testing::TempDir;
using zelk::testing::WriteBytes;

namespace {

std::vector<std::string> Lines(const std::string& bytes,
                               LineReader::Ends ends = LineReader::Ends::CrOrCrLf) {
    TempDir dir;
    WriteBytes(dir / "f.txt", bytes);
    LineReader r;
    EXPECT_TRUE(r.Open(dir / "f.txt", ends));
    std::vector<std::string> out;
    std::string line;
    while (r.Next(line)) out.push_back(line);
    EXPECT_FALSE(r.Failed());
    return out;
}

using V = std::vector<std::string>;

}  // namespace

TEST(LineReader, LinesEndAtCrLfOrLoneCrNotAtLoneLf) {
    EXPECT_EQ(Lines("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\r\nb"), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\rb\r"), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\nb\nc\n"), (V{"a\nb\nc\n"}));
    EXPECT_EQ(Lines("a\r\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lines("\r\n"), (V{""}));
    EXPECT_EQ(Lines(""), V{});
    EXPECT_EQ(Lines("a\r\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lines("a\n\rb"), (V{"a\n", "b"}));
}

TEST(LineReader, LfOnlyMode) {
    EXPECT_EQ(Lines("a\nb\n", LineReader::Ends::LfOnly), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\n\nb", LineReader::Ends::LfOnly), (V{"a", "", "b"}));
}

TEST(LineReader, CrLfSplitAcrossChunksIsOneTerminator) {
    // The reader fills 64 KiB at a time: put the CR last in the first chunk.
    std::string big(65535, 'x');
    std::string bytes = big + "\r\nnext\r\n";
    EXPECT_EQ(Lines(bytes), (V{big, "next"}));
    std::string longLine(300000, 'y');
    EXPECT_EQ(Lines(longLine + "\r" + longLine), (V{longLine, longLine}));
}

TEST(LineReader, MissingFileFails) {
    LineReader r;
    EXPECT_FALSE(r.Open("/nonexistent/zelk/file.txt"));
    EXPECT_TRUE(r.Failed());
    EXPECT_NE(r.ErrorNumber(), 0);
    std::string line;
    EXPECT_FALSE(r.Next(line));
}

TEST(LineReader, FolderGivesAReadFailureNotACrash) {
    TempDir dir;
    LineReader r;
    if (r.Open(dir.path())) {
        std::string line;
        EXPECT_FALSE(r.Next(line));
        EXPECT_TRUE(r.Failed());
    } else {
        EXPECT_TRUE(r.Failed());
    }
}
