#include <gtest/gtest.h>

#include <random>

#include "analysis/KeywordsMetaTag.h"
#include "common/StrProc.h"

using namespace zelk;

namespace {

WordTable Table(std::initializer_list<const char*> words) {
    WordTable t;
    float v = 100;
    for (const char* w : words) t.entries.push_back({w, 1, v--});
    return t;
}

KeywordsInputs Inputs(const std::string& maxKeywords, const std::string& maxBytes,
                      const std::string& beginWith = "") {
    KeywordsInputs in;
    in.maxKeywordsText = maxKeywords;
    in.maxBytesText = maxBytes;
    in.beginWith = beginWith;
    return in;
}

// Content of the tag: between content=" and the closing quote.
std::string Content(const std::string& text) {
    const std::string open = "content=\"";
    std::size_t a = text.find(open) + open.size();
    return text.substr(a, text.find('"', a) - a);
}

// The composition as the rule reads, with the plain substring search of
// step 7c; the reference for the indexed search.
std::string LiteralCompose(const WordTable& table, const KeywordsInputs& in) {
    if (table.entries.empty() && in.singleFile) return "No words";
    const int k = ValToInt16(in.maxKeywordsText);
    long long b = ValToInt16(in.maxBytesText);
    if (in.insertVPMT) b += static_cast<long long>(in.vpmtText.size()) + 2;
    std::string t = "<meta name=\"keywords\" content=\"";
    std::string fixed = Trim(in.beginWith);
    long long n = 0;
    if (!fixed.empty()) {
        if (fixed.back() == ',') fixed.pop_back();
        fixed = Replace(Replace(fixed, ",", ", "), ",  ", ", ");
        t += fixed;
        n = CountOccurrences(fixed, ",", true) + 1;
    }
    long long l = static_cast<long long>(t.size());
    for (const WordEntry& e : table.entries) {
        if (k > 0 && n + 1 > k) break;
        if (b > 0 && static_cast<long long>(e.Word.size()) + l + 1 > b) break;
        if (InStr(LowerCaseAccented(t), LowerCaseAccented(e.Word)) > 0) continue;
        if (n > 0) t += ", ";
        t += e.Word;
        ++n;
        l = static_cast<long long>(t.size());
    }
    t += in.forwardSlash ? "\" />" : "\">";
    if (in.singleFile)
        t += "\r\n\r\nNumber of keywords in meta tag:" + S(n) + "\r\nNumber of bytes in meta tag:" + S(l);
    return t;
}

}  // namespace

TEST(KeywordsMetaTag, SingleFileExampleWithCountLines) {
    KeywordsInputs in = Inputs("15", "150");
    in.forwardSlash = true;
    EXPECT_EQ(GenerateKeywordMetaTag(Table({"garden", "tool", "rake"}), in).text,
              "<meta name=\"keywords\" content=\"garden, tool, rake\" />\r\n\r\n"
              "Number of keywords in meta tag: 3\r\nNumber of bytes in meta tag: 49");
    in.forwardSlash = false;
    EXPECT_EQ(GenerateKeywordMetaTag(Table({"garden"}), in).text,
              "<meta name=\"keywords\" content=\"garden\">\r\n\r\n"
              "Number of keywords in meta tag: 1\r\nNumber of bytes in meta tag: 37");
}

TEST(KeywordsMetaTag, EmptyTable) {
    KeywordsInputs in = Inputs("15", "150", "  own, words ");
    KeywordsResult r = GenerateKeywordMetaTag(WordTable{}, in);
    EXPECT_EQ(r.text, "No words");
    in.singleFile = false;
    r = GenerateKeywordMetaTag(WordTable{}, in);
    EXPECT_EQ(r.text, "<meta name=\"keywords\" content=\"own, words\">");
    EXPECT_EQ(r.beginWithTrimmed, "own, words");
    in.beginWith = "";
    EXPECT_EQ(GenerateKeywordMetaTag(WordTable{}, in).text, "<meta name=\"keywords\" content=\"\">");
}

TEST(KeywordsMetaTag, FixedKeywordsAndTheKeywordLimit) {
    KeywordsInputs in = Inputs("3", "0", "a,b");
    in.singleFile = false;
    EXPECT_EQ(Content(GenerateKeywordMetaTag(Table({"garden", "tool"}), in).text), "a, b, garden");
    in.beginWith = "alpha,beta,";
    in.maxKeywordsText = "0";
    EXPECT_EQ(Content(GenerateKeywordMetaTag(Table({"gamma"}), in).text), "alpha, beta, gamma");
    in.beginWith = "alpha ,beta";
    EXPECT_EQ(Content(GenerateKeywordMetaTag(Table({"gamma"}), in).text), "alpha , beta, gamma");
    // The two replacements run once each: three blanks become two.
    in.beginWith = "x,  y";
    EXPECT_EQ(Content(GenerateKeywordMetaTag(Table({}), in).text), "x,  y");
    in.beginWith = "x, y";
    EXPECT_EQ(Content(GenerateKeywordMetaTag(Table({}), in).text), "x, y");
    // A word already among the fixed keywords is not repeated.
    in.beginWith = "Garden tools";
    EXPECT_EQ(Content(GenerateKeywordMetaTag(Table({"garden", "rake"}), in).text),
              "Garden tools, rake");
    in.singleFile = true;
    in.maxKeywordsText = "2";
    EXPECT_EQ(GenerateKeywordMetaTag(Table({"garden", "rake", "hoe"}), in).text,
              "<meta name=\"keywords\" content=\"Garden tools, rake\">\r\n\r\n"
              "Number of keywords in meta tag: 2\r\nNumber of bytes in meta tag: 49");
}

