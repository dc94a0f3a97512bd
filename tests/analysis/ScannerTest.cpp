// The scanner and the tag handler on prepared lines: which words are taken
// and with which context.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/Markup.h"
#include "analysis/Scanner.h"
#include "analysis/ScriptedHost.h"
#include "common/ReportLog.h"
#include "common/Settings.h"

using namespace zelk;

namespace {

struct Taken {
    std::string word;
    int fontSize;
    int headingBonus;
    bool title, description, keywords, bold;
    int tableDepth;
};

class ScannerTest : public ::testing::Test {
protected:
    ScannerTest()
        : scanner(state, settings, host, report, stop, [this] {
              words.push_back({state.CurrentWord, state.FontSize, state.HeadingBonus,
                               state.InTitle, state.InDescription, state.InExistingKeywords,
                               state.InBold, state.TableDepth});
          }) {
        state.Reset();
    }

    // Prepares one document line as the driver does (markup, entities, the
    // leading blank) and scans it.
    void Scan(std::string line) {
        NormaliseMarkup(line);
        DecodeEntities(line);
        scanner.SetLine(" " + line);
        scanner.ScanCurrentLine();
        if (state.TagNesting < 0) state.TagNesting = 0;
        if (state.FontDepth < 0) state.FontDepth = 0;
    }

    std::vector<std::string> Words() const {
        std::vector<std::string> w;
        for (const Taken& t : words) w.push_back(t.word);
        return w;
    }
    using V = std::vector<std::string>;

    Settings settings;
    ScanState state;
    ReportLog report;
    zelk::testing::ScriptedHost host;
    bool stop = false;
    std::vector<Taken> words;
    Scanner scanner;
};

TEST_F(ScannerTest, ScriptStyleAndCommentTextIsSkippedInAnyCase) {
    Scan("<SCRIPT type=x>a b</Script> word");
    EXPECT_EQ(Words(), V{"word"});
    words.clear();
    Scan("<style>p { color: red }</STYLE>after");
    EXPECT_EQ(Words(), V{"after"});
}

TEST_F(ScannerTest, CommentOverFourLinesHidesItsWordsButNotWhatFollows) {
    Scan("before <!-- hidden");
    Scan("more hidden");
    Scan("still hidden");
    Scan("end --> shown");
    EXPECT_EQ(Words(), (V{"before", "shown"}));
    EXPECT_FALSE(state.InComment);
}

TEST_F(ScannerTest, ScriptStateCarriesOverLines) {
    Scan("<script>var x");
    EXPECT_TRUE(state.InScript);
    Scan("y = z;</script> text");
    EXPECT_EQ(Words(), V{"text"});
}

TEST_F(ScannerTest, ZeroWeightTableIsSkippedOverLinesIncludingNestedTables) {
    settings.TableWeight = 0;
    Scan("intro <table><tr><td>alpha");
    Scan("<table><tr><td>beta</td></tr></table> gamma");
    Scan("delta</table> after");
    EXPECT_EQ(Words(), (V{"intro", "after"}));
    EXPECT_EQ(state.TableDepth, 0);
}

TEST_F(ScannerTest, WeightedTableCountsDepthForTheWeighting) {
    settings.TableWeight = 1;
    Scan("<table><tr><td>cell</td></tr></table> out");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].tableDepth, 1);
    EXPECT_EQ(words[1].tableDepth, 0);
}

TEST_F(ScannerTest, ZeroWeightDivIsSkippedOnItsFirstLineOnly) {
    settings.DivWeight = 0;
    Scan("<div>one two");
    Scan("three</div> four");
    EXPECT_EQ(Words(), (V{"three", "four"}));
    EXPECT_EQ(state.DivDepth, 1);
}

TEST_F(ScannerTest, ZeroWeightTableStartEndingTheLineDoesNotHang) {
    settings.TableWeight = 0;
    Scan("words <table");
    Scan("inside</table> out");
    EXPECT_EQ(Words(), (V{"words", "out"}));
}

TEST_F(ScannerTest, EnglishContractionsAndApostrophes) {
    Scan("don't go");
    EXPECT_EQ(Words(), V{"go"});
    words.clear();
    Scan("it's");
    EXPECT_EQ(Words(), (V{"it", "s"}));
    words.clear();
    Scan("don't.");
    EXPECT_EQ(Words(), (V{"don", "t"}));
}

TEST_F(ScannerTest, FrenchKeepsHyphenAndApostropheInsideWords) {
    settings.Language = 1;
    Scan("aujourd'hui peut-\xEAtre -abc");
    EXPECT_EQ(Words(), (V{"aujourd'hui", "peut-\xEAtre", "abc"}));
}

