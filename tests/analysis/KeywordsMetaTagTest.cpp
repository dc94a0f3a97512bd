#include <gtest/gtest.h>

#include <random>

#include "analysis/KeywordsMetaTag.h"
#include "common/StrProc.h"

using namespace zelk;

namespace {

// The composition as the rule reads, with the plain substring search; the
// reference for the indexed search.
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

// The count lines and "No words": LiteralCompose below and CliTest.cpp.
TEST(KeywordsMetaTag, LimitsAreTheLeadingNumberOfTheBoxText) {
    KeywordsInputs in;
    in.singleFile = false;
    in.maxBytesText = "abc";
    const WordTable t{{{"one", 1, 3.0f}, {"two", 1, 2.0f}, {"three", 1, 1.0f}}};
    // "2.5" halves to the even neighbour; a negative limit is no limit.
    const std::pair<const char*, const char*> limits[] = {
        {"2 keywords", "one, two"}, {"2.5", "one, two"}, {"3.5", "one, two, three"}, {"-4", "one, two, three"},
        {" 2", "one, two, three"}, {"1e1", "one"}, {"+ 2", "one, two, three"}};
    for (const auto& [text, content] : limits) {
        in.maxKeywordsText = text;
        EXPECT_EQ(GenerateKeywordMetaTag(t, in).text, "<meta name=\"keywords\" content=\"" + std::string(content) + "\">")
            << text;
    }
}

TEST(KeywordsMetaTag, IndexedSearchEqualsThePlainSearchOnRandomTables) {
    std::mt19937 rng(2024);
    const std::string letters = "abcAB\xE9\xC9-'  ,";
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
        // Fixed keywords: the two replacements run once each ("x,  y" keeps
        // two blanks), and a word found in the tag so far is skipped.
        static const char* const fixed[] = {"", "", "cab, ab,", " Ba ,c  ", "x,  y", "alpha ,beta", "Garden tools"};
        in.beginWith = fixed[rng() % 7];
        const unsigned flags = rng();
        in.forwardSlash = flags & 1, in.singleFile = flags & 2, in.insertVPMT = flags & 4, in.vpmtText = "v";
        ASSERT_EQ(GenerateKeywordMetaTag(t, in).text, LiteralCompose(t, in)) << round;
    }
}
