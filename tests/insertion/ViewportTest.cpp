#include <gtest/gtest.h>

#include "insertion/Viewport.h"

using namespace zelk;

TEST(VPMTvalid, AcceptedRejectedAndNormalisedForms) {
    const std::vector<std::pair<std::string, int16_t>> rows = {
        {"<META NAME=\"Viewport\" CONTENT=\"width=device-width,initial-scale=1.0\" />", 1},
        {"  <meta name = \"viewport\"   content= \"width=device-width, initial-scale=1.0\" >", 1},
        {"<meta name=\"viewport\" content=\"\">", 1},
        {"<meta name=\"viewport\" content=\"width = 500\"/>", 1},
        {"<meta name=\"viewport\" content='width=device-width'>", -1},
        {"<meta content=\"width=device-width\" name=\"viewport\">", -1},
        {"<meta name=\"viewport\" content=\"width=device-width\" id=\"x\">", -1},
        {"<meta name=\"viewport\" content=\"width=device-width  initial-scale=1\">", -1},
        {"<meta name=\"viewport\" content=\"width=device-width\"", -1},
        {"<meta>", -1},
        {"x", -1},
        {"", 0},
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
