#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "analysis/InputFile.h"
#include "analysis/TextFile.h"
#include "analysis/Utf8Cleanup.h"
#include "support/LiteralUtf8.h"
#include "analysis/ScriptedHost.h"
#include "common/StrProc.h"
#include "insertion/TempDir.h"

using namespace zelk;
using zelk::testing::ScriptedHost;
using zelk::testing::ShownBox;
using zelk::testing::TempDir;
using zelk::testing::WriteBytes;

// ---------------------------------------------------------------------------
// Encoding detection and the text-file test

TEST(DetectEncoding, CodesFromPathLengthAndFirstBytes) {
    TempDir dir;
    EXPECT_EQ(DetectEncoding(""), -5);
    EXPECT_EQ(DetectEncoding(dir / "none.htm"), -1);
    EXPECT_EQ(DetectEncoding(dir.path()), -1);
    WriteBytes(dir / "empty.htm", "");
    EXPECT_EQ(DetectEncoding(dir / "empty.htm"), -2);
    WriteBytes(dir / "four.htm", "\xFF\xFE<h");
    EXPECT_EQ(DetectEncoding(dir / "four.htm"), -4);
    WriteBytes(dir / "rtf.htm", "{\\rtf1 x");
    EXPECT_EQ(DetectEncoding(dir / "rtf.htm"), 6);
    WriteBytes(dir / "le.htm", std::string("\xFF\xFE<\0h\0", 6));
    EXPECT_EQ(DetectEncoding(dir / "le.htm"), 1);
    WriteBytes(dir / "be.htm", std::string("\xFE\xFF\0<\0h", 6));
    EXPECT_EQ(DetectEncoding(dir / "be.htm"), 2);
    WriteBytes(dir / "u8.htm", "\xEF\xBB\xBF<html>");
    EXPECT_EQ(DetectEncoding(dir / "u8.htm"), 3);
    WriteBytes(dir / "u32.htm", std::string("\0\0\xFE\xFF\0\0\0<", 8));
    EXPECT_EQ(DetectEncoding(dir / "u32.htm"), 5);
    WriteBytes(dir / "plain.htm", "<html>caf\xE9</html>");
    EXPECT_EQ(DetectEncoding(dir / "plain.htm"), 0);
}

TEST(DetectEncoding, XmlFilesByTheirFirstTwoBytes) {
    TempDir dir;
    WriteBytes(dir / "a.XML", "<?xml version");
    EXPECT_EQ(DetectEncoding(dir / "a.XML"), 3);
    WriteBytes(dir / "b.xml", std::string("<\0?\0x\0", 6));
    EXPECT_EQ(DetectEncoding(dir / "b.xml"), 1);
    WriteBytes(dir / "c.xml", std::string("\0<\0?\0x", 6));
    EXPECT_EQ(DetectEncoding(dir / "c.xml"), 2);
    WriteBytes(dir / "d.xml", "hello world");
    EXPECT_EQ(DetectEncoding(dir / "d.xml"), 0);
}

