#include <gtest/gtest.h>

#include "common/ReportLog.h"

using namespace zelk;

namespace {

// The short form of a tag: 21 characters, " ... ", and 27 characters from
// the first quote after them (the usual tags: see the batch reports).
TEST(ReportLine, TheInsertedTagFollowsInItsShortForm) {
    ReportLog log;
    log.LastInsertedTag = std::string(21, 'x') + "\"abc\"";
    log.ReportLine("Line.", true);
    // Quotes only before character 22: no line end after the short form.
    log.LastInsertedTag = "<meta name=\"keywords\" content=alpha>";
    log.ReportLine("Line.", true);
    EXPECT_EQ(log.Text(),
              "  Line.\r\n  xxxxxxxxxxxxxxxxxxxxx ... \"abc\"\r\n"
              "  Line.\r\n  <meta name=\"keywords\" ... ");
}

TEST(ReportLine, TextboxIsFullAfter65000Characters) {
    ReportLog log;
    const std::string line(98, 'a');  // 100 characters with CR LF
    for (int i = 0; i < 650; ++i) log.ReportLine(line);
    EXPECT_FALSE(log.IsFull());
    log.ReportLine("b");
    log.ReportLine("ignored");
    // The closing line of a run still arrives: a full report must not end
    // as if the run had been cut off without a word.
    log.Append("\r\nOperation stopped.\r\n");
    EXPECT_TRUE(log.IsFull());
    EXPECT_EQ(log.Text().substr(64900),
              line + "\r\nb\r\n\r\n\r\nTextbox is full.\r\n\r\nOperation stopped.\r\n");
}

}  // namespace
