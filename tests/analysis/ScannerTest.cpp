// The scanner and the tag handler on prepared lines: which words are taken
// and with which context.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analysis/Markup.h"
#include "analysis/Scanner.h"
#include "analysis/WordChars.h"
#include "support/ScriptedHost.h"
#include "common/ReportLog.h"
#include "common/Settings.h"

using namespace zelk;

namespace {

using V = std::vector<std::string>;

// Every word taken, with its context: T title, D description, K existing
// keywords, B bold, h heading bonus, f font size (when not 3), t table depth.
struct Scan {
    Settings settings;
    ScanState state;
    ReportLog report;
    zelk::testing::ScriptedHost host;
    bool stop = false;
    V words;
    Scanner scanner{state, settings, host, report, stop, [this] {
                        std::string w(state.CurrentWord);
                        if (state.InTitle) w += " T";
                        if (state.InDescription) w += " D";
                        if (state.InExistingKeywords) w += " K";
                        if (state.InBold) w += " B";
                        if (state.HeadingBonus) w += " h" + std::to_string(state.HeadingBonus);
                        if (state.FontSize != 3) w += " f" + std::to_string(state.FontSize);
                        if (state.TableDepth) w += " t" + std::to_string(state.TableDepth);
                        words.push_back(w);
                    }};

