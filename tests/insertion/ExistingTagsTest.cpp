#include <gtest/gtest.h>

#include "insertion/ExistingTags.h"
#include "support/TempDir.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingPrompter.h"

using namespace zelk;
using namespace zelk::testing;

namespace {

std::string ShowText(const std::string& bytes) {
    TempDir dir;
    WriteBytes(dir / "a.htm", bytes);
    RecordingPrompter p;
    auto out = ShowExistingMetaTags("  " + (dir / "a.htm") + " ", p);
    EXPECT_TRUE(p.shown.empty());
    return out.value_or("<refused>");
}

const std::string kNoVp = "No viewport meta tag found.\r\n";
const std::string kNoTags = kNoVp + "No keywords meta tag found.\r\n";

TEST(ShowExisting, WhatIsFoundAndHowItIsShown) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<head>\n<title>x</title>\n</head>\n",
         "Input file is a Unix/Linux file.\r\n\r\nCannot show meta tags for this "
         "file.\r\n\r\nProcessing of this file may be slow."},
        // Nothing after "</head>" counts, nor on the line that holds it.
        {"<head>\r\n</head>\r\n<meta name=\"keywords\" content=\"late\">\r\n", kNoTags},
        {"<title>T</title></head>\r\n", kNoTags},
        {"<meta name='keywords' content='a'>\r\n<meta name=viewport>\r\n", kNoTags},
        // The whole line of a tag, and of a tag over two lines its first line.
        {"<meta charset=\"x\"><META NAME=\"KEYWORDS\" content=\"a, b\"> tail\r\n"
         "  <meta name=\"viewport\"\r\n content=\"w=1\">\r\n</head>\r\n",
         "KEYWORDS meta tag: <meta charset=\"x\"><META NAME=\"KEYWORDS\" content=\"a, "
         "b\">\r\n\r\nVIEWPORT meta tag: <meta name=\"viewport\"\r\n\r\n"},
        {"<meta name=\"viewport\" content=\"a\">\r\n<meta name=\"viewport\" content=\"b\">\r\n"
         "</head>\r\n",
         "VIEWPORT meta tag: <meta name=\"viewport\" content=\"a\">\r\n\r\n"
         "VIEWPORT meta tag: <meta name=\"viewport\" content=\"b\">\r\n\r\n"
         "No keywords meta tag found.\r\n"},
        // Indented: found. Not at the start of its line: not found. No end
        // tag: to the end of the line. UTF-8 is shown as Windows-1252.
        {"   <TITLE>Caf\xc3\xa9 \xe2\x80\x9cRoses\xe2\x80\x9d</title>  \r\n"
         "<head><title>Hidden</title>\r\n<title>Open ended\r\n</head>\r\n",
         "TITLE: Caf\xe9 \"Roses\"\r\n\r\nTITLE: Open ended\r\n\r\n" + kNoTags},
        // The line after a comment is examined as it stands.
        {"<!-- one line -->\r\n<title>After</title>\r\n<!--\r\n"
         "<meta name=\"keywords\" content=\"hidden\">\r\n-->\r\n"
         "<meta name=\"keywords\" content=\"k\"></head>\r\n",
         "TITLE: After\r\n\r\nKEYWORDS meta tag: <meta name=\"keywords\" "
         "content=\"k\">\r\n\r\n" + kNoVp},
        {"<meta name=\"description\" content=\"Caf\xc3\xa9 \xe2\x80\x94 ok\">\r\n",
         "DESCRIPTION meta tag: <meta name=\"description\" content=\"Caf\xe9  --  ok\">\r\n\r\n" +
             kNoTags},
        // A UTF-8 page with LF line ends is read by its lines.
        {"\xef\xbb\xbf<html>\n<head>\n<meta name=\"keywords\" content=\"a\">\n</head>\n<body></body>\n",
         "KEYWORDS meta tag: <meta name=\"keywords\" content=\"a\">\r\n\r\n" + kNoVp},
    };
    for (const auto& [page, shown] : cases) EXPECT_EQ(ShowText(page), shown) << page;
}

TEST(ShowExisting, RefusalsGiveTheirBox) {
    TempDir dir;
    WriteBytes(dir / "a.htm", "<title>t</title>\r\n");
    FaultyFileSystem fs(RealFileSystem());
    fs.FailAt(FaultyFileSystem::Step::Read, 1, EACCES);
    RecordingPrompter p;
    EXPECT_FALSE(ShowExistingMetaTags("   ", p).has_value());
    EXPECT_FALSE(ShowExistingMetaTags("/nonexistent/x.htm", p).has_value());
    EXPECT_FALSE(ShowExistingMetaTags(dir / "a.htm", p, fs).has_value());
    auto box = [](const char* text, const char* title) {
        return ShownBox{text, title, Icon::Exclamation, Buttons::Ok, Answer::Ok};
    };
    EXPECT_EQ(p.shown, (std::vector<ShownBox>{box("Input file not specified.", "Error"),
                                              box("Input file not found.", "File not found"),
                                              box("Permission denied.", "File not readable")}));
}

TEST(LineEndType, Codes) {
    struct Row {
        std::string bytes;
        int16_t type;
        bool utf8;
        int32_t examined = 16384;
    };
    const std::vector<Row> rows = {
        {"ab\r\ncd\r\n", 1, false}, {"abcdefgh", 1, false}, {"abcd\nefgh\n", 2, false},
        {"abcd\refgh\r", 3, false}, {"", -2, false}, {"{\\rtf1 abc", 6, false},
        {std::string("\xff\xfe<\0h\0t\0m\0l\0", 12), 7, false},
        {"\xef\xbb\xbf<html>\n<head>\n", 1, true},
        // Only the examined bytes count: the CR after them is not seen.
        {"abcd\nef\rgh", 2, false, 6},
    };
    for (const Row& r : rows) {
        bool utf8 = !r.utf8;
        EXPECT_EQ(LineEndType(r.bytes, "f.htm", r.examined, utf8), r.type) << r.bytes;
        if (r.type == 1) {
            EXPECT_EQ(utf8, r.utf8) << r.bytes;
        }
    }
}

}  // namespace
