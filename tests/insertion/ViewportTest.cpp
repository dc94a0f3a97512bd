#include <gtest/gtest.h>

#include "insertion/Viewport.h"

using namespace zelk;

TEST(VPMTvalid, AcceptedRejectedAndNormalisedForms) {
    const std::vector<std::pair<std::string, int16_t>> rows = {
        {"<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">", 1},
        {"<META NAME=\"Viewport\" CONTENT=\"width=device-width,initial-scale=1.0\" />", 1},
        {"  <meta name = \"viewport\"   content= \"width=device-width, initial-scale=1.0\" >", 1},
        {"<meta name=\"viewport\" content=\"\">", 1},
        {"<meta name=\"viewport\" content=\"width = 500\"/>", 1},
        {"<meta name=viewport content=\"width=device-width\">", -1},
        {"<meta name=\"viewport\" content='width=device-width'>", -1},
        {"<meta content=\"width=device-width\" name=\"viewport\">", -1},
        {"<meta name=\"viewport\" content=\"width=device-width\" id=\"x\">", -1},
        {"<meta name=\"viewport\" content=\"width=device-width  initial-scale=1\">", -1},
        {"<meta name=\"viewport\" content=\"width=device-width\"", -1},
        {"<meta>", -1},
        {"x", -1},
        {"", 0},
        {"     ", 0},
    };
    for (auto [tag, expected] : rows) {
        int16_t v = 99;
        VPMTvalid(tag, v);
        EXPECT_EQ(v, expected) << tag;
    }
    std::string tag = " <META Name = \"Viewport\"  Content=\"A, B\" /> ";
    int16_t v = 0;
    VPMTvalid(tag, v);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(tag, "<meta name=\"viewport\" content=\"a,b\">");
}

TEST(SplitString, SeparatorsTrimmingAndLimits) {
    using V = std::vector<std::string>;
    auto split = [](std::string_view text, std::string_view sep, bool trim = true, int max = 0,
                    int minLength = 0) {
        V items{"old"};  // items are appended to what the array holds
        const int n = SplitString(text, sep, 1, items, trim, max, minLength);
        EXPECT_EQ(n + 1, int(items.size()));
        return V(items.begin() + 1, items.end());
    };
    EXPECT_EQ(split("a   b c", " "), (V{"a", "b", "c"}));  // a blank skips runs
    EXPECT_EQ(split("  a", " "), (V{"", "a"}));
    EXPECT_EQ(split(",a, b ,,c,", ","), (V{"a", "b", "", "c"}));
    EXPECT_EQ(split(",a, b ,,c,", ",", false), (V{"a", " b ", "", "c"}));
    EXPECT_EQ(split("a,,b", ",", true, 0, 1), (V{"a", "b"}));
    EXPECT_EQ(split("a,b,c,d", ",", true, 2), (V{"a", "b"}));
    EXPECT_EQ(split("a::b::", "::"), (V{"a", "b"}));
}
