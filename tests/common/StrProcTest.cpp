#include <gtest/gtest.h>

#include "common/StrProc.h"

using namespace zelk;

TEST(StrProc, Windows1252CapitalsAndNumbersInTexts) {
    EXPECT_EQ(LowerCaseAccented("\xC9\x9F"), "\xE9\xFF");                  // É Ÿ -> é ÿ
    EXPECT_EQ(LowerCaseAccented("\x8C\xC6\xDE\xD7"), "\x9C\xE6\xFE\xD7");  // Œ Æ Þ, × stays
    EXPECT_EQ(LowerCaseAccented("ABC xyz 123"), "abc xyz 123");
    EXPECT_EQ(FindIgnoringCase(1, "x <SCRIPT>", "<script"), 3);
    EXPECT_EQ(ReplaceEnding("Cities", "ies", "y", false), "City");
    EXPECT_EQ(S(5), " 5");
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(GroupDigits(40961), "40,961");
}

TEST(StrProc, ValToInt16TakesTheLeadingNumberAsItStands) {
    // No blanks skipped, no exponent; out of range clamps.
    const std::vector<std::pair<const char*, int16_t>> rows = {
        {"12abc", 12}, {" 40", 0},     {"6 0", 6},      {"1e1", 1},       {"+ 2", 0},
        {"-7x", -7},   {"abc", 0},     {"99999", 32767}, {"+2.5", 2},
        {"-99999999999999999999999", -32768}};
    for (const auto& [text, value] : rows) EXPECT_EQ(ValToInt16(text), value) << text;
}