TEST(DetectEncoding, CharsetSearchIsCaseSensitiveAndLimitedToTenNonBlankLines) {
    TempDir dir;
    WriteBytes(dir / "a.htm", "<html>\r\n<meta charset=UTF-8>\r\n");
    EXPECT_EQ(DetectEncoding(dir / "a.htm", false), 0);
    EXPECT_EQ(DetectEncoding(dir / "a.htm", true), 3);
    WriteBytes(dir / "b.htm", "<html>\r\n<meta charset=\"UTF-8\">\r\n");
    EXPECT_EQ(DetectEncoding(dir / "b.htm", true), 3);
    WriteBytes(dir / "c.htm", "<html>\r\n<meta charset=utf-8>\r\n");
    EXPECT_EQ(DetectEncoding(dir / "c.htm", true), 0);
    WriteBytes(dir / "d.htm", "<html>\r\n<p>It\xE2\x80\x99s</p>\r\n");
    EXPECT_EQ(DetectEncoding(dir / "d.htm", true), 3);
    // Blank lines do not count towards the ten lines.
    std::string eleven;
    for (int i = 0; i < 10; ++i) eleven += "line\r\n\r\n";
    WriteBytes(dir / "e.htm", eleven + "charset=UTF-8\r\n");
    EXPECT_EQ(DetectEncoding(dir / "e.htm", true), 0);
    std::string nine;
    for (int i = 0; i < 9; ++i) nine += "line\r\n\r\n";
    WriteBytes(dir / "f.htm", nine + "charset=UTF-8\r\n");
    EXPECT_EQ(DetectEncoding(dir / "f.htm", true), 3);
    // Only files with a text extension are searched.
    WriteBytes(dir / "g.php", "<html>\r\n<meta charset=UTF-8>\r\n");
    EXPECT_EQ(DetectEncoding(dir / "g.php", true), 0);
}

TEST(IsTextFile, VerdictsFromLineEndsAndEncodings) {
    TempDir dir;
    auto verdict = [&](const std::string& name, const std::string& bytes, bool charset = true) {
        WriteBytes(dir / name, bytes);
        return IsTextFile(dir / name, kTextTestBytes, kTextTestThreshold, charset);
    };
    EXPECT_EQ(verdict("crlf.htm", "<p>a</p>\r\n<p>b</p>\r\n").verdict, 1);
    EXPECT_EQ(verdict("lf.htm", "<p>a</p>\n<p>b</p>\n").verdict, 2);
    EXPECT_EQ(verdict("cr.htm", "<p>a</p>\r<p>b</p>\r").verdict, 3);
    EXPECT_EQ(verdict("none.htm", "<p>a</p>").verdict, 1);
    EXPECT_EQ(verdict("four.htm", "abcd").verdict, -4);
    EXPECT_EQ(verdict("rtf.htm", "{\\rtf1}").verdict, 6);
    EXPECT_EQ(verdict("u16.htm", std::string("\xFF\xFE<\0p\0>\0", 8)).verdict, 7);
    // A UTF-8 file with LF line ends is verdict 1, never a Unix-type file.
    TextFileTest u8 = verdict("u8.htm", "\xEF\xBB\xBF<p>a</p>\n<p>b</p>\n");
    EXPECT_EQ(u8.verdict, 1);
    EXPECT_TRUE(u8.utf8);
    TextFileTest declared = verdict("decl.htm", "<meta charset=UTF-8>\n<p>b</p>\n");
    EXPECT_EQ(declared.verdict, 1);
    EXPECT_TRUE(declared.utf8);
    TextFileTest undeclared = verdict("decl2.htm", "<meta charset=UTF-8>\n<p>b</p>\n", false);
    EXPECT_EQ(undeclared.verdict, 2);
    EXPECT_FALSE(undeclared.utf8);
    EXPECT_EQ(IsTextFile(dir / "missing.htm", kTextTestBytes, kTextTestThreshold).verdict, -1);
    EXPECT_EQ(IsTextFile(dir.path(), kTextTestBytes, kTextTestThreshold).verdict, -1);
}

