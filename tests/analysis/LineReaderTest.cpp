#include <gtest/gtest.h>

#include <vector>

#include "analysis/LineReader.h"
#include "support/TempDir.h"

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
    const std::pair<std::string, V> cases[] = {
        {"a\r\nb\r\n", {"a", "b"}}, {"a\r\nb", {"a", "b"}},         {"a\rb\r", {"a", "b"}},
        {"a\nb\nc\n", {"a\nb\nc\n"}},  {"a\r\n\r\nb", {"a", "", "b"}}, {"\r\n", {""}},
        {"", {}},                      {"a\r\r\nb", {"a", "", "b"}},    {"a\n\rb", {"a\n", "b"}}};
    for (const auto& [bytes, lines] : cases) EXPECT_EQ(Lines(bytes), lines) << ::testing::PrintToString(bytes);
    EXPECT_EQ(Lines("a\nb\n", LineReader::Ends::LfOnly), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\n\nb", LineReader::Ends::LfOnly), (V{"a", "", "b"}));
}

TEST(LineReader, CrLfSplitAcrossChunksIsOneTerminator) {
    // The reader fills 64 KiB at a time: put the CR last in the first chunk.
    std::string big(65535, 'x');
    EXPECT_EQ(Lines(big + "\r\nnext\r\n"), (V{big, "next"}));
    std::string longLine(300000, 'y');
    EXPECT_EQ(Lines(longLine + "\r" + longLine), (V{longLine, longLine}));
}

TEST(LineReader, MissingFileOrFolderFails) {
    TempDir dir;
    for (const std::string& path : {std::string("/nonexistent/zelk/file.txt"), dir.path()}) {
        LineReader r;
        std::string line;
        EXPECT_FALSE(r.Open(path) && r.Next(line)) << path;
        EXPECT_TRUE(r.Failed()) << path;
        EXPECT_NE(r.ErrorNumber(), 0) << path;
    }
}
