#include <gtest/gtest.h>

#include "insertion/ExistingTags.h"
#include "support/TempDir.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingPrompter.h"

using namespace zelk;
using namespace zelk::testing;

namespace {

std::string Show(const std::string& path) {
    RecordingPrompter p;
    auto out = ShowExistingMetaTags(path, p);
    EXPECT_TRUE(p.shown.empty());
    return out.value_or("<refused>");
}

std::string ShowText(const std::string& bytes, const std::string& name = "a.htm") {
    TempDir dir;
    WriteBytes(dir / name, bytes);
    return Show(dir / name);
}

TEST(ShowExisting, RealPageWithCommentDescriptionAndKeywords) {
    EXPECT_EQ(Show("  " + InsertionData("garden.htm") + " "),
              "TITLE: Rose Garden Care | Pruning, Feeding and Soil\r\n\r\n"
              "DESCRIPTION meta tag: <meta name=\"description\" content=\"How to look after a "
              "rose garden through the seasons: pruning, feeding, soil and pests.\">\r\n\r\n"
              "KEYWORDS meta tag: <meta name=\"keywords\" content=\"roses, garden, "
              "pruning\">\r\n\r\n"
              "No viewport meta tag found.\r\n");
}

TEST(ShowExisting, MissingOrUnnamedFile) {
    RecordingPrompter p;
    EXPECT_FALSE(ShowExistingMetaTags("   ", p).has_value());
    EXPECT_FALSE(ShowExistingMetaTags("/nonexistent/x.htm", p).has_value());
    ASSERT_EQ(p.shown.size(), 2u);
    EXPECT_EQ(p.shown[0], (ShownBox{"Input file not specified.", "Error", Icon::Exclamation,
                                    Buttons::Ok, Answer::Ok}));
    EXPECT_EQ(p.shown[1], (ShownBox{"Input file not found.", "File not found", Icon::Exclamation,
                                    Buttons::Ok, Answer::Ok}));
}

TEST(ShowExisting, UnixFileIsNotShown) {
    EXPECT_EQ(ShowText("<head>\n<title>x</title>\n</head>\n"),
              "Input file is a Unix/Linux file.\r\n\r\nCannot show meta tags for this "
              "file.\r\n\r\nProcessing of this file may be slow.");
}

TEST(ShowExisting, NothingFound) {
    EXPECT_EQ(ShowText("<head>\r\n</head>\r\n<meta name=\"keywords\" content=\"late\">\r\n"),
              "No viewport meta tag found.\r\nNo keywords meta tag found.\r\n");
}

TEST(ShowExisting, TwoTagsOnOneLineAndATagOverTwoLines) {
    EXPECT_EQ(ShowText("<meta charset=\"x\"><META NAME=\"KEYWORDS\" content=\"a, b\"> tail\r\n"
                       "  <meta name=\"viewport\"\r\n content=\"w=1\">\r\n</head>\r\n"),
              "KEYWORDS meta tag: <meta charset=\"x\"><META NAME=\"KEYWORDS\" content=\"a, "
              "b\">\r\n\r\n"
              "VIEWPORT meta tag: <meta name=\"viewport\"\r\n\r\n");
}

TEST(ShowExisting, SeveralViewportTagsInDocumentOrder) {
    EXPECT_EQ(ShowText("<meta name=\"viewport\" content=\"a\">\r\n"
                       "<meta name=\"viewport\" content=\"b\">\r\n</head>\r\n"),
              "VIEWPORT meta tag: <meta name=\"viewport\" content=\"a\">\r\n\r\n"
              "VIEWPORT meta tag: <meta name=\"viewport\" content=\"b\">\r\n\r\n"
              "No keywords meta tag found.\r\n");
}

TEST(ShowExisting, TitleRules) {
    // Indented: found. Not at the start of its line: not found. No end tag:
    // to the end of the line.
    EXPECT_EQ(ShowText("   <TITLE>Caf\xc3\xa9 \xe2\x80\x9cRoses\xe2\x80\x9d</title>  \r\n"
                       "<head><title>Hidden</title>\r\n<title>Open ended\r\n</head>\r\n"),
              "TITLE: Caf\xe9 \"Roses\"\r\n\r\nTITLE: Open ended\r\n\r\n"
              "No viewport meta tag found.\r\nNo keywords meta tag found.\r\n");
}

TEST(ShowExisting, HeadEndOnTheLineOfATagShowsNothingOfIt) {
    EXPECT_EQ(ShowText("<title>T</title></head>\r\n"),
              "No viewport meta tag found.\r\nNo keywords meta tag found.\r\n");
}

TEST(ShowExisting, LineAfterACommentIsExaminedAsItStands) {
    EXPECT_EQ(ShowText("<!-- one line -->\r\n<title>After</title>\r\n<!--\r\n"
                       "<meta name=\"keywords\" content=\"hidden\">\r\n-->\r\n"
                       "<meta name=\"keywords\" content=\"k\"></head>\r\n"),
              "TITLE: After\r\n\r\nKEYWORDS meta tag: <meta name=\"keywords\" "
              "content=\"k\">\r\n\r\nNo viewport meta tag found.\r\n");
}

TEST(ShowExisting, SingleQuotedNamesAreNotShown) {
    EXPECT_EQ(ShowText("<meta name='keywords' content='a'>\r\n<meta name=viewport>\r\n"),
              "No viewport meta tag found.\r\nNo keywords meta tag found.\r\n");
}

TEST(ShowExisting, DescriptionIsCleanedOfUtf8) {
    EXPECT_EQ(ShowText("<meta name=\"description\" content=\"Caf\xc3\xa9 \xe2\x80\x94 ok\">\r\n"),
              "DESCRIPTION meta tag: <meta name=\"description\" content=\"Caf\xe9  --  "
              "ok\">\r\n\r\n"
              "No viewport meta tag found.\r\nNo keywords meta tag found.\r\n");
}

TEST(ShowExisting, Utf8PageWithLfLineEndsIsReadByItsLines) {
    EXPECT_EQ(ShowText("\xef\xbb\xbf<html>\n<head>\n<meta name=\"keywords\" content=\"a\">\n"
                       "</head>\n<body></body>\n"),
              "KEYWORDS meta tag: <meta name=\"keywords\" content=\"a\">\r\n\r\n"
              "No viewport meta tag found.\r\n");
}

TEST(LineEndType, Codes) {
    auto type = [](const std::string& bytes, bool* utf8 = nullptr, int32_t max = 16384) {
        bool u = true;
        int16_t r = LineEndType(bytes, "f.htm", max, u);
        if (utf8) *utf8 = u;
        return r;
    };
    bool utf8 = true;
    EXPECT_EQ(type("ab\r\ncd\r\n", &utf8), 1);
    EXPECT_FALSE(utf8);
    EXPECT_EQ(type("abcdefgh"), 1);
    EXPECT_EQ(type("abcd\nefgh\n"), 2);
    EXPECT_EQ(type("abcd\refgh\r"), 3);
    EXPECT_EQ(type(""), -2);
    EXPECT_EQ(type(std::string("\xff\xfe<\0h\0t\0m\0l\0", 12)), 7);
    EXPECT_EQ(type("\xef\xbb\xbf<html>\n<head>\n", &utf8), 1);
    EXPECT_TRUE(utf8);
    EXPECT_EQ(type("{\\rtf1 abc"), 6);
    // Only the examined bytes count: the CR after them is not seen.
    EXPECT_EQ(type("abcd\nef\rgh", nullptr, 6), 2);
}

TEST(ShowExisting, ReadFailureGivesTheSystemsReason) {
    TempDir dir;
    WriteBytes(dir / "a.htm", "<title>t</title>\r\n");
    FaultyFileSystem fs(RealFileSystem());
    fs.FailAt(FaultyFileSystem::Step::Read, 1, EACCES);
    RecordingPrompter p;
    EXPECT_FALSE(ShowExistingMetaTags(dir / "a.htm", p, fs).has_value());
    EXPECT_EQ(p.shown, (std::vector<ShownBox>{{"Permission denied.", "File not readable",
                                               Icon::Exclamation, Buttons::Ok, Answer::Ok}}));
}

}  // namespace
