#include <gtest/gtest.h>

#include "insertion/Viewport.h"

using namespace zelk;

namespace {

int16_t Validity(std::string tag) {
    int16_t v = 99;
    VPMTvalid(tag, v);
    return v;
}

std::vector<std::string> Split(std::string_view text, std::string_view sep, bool trim = true,
                               int maxItems = 0, int minLength = 0, long start = 1) {
    std::vector<std::string> items;
    const int n = SplitString(text, sep, start, items, trim, maxItems, minLength);
    EXPECT_EQ(static_cast<std::size_t>(n), items.size());
    return items;
}

using V = std::vector<std::string>;

}  // namespace

TEST(VPMTvalid, AcceptedForms) {
    EXPECT_EQ(Validity("<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">"), 1);
    EXPECT_EQ(Validity("<META NAME=\"Viewport\" CONTENT=\"width=device-width,initial-scale=1.0\" />"), 1);
    EXPECT_EQ(Validity("  <meta name = \"viewport\"   content= \"width=device-width, initial-scale=1.0\" >"), 1);
    EXPECT_EQ(Validity("<meta name=\"viewport\" content=\"\">"), 1);
    EXPECT_EQ(Validity("<meta name=\"viewport\" content=\"width = 500\"/>"), 1);
}

TEST(VPMTvalid, RejectedForms) {
    EXPECT_EQ(Validity("<meta name=viewport content=\"width=device-width\">"), -1);
    EXPECT_EQ(Validity("<meta name=\"viewport\" content='width=device-width'>"), -1);
    EXPECT_EQ(Validity("<meta content=\"width=device-width\" name=\"viewport\">"), -1);
    EXPECT_EQ(Validity("<meta name=\"viewport\" content=\"width=device-width\" id=\"x\">"), -1);
    EXPECT_EQ(Validity("<meta name=\"viewport\" content=\"width=device-width  initial-scale=1\">"), -1);
    EXPECT_EQ(Validity("<meta name=\"viewport\" content=\"width=device-width\""), -1);
    EXPECT_EQ(Validity("<meta>"), -1);
    EXPECT_EQ(Validity("x"), -1);
}

TEST(VPMTvalid, EmptyAndNormalisedForm) {
    EXPECT_EQ(Validity(""), 0);
    EXPECT_EQ(Validity("     "), 0);
    std::string tag = " <META Name = \"Viewport\"  Content=\"A, B\" /> ";
    int16_t v = 0;
    VPMTvalid(tag, v);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(tag, "<meta name=\"viewport\" content=\"a,b\">");
}

TEST(SplitString, BlankSeparatorSkipsRuns) {
    EXPECT_EQ(Split("a   b c", " "), (V{"a", "b", "c"}));
    EXPECT_EQ(Split(" a b ", " "), (V{"a", "b"}));
    EXPECT_EQ(Split("  a", " "), (V{"", "a"}));
    EXPECT_EQ(Split("", " "), V{});
    EXPECT_EQ(Split("abc", " ", true, 0, 0, 2), (V{"bc"}));
    EXPECT_EQ(Split("abc", " ", true, 0, 0, 4), V{});
}

TEST(SplitString, OtherSeparators) {
    EXPECT_EQ(Split(",a, b ,,c,", ","), (V{"a", "b", "", "c"}));
    EXPECT_EQ(Split(",a, b ,,c,", ",", false), (V{"a", " b ", "", "c"}));
    EXPECT_EQ(Split("a,,b", ",", true, 0, 1), (V{"a", "b"}));
    EXPECT_EQ(Split("a,b,c,d", ",", true, 2), (V{"a", "b"}));
    EXPECT_EQ(Split(",", ","), (V{""}));
    EXPECT_EQ(Split(",", ",", true, 0, 1), V{});
    EXPECT_EQ(Split("a::b::", "::"), (V{"a", "b"}));
    // Items are appended to what the array already holds.
    std::vector<std::string> items{"old"};
    EXPECT_EQ(SplitString("x,y", ",", 1, items, true, 0, 0), 2);
    EXPECT_EQ(items, (V{"old", "x", "y"}));
}