    Scan() { state.Reset(); }
    // Prepares one document line as the driver does (markup, entities, the
    // leading blank) and scans it.
    Scan& operator()(std::string line) {
        NormaliseMarkup(line);
        DecodeEntities(line);
        scanner.SetLine(" " + line);
        scanner.ScanCurrentLine();
        if (state.TagNesting < 0) state.TagNesting = 0;
        if (state.FontDepth < 0) state.FontDepth = 0;
        return *this;
    }
};

// One setting changed from the defaults: L language, T table weight, D div
// weight, K existing keywords weight.
struct Case {
    V lines;
    V words;
    char setting = ' ';
    int value = 0;
};

TEST(Scanner, WordsTakenAndTheirContext) {
    const Case cases[] = {
        {{"<SCRIPT type=x>a b</Script> word"}, {"word"}}, {{"<style>p { color: red }</STYLE>after"}, {"after"}},
        {{"before <!-- hidden", "more hidden", "still hidden", "end --> shown"}, {"before", "shown"}},
        {{"<script>var x", "y = z;</script> text"}, {"text"}},
        // A table of weight 0 is skipped over lines, nested tables included;
        // a div or span of weight 0 on its first line only.
        {{"intro <table><tr><td>alpha", "<table><tr><td>beta</td></tr></table> gamma", "delta</table> after"},
         {"intro", "after"}, 'T', 0},
        {{"words <table", "inside</table> out"}, {"words", "out"}, 'T', 0},
        {{"<table><tr><td>cell</td></tr></table> out"}, {"cell t1", "out"}},
        {{"<div>one two", "three</div> four"}, {"three", "four"}, 'D', 0},
        {{"don't go"}, {"go"}}, {{"it's"}, {"it", "s"}}, {{"don't."}, {"don", "t"}},
        {{"aujourd'hui peut-\xEAtre -abc"}, {"aujourd'hui", "peut-\xEAtre", "abc"}, 'L', 1},
        {{"abc123def"}, {"abc", "def"}}, {{"AT&T; rocks R&D department"}, {"AT", "rocks", "R", "D", "department"}},
        {{std::string(70000, 'a') + " end"}, {std::string(65000, 'a'), std::string(5000, 'a'), "end"}},
        // The heading bonus ends only at a heading end directly behind a word.
        {{"<h1><a href=x>Home</a></h1> Text"}, {"Home h30", "Text h30"}}, {{"<h3>Title</h3> body"}, {"Title h20", "body"}},
        {{"<title>Shop</title> <b>Bold</b> plain"}, {"Shop T", "Bold B", "plain"}},
        // Meta tags: an author tag before a description tag is taken as
        // description; a capital keywords tag is recognised but its content
        // is not read; keywords only with a weight; other tags are skipped.
        {{"<meta name=\"description\" content=\"Fast red cars\"> after"}, {"Fast D", "red D", "cars D", "after"}},
        {{"<meta name=\"author\" content=\"Joe\"><meta name=\"description\" content=\"Fast\">"}, {"Joe D", "Fast D"}},
        {{"<META NAME=\"KEYWORDS\" CONTENT=\"alpha beta\"> after", "<META NAME=\"DESCRIPTION\" CONTENT=\"gamma\">"},
         {"after", "gamma D"}},
        {{"<meta name = \"keywords\" content=\"alpha, beta\">"}, {"alpha K", "beta K"}, 'K', 3},
        {{"<meta name=\"keywords\" content=\"alpha, beta\"> tail"}, {"tail"}, 'K', 0},
        {{"<meta name=\"robots\" content=\"noindex\"> text"}, {"text"}},
        // Font sizes, relative and absolute, limited to 1-7: the number as it
        // stands behind the sign or at the digit.
        {{"<font size=+2>big</font> normal"}, {"big f5", "normal"}}, {{"<font size=6>a</font> xyz"}, {"a f6", "xyz"}},
        {{"<font size=9>a</font> xyz"}, {"a f7", "xyz"}}, {{"<font size=-5>a</font> xyz"}, {"a f1", "xyz"}},
        {{"<font size=99999999999999999999>a</font> xyz"}, {"a f7", "xyz"}},
        {{"<font size=+1.5>a</font> xyz"}, {"a f4", "xyz"}}, {{"<font size=2.5>a</font> xyz"}, {"a f2", "xyz"}},
        {{"<FONT SIZE=\"4\">a</FONT> xyz"}, {"a f4", "xyz"}}, {{"<font size=+ 2>a</font> xyz"}, {"a", "xyz"}},
        {{"<font size=1e1>a</font> xyz"}, {"a f1", "xyz"}}, {{"<font size=6 0>a</font> xyz"}, {"a f6", "xyz"}},
        // A "size" found only in the blank-removed line is not read.
        {{"<font si ze=5>x</font> y"}, {"x", "y"}},
        // "size" without a number: the tag goes on from behind "size", its
        // ">" is that of the end tag, and the words after it are taken.
        {{"<font color=red>Invalid scroll size</font> tail", "next"}, {"tail", "next"}},
        // A font tag alone on its line: no later "font", so its size is not
        // read, and the next line is skipped up to its first ">". Passing
        // that ">" counts it off the nesting, which stands at -1 for the rest
        // of the line: the next tag runs to the end of the line and stays
        // open until a "<" and its ">" match.
        {{"<font size=2>", "skipped words here", "taken"}, {"taken"}},
        {{"<font size=2>", "skipped <a href=x>link</a> kept", "still inside", "<p> next line"},
         {"link", "next", "line"}},
        // The nesting stops at 32,767 unclosed tags.
        {{std::string(80000, '<') + " x", std::string(40000, '>') + " y"}, {"y"}},
    };
    for (const Case& c : cases) {
        Scan scan;
        if (c.setting == 'L') scan.settings.Language = c.value;
        if (c.setting == 'T') scan.settings.TableWeight = c.value;
        if (c.setting == 'D') scan.settings.DivWeight = c.value;
        if (c.setting == 'K') scan.settings.ExistingKeywordsWeight = c.value;
        for (const std::string& line : c.lines) scan(line);
        EXPECT_EQ(scan.words, c.words) << c.lines[0].substr(0, 80);
    }
}

// Every byte value at every place of a run of letters, both in the part
// read sixteen bytes at a time and in the tail.
TEST(Scanner, WordLengthStopsAtEveryByteThatIsNoLetter) {
    for (int c = 0; c < 256; ++c) {
        for (int at = 0; at < 40; ++at) {
            std::string text = " " + std::string(40, at % 2 ? 'Q' : '\xE9');
            text[static_cast<std::size_t>(at) + 1] = static_cast<char>(c);
            const int32_t want = IsWordChar(static_cast<unsigned char>(c), false, "") ? 40 : at;
            ASSERT_EQ(Scanner::WordLength(text, 2, false, ""), want) << c << " " << at;
        }
    }
}

// Each end tag restores the size that stood before its start tag; one
// too many is reported.
TEST(Scanner, EndFontTagsRestoreTheSizesInReverseOrder) {
    Scan scan;
    EXPECT_EQ(scan("<font size=1>a <font size=5>b </font>c </font>d </font>e").words, (V{"a f1", "b f5", "c f1", "d", "e"}));
    EXPECT_EQ(scan.report.Text(), "  File contains an invalid end-font tag.\r\n");
}

TEST(Scanner, HundredThousandNestedFontTagsStayBounded) {
    Scan scan;
    std::string open, close;
    for (int i = 0; i < 100000; ++i) open += "<font size=+1>", close += "</font>";
    scan(open + "deep" + close + " out");
    EXPECT_EQ(scan.words, (V{"deep f7", "out"}));
    EXPECT_LE(scan.state.FontSizeStack.size(), 32767u + 16u);
}

// Runs of blanks of every length before the tags: each tag finds its own
// size in the blank-removed line.
TEST(Scanner, EveryFontTagReadsItsOwnSizeWhateverTheBlanksBefore) {
    Scan scan;
    std::string line = " ";
    V expected;
    for (int k = 0; k < 60; ++k) {
        const int size = 1 + k % 7;
        const std::string word = std::string("w") + static_cast<char>('a' + k % 26) + static_cast<char>('a' + k / 26);
        line += "<font size=" + std::to_string(size) + ">" + word + "</font>" + std::string(static_cast<size_t>(k), ' ') +
                "plain" + std::string(static_cast<size_t>(k % 9), ' ');
        expected.push_back(size == 3 ? word : word + " f" + std::to_string(size));
        expected.push_back("plain");
    }
    EXPECT_EQ(scan(line).words, expected);
}

// The tag handler's searches of "the rest" against the rest built the plain
// way (blanks removed, A-Z folded) on texts made of the searched words cut
// by blanks, in both cases, from every starting position.
TEST(Scanner, SearchesIgnoringBlanksFindWhatTheBlankFreeRestHolds) {
    const struct {
        std::string_view pattern;
        std::size_t anchor;
    } searches[] = {{"name=\"description\"", 4}, {"name=\"keywords\"", 4}, {"font", std::string_view::npos},
                    {"size", std::string_view::npos}};
    std::mt19937 rng(7);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        while (text.size() < 60) {
            const std::string_view piece = searches[rng() % 4].pattern;
            for (std::size_t i = rng() % 3; i < piece.size(); ++i) {
                if (rng() % 5 == 0) text.append(rng() % 3, ' ');
                text += rng() % 4 == 0 && piece[i] >= 'a' ? static_cast<char>(piece[i] - 32) : piece[i];
                if (rng() % 9 == 0) text += "xN="[rng() % 3];
            }
        }
        for (const auto& search : searches) {
            for (std::size_t from = 0; from <= text.size(); ++from) {
                std::string rest;
                std::vector<std::size_t> at;
                for (std::size_t i = from; i < text.size(); ++i) {
                    if (text[i] == ' ') continue;
                    rest += text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] + 32) : text[i];
                    at.push_back(i);
                }
                const std::size_t p = rest.find(search.pattern);
                ASSERT_EQ(Scanner::FindIgnoringBlanks(text, from, search.pattern, search.anchor),
                          p == std::string::npos ? p : at[p])
                    << text << " from " << from << " " << search.pattern;
            }
        }
    }
}

}  // namespace
