#include <gtest/gtest.h>

#include "common/StrProc.h"

using namespace zelk;

TEST(StrProc, LowerCaseAccentedFoldsTheWindows1252Capitals) {
    EXPECT_EQ(LowerCaseAccented("\xC9\x9F"), "\xE9\xFF");            // É Ÿ -> é ÿ
    EXPECT_EQ(LowerCaseAccented("\x8C\xC6\xDE\xD7"), "\x9C\xE6\xFE\xD7");  // Œ Æ Þ, × stays
    EXPECT_EQ(LowerCaseAccented("ABC xyz 123"), "abc xyz 123");
}

TEST(StrProc, EdgeCasesOfTheSearchHelpers) {
    EXPECT_FALSE(EndsWith("ab", "abc", true));
    EXPECT_FALSE(EndsWith("ab", "abc", false));
    EXPECT_TRUE(EndsWith("CITIES", "ies", false));
    long idx = -1;
    EXPECT_EQ(FindFirstOf("abc", 1, "", idx), 0);
    EXPECT_EQ(FindFirstNotOf("abc", 1, ""), 1);
    EXPECT_EQ(FindFirstOf("a-b+c", 1, "+-", idx), 2);
    EXPECT_EQ(idx, 2);
    EXPECT_TRUE(IsAllCapitals(""));
    EXPECT_EQ(FindIgnoringCase(1, "x <SCRIPT>", "<script"), 3);
    EXPECT_EQ(ReplaceEnding("Cities", "ies", "y", false), "City");
}

TEST(StrProc, NumbersInTexts) {
    EXPECT_EQ(S(5), " 5");
    EXPECT_EQ(S(-3), "-3");
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    // The leading number as it stands: no blanks skipped, no exponent.
    EXPECT_EQ(ValToInt16("12abc"), 12);
    EXPECT_EQ(ValToInt16(" 40"), 0);
    EXPECT_EQ(ValToInt16("6 0"), 6);
    EXPECT_EQ(ValToInt16("1e1"), 1);
    EXPECT_EQ(ValToInt16("+ 2"), 0);
    EXPECT_EQ(ValToInt16("-7x"), -7);
    EXPECT_EQ(ValToInt16("abc"), 0);
    EXPECT_EQ(ValToInt16("99999"), 32767);
    EXPECT_EQ(ValToInt16("-99999999999999999999999"), -32768);
    EXPECT_EQ(ValToInt16("+2.5"), 2);
    EXPECT_EQ(GroupDigits(40961), "40,961");
}