TEST(KeywordsMetaTag, SubstringRuleSkipsRepeatsAndTagWords) {
    KeywordsInputs in = Inputs("0", "0");
    in.singleFile = false;
    EXPECT_EQ(Content(GenerateKeywordMetaTag(
                  Table({"portable", "port", "meta", "Key", "tent", "website", "web", "Garden",
                         "garden", "Name"}),
                  in).text),
              "portable, website, Garden");
}

TEST(KeywordsMetaTag, ByteLimitStopsAtTheFirstWordThatDoesNotFit) {
    KeywordsInputs in = Inputs("0", "60");
    in.singleFile = false;
    WordTable t = Table({"abcdefghij", "klmnopqrstuvw", "xyzzy", "ba"});
    EXPECT_EQ(Content(GenerateKeywordMetaTag(t, in).text), "abcdefghij, klmnopqrstuvw");
    in.insertVPMT = true;
    in.vpmtText = std::string(40, 'v');  // allows up to 102
    EXPECT_EQ(Content(GenerateKeywordMetaTag(t, in).text), "abcdefghij, klmnopqrstuvw, xyzzy, ba");
    in.insertVPMT = false;
    // 13 + 41 + 1 = 55 may not exceed the limit.
    in.maxBytesText = "55";
    EXPECT_EQ(Content(GenerateKeywordMetaTag(t, in).text), "abcdefghij, klmnopqrstuvw");
    in.maxBytesText = "54";
    EXPECT_EQ(Content(GenerateKeywordMetaTag(t, in).text), "abcdefghij");
}

TEST(KeywordsMetaTag, LimitsAreTheLeadingNumberOfTheBoxText) {
    KeywordsInputs in = Inputs("2 keywords", "abc");
    in.singleFile = false;
    WordTable t = Table({"one", "two", "three"});
    EXPECT_EQ(Content(GenerateKeywordMetaTag(t, in).text), "one, two");
    in.maxKeywordsText = "2.5";  // halves to the even neighbour: 2
    EXPECT_EQ(Content(GenerateKeywordMetaTag(t, in).text), "one, two");
    in.maxKeywordsText = "3.5";
    EXPECT_EQ(Content(GenerateKeywordMetaTag(t, in).text), "one, two, three");
    in.maxKeywordsText = "-4";
    EXPECT_EQ(Content(GenerateKeywordMetaTag(t, in).text), "one, two, three");
}

TEST(KeywordsMetaTag, CountOccurrences) {
    EXPECT_EQ(CountOccurrences("a,b,,c", ",", true), 3);
    EXPECT_EQ(CountOccurrences("aaaa", "aa", true), 2);
    EXPECT_EQ(CountOccurrences("", ",", true), 0);
    EXPECT_EQ(CountOccurrences("abc", "", true), 0);
    EXPECT_EQ(CountOccurrences("\xC9t\xC9 \xE9T\xE9", "\xE9t\xE9", true), 0);
    EXPECT_EQ(CountOccurrences("\xC9t\xC9 \xE9T\xE9", "\xE9t\xE9", false), 2);
}

TEST(KeywordsMetaTag, IndexedSearchEqualsThePlainSearchOnRandomTables) {
    std::mt19937 rng(2024);
    const std::string letters = "abcAB\xE9\xC9-'";
    for (int round = 0; round < 3000; ++round) {
        WordTable t;
        const int count = static_cast<int>(rng() % 60);
        for (int i = 0; i < count; ++i) {
            std::string w;
            const int len = 1 + static_cast<int>(rng() % 6);
            for (int k = 0; k < len; ++k) w += letters[rng() % letters.size()];
            t.entries.push_back({w, 1, 1.0f});
        }
        KeywordsInputs in;
        in.maxKeywordsText = std::to_string(rng() % 3 == 0 ? 0 : rng() % 40);
        in.maxBytesText = std::to_string(rng() % 3 == 0 ? 0 : 30 + rng() % 200);
        in.beginWith = rng() % 2 ? "" : (rng() % 2 ? "cab, ab," : " Ba ,c  ");
        in.forwardSlash = rng() % 2;
        in.singleFile = rng() % 2;
        in.insertVPMT = rng() % 2;
        in.vpmtText = "v";
        ASSERT_EQ(GenerateKeywordMetaTag(t, in).text, LiteralCompose(t, in)) << round;
    }
}

TEST(KeywordsMetaTag, TensOfThousandsOfWordsWithoutLimits) {
    WordTable t;
    for (int i = 0; i < 30000; ++i) {
        std::string w;
        int n = i;
        do {
            w += static_cast<char>('a' + n % 26);
            n /= 26;
        } while (n > 0);
        t.entries.push_back({"w" + w + "q", 1, 1.0f});
    }
    KeywordsInputs in = Inputs("0", "0");
    KeywordsResult r = GenerateKeywordMetaTag(t, in);
    EXPECT_EQ(r.text.substr(0, 45), "<meta name=\"keywords\" content=\"waq, wbq, wcq,");
    EXPECT_NE(r.text.find("Number of keywords in meta tag: 30000\r\n"), std::string::npos);
}
