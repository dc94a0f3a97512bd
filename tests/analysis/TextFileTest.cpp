#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <tuple>

#include "analysis/InputFile.h"
#include "analysis/TextFile.h"
#include "analysis/Utf8Cleanup.h"
#include "support/LiteralUtf8.h"
#include "analysis/ScriptedHost.h"
#include "common/StrProc.h"
#include "support/TempDir.h"

using namespace zelk;
using zelk::testing::ScriptedHost;
using zelk::testing::TempDir;
using zelk::testing::WriteBytes;

// ---------------------------------------------------------------------------
// Encoding detection and the text-file test

TEST(DetectEncoding, CodesFromNameLengthAndFirstBytes) {
    TempDir dir;
    EXPECT_EQ(DetectEncoding(""), -5);
    EXPECT_EQ(DetectEncoding(dir / "none.htm"), -1);
    EXPECT_EQ(DetectEncoding(dir.path()), -1);
    // XML files by their first two bytes. The charset search (of the
    // first ten lines that are not blank, see LineReaderTest.cpp) only in
    // files with a text extension.
    const std::tuple<const char*, std::string, int> cases[] = {
        {"empty.htm", "", -2}, {"four.htm", "\xFF\xFE<h", -4}, {"rtf.htm", "{\\rtf1 x", 6}, {"a.XML", "<?xml version", 3},
        {"le.htm", std::string("\xFF\xFE<\0h\0", 6), 1}, {"be.htm", std::string("\xFE\xFF\0<\0h", 6), 2},
        {"u8.htm", "\xEF\xBB\xBF<html>", 3}, {"u32.htm", std::string("\0\0\xFE\xFF\0\0\0<", 8), 5},
        {"b.xml", std::string("<\0?\0x\0", 6), 1}, {"c.xml", std::string("\0<\0?\0x", 6), 2}, {"d.xml", "hello", 0},
        {"plain.htm", "<html>caf\xE9</html>", 0}, {"g.php", "<html>\r\n<meta charset=UTF-8>\r\n", 0},
        {"h.htm", "<html>\r\n<meta charset=UTF-8>\r\n", 3}};
    for (const auto& [name, bytes, code] : cases) {
        WriteBytes(dir / name, bytes);
        EXPECT_EQ(DetectEncoding(dir / name, true), code) << name;
    }
    EXPECT_EQ(DetectEncoding(dir / "h.htm", false), 0);
}

TEST(IsTextFile, VerdictsFromLineEndsAndEncodings) {
    TempDir dir;
    // A UTF-8 file (by its mark, or by a charset when that is searched for)
    // with LF line ends is verdict 1, never a Unix-type file.
    const std::tuple<const char*, std::string, bool, int, bool> cases[] = {
        {"crlf.htm", "<p>a</p>\r\n<p>b</p>\r\n", true, 1, false}, {"lf.htm", "<p>a</p>\n<p>b</p>\n", true, 2, false},
        {"cr.htm", "<p>a</p>\r<p>b</p>\r", true, 3, false},       {"none.htm", "<p>a</p>", true, 1, false},
        {"four.htm", "abcd", true, -4, false},                      {"rtf.htm", "{\\rtf1}", true, 6, false},
        {"u16.htm", std::string("\xFF\xFE<\0p\0>\0", 8), true, 7, false},
        {"u8.htm", "\xEF\xBB\xBF<p>a</p>\n<p>b</p>\n", true, 1, true},
        {"decl.htm", "<meta charset=UTF-8>\n<p>b</p>\n", true, 1, true},
        {"decl2.htm", "<meta charset=UTF-8>\n<p>b</p>\n", false, 2, false}};
    for (const auto& [name, bytes, charset, verdict, utf8] : cases) {
        WriteBytes(dir / name, bytes);
        const TextFileTest t = IsTextFile(dir / name, kTextTestBytes, kTextTestThreshold, charset);
        EXPECT_EQ(t.verdict, verdict) << name;
        EXPECT_EQ(t.utf8, utf8) << name;
    }
    EXPECT_EQ(IsTextFile(dir / "missing.htm", kTextTestBytes, kTextTestThreshold).verdict, -1);
    EXPECT_EQ(IsTextFile(dir.path(), kTextTestBytes, kTextTestThreshold).verdict, -1);
}