TEST_F(ScannerTest, DigitsSplitWordsAndUndecodedEntitiesAreSkipped) {
    Scan("abc123def");
    EXPECT_EQ(Words(), (V{"abc", "def"}));
    words.clear();
    Scan("AT&T; rocks");
    EXPECT_EQ(Words(), (V{"AT", "rocks"}));
    words.clear();
    Scan("R&D department");
    EXPECT_EQ(Words(), (V{"R", "D", "department"}));
    EXPECT_EQ(state.TotalWords, 7);
}

TEST_F(ScannerTest, HeadingBonusEndsOnlyAtAHeadingEndDirectlyBehindAWord) {
    Scan("<h1><a href=x>Home</a></h1> Text");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].headingBonus, 30);
    EXPECT_EQ(words[1].headingBonus, 30);
    words.clear();
    Scan("<h3>Title</h3> body");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].headingBonus, 20);
    EXPECT_EQ(words[1].headingBonus, 0);
}

TEST_F(ScannerTest, TitleAndBoldMarkup) {
    Scan("<title>Shop</title> <b>Bold</b> plain");
    ASSERT_EQ(words.size(), 3u);
    EXPECT_TRUE(words[0].title);
    EXPECT_TRUE(words[1].bold);
    EXPECT_FALSE(words[2].bold || words[2].title);
}

TEST_F(ScannerTest, LongRunOfLettersIsCutInto65000LetterPieces) {
    Scan(std::string(70000, 'a') + " end");
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].word.size(), 65000u);
    EXPECT_EQ(words[1].word.size(), 5000u);
    EXPECT_EQ(words[2].word, "end");
}

TEST_F(ScannerTest, StopIsSeenAtTheNextStep) {
    host.onYield = [this] {
        if (words.size() == 2) stop = true;
    };
    Scan("one two three four");
    EXPECT_EQ(Words(), (V{"one", "two"}));
}

// --- Meta tags ---

TEST_F(ScannerTest, DescriptionContentIsTakenWithTheDescriptionContext) {
    Scan("<meta name=\"description\" content=\"Fast red cars\"> after");
    ASSERT_EQ(words.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(words[static_cast<size_t>(i)].description) << i;
    EXPECT_EQ(words[3].word, "after");
    EXPECT_FALSE(words[3].description);
}

TEST_F(ScannerTest, AuthorTagBeforeADescriptionTagIsTakenAsDescription) {
    Scan("<meta name=\"author\" content=\"Joe\"><meta name=\"description\" content=\"Fast\">");
    ASSERT_EQ(Words(), (V{"Joe", "Fast"}));
    EXPECT_TRUE(words[0].description);
    EXPECT_TRUE(words[1].description);
}

TEST_F(ScannerTest, CapitalKeywordsTagIsRecognisedButItsContentIsNot) {
    settings.ExistingKeywordsWeight = 5;
    Scan("<META NAME=\"KEYWORDS\" CONTENT=\"alpha beta\"> after");
    EXPECT_EQ(Words(), V{"after"});
    words.clear();
    Scan("<META NAME=\"DESCRIPTION\" CONTENT=\"gamma\">");
    ASSERT_EQ(Words(), V{"gamma"});
    EXPECT_TRUE(words[0].description);
}

TEST_F(ScannerTest, KeywordsTagIsReadOnlyWithAWeight) {
    settings.ExistingKeywordsWeight = 3;
    Scan("<meta name = \"keywords\" content=\"alpha, beta\">");
    ASSERT_EQ(Words(), (V{"alpha", "beta"}));
    EXPECT_TRUE(words[0].keywords);
    words.clear();
    settings.ExistingKeywordsWeight = 0;
    Scan("<meta name=\"keywords\" content=\"alpha, beta\"> tail");
    EXPECT_EQ(Words(), V{"tail"});
}

TEST_F(ScannerTest, OtherMetaTagsAreSkipped) {
    Scan("<meta name=\"robots\" content=\"noindex\"> text");
    EXPECT_EQ(Words(), V{"text"});
    EXPECT_EQ(state.TagNesting, 0);
}

// --- Font tags ---

TEST_F(ScannerTest, FontSizesRelativeAndAbsoluteAreLimitedToOneToSeven) {
    Scan("<font size=+2>big</font> normal");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].fontSize, 5);
    EXPECT_EQ(words[1].fontSize, 3);
    const std::pair<const char*, int> cases[] = {
        {"<font size=6>a</font>", 6}, {"<font size=9>a</font>", 7},
        {"<font size=-5>a</font>", 1}, {"<font size=12>a</font>", 7},
        {"<font size=99999999999999999999>a</font>", 7}, {"<font size=+1.5>a</font>", 4},
        {"<font size=2.5>a</font>", 2}, {"<FONT SIZE=\"4\">a</FONT>", 4},
        // The number as it stands behind the sign or at the digit.
        {"<font size=+ 2>a</font>", 3}, {"<font size=1e1>a</font>", 1}, {"<font size=6 0>a</font>", 6},
    };
    for (const auto& [line, size] : cases) {
        words.clear();
        state.Reset();
        Scan(std::string(line) + " xyz");
        ASSERT_EQ(words.size(), 2u) << line;
        EXPECT_EQ(words[0].fontSize, size) << line;
        EXPECT_EQ(words[1].fontSize, 3) << line;
    }
}

