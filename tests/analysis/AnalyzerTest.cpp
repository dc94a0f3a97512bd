// The analysis driver: DoFile and the single-file request DoIt, with a
// scripted window.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "analysis/ScriptedHost.h"
#include "common/ReportLog.h"
#include "common/Settings.h"

using namespace zelk;
using zelk::testing::ShownBox;

namespace {

namespace fs = std::filesystem;

class AnalyzerTest : public ::testing::Test {
protected:
    AnalyzerTest() : analyzer(settings, common, host, report) {
        dir = fs::temp_directory_path() /
              ("zelk-analyzer-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        common.ReadAllCommonWords(ZELK_SOURCE_DATA_DIR, nullptr, nullptr, 0, false);
    }
    ~AnalyzerTest() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

    // A page with n distinct words that no rule drops.
    static std::string ManyWords(int n) {
        std::string body;
        for (int i = 0; i < n; ++i) {
            std::string w = "zq";
            for (int k = i; k > 0 || w.size() < 4; k /= 20) w += static_cast<char>('a' + k % 20);
            w += "o";
            body += w + " ";
        }
        return body;
    }

    Settings settings;
    CommonWords common;
    ReportLog report;
    zelk::testing::ScriptedHost host;
    Analyzer analyzer;
    fs::path dir;
};

const std::string CRLF = "\r\n";

TEST_F(AnalyzerTest, ContextWeightFollowsTheContext) {
    settings.TitleWeight = 5;
    settings.BoldWeight = 2;
    settings.TableWeight = 1;
    analyzer.scan.Reset();
    analyzer.scan.InTitle = true;
    analyzer.scan.InBold = true;
    EXPECT_EQ(analyzer.ContextWeight(), 50.0f);
    analyzer.scan.InTitle = false;
    analyzer.scan.TableDepth = 2;
    EXPECT_EQ(analyzer.ContextWeight(), 6.0f);
    analyzer.scan.InBold = false;
    analyzer.scan.TableDepth = 0;
    analyzer.scan.HeadingBonus = 30;
    analyzer.scan.FontSize = 5;
    analyzer.scan.DivDepth = 1;
    analyzer.scan.SpanDepth = 1;
    EXPECT_EQ(analyzer.ContextWeight(), 5.0f + 30 + 2 + 2);
    analyzer.scan.InDescription = true;
    EXPECT_EQ(analyzer.ContextWeight(), 90.0f);
    analyzer.scan.InDescription = false;
    analyzer.scan.InExistingKeywords = true;
    settings.ExistingKeywordsWeight = 0;
    EXPECT_EQ(analyzer.ContextWeight(), 0.0f);
}

TEST_F(AnalyzerTest, DoFileFillsTheRankedTable) {
    const std::string path =
        Write("a.html", "<html><head><title>Garden</title></head>" + CRLF +
                            "<body>rake rake <b>spade</b> Rake</body></html>" + CRLF);
    const Analyzer::DoFileResult r = analyzer.DoFile(path);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.numberOfWords, 3);
    const WordTable& t = analyzer.Table();
    ASSERT_EQ(t.WordCount(), 3);
    EXPECT_EQ(t.entries[0].Word, "Garden");
    EXPECT_EQ(t.entries[0].KeyValue, 100.0f);
    EXPECT_EQ(t.entries[1].Word, "rake");  // "Rake" merged into "rake": 3 + 3 + 3
    EXPECT_EQ(t.entries[1].Frequency, 3);
    EXPECT_EQ(t.entries[2].Word, "spade");
    EXPECT_EQ(analyzer.TotalWords(), 5);
    EXPECT_EQ(host.wordCountCaption, "Number of words found: 3");
}

TEST_F(AnalyzerTest, FolderModeLeavesOtherTextInTheBox) {
    settings.SingleFile = false;
    host.output = "earlier report";
    ASSERT_EQ(analyzer.DoFile(Write("p.html", "<p>zebra apple plum</p>" + CRLF)).result, 0);
    EXPECT_EQ(host.output, "earlier report");
}

TEST_F(AnalyzerTest, EmptyFileGivesNoWords) {
    const std::string path = Write("empty.html", "");
    const Analyzer::DoFileResult r = analyzer.DoFile(path);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(host.wordCountCaption, "Number of words found: 0");
}

TEST_F(AnalyzerTest, NotATextFileIsRefusedWithThePositionAndValue) {
    std::string bytes(100, 'a');
    bytes[19] = '\0';
    host.input = Write("bin.html", bytes);
    analyzer.DoIt(true);
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_EQ(host.prompts.shown[0],
              (ShownBox{"This file is not a text file." + CRLF +
                            "The byte at position 20 with value 0" + CRLF +
                            " is neither text nor whitespace.",
                        "Not a text file", Icon::Information, Buttons::Ok, Answer::Ok}));
    EXPECT_FALSE(analyzer.DocumentAnalysed);
    EXPECT_EQ(std::vector<std::string>(host.calls.end() - 2, host.calls.end()),
              (std::vector<std::string>{"idle", "focus"}));
}

TEST_F(AnalyzerTest, RequestTimeChecksOfTheInputName) {
    host.input = "   ";
    analyzer.DoIt(true);
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_EQ(host.prompts.shown[0], (ShownBox{"Input file not specified.", "Error",
                                               Icon::Exclamation, Buttons::Ok, Answer::Ok}));
    EXPECT_EQ(host.input, "");

    host.input = (dir / "missing.html").string();
    analyzer.DoIt(false);
    ASSERT_EQ(host.prompts.shown.size(), 2u);
    EXPECT_EQ(host.prompts.shown[1], (ShownBox{"Input file not found.", "File not found",
                                               Icon::Exclamation, Buttons::Ok, Answer::Ok}));

    fs::create_directories(dir / "folder.html");
    host.input = (dir / "folder.html").string();
    analyzer.DoIt(false);
    ASSERT_EQ(host.prompts.shown.size(), 3u);
    EXPECT_EQ(host.prompts.shown[2].text, "Input file not found.");

    host.input = Write("page.txt", "text");
    analyzer.DoIt(false);
    ASSERT_EQ(host.prompts.shown.size(), 4u);
    EXPECT_EQ(host.prompts.shown[3],
              (ShownBox{"Input file name must have an extension containing 'htm'.",
                        "Invalid input", Icon::None, Buttons::Ok, Answer::Ok}));

    host.input = dir.string() + "/noextension";
    analyzer.DoIt(false);
    ASSERT_EQ(host.prompts.shown.size(), 5u);
    EXPECT_EQ(host.prompts.shown[4], (ShownBox{"Invalid input file specification", "Invalid input",
                                               Icon::Exclamation, Buttons::Ok, Answer::Ok}));
    EXPECT_FALSE(analyzer.DocumentAnalysed);
}

TEST_F(AnalyzerTest, GenerateWithoutHeadShowsTheMessageButListWordsWorks) {
    host.input = Write("nohead.html", "<body>orchard orchard apple</body>" + CRLF);
    analyzer.DoIt(true);
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_EQ(host.prompts.shown[0], (ShownBox{"<head> not found in input file.", "No header",
                                               Icon::Exclamation, Buttons::Ok, Answer::Ok}));
    EXPECT_TRUE(analyzer.DocumentAnalysed);
    EXPECT_FALSE(analyzer.KeywordsGenerated);
    analyzer.DoIt(false);
    EXPECT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_EQ(host.output.substr(0, 24), "Rank Value Freq. Density");
}

TEST_F(AnalyzerTest, GenerateTwiceAnalysesOnceUntilTheAnalysisIsInvalidated) {
    host.input = Write("twice.html", "<head><title>Orchard</title></head>" + CRLF);
    analyzer.DoIt(true);
    analyzer.DoIt(true);
    auto analyses = [&] {
        return std::count(host.calls.begin(), host.calls.end(), std::string("begin busy"));
    };
    EXPECT_EQ(analyses(), 1);
    EXPECT_TRUE(analyzer.KeywordsGenerated);
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), std::string("insert button")), 2);
    settings.Language = 1;
    analyzer.InvalidateAnalysis();
    EXPECT_FALSE(analyzer.KeywordsGenerated);
    analyzer.DoIt(true);
    EXPECT_EQ(analyses(), 2);
    EXPECT_EQ(host.calls.back(), "focus");
}

