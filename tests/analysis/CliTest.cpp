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

class CliTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        zelk::testing::WriteBytes(dir / name, bytes);
        return dir / name;
    }
    Result Run(const std::vector<std::string>& args) {
        std::string cmd;
        for (const std::string& a : args) cmd += " " + zelk::testing::ShellQuote(a);
        return zelk::testing::RunZelkCli(dir.path(), cmd);
    }
    // With the common-word lists of the source tree.
    Result Analyse(const std::string& command, std::vector<std::string> args) {
        args.insert(args.begin(), {command, "--data-dir", ZELK_SOURCE_DATA_DIR});
        return Run(args);
    }
    std::string SmallPage() {
        return Write("small.html",
                     "<html><head><title>Garden tools</title></head>\r\n"
                     "<body><p>rake rake <b>spade</b></p></body></html>\r\n");
    }

    zelk::testing::TempDir dir;
};

TEST_F(CliTest, KeywordsAndWordsOfASmallPage) {
    Result r = Analyse("keywords", {SmallPage()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "<meta name=\"keywords\" content=\"Garden, tool, spade, rake\">\n"
              "\n"
              "Number of keywords in meta tag: 4\n"
              "Number of bytes in meta tag: 56\n");
    EXPECT_EQ(r.err, "");
    r = Analyse("words", {SmallPage()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "Rank Value Freq. Density\n"
              "   1   100    1  20.00%  Garden\n"
              "   2   100    1  20.00%  tool\n"
              "   3     8    1  20.00%  spade\n"
              "   4     7    2  40.00%  rake\n"
              "\n");
}

TEST_F(CliTest, OptionsReachTheComposition) {
    const std::string page = SmallPage();
    Result r = Analyse("keywords", {"--forward-slash", "--max-keywords", "2", "--begin-with",
                                    " shed,", page});
    EXPECT_EQ(r.out,
              "<meta name=\"keywords\" content=\"shed, Garden\" />\n\n"
              "Number of keywords in meta tag: 2\n"
              "Number of bytes in meta tag: 43\n");
    // The byte budget: "tool" does not fit in 40 bytes ...
    r = Analyse("keywords", {"--max-bytes", "40", page});
    EXPECT_EQ(r.out,
              "<meta name=\"keywords\" content=\"Garden\">\n\n"
              "Number of keywords in meta tag: 1\n"
              "Number of bytes in meta tag: 37\n");
    // ... but does with the viewport tag's 69 bytes + 2 added to it.
    r = Analyse("keywords", {"--max-bytes", "40", "--viewport", page});
    EXPECT_EQ(r.out.substr(0, r.out.find('>') + 1),
              "<meta name=\"keywords\" content=\"Garden, tool, spade, rake\">");
    // A viewport text of 33 bytes adds 35: "rake" needs 55 of the 54.
    r = Analyse("keywords",
                {"--max-bytes", "19", "--viewport", "<meta name=\"viewport\" content=\"\">", page});
    EXPECT_EQ(r.out.substr(0, r.out.find('>') + 1),
              "<meta name=\"keywords\" content=\"Garden, tool, spade\">");
    // Title weight 0: the title words fall to the bottom with value 0.
    r = Analyse("words", {"--title-weight", "0", "--bold-weight=9", page});
    EXPECT_EQ(r.out,
              "Rank Value Freq. Density\n"
              "   1   100    1  20.00%  spade\n"
              "   2    50    2  40.00%  rake\n"
              "\n"
              "Words with key value 0 not shown.\n"
              "\n");
}

// Results on stdout, message boxes as "TITLE: TEXT" and report lines on
// stderr, all in UTF-8 with LF; the Unix-type file warning is answered Yes.
// (The other messages of the request: CliShowInsertTest.cpp.)
TEST_F(CliTest, OutputStatusAndMessagesOfEachCase) {
    std::string binary(100, 'a');
    binary[19] = '\0';
    std::filesystem::create_directories(dir / "folder.html");
    const std::string orchard = "Rank Value Freq. Density\n   1   100    1  100.00%  orchard\n\n";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    } cases[] = {
        {{"keywords", "--folder-mode", Write("nohead.html", "<p>orchard</p>\r\n")}, 0,
         "<meta name=\"keywords\" content=\"orchard\">\n", ""},
        {{"keywords", "--folder-mode", Write("empty.html", "")}, 0, "<meta name=\"keywords\" content=\"\">\n", ""},
        {{"keywords", Write("nowords.html", "<head></head>")}, 0, "No words\n", ""},
        {{"words", Write("cafe.html", "<head></head>caf&eacute; na\xEFve\r\n")}, 0,
         "Rank Value Freq. Density\n   1   100    1  50.00%  caf\xC3\xA9\n   2   100    1  50.00%  na\xC3\xAFve\n\n", ""},
        {{"words", Write("font.html", "<head></head>orchard </font>\r\n")}, 0, orchard,
         "  File contains an invalid end-font tag.\n"},
        {{"words", Write("unix.html", "<head>\norchard\n" + std::string(50000, ' '))}, 0, orchard, ""},
        {{"words", Write("binary.html", binary)}, 1, "",
         "Not a text file: This file is not a text file.\nThe byte at position 20 with value 0\n"
         " is neither text nor whitespace.\n"},
        {{"words", dir / "folder.html"}, 1, "", "File not found: Input file not found.\n"},
        {{"keywords"}, 1, "", "Error: Input file not specified.\n"}};
    for (const Case& c : cases) {
        const Result r = Analyse(c.args[0], std::vector<std::string>(c.args.begin() + 1, c.args.end()));
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_EQ(r.out, c.out) << c.args.back();
        EXPECT_EQ(r.err, c.err) << c.args.back();
    }
}

TEST_F(CliTest, MissingCommonWordListIsReportedAndTheAnalysisGoesOn) {
    const std::string empty = dir / "nolists";
    std::filesystem::create_directories(empty);
    const Result r = Run({"words", "--data-dir", empty,
                          Write("common.html", "<head></head>the orchard and the barn\r\n")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Common words not available: Common words in English could not be read from file\n" +
                         empty + "/cwds_en.txt.\n");
    EXPECT_EQ(r.out,
              "Rank Value Freq. Density\n"
              "   1   100    2  40.00%  the\n"
              "   2    50    1  20.00%  orchard\n"
              "   3    50    1  20.00%  and\n"
              "   4    50    1  20.00%  barn\n"
              "\n");
}

TEST_F(CliTest, VpmtPrintsTheValidity) {
    Result r = Run({"vpmt", "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1\n");
    EXPECT_EQ(Run({"vpmt", "   "}).out, "0\n");
    EXPECT_EQ(Run({"vpmt", "<meta name=viewport content=\"x\">"}).out, "-1\n");
}

TEST_F(CliTest, BadCommandLinesGiveOneLineAndStatusTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {}, {"frobnicate"}, {"keywords", "--title-weight", "55", "x.html"}, {"keywords", "--title-weight", "100", "x.html"},
        {"words", "--bold-weight", "10", "x.html"}, {"words", "--language", "nl", "x.html"},
        {"words", "--unknown", "x.html"}, {"words", "a.html", "b.html"}, {"keywords", "--max-bytes"}, {"vpmt"}};
    for (const auto& args : bad) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.err.rfind("zelk-cli: ", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliTest, HelpListsTheOptionsAndTheExamplePageRuns) {
    Result r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* o : {"keywords", "words", "vpmt", "--data-dir", "--language", "--title-weight",
                          "--description-weight", "--existing-keywords-weight", "--bold-weight", "--italic-weight",
                          "--table-weight", "--div-weight", "--span-weight", "--max-keywords", "--max-bytes",
                          "--begin-with", "--forward-slash", "--viewport", "--folder-mode"})
        EXPECT_NE(r.out.find(o), std::string::npos) << o;
    EXPECT_EQ(Run({"keywords", "--help"}).out, r.out);
    r = Analyse("keywords", {ZELK_EXAMPLES_DIR "/garden.html"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("<meta name=\"keywords\" content=\"garden, tool", 0), 0u) << r.out;
}

}  // namespace
