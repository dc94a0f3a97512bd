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

// The count lines and "No words" byte for byte: CliTest.cpp.
TEST(KeywordsMetaTag, SameAsThePlainSearchOnRandomTables) {
    std::mt19937 rng(2024);
    const std::string letters = "abcAB\xE9\xC9-'  ,";
    for (int round = 0; round < 3000; ++round) {
        WordTable t;
        // Every 100th table is long and has no limits: its tag outgrows the
        // direct search and goes on in the index.
        const bool longTag = round % 100 == 0;
        const int count = longTag ? 1500 : static_cast<int>(rng() % 60);
        for (int i = 0; i < count; ++i) {
            std::string w;
            const int len = longTag ? 4 + static_cast<int>(rng() % 5) : 1 + static_cast<int>(rng() % 6);
            for (int k = 0; k < len; ++k)
                w += longTag ? static_cast<char>(rng() % 2 ? 'a' + rng() % 26 : 'A' + rng() % 26)
                             : letters[rng() % letters.size()];
            t.entries.push_back({w, 1, 1.0f});
        }
        KeywordsInputs in;
        // The limits are the leading number of the box text ("2.5" halves to
        // the even neighbour); a negative one is no limit.
        static const char* const limits[] = {"0", "-4", "2 keywords", "2.5", "3.5", "abc", "7"};
        in.maxKeywordsText = rng() % 2 ? limits[rng() % 7] : std::to_string(rng() % 40);
        in.maxBytesText = rng() % 3 == 0 ? limits[rng() % 7] : std::to_string(30 + rng() % 200);
        // Fixed keywords: the two replacements run once each ("x,  y" keeps
        // two blanks), and a word found in the tag so far is skipped.
        static const char* const fixed[] = {"", "", "cab, ab,", " Ba ,c  ", "x,  y", "alpha ,beta", "Garden tools"};
        in.beginWith = fixed[rng() % 7];
        const unsigned flags = rng();
        in.forwardSlash = flags & 1;
        in.singleFile = flags & 2;
        in.insertVPMT = flags & 4;
        in.vpmtText = "v";
        if (longTag) in.maxKeywordsText = in.maxBytesText = "0";
        ASSERT_EQ(GenerateKeywordMetaTag(t, in).text, LiteralCompose(t, in)) << round;
    }
}
