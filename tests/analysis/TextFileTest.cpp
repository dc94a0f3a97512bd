// Encoding detection, the text-file test and the UTF-8 clean-up.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "analysis/TextFile.h"
#include "analysis/Utf8Cleanup.h"
#include "support/LiteralUtf8.h"
#include "support/TempDir.h"

using namespace zelk;
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

// Control bytes other than tab, form feed and backspace: more than 0.1 % of
// the 16,384 bytes read is not text, and so is more than 1 % of the first
// 3,277 (the early test). The first one found is named in the message.
TEST(IsTextFile, ControlBytesDecide) {
    TempDir dir;
    auto with = [](std::size_t from, std::size_t count, char c, std::size_t size = 20000) {
        return std::string(from, 'x') + std::string(count, c) + std::string(size - from - count, 'x');
    };
    const std::tuple<std::string, int, int, int> cases[] = {
        {with(19, 1, '\0', 100), 0, 0, 20},          {"a\tb\fc\bd e", 1, 32, 0},
        {with(16384 - 16, 16, '\x01'), 1, 1, 16384 - 15}, {with(16384 - 17, 17, '\x01'), 0, 1, 16384 - 16},
        {with(0, 33, '\x02'), 0, 2, 1},                 {with(0, 32, '\x02'), 0, 2, 1}};
    for (const auto& [bytes, verdict, badByte, badPos] : cases) {
        WriteBytes(dir / "a.htm", bytes);
        const TextFileTest t = IsTextFile(dir / "a.htm", kTextTestBytes, kTextTestThreshold);
        EXPECT_EQ(t.verdict, verdict) << badPos;
        EXPECT_EQ(t.firstBadByte, badByte) << badPos;
        EXPECT_EQ(t.firstBadPos, badPos) << badPos;
    }
}

// ---------------------------------------------------------------------------
// UTF-8 clean-up

using zelk::testing::LiteralPunctuation;
using zelk::testing::LiteralUtf8ToLatin1;

// Examples that anchor the reference (LiteralUtf8.h) the fast passes are
// compared with below.
TEST(Utf8Cleanup, Examples) {
    const std::pair<std::string, std::string> letters[] = {
        {"caf\xC3\xA9 a\xC2\x85" "b \xC4\x8D" "ek end\xC2", "caf\xE9 ab cek end\xC2"},
        // The search steps over the byte behind a deleted pair; that pair is
        // still rewritten when the same kind turns up later in the line.
        {"\xC2\x85\xC2\xA0 x", "\xC2\xA0 x"}, {"\xC2\x85\xC2\xA0 \xC2\xA0", "\xA0 \xA0"}};
    for (const auto& [in, out] : letters) EXPECT_EQ(Utf8ToLatin1(in), out) << ::testing::PrintToString(in);
    // An unknown third byte drops that sequence alone; a line that ends
    // inside one loses its two bytes.
    EXPECT_EQ(Utf8PunctuationToAscii("x\xE2\x80\xAFy\xE2\x80\x94z"), "xy\xE2\x80\x94z");
    EXPECT_EQ(Utf8PunctuationToAscii("abc\xE2\x80"), "abc");
    EXPECT_EQ(Utf8PunctuationToAscii("\xE2\x80\x9Cq\xE2\x80\x9D a\xE2\x80\x94" "b\xE2\x80\xA6"), "\"q\" a -- b...");
}

// Every line of up to five bytes over the bytes that matter to the rule,
// random lines short and long, and crafted runs where every replacement
// opens the next pair or each deletion makes the search step over a lead.
TEST(Utf8Cleanup, SameAsTheSearchLoop) {
    const std::string alphabet = "\xC2\xC3\xC4\x80\x83\x8D\x9F\xA0\xBF" "A";
    for (std::size_t len = 1; len <= 5; ++len) {
        std::vector<std::size_t> digit(len, 0);
        for (std::size_t k = len; k > 0;) {
            std::string s;
            for (std::size_t d : digit) s += alphabet[d];
            ASSERT_EQ(Utf8ToLatin1(s), LiteralUtf8ToLatin1(s)) << ::testing::PrintToString(s);
            for (k = len; k > 0 && ++digit[k - 1] == alphabet.size(); --k) digit[k - 1] = 0;
        }
    }
    std::mt19937 rng(1234);
    const std::vector<std::string> pieces = {
        "\xC2", "\xC3", "\xC4", "\x8D", "\x80", "\x83", "\x85", "\x9F", "\xA0", "\xA9", "\xBF", "\xC0", "a",
        " ", "\xE2\x80", "\xE2", "\x90", "\x94", "\x99", "\xA2", "\xAF", "\xBA", "\xC3\x83", "\xC2\x85", "\xC2\xC2"};
    for (int round = 0; round < 10000; ++round) {
        std::string s;
        const int len = static_cast<int>(round % 20 == 0 ? 50 + rng() % 400 : rng() % 14);
        for (int i = 0; i < len; ++i) s += pieces[rng() % pieces.size()];
        ASSERT_EQ(Utf8ToLatin1(s), LiteralUtf8ToLatin1(s)) << ::testing::PrintToString(s);
        ASSERT_EQ(Utf8PunctuationToAscii(s), LiteralPunctuation(s)) << ::testing::PrintToString(s);
    }
    std::string cycle;
    for (int x = 0x80; x <= 0xBF; ++x) cycle += std::string("\xC2") + static_cast<char>(x) + "\xC3";
    for (std::size_t z : {1u, 2u, 7u, 60u}) {
        std::string c2, c3, dense;
        for (int r = 0; r < 40; ++r) {
            c2 += std::string(z, '\xC2') + std::string(z, '\x80') + std::string(z, '\xA0');
            c3 += std::string(z, '\xC3') + std::string(z, '\x83');
            dense += cycle.substr(z % 7, z * 3);
        }
        for (const std::string& s : {c2, c3, dense}) EXPECT_EQ(Utf8ToLatin1(s), LiteralUtf8ToLatin1(s));
    }
}