TEST(IsTextFile, ControlBytesDecide) {
    TempDir dir;
    std::string hundred(100, 'a');
    hundred[19] = '\0';
    WriteBytes(dir / "nul.htm", hundred);
    TextFileTest t = IsTextFile(dir / "nul.htm", kTextTestBytes, kTextTestThreshold);
    EXPECT_EQ(t.verdict, 0);
    EXPECT_EQ(t.firstBadByte, 0);
    EXPECT_EQ(t.firstBadPos, 20);
    EXPECT_DOUBLE_EQ(t.nonTextPercent, 1.0);

    // Tab, form feed and backspace are text.
    WriteBytes(dir / "tabs.htm", "a\tb\fc\bd e");
    t = IsTextFile(dir / "tabs.htm", kTextTestBytes, kTextTestThreshold);
    EXPECT_EQ(t.verdict, 1);
    EXPECT_EQ(t.firstBadByte, 32);
    EXPECT_EQ(t.firstBadPos, 0);

    // 16 control bytes in the 16,384 read (0.098 %) pass; 17 do not. They
    // sit at the end so that the early test does not see them.
    auto sample = [](int bad) {
        std::string s(20000, 'x');
        for (int i = 0; i < bad; ++i) s[static_cast<std::size_t>(16383 - i)] = '\x01';
        return s;
    };
    WriteBytes(dir / "16.htm", sample(16));
    t = IsTextFile(dir / "16.htm", kTextTestBytes, kTextTestThreshold);
    EXPECT_EQ(t.verdict, 1);
    EXPECT_EQ(t.firstBadPos, 16384 - 15);
    WriteBytes(dir / "17.htm", sample(17));
    t = IsTextFile(dir / "17.htm", kTextTestBytes, kTextTestThreshold);
    EXPECT_EQ(t.verdict, 0);
    EXPECT_EQ(t.firstBadByte, 1);
    EXPECT_DOUBLE_EQ(t.nonTextPercent, 17 * 100.0 / 16384);
}

TEST(IsTextFile, EarlyAbandonFromByte3277) {
    TempDir dir;
    // 33 control bytes at the start: 33 / 3,277 is just above 1 %.
    std::string s(20000, 'x');
    for (int i = 0; i < 33; ++i) s[static_cast<std::size_t>(i)] = '\x02';
    WriteBytes(dir / "a.htm", s);
    TextFileTest t = IsTextFile(dir / "a.htm", kTextTestBytes, kTextTestThreshold);
    EXPECT_EQ(t.verdict, 0);
    EXPECT_EQ(t.firstBadPos, 1);
    EXPECT_DOUBLE_EQ(t.nonTextPercent, 33 * 100.0 / 3277);
    // 32 of them stay under 1 % at byte 3,277 and are then diluted... but
    // still refused at the end: 32 / 16,384 is 0.195 %.
    s[32] = 'x';
    WriteBytes(dir / "b.htm", s);
    t = IsTextFile(dir / "b.htm", kTextTestBytes, kTextTestThreshold);
    EXPECT_EQ(t.verdict, 0);
    EXPECT_DOUBLE_EQ(t.nonTextPercent, 32 * 100.0 / 16384);
}

// ---------------------------------------------------------------------------
// Reading lines, searching files

