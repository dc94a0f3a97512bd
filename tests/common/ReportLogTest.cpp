#include <gtest/gtest.h>

#include "common/ReportLog.h"

using namespace zelk;

namespace {

const std::string kVP = "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">";

ReportLog MakeLog() {
    ReportLog log;
    log.viewportText = [] { return kVP; };
    return log;
}

TEST(ReportLine, PlainAndIndentedLines) {
    ReportLog log = MakeLog();
    log.ReportLine("Folder: /w");
    log.ReportLine("Skipped", true);
    EXPECT_EQ(log.Text(), "Folder: /w\r\n  Skipped\r\n");
}

TEST(ReportLine, ViewportTagAsGiven) {
    ReportLog log = MakeLog();
    log.LastInsertedTag = kVP;
    log.ReportLine("New VPMT inserted.", true);
    EXPECT_EQ(log.Text(), "  New VPMT inserted. As given.\r\n");
}

TEST(ReportLine, ShortFormOfAKeywordsTag) {
    ReportLog log = MakeLog();
    log.LastInsertedTag =
        "<meta name=\"keywords\" content=\"alpha, beta, gamma, delta, epsilon, zeta, eta\">";
    log.ReportLine("Existing KWMT replaced.", true);
    // 21 characters, " ... ", and 27 characters from the quote that opens the content.
    EXPECT_EQ(log.Text(),
              "  Existing KWMT replaced.\r\n"
              "  <meta name=\"keywords\" ... \"alpha, beta, gamma, delta,\r\n");
}

TEST(ReportLine, QuoteBeforeCharacter22DoesNotCountAndNoQuoteMeansNoLineEnd) {
    ReportLog log = MakeLog();
    // The only quotes stand before character 22: the short form ends without a line end.
    log.LastInsertedTag = "<meta name=\"keywords\" content=alpha>";
    log.ReportLine("Existing KWMT replaced.", true);
    EXPECT_EQ(log.Text(), "  Existing KWMT replaced.\r\n  <meta name=\"keywords\" ... ");
    log.LastInsertedTag.clear();
    log.ReportLine("Done");
    EXPECT_EQ(log.Text(), "  Existing KWMT replaced.\r\n  <meta name=\"keywords\" ... Done\r\n");
}

TEST(ReportLine, QuoteExactlyAtCharacter22) {
    ReportLog log = MakeLog();
    log.LastInsertedTag = std::string(21, 'x') + "\"abc\"";
    log.ReportLine("t");
    EXPECT_EQ(log.Text(), "t\r\n  xxxxxxxxxxxxxxxxxxxxx ... \"abc\"\r\n");
}

TEST(ReportLine, TextboxIsFullAfter65000Characters) {
    ReportLog log = MakeLog();
    const std::string line(98, 'a');  // 100 characters with CR LF
    for (int i = 0; i < 650; ++i) log.ReportLine(line);
    EXPECT_EQ(log.Text().size(), 65000u);
    EXPECT_FALSE(log.IsFull());
    log.ReportLine("b");
    EXPECT_TRUE(log.IsFull());
    EXPECT_EQ(log.Text().size(), 65000u + 3u + 22u);
    EXPECT_EQ(log.Text().substr(65000), "b\r\n\r\n\r\nTextbox is full.\r\n");
    log.ReportLine("ignored");
    log.Append("ignored too");
    EXPECT_EQ(log.Text().size(), 65025u);
    log.Clear();
    EXPECT_FALSE(log.IsFull());
    EXPECT_EQ(log.Text(), "");
    log.ReportLine("again");
    EXPECT_EQ(log.Text(), "again\r\n");
}

TEST(ReportLine, ListenersSeeEveryAppend) {
    ReportLog log = MakeLog();
    std::string seen;
    bool cleared = false;
    log.onAppend = [&](const std::string& s) { seen += s; };
    log.onClear = [&] { cleared = true; };
    log.ReportLine("x", true);
    log.Append("That's all.");
    EXPECT_EQ(seen, "  x\r\nThat's all.");
    log.Clear();
    EXPECT_TRUE(cleared);
}

}  // namespace
