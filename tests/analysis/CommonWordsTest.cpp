#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "analysis/CommonWords.h"
#include "analysis/ScriptedHost.h"
#include "analysis/WordChars.h"
#include "common/StrProc.h"
#include "insertion/TempDir.h"

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
    EXPECT_TRUE(IsWordChar('a', false, ""));
    EXPECT_TRUE(IsWordChar('Z', false, ""));
    EXPECT_TRUE(IsWordChar(192, false, ""));
    EXPECT_TRUE(IsWordChar(214, false, ""));
    EXPECT_FALSE(IsWordChar(215, false, ""));
    EXPECT_TRUE(IsWordChar(216, false, ""));
    EXPECT_FALSE(IsWordChar(247, false, ""));
    EXPECT_TRUE(IsWordChar(255, false, ""));
    EXPECT_FALSE(IsWordChar(191, false, ""));
    EXPECT_FALSE(IsWordChar(0x8A, false, ""));  // Š is not a letter here
    EXPECT_FALSE(IsWordChar('5', false, ""));
    EXPECT_TRUE(IsWordChar('5', true, ""));
    EXPECT_FALSE(IsWordChar('-', false, ""));
    EXPECT_TRUE(IsWordChar('-', false, ExtraWordChars(1)));
    EXPECT_TRUE(IsWordChar('\'', false, ExtraWordChars(1)));
    EXPECT_FALSE(IsWordChar('\'', false, ExtraWordChars(0)));
    EXPECT_FALSE(IsWordChar(0, false, ""));
}

TEST(CommonWords, LinesSplitIntoSortedDistinctWords) {
    TempDir dir;
    WriteBytes(dir / "cwds_en.txt", "The  AND,of\r\n\r\n  the\r\nCaf\xC9\tx\xA0y\r\nl'homme\r\n");
    WriteBytes(dir / "cwds_fr.txt", "l'homme peut-\xCAtre\r\n");
    CommonWords cw(dir.path());
    EXPECT_EQ(cw.ReadCommonWords(0), 8);
    EXPECT_EQ(cw.Words(0), (V{"and", "caf\xE9", "homme", "l", "of", "the", "x", "y"}));
    EXPECT_EQ(cw.ReadCommonWords(1), 2);
    EXPECT_EQ(cw.Words(1), (V{"l'homme", "peut-\xEAtre"}));
    EXPECT_TRUE(cw.IsCommonWord("Caf\xC9", 0));
    EXPECT_TRUE(cw.IsCommonWord("THE", 0));
    EXPECT_FALSE(cw.IsCommonWord("th", 0));
    EXPECT_FALSE(cw.IsCommonWord("the", 2));  // German list not read
    EXPECT_TRUE(cw.IsCommonWord("L'Homme", 1));
    EXPECT_FALSE(cw.IsCommonWord("the", 9));
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

TEST(CommonWords, MissingOrBinaryListIsEmpty) {
    TempDir dir;
    std::string binary(200, '\x01');
    WriteBytes(dir / "cwds_pt.txt", binary);
    CommonWords cw(dir.path());
    EXPECT_EQ(cw.ReadCommonWords(4), 0);
    EXPECT_EQ(cw.ReadCommonWords(5), 0);
    EXPECT_FALSE(cw.IsCommonWord("", 5));
    WriteBytes(dir / "cwds_es.txt", "el");  // shorter than five bytes: still text
    EXPECT_EQ(cw.ReadCommonWords(5), 1);
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
    EXPECT_EQ(CommonWords::MessageLanguageName(1), "French");
}

TEST(CommonWords, ShippedListsAllLoad) {
    CommonWords cw;
    RecordingPrompter prompts;
    EXPECT_FALSE(cw.ReadAllCommonWords(ZELK_SOURCE_DATA_DIR, nullptr, &prompts, 0, true));
    EXPECT_TRUE(prompts.shown.empty());
    for (int i = 0; i < kCommonWordLanguages; ++i) {
        EXPECT_GT(cw.Count(i), 250) << i;
        EXPECT_LE(cw.Count(i), kMaxCommonWords) << i;
    }
    EXPECT_TRUE(cw.IsCommonWord("The", 0));
    EXPECT_TRUE(cw.IsCommonWord("au-del\xC0", 1));
}

TEST(CommonWords, LookupEqualsTheSortedScanOnRandomWords) {
    CommonWords cw;
    cw.ReadAllCommonWords(ZELK_SOURCE_DATA_DIR, nullptr, nullptr, 0, false);
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