TEST(FileContainsText, CaseFoldingAndLineLimit) {
    TempDir dir;
    std::string page;
    for (int i = 0; i < 99; ++i) page += "<!-- filler -->\r\n";
    page += "<HEAD>\r\n";
    WriteBytes(dir / "a.htm", page);
    EXPECT_TRUE(FileContainsText(dir / "a.htm", "<head", 100, false));
    EXPECT_FALSE(FileContainsText(dir / "a.htm", "<head", 100, true));
    EXPECT_FALSE(FileContainsText(dir / "a.htm", "<head", 99, false));
    EXPECT_TRUE(FileContainsText(dir / "a.htm", "<head", 0, false));
    EXPECT_FALSE(FileContainsText(dir / "a.htm", "", 0, false));
    EXPECT_FALSE(FileContainsText(dir / "none.htm", "<head", 100, false));
    WriteBytes(dir / "b.htm", "\xC9T\xC9");
    EXPECT_TRUE(FileContainsText(dir / "b.htm", "\xE9t\xE9", 1, false));
    EXPECT_TRUE(FileContainsText(dir / "b.htm", "\xC9t\xC9", 1, false));
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
// Sizes, names, line preparation

TEST(FormatFileSize, GroupedBytesAndRoundedUpKilobytes) {
    EXPECT_EQ(FormatFileSize(-1), "");
    EXPECT_EQ(FormatFileSize(0), "0 bytes");
    EXPECT_EQ(FormatFileSize(1024), "1,024 bytes");
    EXPECT_EQ(FormatFileSize(1025), "1,025 bytes (2 Kb)");
    EXPECT_EQ(FormatFileSize(2048), "2,048 bytes (2 Kb)");
    EXPECT_EQ(FormatFileSize(40961), "40,961 bytes (41 Kb)");
    EXPECT_EQ(FormatFileSize(52428800), "52,428,800 bytes (51,200 Kb)");
}

TEST(HasTextExtension, ListedExtensionsOnly) {
    EXPECT_TRUE(HasTextExtension("/a/b.HTML"));
    EXPECT_TRUE(HasTextExtension("b.prn"));
    EXPECT_FALSE(HasTextExtension("b.php"));
    EXPECT_FALSE(HasTextExtension("/a.txt/b"));
}

TEST(CheckInputFileSpec, NameRuleMessages) {
    TempDir dir;
    WriteBytes(dir / "page.HTM", "<html>");
    ScriptedHost host;
    host.input = dir / "page.HTM";
    EXPECT_TRUE(CheckInputFileSpec(host, dir / "page.HTM"));
    EXPECT_TRUE(host.prompts.shown.empty());

    EXPECT_FALSE(CheckInputFileSpec(host, dir / "page.txt"));
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_EQ(host.prompts.shown[0],
              (ShownBox{"Input file name must have an extension containing 'htm'.",
                        "Invalid input", Icon::None, Buttons::Ok, Answer::Ok}));

    EXPECT_FALSE(CheckInputFileSpec(host, "/web.site/page"));
    ASSERT_EQ(host.prompts.shown.size(), 2u);
    EXPECT_EQ(host.prompts.shown[1], (ShownBox{"Invalid input file specification",
                                               "Invalid input", Icon::Exclamation, Buttons::Ok,
                                               Answer::Ok}));
    EXPECT_FALSE(CheckInputFileSpec(host, "page"));
    EXPECT_EQ(host.prompts.shown.size(), 3u);
    // The box is left as it is when a message was shown.
    EXPECT_EQ(host.input, dir / "page.HTM");
}

namespace {
struct StartingHost : ScriptedHost {
    bool StartUpCompleted() override { return false; }
};
}  // namespace

TEST(CheckInputFileSpec, SilentBeforeStartUpCompleted) {
    StartingHost host;
    host.input = "page.txt";
    EXPECT_FALSE(CheckInputFileSpec(host, "page.txt"));
    EXPECT_EQ(host.input, "");
    host.input = "/x.y/page";
    EXPECT_FALSE(CheckInputFileSpec(host, "/x.y/page"));
    EXPECT_EQ(host.input, "");
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
    EXPECT_TRUE(host.prompts.shown.empty());
    EXPECT_EQ(host.input, "");
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir.path()));
    std::filesystem::current_path(before);
    host.input = "/nonexistent-zelk/gone.html";
    EXPECT_FALSE(CheckInputFileSpec(host, host.input));
    EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST(PrepareDocumentLine, TrimUnixAndUtf8Steps) {
    std::string line = "   ";
    EXPECT_FALSE(PrepareDocumentLine(line, 1, false));
    line = "  a\nb  ";
    EXPECT_TRUE(PrepareDocumentLine(line, 2, false));
    EXPECT_EQ(line, "a b");
    line = "a\nb";
    EXPECT_TRUE(PrepareDocumentLine(line, 1, false));
    EXPECT_EQ(line, "a\nb");
    line = " caf\xC3\xA9 \xE2\x80\x98x\xE2\x80\x99 ";
    EXPECT_TRUE(PrepareDocumentLine(line, 1, true));
    EXPECT_EQ(line, "caf\xE9 'x'");
    line = "\tx\t";  // only blanks are trimmed
    EXPECT_TRUE(PrepareDocumentLine(line, 1, false));
    EXPECT_EQ(line, "\tx\t");
}