TEST_F(ScannerTest, SizeWithoutNumberLeavesThePositionBehindSize) {
    // The tag goes on from behind "size": its ">" is that of the end tag,
    // and the words after it are taken.
    Scan("<font color=red>Invalid scroll size</font> tail");
    EXPECT_EQ(Words(), V{"tail"});
    EXPECT_FALSE(state.InFontTag);
    EXPECT_FALSE(state.InTag);
    Scan("next");
    EXPECT_EQ(Words(), (V{"tail", "next"}));
}

TEST_F(ScannerTest, FontTagAloneOnItsLineSkipsTheNextLineWithoutGreaterSign) {
    Scan("<font size=2>");
    EXPECT_EQ(state.FontDepth, 1);
    EXPECT_EQ(state.FontSize, 3);  // no later "font" on the line: the size is not read
    EXPECT_TRUE(state.InFontTag);
    Scan("skipped words here");
    EXPECT_TRUE(words.empty());
    Scan("taken");
    EXPECT_EQ(Words(), V{"taken"});
}

TEST_F(ScannerTest, FontTagAloneSkipsTheNextLineUpToItsFirstGreaterSign) {
    Scan("<font size=2>");
    Scan("skipped <a href=x>link</a> kept");
    // Passing that ">" counts it off the nesting, which stands at -1 for the
    // rest of the line: the next tag then runs to the end of the line.
    EXPECT_EQ(Words(), V{"link"});
    // The tag stays open into the next line until a "<" and its ">" match.
    Scan("still inside");
    EXPECT_TRUE(state.InTag);
    Scan("<p> next line");
    EXPECT_EQ(Words(), (V{"link", "next", "line"}));
}

TEST_F(ScannerTest, UnmatchedEndFontIsReportedOnce) {
    Scan("a </font> word");
    EXPECT_EQ(report.Text(), "  File contains an invalid end-font tag.\r\n");
    EXPECT_EQ(Words(), (V{"a", "word"}));
    EXPECT_EQ(words[1].fontSize, 3);
}

TEST_F(ScannerTest, DeeplyNestedFontTagsRestoreInReverseOrder) {
    std::string line;
    for (int i = 0; i < 40; ++i) line += "<font size=" + std::to_string(i % 7 + 1) + ">w" + " ";
    for (int i = 0; i < 40; ++i) line += "</font>w ";
    line += "</font>";
    Scan(line);
    ASSERT_EQ(words.size(), 80u);
    EXPECT_GE(state.FontSizeStack.size(), 40u);
    // The size of each nested piece is read (a later "font" follows); on the
    // way out each end tag restores the size that stood before its start tag.
    for (int i = 0; i < 40; ++i) EXPECT_EQ(words[static_cast<size_t>(i)].fontSize, i % 7 + 1) << i;
    for (int k = 0; k < 40; ++k) {
        const int restoredDepth = 39 - k;  // the start tag index whose size is restored
        const int expected = restoredDepth == 0 ? 3 : (restoredDepth - 1) % 7 + 1;
        EXPECT_EQ(words[static_cast<size_t>(40 + k)].fontSize, expected) << k;
    }
    EXPECT_EQ(report.Text(), "  File contains an invalid end-font tag.\r\n");
}

TEST_F(ScannerTest, SizeWrittenWithBlanksInsideIsNotRead) {
    Scan("<font si ze=5>x</font> y");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].fontSize, 3);
}

TEST_F(ScannerTest, HundredThousandNestedFontTagsStayBounded) {
    std::string line;
    for (int i = 0; i < 100000; ++i) line += "<font size=+1>";
    line += "deep";
    for (int i = 0; i < 100000; ++i) line += "</font>";
    line += " out";
    Scan(line);
    EXPECT_EQ(Words(), (V{"deep", "out"}));
    EXPECT_EQ(words[0].fontSize, 7);
    EXPECT_EQ(words[1].fontSize, 3);
    EXPECT_LE(state.FontSizeStack.size(), 32767u + 16u);
}

TEST_F(ScannerTest, ManyUnclosedTagsDoNotOverflowTheNesting) {
    // The handler passes the character behind each "<" it counts.
    Scan(std::string(80000, '<') + " x");
    EXPECT_EQ(state.TagNesting, 32767);
    Scan(std::string(40000, '>') + " y");
    EXPECT_EQ(state.TagNesting, 0);
    EXPECT_EQ(Words(), V{"y"});
}

}  // namespace
