// zelk-cli show and insert, run as a user would run them: the exit status,
// stdout, stderr and the page afterwards, byte for byte. show prints the
// output box of "Show existing keywords, etc."; the window's own part is
// only the box.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "common/Settings.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

using namespace zelk::testing;

namespace {

const std::string kVP = zelk::kDefaultViewportMetaTag;

ino_t Inode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// Each case writes page to a.htm first (when it is not empty).
TEST(CliShow, WhatTheHeadHoldsTheMessagesAndTheExitStatus) {
    TempDir dir;
    dir.Write("garden.htm", ReadBytes(InsertionData("garden.htm")));
    ASSERT_EQ(::chmod(dir.Write("locked.htm", "<head><title>R</title></head>\r\n").c_str(), 0), 0);
    // Root may read any file: then the commands run as an unprivileged user.
    std::string user;
    if (::geteuid() == 0) {
        ::chmod(dir.path().c_str(), 0755);
        user = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    }
    const std::string noVp = "No viewport meta tag found.\n";
    const std::string noTags = noVp + "No keywords meta tag found.\n\n";
    const std::string unix =
        "Input file is a Unix/Linux file.\n\nCannot show meta tags for this file.\n\n"
        "Processing of this file may be slow.\n";
    struct Case {
        std::string page, args;
        int status;
        std::string out, err;
    };
    const std::vector<Case> cases = {
        {"", "show garden.htm", 0,
         "TITLE: Rose Garden Care | Pruning, Feeding and Soil\n\n"
         "DESCRIPTION meta tag: <meta name=\"description\" content=\"How to look after a "
         "rose garden through the seasons: pruning, feeding, soil and pests.\">\n\n"
         "KEYWORDS meta tag: <meta name=\"keywords\" content=\"roses, garden, pruning\">\n\n" +
             noVp + "\n",
         ""},
        {"<head>\n<title>x</title>\n</head>\n", "show a.htm", 0, unix, ""},
        // Nothing after "</head>" counts, nor on the line that holds it.
        {"<head>\r\n</head>\r\n<meta name=\"keywords\" content=\"late\">\r\n", "show a.htm", 0,
         noTags, ""},
        {"<meta name='keywords' content='a'>\r\n<meta name=viewport>\r\n", "show a.htm", 0, noTags,
         ""},
        // The whole line of a tag, and of a tag over two lines its first line.
        {"<meta charset=\"x\"><META NAME=\"KEYWORDS\" content=\"a, b\"> tail\r\n"
         "  <meta name=\"viewport\"\r\n content=\"w=1\">\r\n</head>\r\n",
         "show a.htm", 0,
         "KEYWORDS meta tag: <meta charset=\"x\"><META NAME=\"KEYWORDS\" content=\"a, b\">\n\n"
         "VIEWPORT meta tag: <meta name=\"viewport\"\n\n\n",
         ""},
        // Indented: found. Not at the start of its line: not found. No end
        // tag: to the end of the line. Curly quotes become plain ones.
        {"   <TITLE>Caf\xc3\xa9 \xe2\x80\x9cRoses\xe2\x80\x9d</title>  \r\n"
         "<head><title>Hidden</title>\r\n<title>Open ended\r\n</head>\r\n",
         "show a.htm", 0, "TITLE: Caf\xc3\xa9 \"Roses\"\n\nTITLE: Open ended\n\n" + noTags, ""},
        // The line after a comment is examined as it stands.
        {"<!-- one line -->\r\n<title>After</title>\r\n<!--\r\n"
         "<meta name=\"keywords\" content=\"hidden\">\r\n-->\r\n<meta name=\"keywords\" "
         "content=\"k\"></head>\r\n",
         "show a.htm", 0,
         "TITLE: After\n\nKEYWORDS meta tag: <meta name=\"keywords\" content=\"k\">\n\n" + noVp +
             "\n",
         ""},
        // A UTF-8 page with LF line ends is read by its lines.
        {"\xef\xbb\xbf<html>\n<head>\n<meta name=\"keywords\" "
         "content=\"a\">\n</head>\n<body></body>\n",
         "show a.htm", 0,
         "KEYWORDS meta tag: <meta name=\"keywords\" content=\"a\">\n\n" + noVp + "\n", ""},
        // Windows-1252 text reaches the terminal in UTF-8.
        {"<title>Caf\xe9</title>\r\n</head>\r\n", "show a.htm", 0,
         "TITLE: Caf\xc3\xa9\n\n" + noTags, ""},
        {"", "show ''", 1, "", "Error: Input file not specified.\n"},
        {"", "show missing.htm", 1, "", "File not found: Input file not found.\n"},
        {"", "show locked.htm", 1, "", "File not readable: Permission denied.\n"},
        {"", "keywords locked.htm", 1, "", "File not readable: Permission denied.\n"},
    };
    for (const Case& c : cases) {
        if (!c.page.empty()) dir.Write("a.htm", c.page);
        const CliResult r = RunZelkCli(dir.path(), c.args, true, user);
        EXPECT_EQ(r.status, c.status) << c.page << c.args;
        EXPECT_EQ(r.out, c.out) << c.page << c.args;
        EXPECT_EQ(r.err, c.err) << c.page << c.args;
    }
}

// Each case runs on a.htm holding page; after is the page afterwards, ""
// when it must be left alone: not even written again with the same bytes.
TEST(CliInsert, OutputMessagesExitStatusAndThePageAfterwards) {
    const std::string crlf = "<html>\r\n<head>\r\n<title>x</title>\r\n</head>\r\n</html>\r\n";
    const std::string lf =
        "<html>\n<head>\n<title>Roses</title>\n</head>\n<body>Roses and tulips, "
        "roses.</body>\n</html>\n";
    std::string u16le;  // UTF-16LE without a byte-order mark
    for (char c : crlf) u16le += std::string{c, '\0'};
    std::string big = crlf;
    while (big.size() < 200000) big += "<p>Roses need sun, water and a well drained soil.</p>\r\n";
    const std::string vpOut = "Insert viewport meta tag into file: ";
    struct InsertCase {
        std::string page, args;
        int status;
        std::string out, err, after, launcher;
    };
    const std::vector<InsertCase> cases = {
        // LF line ends stay, and the keywords tag takes the forward-slash form.
        {lf, "--keywords --forward-slash --viewport --data-dir " ZELK_SOURCE_DATA_DIR " a.htm", 0,
         "Insert both meta tags into file: Both meta tags inserted successfully into document.\n",
         "  New VPMT inserted. As given.\n  New KWMT inserted.\n"
         "  <meta name=\"keywords\" ... \"rose, tulip\" />\n",
         "<html>\n<head>\n<title>Roses</title>\n" + kVP +
             "\n<meta name=\"keywords\" content=\"rose, tulip\" />\n</head>\n"
             "<body>Roses and tulips, roses.</body>\n</html>\n",
         ""},
        {crlf, "a.htm", 1, "Insert keywords meta tag into file: Nothing to insert.\n", "", "", ""},
        {crlf, "--viewport missing.htm", 1, vpOut + "File not found.\n", "", "", ""},
        {crlf, "--viewport ''", 1, vpOut + "Input file not specified.\n", "", "", ""},
        // Generate refuses a page without a head: the command ends there.
        {"<html><body>x</body></html>\r\n", "--keywords --viewport a.htm", 1, "",
         "No header: <head> not found in input file.\n", "", ""},
        {"\xff\xfe" + u16le, "--viewport a.htm", 1,
         "Not inserted: Meta tags NOT inserted because the document is UTF-16 or UTF-32 text.\n",
         "  Not inserted: UTF-16 or UTF-32 file.\n", "", ""},
        {u16le, "--viewport a.htm", 1,
         "Not inserted: Meta tags NOT inserted because the document is not a text file.\n",
         "  Not inserted: not a text file.\n", "", ""},
        {"<html>\r\n<head>\r\n<title>Roses and tulips</title>\r\n<meta name=\"keywords\"\r\n"
         " content=\"roses\">\r\n</head>\r\n<body>Roses, tulips and roses.</body>\r\n</html>\r\n",
         "--keywords a.htm", 1,
         "Not inserted: Keywords meta tag NOT inserted because existing\n meta tag extends "
         "over more than one line.\nSuggestion: Delete existing keywords meta tag.\n",
         "  Existing KWMT extends over more than one line.\n", "", ""},
        // Lone CRs and no final line end: still byte for byte afterwards.
        {"<head>\r<title>t</title>\n", "--viewport a.htm", 1,
         "Not inserted: Keywords meta tag NOT inserted because </head> is missing.\n", "", "", ""},
        // A file-size limit is an ordinary write error, not a killed process.
        {big, "--viewport a.htm", 1, "Error: Not inserted: File too large.\n",
         "  Not inserted: File too large.\n", "", "ulimit -f 100 &&"},
    };
    for (const InsertCase& c : cases) {
        TempDir dir;
        const std::string page = dir.Write("a.htm", c.page);
        const ino_t before = Inode(page);
        const CliResult r = RunZelkCli(dir.path(), "insert " + c.args, true, c.launcher);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.out, c.out) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_EQ(ReadBytes(page), c.after.empty() ? c.page : c.after) << c.args;
        if (c.after.empty()) {
            EXPECT_EQ(Inode(page), before) << c.args << ": the page was written again";
        }
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"}) << c.args;
    }
}

TEST(CliInsert, OutOfMemoryIsAMessageNotAnAbort) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer needs more address space than the limit leaves";
#endif
    TempDir dir;
    std::string page = "<html>\r\n<head>\r\n</head>\r\n";
    page.resize(96u << 20, 'x');
    dir.Write("a.htm", page + "\r\n");
    page = std::string();
    const CliResult r =
        RunZelkCli(dir.path(), "insert --viewport a.htm", true, "ulimit -v 180000 &&");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Error: Not inserted: Cannot allocate memory.\n");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
}

}  // namespace
