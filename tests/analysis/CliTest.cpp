// zelk-cli as a user runs it: the built binary, its stdout, stderr and exit
// status, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/TempDir.h"

namespace {

using Result = zelk::testing::CliResult;
using V = std::vector<std::string>;

// keywords and words read the common-word lists of the source tree unless
// told otherwise.
Result RunCli(const zelk::testing::TempDir& dir, V args) {
    if (!args.empty() && (args[0] == "keywords" || args[0] == "words") &&
        std::find(args.begin(), args.end(), "--data-dir") == args.end())
        args.insert(args.begin() + 1, {"--data-dir", ZELK_SOURCE_DATA_DIR});
    std::string cmd;
    for (const std::string& a : args) cmd += " " + zelk::testing::ShellQuote(a);
    return zelk::testing::RunZelkCli(dir.path(), cmd);
}

// Results on stdout, message boxes as "TITLE: TEXT" and report lines on
// stderr, all in UTF-8 with LF; the Unix-type file warning is answered Yes; a
// missing common-word list is reported and the analysis goes on. (The other
// messages of the request: CliShowInsertTest.cpp.)
TEST(Cli, OutputStatusAndMessagesOfEachCase) {
    zelk::testing::TempDir dir;
    const std::string page = dir.Write("small.html",
                                       "<html><head><title>Garden tools</title></head>\r\n"
                                       "<body><p>rake rake <b>spade</b></p></body></html>\r\n");
    std::string binary(100, 'a');
    binary[19] = '\0';
    std::filesystem::create_directories(dir / "folder.html");
    std::filesystem::create_directories(dir / "nolists");
    const std::string tag = "<meta name=\"keywords\" content=\"";
    const std::string all = tag + "Garden, tool, spade, rake\">\n\nNumber of keywords in meta tag: 4\n"
                                  "Number of bytes in meta tag: 56\n";
    const std::string orchard = "Rank Value Freq. Density\n   1   100    1  100.00%  orchard\n\n";
    struct Case {
        V args;
        int status;
        std::string out, err;
    } cases[] = {
        {{"keywords", page}, 0, all, ""},
        {{"words", page}, 0,
         "Rank Value Freq. Density\n   1   100    1  20.00%  Garden\n   2   100    1  20.00%  tool\n"
         "   3     8    1  20.00%  spade\n   4     7    2  40.00%  rake\n\n", ""},
        {{"keywords", "--forward-slash", "--max-keywords", "2", "--begin-with", " shed,", page}, 0,
         tag + "shed, Garden\" />\n\nNumber of keywords in meta tag: 2\nNumber of bytes in meta tag: 43\n", ""},
        // The byte budget: "tool" does not fit in 40 bytes, but does with the
        // viewport tag's 69 bytes + 2 added to it; a viewport text of 33
        // bytes adds 35: "rake" needs 55 of the 54.
        {{"keywords", "--max-bytes", "40", page}, 0,
         tag + "Garden\">\n\nNumber of keywords in meta tag: 1\nNumber of bytes in meta tag: 37\n", ""},
        {{"keywords", "--max-bytes", "40", "--viewport", page}, 0, all, ""},
        {{"keywords", "--max-bytes", "19", "--viewport", "<meta name=\"viewport\" content=\"\">", page}, 0,
         tag + "Garden, tool, spade\">\n\nNumber of keywords in meta tag: 3\nNumber of bytes in meta tag: 50\n", ""},
        // Title weight 0: the title words fall to the bottom with value 0.
        {{"words", "--title-weight", "0", "--bold-weight=9", page}, 0,
         "Rank Value Freq. Density\n   1   100    1  20.00%  spade\n   2    50    2  40.00%  rake\n\n"
         "Words with key value 0 not shown.\n\n", ""},
        {{"keywords", "--folder-mode", dir.Write("nohead.html", "<p>orchard</p>\r\n")}, 0, tag + "orchard\">\n", ""},
        {{"keywords", "--folder-mode", dir.Write("empty.html", "")}, 0, tag + "\">\n", ""},
        {{"keywords", dir.Write("nowords.html", "<head></head>")}, 0, "No words\n", ""},
        {{"words", dir.Write("cafe.html", "<head></head>caf&eacute; na\xEFve\r\n")}, 0,
         "Rank Value Freq. Density\n   1   100    1  50.00%  caf\xC3\xA9\n   2   100    1  50.00%  na\xC3\xAFve\n\n", ""},
        {{"words", dir.Write("font.html", "<head></head>orchard </font>\r\n")}, 0, orchard,
         "  File contains an invalid end-font tag.\n"},
        {{"words", dir.Write("unix.html", "<head>\norchard\n" + std::string(50000, ' '))}, 0, orchard, ""},
        {{"words", "--data-dir", dir / "nolists", dir.Write("the.html", "<head></head>the orchard\r\n")}, 0,
         "Rank Value Freq. Density\n   1   100    1  50.00%  the\n   2   100    1  50.00%  orchard\n\n",
         "Common words not available: Common words in English could not be read from file\n" + dir.path() +
             "/nolists/cwds_en.txt.\n"},
        {{"words", dir.Write("binary.html", binary)}, 1, "",
         "Not a text file: This file is not a text file.\nThe byte at position 20 with value 0\n"
         " is neither text nor whitespace.\n"},
        {{"words", dir / "folder.html"}, 1, "", "File not found: Input file not found.\n"},
        {{"vpmt", "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">"}, 0, "1\n", ""},
        {{"vpmt", "   "}, 0, "0\n", ""},
        {{"vpmt", "<meta name=viewport content=\"x\">"}, 0, "-1\n", ""},
        {{"keywords", ZELK_EXAMPLES_DIR "/garden.html"}, 0, "", ""}};
    for (const Case& c : cases) {
        const Result r = RunCli(dir, c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_EQ(r.err, c.err) << c.args.back();
        if (c.out.empty() && c.status == 0)  // the example page shipped with the program
            EXPECT_EQ(r.out.rfind(tag + "garden, tool", 0), 0u) << r.out;
        else
            EXPECT_EQ(r.out, c.out) << c.args.back();
    }
}

TEST(Cli, BadCommandLinesGiveOneLineAndStatusTwo) {
    zelk::testing::TempDir dir;
    const std::vector<V> bad = {
        {}, {"frobnicate"}, {"keywords", "--title-weight", "55", "x.html"}, {"keywords", "--title-weight", "100", "x.html"},
        {"words", "--bold-weight", "10", "x.html"}, {"words", "--language", "nl", "x.html"},
        {"words", "--unknown", "x.html"}, {"words", "a.html", "b.html"}, {"keywords", "--max-bytes"}, {"vpmt"}};
    for (const auto& args : bad) {
        const Result r = RunCli(dir, args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.err.rfind("zelk-cli: ", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(Cli, HelpListsTheCommandsAndOptions) {
    zelk::testing::TempDir dir;
    const Result r = RunCli(dir, {"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* o : {"keywords", "words", "vpmt", "--data-dir", "--language", "--title-weight",
                          "--description-weight", "--existing-keywords-weight", "--bold-weight", "--italic-weight",
                          "--table-weight", "--div-weight", "--span-weight", "--max-keywords", "--max-bytes",
                          "--begin-with", "--forward-slash", "--viewport", "--folder-mode"})
        EXPECT_NE(r.out.find(o), std::string::npos) << o;
    EXPECT_EQ(RunCli(dir, {"keywords", "--help"}).out, r.out);
}

}  // namespace
