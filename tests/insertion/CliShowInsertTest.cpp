// zelk-cli show and insert, run as a user would run them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "support/TempDir.h"
#include "support/CliRunner.h"

using namespace zelk::testing;

namespace {

using CliRun = CliResult;
CliRun RunCli(const TempDir& dir, const std::string& args, const std::string& launcher = "") {
    return RunZelkCli(dir.path(), args, /*runInScratchDir=*/true, launcher);
}

// Runs as an unprivileged user when the tests run as root, who may read any
// file; the scratch folder is opened up for that user.
std::string AsOrdinaryUser(const TempDir& dir) {
    if (::geteuid() != 0) return "";
    ::chmod(dir.path().c_str(), 0755);
    return "setpriv --reuid=65534 --regid=65534 --clear-groups";
}

const std::string kVP = "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">";

TEST(CliShow, RealPage) {
    TempDir dir;
    WriteBytes(dir / "garden.htm", ReadBytes(InsertionData("garden.htm")));
    CliRun r = RunCli(dir, "show garden.htm");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "TITLE: Rose Garden Care | Pruning, Feeding and Soil\n\n"
              "DESCRIPTION meta tag: <meta name=\"description\" content=\"How to look after a "
              "rose garden through the seasons: pruning, feeding, soil and pests.\">\n\n"
              "KEYWORDS meta tag: <meta name=\"keywords\" content=\"roses, garden, "
              "pruning\">\n\n"
              "No viewport meta tag found.\n\n");
    EXPECT_EQ(r.err, "");
}

TEST(CliShow, MessagesUsageAndAccents) {
    TempDir dir;
    CliRun r = RunCli(dir, "show missing.htm");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "File not found: Input file not found.\n");
    r = RunCli(dir, "show ''");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error: Input file not specified.\n");
    EXPECT_EQ(RunCli(dir, "show a.htm b.htm").status, 2);
    EXPECT_EQ(RunCli(dir, "show --bogus a.htm").status, 2);
    WriteBytes(dir / "a.htm", "<title>Caf\xe9</title>\r\n</head>\r\n");
    r = RunCli(dir, "show a.htm");
    EXPECT_EQ(r.out, "TITLE: Caf\xc3\xa9\n\nNo viewport meta tag found.\nNo keywords meta tag found.\n\n");
}

TEST(CliInsert, ViewportGivenOrDefault) {
    TempDir dir;
    WriteBytes(dir / "a.htm", "<html>\r\n<head>\r\n<title>x</title>\r\n</head>\r\n</html>\r\n");
    CliRun r = RunCli(dir, "insert --viewport a.htm");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "Insert viewport meta tag into file: Viewport meta tag inserted successfully into "
              "document.\n");
    EXPECT_EQ(r.err, "  New VPMT inserted. As given.\n");
    EXPECT_EQ(ReadBytes(dir / "a.htm"),
              "<html>\r\n<head>\r\n<title>x</title>\r\n" + kVP + "\r\n</head>\r\n</html>\r\n");
    WriteBytes(dir / "a.htm", "<head><META name=\"viewport\" content=\"w\"></head>\n");
    r = RunCli(dir, "insert --viewport '<meta name=\"viewport\" content=\"width=500\">' a.htm");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "  Existing VPMT replaced. As given.\n");
    EXPECT_EQ(ReadBytes(dir / "a.htm"),
              "<head><meta name=\"viewport\" content=\"width=500\">\n</head>\n");
}

TEST(CliInsert, Refusals) {
    TempDir dir;
    WriteBytes(dir / "a.htm", "<html><body>x</body></html>\r\n");
    CliRun r = RunCli(dir, "insert a.htm");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Insert keywords meta tag into file: Nothing to insert.\n");
    r = RunCli(dir, "insert --viewport missing.htm");
    EXPECT_EQ(r.out, "Insert viewport meta tag into file: File not found.\n");
    r = RunCli(dir, "insert --viewport ''");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Insert viewport meta tag into file: Input file not specified.\n");
    // Generate refuses a page without a head: the command ends there.
    r = RunCli(dir, "insert --keywords --viewport a.htm");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "No header: <head> not found in input file.\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadBytes(dir / "a.htm"), "<html><body>x</body></html>\r\n");
    EXPECT_EQ(RunCli(dir, "insert --folder-mode --viewport a.htm").status, 2);
}

