#include <gtest/gtest.h>

#include "common/ReportLog.h"

using namespace zelk;

namespace {

const std::string kVP = "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">";

TEST(ReportLine, TheInsertedTagFollowsInItsShortForm) {
    // 21 characters, " ... ", and 27 characters from the first quote after them.
    const std::vector<std::pair<std::string, std::string>> rows = {
        // The viewport tag and the usual keywords tag: see the batch reports.
        {std::string(21, 'x') + "\"abc\"", "  Line.\r\n  xxxxxxxxxxxxxxxxxxxxx ... \"abc\"\r\n"},
        // Quotes only before character 22: no line end after the short form.
        {"<meta name=\"keywords\" content=alpha>", "  Line.\r\n  <meta name=\"keywords\" ... "},
    };
    for (const auto& [tag, text] : rows) {
        ReportLog log;
        log.viewportText = [] { return kVP; };
        log.LastInsertedTag = tag;
        log.ReportLine("Line.", true);
        EXPECT_EQ(log.Text(), text) << tag;
    }
}

TEST(ReportLine, TextboxIsFullAfter65000Characters) {
    ReportLog log;
    const std::string line(98, 'a');  // 100 characters with CR LF
    for (int i = 0; i < 650; ++i) log.ReportLine(line);
    EXPECT_EQ(log.Text().size(), 65000u);
    EXPECT_FALSE(log.IsFull());
    log.ReportLine("b");
    EXPECT_TRUE(log.IsFull());
    EXPECT_EQ(log.Text().substr(65000), "b\r\n\r\n\r\nTextbox is full.\r\n");
    log.ReportLine("ignored");
    EXPECT_EQ(log.Text().size(), 65025u);
    // The closing line of a run still arrives: a full report must not end
    // as if the run had been cut off without a word.
    log.Append("\r\nOperation stopped.\r\n");
    EXPECT_EQ(log.Text().substr(65000), "b\r\n\r\n\r\nTextbox is full.\r\n\r\nOperation stopped.\r\n");
    log.Clear();
    EXPECT_FALSE(log.IsFull());
    log.ReportLine("again");
    EXPECT_EQ(log.Text(), "again\r\n");
}

}  // namespace
