// Markup normalisation and entity decoding against the procedures as the
// rules read them.
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

// Each replacement over the whole line in turn; the capital forms of strong,
// em and title in any mix of cases.
std::string LiteralNormaliseMarkup(std::string s) {
    static const struct {
        const char* find;
        char code;
        bool anyCase = false;
    } steps[] = {
        {"&nbsp;", ' '},     {"&#160;", ' '},     {"&quot;", '"'},       {"&laquo;", '"'},     {"&raquo;", '"'},
        {"<b>", 11},         {"</b>", 12},        {"<strong>", 11},      {"</strong>", 12},    {"<i>", 16},
        {"</i>", 17},        {"<em>", 16},        {"</em>", 17},         {"<title>", 14},      {"</title>", 15},
        {"<h1>", 6},         {"</h1>", 7},        {"<h2>", 5},           {"</h2>", 7},         {"<h3>", 4},
        {"</h3>", 7},        {"<h4>", 3},         {"</h4>", 7},          {"<h5>", 2},          {"</h5>", 7},
        {"<h6>", 1},         {"</h6>", 7},        {"<B>", 11},           {"</B>", 12},         {"<I>", 16},
        {"</I>", 17},        {"<STRONG>", 11, true}, {"</STRONG>", 12, true},  {"<EM>", 16, true},      {"</EM>", 17, true},
        {"<TITLE>", 14, true},  {"</TITLE>", 15, true}, {"<H1>", 6},           {"</H1>", 7},         {"<H2>", 5},
        {"</H2>", 7},        {"<H3>", 4},         {"</H3>", 7},          {"<H4>", 3},          {"</H4>", 7},
        {"<H5>", 2},         {"</H5>", 7},        {"<H6>", 1},           {"</H6>", 7}};
    for (const auto& step : steps) {
        const std::string code(1, step.code);
        s = step.anyCase ? LiteralReplaceIgnoringCase(s, step.find, code) : Replace(s, step.find, code);
    }
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
    for (int round = 0; round < 20000; ++round) {
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