// Control bytes other than tab, form feed and backspace: more than 1 % of
// the 16,384 bytes read is not text, and so is more than 1 % of the first
// 3,277 (the early test).
TEST(IsTextFile, ControlBytesDecide) {
    TempDir dir;
    auto with = [](std::size_t from, int count, char c) {
        std::string s(20000, 'x');
        for (int i = 0; i < count; ++i) s[from + static_cast<std::size_t>(i)] = c;
        return s;
    };
    std::string nul(100, 'a');
    nul[19] = '\0';
    const std::tuple<std::string, int, int, int, double> cases[] = {
        {nul, 0, 0, 20, 1.0},
        {"a\tb\fc\bd e", 1, 32, 0, 0.0},
        {with(16384 - 16, 16, '\x01'), 1, 1, 16384 - 15, 16 * 100.0 / 16384},
        {with(16384 - 17, 17, '\x01'), 0, 1, 16384 - 16, 17 * 100.0 / 16384},
        {with(0, 33, '\x02'), 0, 2, 1, 33 * 100.0 / 3277},
        {with(0, 32, '\x02'), 0, 2, 1, 32 * 100.0 / 16384}};
    for (const auto& [bytes, verdict, badByte, badPos, percent] : cases) {
        WriteBytes(dir / "a.htm", bytes);
        const TextFileTest t = IsTextFile(dir / "a.htm", kTextTestBytes, kTextTestThreshold);
        EXPECT_EQ(t.verdict, verdict) << badPos;
        EXPECT_EQ(t.firstBadByte, badByte) << badPos;
        EXPECT_EQ(t.firstBadPos, badPos) << badPos;
        EXPECT_DOUBLE_EQ(t.nonTextPercent, percent) << badPos;
    }
}

// ---------------------------------------------------------------------------
// Reading lines, searching files

TEST(FileContainsText, CaseFoldingAndLineLimit) {
    TempDir dir;
    std::string page;
    for (int i = 0; i < 99; ++i) page += "<!-- filler -->\r\n";
    const std::string a = dir.Write("a.htm", page + "<HEAD>\r\n"), b = dir.Write("b.htm", "\xC9T\xC9");
    EXPECT_TRUE(FileContainsText(a, "<head", 100, false) && FileContainsText(a, "<head", 0, false));
    EXPECT_FALSE(FileContainsText(a, "<head", 100, true) || FileContainsText(a, "<head", 99, false));
    EXPECT_FALSE(FileContainsText(a, "", 0, false) || FileContainsText(dir / "none.htm", "<head", 100, false));
    EXPECT_TRUE(FileContainsText(b, "\xE9t\xE9", 1, false) && FileContainsText(b, "\xC9t\xC9", 1, false));
}

// ---------------------------------------------------------------------------
// UTF-8 clean-up

using zelk::testing::LiteralPunctuation;
using zelk::testing::LiteralUtf8ToLatin1;

TEST(Utf8Cleanup, LettersAndSpaces) {
    EXPECT_EQ(Utf8ToLatin1("caf\xC3\xA9"), "caf\xE9");
    EXPECT_EQ(Utf8ToLatin1("a\xC2\xA0" "b"), "a\xA0" "b");
    EXPECT_EQ(Utf8ToLatin1("a\xC2\x85" "b"), "ab");
    EXPECT_EQ(Utf8ToLatin1("\xC4\x8D" "ek"), "cek");
    EXPECT_EQ(Utf8ToLatin1("\xC3\x89" "cole"), "\xC9" "cole");
    EXPECT_EQ(Utf8ToLatin1("end\xC2"), "end\xC2");
    EXPECT_EQ(Utf8ToLatin1("\xC2\x41"), "\xC2\x41");
    // The search steps over the byte behind a deleted pair; that pair is
    // still rewritten when the same kind turns up later in the line.
    EXPECT_EQ(Utf8ToLatin1("\xC2\x85\xC2\xA0 x"), "\xC2\xA0 x");
    EXPECT_EQ(Utf8ToLatin1("\xC2\x85\xC2\xA0 \xC2\xA0"), "\xA0 \xA0");
    // C3 83 gives C3 itself, which makes a new pair behind the search.
    EXPECT_EQ(Utf8ToLatin1("\xC3\x83\xA9"), LiteralUtf8ToLatin1("\xC3\x83\xA9"));
}

TEST(Utf8Cleanup, PunctuationTable) {
    EXPECT_EQ(Utf8PunctuationToAscii("\xE2\x80\x9Cquote\xE2\x80\x9D"), "\"quote\"");
    EXPECT_EQ(Utf8PunctuationToAscii("a\xE2\x80\x94" "b\xE2\x80\xA6"), "a -- b...");
    EXPECT_EQ(Utf8PunctuationToAscii("\xE2\x80\x97\xE2\x80\xA2\xE2\x80\xB9\xE2\x80\xBA"),
              "\x89 . <>");
    EXPECT_EQ(Utf8PunctuationToAscii("x\xE2\x80\xAFy\xE2\x80\x94z"), "xy\xE2\x80\x94z");
    EXPECT_EQ(Utf8PunctuationToAscii("it\xE2\x80\x99s \xE2\x80\xAF ok"), "it's \xE2\x80\xAF ok");
    EXPECT_EQ(Utf8PunctuationToAscii("plain"), "plain");
    // A line that ends inside the sequence loses the two bytes.
    EXPECT_EQ(Utf8PunctuationToAscii("abc\xE2\x80"), "abc");
}