TEST_F(AnalyzerTest, UnixTypeFileOfExactly40KbIsAnalysedWithoutWarning) {
    std::string text = "<head>\nword\n";
    text += std::string(40960 - text.size(), ' ');
    const std::string path = Write("unix40.html", text);
    EXPECT_EQ(analyzer.DoFile(path).result, 0);
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST_F(AnalyzerTest, UnixTypeFileWarningAboveFortyKb) {
    std::string text = "<head>\nword\n";
    text += std::string(40961 - text.size(), ' ');
    const std::string path = Write("unix41.html", text);
    const std::string warning =
        "This is a Unix-type file!" + CRLF +
        "This program processes files of this type but much more slowly." + CRLF +
        "Use of this program with Unix/Linux files larger than 40 Kb" + CRLF +
        "is not recommended.  The size of this file is 40,961 bytes (41 Kb)." + CRLF + CRLF +
        "Do you wish to proceed with this file anyway?";

    host.prompts.Script({Answer::No});
    EXPECT_EQ(analyzer.DoFile(path).result, -4);
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_EQ(host.prompts.shown[0], (ShownBox{warning, "Unix-type file warning", Icon::None,
                                               Buttons::YesNoCancel, Answer::Yes}));
    EXPECT_FALSE(analyzer.StopFlag);

    host.prompts.Script({Answer::Cancel});
    EXPECT_EQ(analyzer.DoFile(path).result, -4);
    EXPECT_TRUE(analyzer.StopFlag);

    host.prompts.Script({Answer::Yes});
    host.outputHistory.clear();
    const Analyzer::DoFileResult r = analyzer.DoFile(path);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.numberOfWords, 1);
    // The notice stands in the box until the first word empties it.
    EXPECT_EQ(host.outputHistory, (std::vector<std::string>{"", "Now processing ...", ""}));
}