// Nothing inserted, nothing written: not even the same bytes again.
TEST(CliInsert, PagesLeftAloneSayWhy) {
    struct Case {
        std::string page, args, out, err;
    };
    std::string u16le;  // UTF-16LE without a byte-order mark
    for (char c : std::string("<html>\r\n<head>\r\n</head>\r\n")) u16le += std::string{c, '\0'};
    const std::vector<Case> cases = {
        {std::string("\xff\xfe<\0h\0e\0a\0d\0>\0<\0/\0h\0e\0a\0d\0>\0", 28), "--viewport",
         "Not inserted: Meta tags NOT inserted because the document is UTF-16 or UTF-32 text.\n",
         "  Not inserted: UTF-16 or UTF-32 file.\n"},
        {u16le, "--viewport",
         "Not inserted: Meta tags NOT inserted because the document is not a text file.\n",
         "  Not inserted: not a text file.\n"},
        {"<html>\r\n<head>\r\n<title>Roses and tulips</title>\r\n"
         "<meta name=\"keywords\"\r\n content=\"roses\">\r\n</head>\r\n"
         "<body>Roses, tulips and roses.</body>\r\n</html>\r\n",
         "--keywords",
         "Not inserted: Keywords meta tag NOT inserted because existing\n meta tag extends "
         "over more than one line.\nSuggestion: Delete existing keywords meta tag.\n",
         "  Existing KWMT extends over more than one line.\n"},
        // Lone CRs and no final line end: still byte for byte afterwards.
        {"<head>\r<title>t</title>\n", "--viewport",
         "Not inserted: Keywords meta tag NOT inserted because </head> is missing.\n", ""},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteBytes(dir / "a.htm", c.page);
        struct stat before {}, after {};
        ASSERT_EQ(::stat((dir / "a.htm").c_str(), &before), 0);
        CliRun r = RunCli(dir, "insert " + c.args + " a.htm");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(ReadBytes(dir / "a.htm"), c.page);
        ASSERT_EQ(::stat((dir / "a.htm").c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << "the page was rewritten";
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
    }
}

TEST(CliInsert, SizeLimitIsAnOrdinaryWriteError) {
    TempDir dir;
    std::string page = "<html>\r\n<head>\r\n</head>\r\n";
    while (page.size() < 200000) page += "<p>Roses need sun, water and a well drained soil.</p>\r\n";
    WriteBytes(dir / "a.htm", page);
    CliRun r = RunCli(dir, "insert --viewport a.htm", "ulimit -f 100 &&");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Error: Not inserted: File too large.\n");
    EXPECT_EQ(r.err, "  Not inserted: File too large.\n");
    EXPECT_EQ(ReadBytes(dir / "a.htm"), page);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
}

TEST(CliInsert, OutOfMemoryIsAMessageNotAnAbort) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer needs more address space than the limit leaves";
#endif
    TempDir dir;
    std::string page = "<html>\r\n<head>\r\n</head>\r\n";
    page.resize(96u << 20, 'x');
    page += "\r\n";
    WriteBytes(dir / "a.htm", page);
    page = std::string();
    CliRun r = RunCli(dir, "insert --viewport a.htm", "ulimit -v 180000 &&");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Error: Not inserted: Cannot allocate memory.\n");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
}

TEST(CliShowAndKeywords, UnreadableFileGivesTheSystemsReason) {
    TempDir dir;
    WriteBytes(dir / "a.htm", "<head><title>Roses</title></head><body>Roses</body>\r\n");
    ASSERT_EQ(::chmod((dir / "a.htm").c_str(), 0), 0);
    const std::string user = AsOrdinaryUser(dir);
    for (const char* command : {"show", "keywords"}) {
        CliRun r = RunCli(dir, std::string(command) + " a.htm", user);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.out, "") << command;
        EXPECT_EQ(r.err, "File not readable: Permission denied.\n") << command;
    }
}

}  // namespace
