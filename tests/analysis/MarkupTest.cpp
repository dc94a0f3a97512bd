#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "analysis/Markup.h"
#include "common/StrProc.h"

using namespace zelk;

namespace {

// The procedures as the rules read, kept as the reference for the
// one-pass versions.

std::string LiteralReplaceIgnoringCase(std::string text, const std::string& find,
                                       const std::string& repl) {
    while (true) {
        long p = InStr(1, LowerCaseAccented(text), LowerCaseAccented(find));
        if (p == 0) return text;
        text = Left(text, p - 1) + repl + Mid(text, p + static_cast<long>(find.size()));
    }
}

std::string LiteralNormaliseMarkup(std::string s) {
    auto r = [&](const char* f, char code) { s = Replace(s, f, std::string(1, code)); };
    auto ri = [&](const char* f, char code) { s = LiteralReplaceIgnoringCase(s, f, std::string(1, code)); };
    r("&nbsp;", ' '); r("&#160;", ' '); r("&quot;", '"'); r("&laquo;", '"'); r("&raquo;", '"');
    r("<b>", 11); r("</b>", 12); r("<strong>", 11); r("</strong>", 12); r("<i>", 16); r("</i>", 17); r("<em>", 16);
    r("</em>", 17); r("<title>", 14); r("</title>", 15);
    r("<h1>", 6); r("</h1>", 7); r("<h2>", 5); r("</h2>", 7); r("<h3>", 4); r("</h3>", 7);
    r("<h4>", 3); r("</h4>", 7); r("<h5>", 2); r("</h5>", 7); r("<h6>", 1); r("</h6>", 7);
    r("<B>", 11); r("</B>", 12); r("<I>", 16); r("</I>", 17);
    ri("<STRONG>", 11); ri("</STRONG>", 12); ri("<EM>", 16); ri("</EM>", 17); ri("<TITLE>", 14); ri("</TITLE>", 15);
    r("<H1>", 6); r("</H1>", 7); r("<H2>", 5); r("</H2>", 7); r("<H3>", 4); r("</H3>", 7);
    r("<H4>", 3); r("</H4>", 7); r("<H5>", 2); r("</H5>", 7); r("<H6>", 1); r("</H6>", 7);
    return s;
}

void LiteralDecodeEntities(std::string& s) {
    const std::string& table = EntityTable();
    long start = 1;
    while (true) {
        long a = InStr(start, s, "&");
        if (a == 0) return;
        long b = InStr(a, s, ";");
        if (b == 0) return;
        std::string cand = Mid(s, a, b - a + 1);
        if (cand == "&quot;") {
            s = Left(s, a - 1) + "\"" + Mid(s, b + 1);
            start = a + 1;
            continue;
        }
        long t = InStr(1, table, cand);
        if (t == 0) {
            start = b + 1;
            continue;
        }
        std::string ch = Mid(table, t + static_cast<long>(cand.size()), 1);
        s = Left(s, a - 1) + ch + Mid(s, b + 1);
        start = a + 1;
    }
}

}  // namespace

// Lines made of pieces of tags and entities; the entity step also on the
// line as the markup step leaves it, as the driver prepares a line.
TEST(Markup, OnePassEqualsTheReferenceOnRandomLines) {
    std::mt19937 rng(42);
    const std::vector<std::string> pieces = {
        "<", ">", "&", ";", "/", "b", "B", "i", "I", "h", "H", "1", "6", "7", "strong", "STRONG", "StRoNg", "em",
        "Em", "title", "TITLE", "<b>", "</b>", "<B>", "</I>", "<em>", "</EM>", "<title>", "</Title>", "<h1>",
        "</H6>", "<H3>", "&nbsp;", "&#160;", "&quot;", "&laquo;", "&raquo;", "nbsp", "quot", "x", " ", "\xC9",
        "\x0b", "<strong", "</strong", "amp", "&amp;", "&eacute;", "&Eacute;", "&#8212;", "&copy;", "&yuml;",
        "&euro;", "eacute", "&e", "acute;", "T", "#", "&AElig;", "&szlig", "\xA9", "& &nbsp;", "&amp;&"};
    for (int round = 0; round < 80000; ++round) {
        std::string s;
        const int len = static_cast<int>(rng() % 16);
        for (int i = 0; i < len; ++i) s += pieces[rng() % pieces.size()];
        std::string fast = s;
        NormaliseMarkup(fast);
        const std::string normalised = LiteralNormaliseMarkup(s);
        ASSERT_EQ(fast, normalised) << ::testing::PrintToString(s);
        for (std::string line : {s, normalised}) {
            std::string want = line;
            LiteralDecodeEntities(want);
            DecodeEntities(line);
            ASSERT_EQ(line, want) << ::testing::PrintToString(s);
        }
    }
}

// Both procedures read this text; a damaged table goes unnoticed otherwise.
TEST(Markup, EntityTableText) {
    const std::string& t = EntityTable();
    const std::string head = "&copy;\xA9 &amp;& &nbsp;  &#160;  &#8212;\x97 &AElig;\xC6 ";
    const std::string tail = "&yacute;\xFD &yuml;\xFF";
    EXPECT_EQ(t.substr(0, head.size()), head);
    EXPECT_EQ(t.substr(t.size() - tail.size()), tail);
    EXPECT_EQ(std::count(t.begin(), t.end(), ';'), 67);
}

TEST(ReplaceIgnoringCase, EmptyOrGrowingPatterns) {
    EXPECT_EQ(ReplaceIgnoringCase("abc", "", "x"), "abc");
    // A replacement holding the searched text would never end: each
    // occurrence in the given text is replaced once.
    EXPECT_EQ(ReplaceIgnoringCase("xAx", "a", "aa"), "xaax");
}

TEST(ReplaceIgnoringCase, SameAsTheRestartingLoopOnRandomInputs) {
    std::mt19937 rng(99);
    const std::vector<std::string> alphabet = {"a", "A", "b", "B", "\xC9", "\xE9", "<", ">"};
    auto word = [&](int maxLen) {
        std::string s;
        const int len = static_cast<int>(rng() % static_cast<unsigned>(maxLen + 1));
        for (int i = 0; i < len; ++i) s += alphabet[rng() % alphabet.size()];
        return s;
    };
    for (int round = 0; round < 40000; ++round) {
        const std::string text = word(14);
        std::string find = word(3);
        if (find.empty()) find = "a";
        std::string repl = word(2);
        // The reference would loop for ever when the replacement holds the
        // searched text or can grow without end; compare on shrinking ones.
        if (repl.size() >= find.size()) repl = repl.substr(0, find.size() - 1);
        ASSERT_EQ(ReplaceIgnoringCase(text, find, repl), LiteralReplaceIgnoringCase(text, find, repl))
            << ::testing::PrintToString(text) << " " << ::testing::PrintToString(find) << " "
            << ::testing::PrintToString(repl);
    }
}
