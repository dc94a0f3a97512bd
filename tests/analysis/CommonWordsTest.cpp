#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "analysis/CommonWords.h"
#include "analysis/ScriptedHost.h"
#include "analysis/WordChars.h"
#include "common/StrProc.h"
#include "support/TempDir.h"

using namespace zelk;
using zelk::testing::RecordingPrompter;
using zelk::testing::ScriptedHost;
using zelk::testing::ShownBox;
using zelk::testing::TempDir;
using zelk::testing::WriteBytes;

namespace {

using V = std::vector<std::string>;

// Distinct letter-only words: "ba", "bb", ... in base 26.
std::string LetterWord(int n) {
    std::string w;
    do {
        w.insert(w.begin(), static_cast<char>('a' + n % 26));
        n /= 26;
    } while (n > 0);
    return "w" + w;
}

// The lookup as the rule reads: a scan of the sorted list that stops at the
// first greater entry.
bool LiteralIsCommonWord(const CommonWords& cw, std::string_view word, int language) {
    const std::string w = LowerCaseAccented(word);
    for (const std::string& entry : cw.Words(language)) {
        if (entry == w) return true;
        if (entry > w) return false;
    }
    return false;
}

}  // namespace

TEST(WordChars, LettersDigitsAndExtras) {
    // Letters are A-Z, a-z and the accented letters of Windows-1252 from
    // 192 up, but for the multiplication and division signs.
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 192 && c != 215 && c != 247);
        EXPECT_EQ(IsWordChar(static_cast<unsigned char>(c), false, ""), letter) << c;
    }
    EXPECT_TRUE(IsWordChar('5', true, ""));
    EXPECT_TRUE(IsWordChar('-', false, ExtraWordChars(1)));
    EXPECT_TRUE(IsWordChar('\'', false, ExtraWordChars(1)));
    EXPECT_FALSE(IsWordChar('\'', false, ExtraWordChars(0)));
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
    EXPECT_TRUE(cw.IsCommonWord(LetterWord(2000), 2));
    EXPECT_TRUE(std::is_sorted(cw.Words(2).begin(), cw.Words(2).end()));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0],
              (ShownBox{"The file " + dir.path() + "/cwds_de.txt contains too many common words in German.",
                        "Too many common words", Icon::Exclamation, Buttons::Ok, Answer::Ok}));
    // Repeats do not count towards the limit.
    std::string repeated;
    for (int i = 0; i < 2000; ++i) repeated += LetterWord(i) + " " + LetterWord(i) + "\r\n";
    WriteBytes(dir / "cwds_it.txt", repeated);
    EXPECT_EQ(cw.ReadCommonWords(3, &prompts), 2000);
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST(CommonWords, StartUpReadingShowsProgressAndReportsTheSelectedList) {
    TempDir dir;
    for (const char* code : {"en", "fr", "de", "it", "pt", "en_de_es_pt_it_fr"})
        WriteBytes(dir / (std::string("cwds_") + code + ".txt"), "the\r\n");
    ScriptedHost host;
    host.output = "old";
    std::vector<std::string> progress;
    CommonWords cw;
    bool uncheck = cw.ReadAllCommonWords(dir.path(), &host, &host.prompts, 5, true,
                                         [&] { progress.push_back(host.output); });
    EXPECT_TRUE(uncheck);
    ASSERT_EQ(progress.size(), 7u);
    EXPECT_EQ(progress[0], "Reading common words in English");
    EXPECT_EQ(progress[1], "Reading common words in English, German");
    EXPECT_EQ(progress[6],
              "Reading common words in English, German, Spanish, Portuguese, Italian, French, "
              "and all six languages");
    EXPECT_EQ(host.output, "");
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_EQ(host.prompts.shown[0],
              (ShownBox{"Common words in Spanish could not be read from file\r\n" + dir.path() +
                            "/cwds_es.txt.",
                        "Common words not available", Icon::Exclamation, Buttons::Ok, Answer::Ok}));
    EXPECT_EQ(cw.Count(0), 1);
    EXPECT_EQ(cw.Count(5), 0);

    // Not reported when the box is unchecked, nor for another language.
    ScriptedHost quiet;
    EXPECT_FALSE(cw.ReadAllCommonWords(dir.path(), &quiet, &quiet.prompts, 5, false));
    EXPECT_FALSE(cw.ReadAllCommonWords(dir.path(), &quiet, &quiet.prompts, 0, true));
    EXPECT_TRUE(quiet.prompts.shown.empty());
}

TEST(CommonWords, AllSixListIsAnotherLanguage) {
    TempDir dir;
    CommonWords cw(dir.path());
    RecordingPrompter prompts;
    cw.ReportCommonWordsUnavailable(prompts, 6);
    cw.ReportTooManyCommonWords(prompts, 6);
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].text, "Common words in another language could not be read from file\r\n" +
                                         dir.path() + "/cwds_en_de_es_pt_it_fr.txt.");
    EXPECT_EQ(prompts.shown[1].text, "The file " + dir.path() +
                                         "/cwds_en_de_es_pt_it_fr.txt contains too many common "
                                         "words in another language.");
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
    std::mt19937 rng(5);
    const std::string letters = "aeinorstuAEST\xE9\xC9'-";
    for (int round = 0; round < 20000; ++round) {
        std::string w;
        const int len = 1 + static_cast<int>(rng() % 5);
        for (int i = 0; i < len; ++i) w += letters[rng() % letters.size()];
        const int lang = static_cast<int>(rng() % kCommonWordLanguages);
        ASSERT_EQ(cw.IsCommonWord(w, lang), LiteralIsCommonWord(cw, w, lang)) << w;
    }
    for (int lang = 0; lang < kCommonWordLanguages; ++lang)
        for (const std::string& w : cw.Words(lang)) ASSERT_TRUE(cw.IsCommonWord(w, lang));
}

TEST(CommonWords, LookupFoldsCaseAndFollowsChanges) {
    CommonWords common;
    EXPECT_FALSE(common.IsCommonWord("the", 0));
    ASSERT_TRUE(common.AddCommonWordsFromLine(0, "the and \xE9t\xE9 " + std::string(100, 'q') + " "));
    for (const std::string& w : V{"the", "THE", "\xC9T\xC9", std::string(100, 'Q')})
        EXPECT_TRUE(common.IsCommonWord(w, 0)) << w;
    for (const std::string& w : V{"then", "th", "", std::string(99, 'q')})
        EXPECT_FALSE(common.IsCommonWord(w, 0)) << w;
    EXPECT_FALSE(common.IsCommonWord("the", 1));
    EXPECT_FALSE(common.IsCommonWord("the", 7));
    EXPECT_FALSE(common.IsCommonWord("the", -1));
    ASSERT_TRUE(common.AddCommonWordsFromLine(0, "then "));
    EXPECT_TRUE(common.IsCommonWord("Then", 0));
}
