// Word characters, the common-word lists and their look-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "analysis/CommonWords.h"
#include "analysis/WordChars.h"
#include "common/StrProc.h"
#include "support/RecordingPrompter.h"
#include "support/TempDir.h"

using namespace zelk;
using zelk::testing::RecordingPrompter;
using zelk::testing::ShownBox;
using zelk::testing::TempDir;
using zelk::testing::WriteBytes;

namespace {

using V = std::vector<std::string>;

// Distinct letter-only words.
std::string LetterWord(int n) {
    std::string w = "w";
    for (; n > 0 || w.size() == 1; n /= 26) w += static_cast<char>('a' + n % 26);
    return w;
}

}  // namespace

TEST(WordChars, LettersDigitsAndExtras) {
    // Letters are A-Z, a-z and the accented letters of Windows-1252 from
    // 192 up, but for the multiplication and division signs.
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 192 && c != 215 && c != 247);
        EXPECT_EQ(IsWordChar(static_cast<unsigned char>(c), false, ""), letter) << c;
    }
    // Digits when asked for; hyphen and apostrophe in French only.
    EXPECT_TRUE(IsWordChar('5', true, "") && IsWordChar('-', false, ExtraWordChars(1)) && IsWordChar('\'', false, ExtraWordChars(1)));
    EXPECT_FALSE(IsWordChar('\'', false, ExtraWordChars(0)) || IsWordChar('-', false, ExtraWordChars(0)));
}

TEST(CommonWords, LinesSplitIntoSortedDistinctWords) {
    TempDir dir;
    WriteBytes(dir / "cwds_en.txt", "The  AND,of\r\n\r\n  the\r\nCaf\xC9\tx\xA0y\r\nl'homme\r\n");
    WriteBytes(dir / "cwds_fr.txt", "l'homme peut-\xCAtre\r\n");
    WriteBytes(dir / "cwds_pt.txt", std::string(200, '\x01'));
    WriteBytes(dir / "cwds_es.txt", "el");  // shorter than five bytes: still text
    CommonWords cw(dir.path());
    EXPECT_EQ(cw.ReadCommonWords(0), 8);
    EXPECT_EQ(cw.Words(0), (V{"and", "caf\xE9", "homme", "l", "of", "the", "x", "y"}));
    EXPECT_EQ(cw.ReadCommonWords(1), 2);
    EXPECT_EQ(cw.Words(1), (V{"l'homme", "peut-\xEAtre"}));
    EXPECT_EQ(cw.ReadCommonWords(2), 0);  // missing
    EXPECT_EQ(cw.ReadCommonWords(4), 0);  // not text
    EXPECT_EQ(cw.ReadCommonWords(5), 1);
}

// The message names the language; the list of all languages is "another
// language".
TEST(CommonWords, TooManyWordsKeepsTheFirst2000Read) {
    TempDir dir;
    std::string file;
    // Written in descending order, so the first 2000 read are not the
    // 2000 smallest.
    for (int i = 2000; i >= 0; --i) file += LetterWord(i) + "\r\n";
    WriteBytes(dir / "cwds_de.txt", file);
    CommonWords cw(dir.path());
    RecordingPrompter prompts;
    EXPECT_EQ(cw.ReadCommonWords(2, &prompts), 2000);
    EXPECT_FALSE(cw.IsCommonWord(LetterWord(0), 2));
    EXPECT_TRUE(cw.IsCommonWord(LetterWord(1), 2));
    // Repeats do not count towards the limit.
    std::string repeated;
    for (int i = 0; i < 2001; ++i) repeated += LetterWord(i % 2000) + " " + LetterWord(i % 2000) + "\r\n";
    WriteBytes(dir / "cwds_en_de_es_pt_it_fr.txt", repeated);
    EXPECT_EQ(cw.ReadCommonWords(6, &prompts), 2000);
    const std::string text = "The file " + dir.path() + "/cwds_de.txt contains too many common words in ";
    EXPECT_EQ(prompts.shown, (std::vector<ShownBox>{{text + "German.", "Too many common words", Icon::Exclamation,
                                                     Buttons::Ok, Answer::Ok}}));
    cw.ReportTooManyCommonWords(prompts, 6);
    EXPECT_EQ(prompts.shown.back().text, "The file " + dir.path() +
                                             "/cwds_en_de_es_pt_it_fr.txt contains too many common words in "
                                             "another language.");
}

// At start-up a missing list is reported only for the selected language and
// only when common words are to be ignored (the text: CliTest.cpp).
TEST(CommonWords, OnlyTheSelectedMissingListIsReported) {
    TempDir dir;
    WriteBytes(dir / "cwds_en.txt", "the\r\n");
    CommonWords cw;
    RecordingPrompter prompts;
    EXPECT_FALSE(cw.ReadAllCommonWords(dir.path(), nullptr, &prompts, 0, true));
    EXPECT_FALSE(cw.ReadAllCommonWords(dir.path(), nullptr, &prompts, 5, false));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(cw.ReadAllCommonWords(dir.path(), nullptr, &prompts, 5, true));
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST(CommonWords, ShippedListsLoadAndTheLookupEqualsTheSortedScan) {
    CommonWords cw;
    RecordingPrompter prompts;
    EXPECT_FALSE(cw.ReadAllCommonWords(ZELK_SOURCE_DATA_DIR, nullptr, &prompts, 0, true));
    EXPECT_TRUE(prompts.shown.empty());
    for (int i = 0; i < kCommonWordLanguages; ++i) {
        EXPECT_GT(cw.Count(i), 250) << i;
        EXPECT_LE(cw.Count(i), kMaxCommonWords) << i;
    }
    EXPECT_TRUE(cw.IsCommonWord("au-del\xC0", 1));
    // Languages out of range have no list; long words are folded whole.
    EXPECT_FALSE(cw.IsCommonWord("the", 7) || cw.IsCommonWord("the", -1));
    ASSERT_TRUE(cw.AddCommonWordsFromLine(0, std::string(100, 'q') + " "));
    EXPECT_TRUE(cw.IsCommonWord(std::string(100, 'Q'), 0));
    EXPECT_FALSE(cw.IsCommonWord(std::string(99, 'q'), 0));
    std::mt19937 rng(5);
    const std::string letters = "aeinorstuAEST\xE9\xC9'-";
    for (int round = 0; round < 20000; ++round) {
        std::string w;
        const int len = 1 + static_cast<int>(rng() % 5);
        for (int i = 0; i < len; ++i) w += letters[rng() % letters.size()];
        const int lang = static_cast<int>(rng() % kCommonWordLanguages);
        const std::vector<std::string>& list = cw.Words(lang);
        ASSERT_EQ(cw.IsCommonWord(w, lang), std::binary_search(list.begin(), list.end(), LowerCaseAccented(w))) << w;
    }
    for (int lang = 0; lang < kCommonWordLanguages; ++lang)
        for (const std::string& w : cw.Words(lang)) ASSERT_TRUE(cw.IsCommonWord(w, lang));
}
