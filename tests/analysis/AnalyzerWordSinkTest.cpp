// What the analysis tells the window while words are counted: the caption
// after every new word, and the "Now processing ..." notice emptied by the
// first one, without reading the output box back for every word.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "analysis/ScriptedHost.h"
#include "common/ReportLog.h"
#include "common/Settings.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

class CountingHost : public testing::ScriptedHost {
public:
    std::string OutputText() override {
        ++outputReads;
        return ScriptedHost::OutputText();
    }
    void SetWordCountCaption(const std::string& caption) override {
        captions.push_back(caption);
        ScriptedHost::SetWordCountCaption(caption);
    }
    int outputReads = 0;
    std::vector<std::string> captions;
};

class AnalyzerWordSink : public ::testing::Test {
protected:
    AnalyzerWordSink() : analyzer(settings, common, host, report) {
        dir = fs::temp_directory_path() /
              ("zelk-sink-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    ~AnalyzerWordSink() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string Write(const std::string& bytes) {
        const fs::path p = dir / "page.html";
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

    fs::path dir;
    Settings settings;
    CommonWords common;
    ReportLog report;
    CountingHost host;
    Analyzer analyzer;
};

TEST_F(AnalyzerWordSink, CaptionFollowsEveryNewWordOnly) {
    const std::string path = Write("<html><body>zebra apple zebra zebras plum apple</body></html>\r\n");
    ASSERT_EQ(analyzer.DoFile(path).result, 0);
    EXPECT_EQ(host.captions, (std::vector<std::string>{"Number of words found: 1", "Number of words found: 2",
                                                       "Number of words found: 3", "Number of words found: 3"}));
}

TEST_F(AnalyzerWordSink, NoticeIsEmptiedByTheFirstNewWordAndTheBoxReadOnce) {
    // A Unix-type file of more than 40 KB: the notice goes into the box.
    std::string page = "<html><body>\n";
    for (int i = 0; i < 3000; ++i) {
        std::string w = "zq";
        for (int k = i; k > 0 || w.size() < 4; k /= 20) w += static_cast<char>('a' + k % 20);
        page += w + "o plain words here\n";
    }
    page += "</body></html>\n";
    ASSERT_GT(page.size(), 40960u);
    const std::string path = Write(page);
    host.prompts.Script({Answer::Yes});
    host.outputHistory.clear();
    const Analyzer::DoFileResult r = analyzer.DoFile(path);
    ASSERT_EQ(r.result, 0);
    EXPECT_GT(r.numberOfWords, 3000);
    EXPECT_EQ(host.outputHistory, (std::vector<std::string>{"", "Now processing ...", ""}));
    EXPECT_EQ(host.outputReads, 1);
}

TEST_F(AnalyzerWordSink, OtherTextInTheBoxIsLeftAlone) {
    settings.SingleFile = false;  // the box is not emptied at the start
    host.output = "earlier report";
    const std::string path = Write("<p>zebra apple plum</p>\r\n");
    ASSERT_EQ(analyzer.DoFile(path).result, 0);
    EXPECT_EQ(host.output, "earlier report");
    EXPECT_EQ(host.outputReads, 1);
}

}  // namespace
}  // namespace zelk