TEST_F(AnalyzerTest, UnixTypeFileInABatchWithoutTheDialogGetsTheNote) {
    settings.SingleFile = false;
    settings.DialogBoxForUnixFiles = 0;
    std::string text = "<head>\nword\n" + std::string(50000, ' ');
    EXPECT_EQ(analyzer.DoFile(Write("unix.html", text)).result, 0);
    EXPECT_TRUE(host.prompts.shown.empty());
    EXPECT_NE(std::find(host.calls.begin(), host.calls.end(),
                        "note: Warning: File has Unix/Linux line endings"),
              host.calls.end());
    EXPECT_EQ(host.calls.back(), "end busy multiple");
}

TEST_F(AnalyzerTest, StopAfter57WordsEndsTheBoxWithTheCount) {
    host.input = Write("stop.html", "<head></head>" + CRLF + ManyWords(200) + CRLF);
    host.onYield = [&] {
        if (analyzer.Tally().WordCount() == 57) analyzer.blnStop = true;
    };
    analyzer.DoIt(false);
    const std::string expected = CRLF + CRLF + "Stopped with 57 words identified.";
    EXPECT_EQ(host.output, expected);
    EXPECT_EQ(host.caret, expected.size() - std::string(" identified.").size());
    EXPECT_EQ(host.wordCountCaption, "");
    EXPECT_FALSE(analyzer.DocumentAnalysed);
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST_F(AnalyzerTest, StopAfterOneWordUsesTheSingular) {
    const std::string path = Write("stop1.html", ManyWords(5));
    host.onYield = [&] {
        if (analyzer.Tally().WordCount() == 1) analyzer.blnStop = true;
    };
    EXPECT_EQ(analyzer.DoFile(path).result, -3);
    EXPECT_EQ(host.output, CRLF + CRLF + "Stopped with 1 word identified.");
}

TEST_F(AnalyzerTest, LargeTableGetsThePopUpNotice) {
    const std::string path = Write("many.html", ManyWords(1001));
    const Analyzer::DoFileResult r = analyzer.DoFile(path);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.numberOfWords, 1001);
    EXPECT_NE(std::find(host.calls.begin(), host.calls.end(),
                        "pop-up: Now processing, this may take awhile."),
              host.calls.end());
}

TEST_F(AnalyzerTest, BadInputGivesResultsNotCrashes) {
    // A 4-byte file is text.
    EXPECT_EQ(analyzer.DoFile(Write("four.html", "abcd")).result, 0);
    // UTF-16 is read line by line like any other text.
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("<head><title>Hello</title></head>")) utf16 += std::string{c, '\0'};
    EXPECT_EQ(analyzer.DoFile(Write("utf16.html", utf16)).result, 0);
    // A 5 MB line without a single ">".
    EXPECT_EQ(analyzer.DoFile(Write("open.html", "<a " + std::string(5 << 20, 'x'))).result, 0);
    // Nothing but "&" and blanks-free semicolon-free text.
    EXPECT_EQ(analyzer.DoFile(Write("amp.html", std::string(5 << 20, '&'))).result, 0);
    // A 5 MB line of meta and font tags.
    std::string tags;
    while (tags.size() < (5u << 20))
        tags += "<meta name=\"author\" content=\"x\"><font size=+1>w</font>";
    EXPECT_EQ(analyzer.DoFile(Write("tags.html", tags)).result, 0);
}

}  // namespace
