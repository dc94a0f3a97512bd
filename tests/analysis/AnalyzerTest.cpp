// The analysis driver: DoFile and the single-file request DoIt, with a
// scripted window.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "support/ScriptedHost.h"
#include "common/ReportLog.h"
#include "common/Settings.h"
#include "support/TempDir.h"

using namespace zelk;
using zelk::testing::ShownBox;

namespace {

using zelk::testing::TempDir;

class AnalyzerTest : public ::testing::Test {
protected:
    AnalyzerTest() { common.ReadAllCommonWords(ZELK_SOURCE_DATA_DIR, nullptr, nullptr, 0, false); }

    TempDir dir;
    Settings settings;
    CommonWords common;
    ReportLog report;
    zelk::testing::ScriptedHost host;
    Analyzer analyzer{settings, common, host, report};
};

const std::string CRLF = "\r\n";

TEST_F(AnalyzerTest, ContextWeightFollowsTheContext) {
    settings.TitleWeight = 5;
    settings.BoldWeight = 2;
    auto weight = [&](const std::function<void(ScanState&)>& set) {
        analyzer.scan.Reset();
        set(analyzer.scan);
        return analyzer.ContextWeight();
    };
    EXPECT_EQ(weight([](ScanState& s) { s.InTitle = s.InBold = true; }), 50.0f);
    EXPECT_EQ(weight([](ScanState& s) { s.InBold = true, s.TableDepth = 2; }), 6.0f);
    EXPECT_EQ(weight([](ScanState& s) { s.HeadingBonus = 30, s.FontSize = 5, s.DivDepth = s.SpanDepth = 1; }), 39.0f);
    EXPECT_EQ(weight([](ScanState& s) { s.InDescription = true, s.HeadingBonus = 30, s.DivDepth = 1; }), 90.0f);
    settings.ExistingKeywordsWeight = 0;
    EXPECT_EQ(weight([](ScanState& s) { s.InExistingKeywords = true, s.HeadingBonus = 30, s.DivDepth = 1; }), 0.0f);
}

TEST_F(AnalyzerTest, RequestTimeChecksOfTheInputAndItsBytes) {
    std::filesystem::create_directories(dir / "folder.html");
    std::string binary(100, 'a');
    binary[19] = '\0';
    const ShownBox notFound{"Input file not found.", "File not found", Icon::Exclamation, Buttons::Ok, Answer::Ok};
    const std::pair<std::string, ShownBox> cases[] = {
        {"   ", {"Input file not specified.", "Error", Icon::Exclamation, Buttons::Ok, Answer::Ok}},
        {dir / "missing.html", notFound},
        {dir / "folder.html", notFound},
        {dir.Write("page.txt", "text"),
         {"Input file name must have an extension containing 'htm'.", "Invalid input", Icon::None, Buttons::Ok,
          Answer::Ok}},
        {dir.Write("bin.html", binary),
         {"This file is not a text file." + CRLF + "The byte at position 20 with value 0" + CRLF +
              " is neither text nor whitespace.",
          "Not a text file", Icon::Information, Buttons::Ok, Answer::Ok}},
        {dir / "noextension",
         {"Invalid input file specification", "Invalid input", Icon::Exclamation, Buttons::Ok, Answer::Ok}}};
    for (const auto& [input, box] : cases) {
        host.input = input;
        host.prompts.shown.clear();
        analyzer.DoIt(false);
        EXPECT_EQ(host.prompts.shown, std::vector<ShownBox>{box}) << input;
    }
    EXPECT_EQ(host.input, dir / "noextension");  // left as it is after a message
    EXPECT_FALSE(analyzer.DocumentAnalysed);
}

// Above 40 Kb the user is asked first (the text: FieldsAndCommandsTest.cpp); in a
// batch without that dialog the window gets a note instead.
TEST_F(AnalyzerTest, UnixTypeFileWarningAboveFortyKb) {
    const std::string head = "<head>\nword\n";
    EXPECT_EQ(analyzer.DoFile(dir.Write("unix40.html", head + std::string(40960 - head.size(), ' '))).result, 0);
    EXPECT_TRUE(host.prompts.shown.empty());
    const std::string path = dir.Write("unix41.html", head + std::string(40961 - head.size(), ' '));
    for (Answer answer : {Answer::No, Answer::Cancel}) {  // Cancel also stops a batch
        host.prompts.Script({answer});
        EXPECT_EQ(analyzer.DoFile(path).result, -4);
        EXPECT_EQ(analyzer.StopFlag, answer == Answer::Cancel);
    }
    EXPECT_EQ(host.prompts.shown.at(0).title, "Unix-type file warning");
    // The notice stands in the box until the first word empties it.
    std::string duringScan;
    host.onYield = [&] { duringScan = duringScan.empty() ? host.output : duringScan; };
    host.prompts.Script({Answer::Yes});
    EXPECT_EQ(analyzer.DoFile(path).numberOfWords, 1);
    EXPECT_EQ(duringScan, "Now processing ...");
    EXPECT_EQ(host.output, "");
    EXPECT_EQ(host.wordCountCaption, "Number of words found: 1");
    settings.SingleFile = false;
    settings.DialogBoxForUnixFiles = 0;
    EXPECT_EQ(analyzer.DoFile(path).result, 0);
    EXPECT_EQ(host.prompts.shown.size(), 3u);
    EXPECT_EQ(host.notes, std::vector<std::string>{"Warning: File has Unix/Linux line endings"});
}

}  // namespace
