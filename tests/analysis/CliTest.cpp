// zelk-cli as a user runs it: the built binary, its stdout, stderr and exit
// status, byte for byte.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/CliRunner.h"

using namespace std::string_literals;

namespace {

namespace fs = std::filesystem;

using Result = zelk::testing::CliResult;
using zelk::testing::ShellQuote;

class CliTest : public ::testing::Test {
protected:
    CliTest() {
        dir = fs::temp_directory_path() /
              ("zelk-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(dir);
    }
    ~CliTest() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

    // Runs zelk-cli with the common-word lists of the source tree.
    Result Run(const std::vector<std::string>& args) {
        std::string cmd;
        for (const std::string& a : args) cmd += " " + ShellQuote(a);
        return zelk::testing::RunZelkCli(dir, cmd);
    }
    Result Analyse(const std::string& command, std::vector<std::string> args) {
        args.insert(args.begin(), {command, "--data-dir", ZELK_SOURCE_DATA_DIR});
        return Run(args);
    }

    std::string SmallPage() {
        return Write("small.html",
                     "<html><head><title>Garden tools</title></head>\r\n"
                     "<body><p>rake rake <b>spade</b></p></body></html>\r\n");
    }

    fs::path dir;
};

TEST_F(CliTest, KeywordsOfASmallPage) {
    const Result r = Analyse("keywords", {SmallPage()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "<meta name=\"keywords\" content=\"Garden, tool, spade, rake\">\n"
              "\n"
              "Number of keywords in meta tag: 4\n"
              "Number of bytes in meta tag: 56\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CliTest, WordsOfASmallPage) {
    const Result r = Analyse("words", {SmallPage()});
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

TEST_F(CliTest, FolderModeHasNoCountLinesNoHeadCheckAndAlwaysATag) {
    const std::string page = Write("nohead.html", "<p>orchard</p>\r\n");
    Result r = Analyse("keywords", {"--folder-mode", page});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "<meta name=\"keywords\" content=\"orchard\">\n");
    r = Analyse("keywords", {"--folder-mode", Write("empty.html", "")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "<meta name=\"keywords\" content=\"\">\n");
    r = Analyse("keywords", {Write("nowords.html", "<head></head>")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "No words\n");
}

TEST_F(CliTest, Windows1252TextIsWrittenAsUtf8) {
    const Result r = Analyse("words", {Write("cafe.html", "<head></head>caf&eacute; na\xEFve\r\n")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "Rank Value Freq. Density\n"
              "   1   100    1  50.00%  caf\xC3\xA9\n"
              "   2   100    1  50.00%  na\xC3\xAFve\n"
              "\n");
}

TEST_F(CliTest, MessageBoxesGoToStderrWithStatusOne) {
    Result r = Analyse("keywords", {Write("nohead.html", "<p>orchard</p>\r\n")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "No header: <head> not found in input file.\n");

    std::string binary(100, 'a');
    binary[19] = '\0';
    r = Analyse("words", {Write("binary.html", binary)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "Not a text file: This file is not a text file.\n"
              "The byte at position 20 with value 0\n"
              " is neither text nor whitespace.\n");

    r = Analyse("keywords", {(dir / "missing.html").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "File not found: Input file not found.\n");

    fs::create_directories(dir / "folder.html");
    r = Analyse("words", {(dir / "folder.html").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "File not found: Input file not found.\n");

    r = Analyse("keywords", {Write("page.txt", "text")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Invalid input: Input file name must have an extension containing 'htm'.\n");

    r = Analyse("keywords", {});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error: Input file not specified.\n");
}

TEST_F(CliTest, ReportLinesGoToStderrAndTheWorkGoesOn) {
    const Result r = Analyse("words", {Write("font.html", "<head></head>orchard </font>\r\n")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "  File contains an invalid end-font tag.\n");
    EXPECT_EQ(r.out, "Rank Value Freq. Density\n   1   100    1  100.00%  orchard\n\n");
}

TEST_F(CliTest, UnixTypeFileWarningIsAnsweredYes) {
    const Result r =
        Analyse("words", {Write("unix.html", "<head>\norchard\n" + std::string(50000, ' '))});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "Rank Value Freq. Density\n   1   100    1  100.00%  orchard\n\n");
}

TEST_F(CliTest, BadInputsGiveResultsOrOneLineErrors) {
    // A 4-byte file, a UTF-16 file, a 70,000-letter word, nested font tags.
    EXPECT_EQ(Analyse("words", {Write("four.html", "abcd")}).status, 0);
    std::string utf16 = "\xFF\xFE";
    for (char c : "<head>x</head>"s) utf16 += std::string{c, '\0'};
    EXPECT_EQ(Analyse("words", {Write("utf16.html", utf16)}).status, 0);
    Result r = Analyse("words", {Write("long.html", std::string(70000, 'w') + " orchard")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Rank Value Freq. Density\n   1   100    1  33.33%  orchard\n\n");
    std::string fonts;
    for (int i = 0; i < 100000; ++i) fonts += "<font size=1>";
    r = Analyse("words", {Write("fonts.html", fonts + "orchard")});
    EXPECT_EQ(r.status, 0);
}

TEST_F(CliTest, MissingCommonWordListIsReportedAndTheAnalysisGoesOn) {
    const std::string empty = (dir / "nolists").string();
    fs::create_directories(empty);
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
        {},
        {"frobnicate"},
        {"keywords", "--title-weight", "55", "x.html"},
        {"keywords", "--title-weight", "100", "x.html"},
        {"words", "--bold-weight", "10", "x.html"},
        {"words", "--language", "nl", "x.html"},
        {"words", "--unknown", "x.html"},
        {"words", "a.html", "b.html"},
        {"keywords", "--max-bytes"},
        {"vpmt"},
    };
    for (const auto& args : bad) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.err.rfind("zelk-cli: ", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliTest, HelpListsTheCommandsAndOptions) {
    const Result r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* s : {"keywords", "words", "vpmt", "--data-dir", "--language", "--title-weight",
                          "--description-weight", "--existing-keywords-weight", "--bold-weight",
                          "--italic-weight", "--table-weight", "--div-weight", "--span-weight",
                          "--max-keywords", "--max-bytes", "--begin-with", "--forward-slash",
                          "--viewport", "--folder-mode"})
        EXPECT_NE(r.out.find(s), std::string::npos) << s;
    EXPECT_EQ(Run({"keywords", "--help"}).out, r.out);
}

TEST_F(CliTest, TheExamplePageRuns) {
    const Result r = Analyse("keywords", {ZELK_EXAMPLES_DIR "/garden.html"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("<meta name=\"keywords\" content=\"garden, tool", 0), 0u) << r.out;
}

}  // namespace