TEST(Utf8Cleanup, SamePassesAsTheSearchLoopOnRandomLines) {
    std::mt19937 rng(1234);
    const std::vector<std::string> pieces = {
        "\xC2", "\xC3", "\xC4", "\x8D", "\x80", "\x83", "\x85", "\x9F", "\xA0", "\xA9", "\xBF",
        "\xC0", "a", " ", "\xE2\x80", "\xE2", "\x90", "\x94", "\x99", "\xA2", "\xAF", "\xBA",
        "\xC2\xA0", "\xC3\xA9", "\xC2\x85", "\xC3\x83"};
    for (int round = 0; round < 30000; ++round) {
        std::string s;
        const int len = static_cast<int>(rng() % 14);
        for (int i = 0; i < len; ++i) s += pieces[rng() % pieces.size()];
        ASSERT_EQ(Utf8ToLatin1(s), LiteralUtf8ToLatin1(s)) << ::testing::PrintToString(s);
        ASSERT_EQ(Utf8PunctuationToAscii(s), LiteralPunctuation(s)) << ::testing::PrintToString(s);
    }
}

// Long lines full of the patterns that make the search loop differ from a
// single pass (lead bytes before leads, deleted pairs, C3 83 giving C3).
TEST(Utf8Cleanup, LongCraftedLinesMatchTheSearchLoop) {
    std::mt19937 rng(99);
    const std::vector<std::string> pieces = {"\xC2", "\xC3", "\x80", "\x83", "\x85", "\x9F",
                                             "\xA0", "\xA9", "\xBF", "\xC3\x83", "\xC2\x85",
                                             "\xC2\xC2", "a"};
    for (int round = 0; round < 400; ++round) {
        std::string s;
        const int len = 50 + static_cast<int>(rng() % 400);
        for (int i = 0; i < len; ++i) s += pieces[rng() % pieces.size()];
        ASSERT_EQ(Utf8ToLatin1(s), LiteralUtf8ToLatin1(s)) << ::testing::PrintToString(s);
    }
    // Nested runs, where every replacement opens the next pair, and dense
    // pairs, where each deletion makes the search step over the next lead.
    std::string cycle;
    for (int x = 0x80; x <= 0xBF; ++x) cycle += std::string("\xC2") + static_cast<char>(x) + "\xC3";
    for (int k : {1, 2, 7, 60}) {
        const std::size_t z = static_cast<std::size_t>(k);
        std::string c2, c3, dense;
        for (int r = 0; r < 40; ++r) {
            c2 += std::string(z, '\xC2') + std::string(z, '\x80') + std::string(z, '\xA0');
            c3 += std::string(z, '\xC3') + std::string(z, '\x83');
            dense += cycle.substr(z % 7, z * 3);
        }
        for (const std::string& s : {c2, c3, dense}) EXPECT_EQ(Utf8ToLatin1(s), LiteralUtf8ToLatin1(s));
    }
}

// Every line of up to five bytes over the bytes that matter to the rule.
TEST(Utf8Cleanup, AllShortLinesMatchTheSearchLoop) {
    const std::string alphabet = "\xC2\xC3\xC4\x80\x83\x8D\x9F\xA0\xBF" "A";
    for (std::size_t len = 1; len <= 5; ++len) {
        std::vector<std::size_t> digit(len, 0);
        while (true) {
            std::string s;
            for (std::size_t d : digit) s += alphabet[d];
            ASSERT_EQ(Utf8ToLatin1(s), LiteralUtf8ToLatin1(s)) << ::testing::PrintToString(s);
            std::size_t k = len;
            while (k > 0 && ++digit[k - 1] == alphabet.size()) digit[--k] = 0;
            if (k == 0) break;
        }
    }
}

// ---------------------------------------------------------------------------
// Sizes and names

TEST(FormatFileSize, GroupedBytesAndRoundedUpKilobytes) {
    const std::pair<long long, const char*> cases[] = {
        {-1, ""}, {0, "0 bytes"}, {1024, "1,024 bytes"}, {1025, "1,025 bytes (2 Kb)"}, {2048, "2,048 bytes (2 Kb)"},
        {40961, "40,961 bytes (41 Kb)"}, {52428800, "52,428,800 bytes (51,200 Kb)"}};
    for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatFileSize(bytes), text) << bytes;
}

namespace {
struct StartingHost : ScriptedHost {
    bool StartUpCompleted() override { return false; }
};
}  // namespace

TEST(CheckInputFileSpec, SilentBeforeStartUpCompleted) {
    StartingHost host;
    for (const std::string name : {"page.txt", "/x.y/page"}) {
        host.input = name;
        EXPECT_FALSE(CheckInputFileSpec(host, name));
        EXPECT_EQ(host.input, "");
    }
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST(CheckInputFileSpec, MissingFileMovesToItsFolderAndClearsTheBox) {
    TempDir dir;
    // Start from a folder that surely exists: an earlier test may have left
    // the process in a scratch folder that is gone by now.
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    const auto before = std::filesystem::current_path();
    ScriptedHost host;
    host.input = dir / "gone.html";
    EXPECT_FALSE(CheckInputFileSpec(host, dir / "gone.html"));
    EXPECT_TRUE(host.prompts.shown.empty() && host.input.empty());
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir.path()));
    std::filesystem::current_path(before);
    EXPECT_FALSE(CheckInputFileSpec(host, "/nonexistent-zelk/gone.html"));
    EXPECT_EQ(std::filesystem::current_path(), before);
}
