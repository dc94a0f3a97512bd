// zelk-cli keywords, words and vpmt as a user runs them: the built binary,
// its stdout, stderr and exit status, byte for byte. (--json: JsonOutputTest;
// show and insert: CliShowInsertTest.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/TempDir.h"

namespace {

using zelk::testing::TempDir;
using V = std::vector<std::string>;

// keywords and words read the common-word lists of the source tree unless
// told otherwise.
zelk::testing::CliResult RunCli(const TempDir& dir, V args) {
    if (!args.empty() && (args[0] == "keywords" || args[0] == "words") &&
        std::find(args.begin(), args.end(), "--data-dir") == args.end())
        args.insert(args.begin() + 1, {"--data-dir", ZELK_SOURCE_DATA_DIR});
    std::string cmd;
    for (const std::string& a : args) cmd += " " + zelk::testing::ShellQuote(a);
    return zelk::testing::RunZelkCli(dir.path(), cmd);
}

// Results on stdout, message boxes as "TITLE: TEXT" and report lines on
// stderr, all in UTF-8 with LF; a missing common-word list is reported and
// the analysis goes on.
TEST(Cli, OutputAndMessages) {
    TempDir dir;
    const std::string page = dir.Write("small.html",
                                       "<html><head><title>Garden tools</title></head>\r\n"
                                       "<body><p>rake rake <b>spade</b></p></body></html>\r\n");
    std::filesystem::create_directories(dir / "nolists");
    const std::string tag = "<meta name=\"keywords\" content=\"";
    const struct {
        V args;
        std::string out, err;
    } cases[] = {
        {{"keywords", "--forward-slash", "--max-keywords", "2", "--begin-with", " shed,", page},
         tag + "shed, Garden\" />\n\nNumber of keywords in meta tag: 2\nNumber of bytes in meta tag: 43\n", ""},
        // Title weight 0: the title words fall to the bottom with value 0.
        {{"words", "--title-weight", "0", "--bold-weight=9", page},
         "Rank Value Freq. Density\n   1   100    1  20.00%  spade\n   2    50    2  40.00%  rake\n\n"
         "Words with key value 0 not shown.\n\n",
         ""},
        {{"words", dir.Write("font.html", "<head></head>orchard </font>\r\n")},
         "Rank Value Freq. Density\n   1   100    1  100.00%  orchard\n\n",
         "  File contains an invalid end-font tag.\n"},
        {{"words", "--data-dir", dir / "nolists", dir.Write("the.html", "<head></head>the orchard\r\n")},
         "Rank Value Freq. Density\n   1   100    1  50.00%  the\n   2   100    1  50.00%  orchard\n\n",
         "Common words not available: Common words in English could not be read from file\n" + dir.path() +
             "/nolists/cwds_en.txt.\n"},
        {{"vpmt", "<meta name=viewport content=\"x\">"}, "-1\n", ""}};
    for (const auto& c : cases) {
        const zelk::testing::CliResult r = RunCli(dir, c.args);
        EXPECT_EQ(r.status, 0) << c.args.back();
        EXPECT_EQ(r.out, c.out) << c.args.back();
        EXPECT_EQ(r.err, c.err) << c.args.back();
    }
}

}  // namespace
