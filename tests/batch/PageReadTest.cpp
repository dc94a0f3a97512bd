// A run reads each page once per visit: the checks on that read must see
// what the checks on the file see, and the insertion may take the read over
// only while the page is as it was read.
#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/InputFile.h"
#include "analysis/TextContent.h"
#include "batch/ExistingMetaTags.h"
#include "insertion/Insert.h"
#include "support/BatchFixture.h"
#include "support/CliRunner.h"
#include "support/ForwardingFileSystem.h"
#include "support/MemoryTree.h"

namespace zelk::testing {
namespace {

TEST(PageRead, HeadChecksOnTheReadSeeWhatTheFileChecksSee) {
    std::string lines99;
    for (int i = 0; i < 99; ++i) lines99 += "line\r\n";
    const std::string pages[] = {
        "<html><HEAD>\r\n</Head>\r\n", "<html>\n<head>\n</head>\n", "x\r<hea\rd>\r\n",
        "x\r\n\r\n\r\n<head\n</head", lines99 + "<head>\r\n", lines99 + "x\r\n<head>\r\n",
        lines99 + "\r<head>", "\xC9<h\xC9" "ad <HEAD", "<he<head", ""};
    MemoryTree fs;
    for (const std::string& page : pages) {
        fs.AddFile("/p.htm", page);
        for (const char* needle : {"<head", "</head", "<h\xE9"})
            EXPECT_EQ(LinesHold(page, needle, 100), FileContainsText("/p.htm", needle, 100, false, fs))
                << page << " / " << needle;
    }
}

// Every Read fails: what is written can only come from the earlier read.
class NoReads final : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    long long Read(Handle, char*, std::size_t) override { return SetLastError(EIO), -1; }
};

TEST(PageRead, TheInsertionTakesTheVisitsReadOnlyWhileThePageIsUnchanged) {
    const std::string tag = "<meta name=\"keywords\" content=\"rose\">";
    const std::string changed = "<html><head><title>Changed</title>\r\n</head></html>\r\n";
    InsertRequest rq;
    rq.insertKWMT = true;
    rq.singleFile = false;
    rq.dialogMetaTagText = tag;
    for (bool change : {false, true}) {
        MemoryTree tree;
        tree.AddFile("/a.htm", kGardenPage);
        FileSnapshot page;
        int err = 0;
        ASSERT_TRUE(ReadSnapshot(tree, "/a.htm", page, err));
        const TextFileTest test =
            IsTextContent(page.bytes, "/a.htm", kTextTestBytes, kTextTestThreshold, true);
        if (change) tree.AddFile("/a.htm", changed);
        NoReads fs(tree);
        ReportLog log;
        std::string failure;
        const int16_t code = InsertMetaTags(tag, "/a.htm", rq, log, fs, failure, &page, &test);
        if (change) {
            EXPECT_EQ(code, kInsertFileError);  // it had to read the page again
            EXPECT_EQ(tree.Text("/a.htm"), changed);
        } else {
            EXPECT_EQ(code, kInsertOk) << failure;
            EXPECT_NE(tree.Text("/a.htm").find(tag + "\r\n</head>"), std::string::npos);
        }
    }
}

// The Unix-type file warning is asked wherever the page is analysed: on
// the walk (--jobs 1) or ahead of it, it is printed with its answer alike.
// A large page, which a thread takes up out of turn, is reported in turn.
TEST(PageRead, WarningsAndALargePageReportAlikeWithAnyNumberOfJobs) {
    TempDir dir;
    std::filesystem::create_directories(dir / "s");
    std::string page = "<html><head><title>Roses</title></head><body>\n";
    while (page.size() < 41000) page += "<p>Roses grow in gardens.</p>\n";
    WriteBytes(dir / "s/lf.htm", page);
    std::string large = "<html><head><title>Tulips</title></head><body>\r\n";
    while (large.size() < (1 << 20) + 1000)
        large += "<p>Tulips and <b>bulbs</b> in spring.</p>\r\n";
    WriteBytes(dir / "s/m-large.htm", large);
    for (int i = 0; i < 12; ++i)
        WriteBytes(dir / ("s/p" + std::to_string(i) + ".htm"),
                   "<html><head></head><body>Daisy " + std::to_string(i) + " meadow</body>\r\n");
    const CliResult one = RunZelkCli(dir.path(), "batch --keywords --dry-run --jobs 1 s", true);
    EXPECT_EQ(one.status, 0);
    EXPECT_NE(one.err.find("Unix-type file warning: This is a Unix-type file!\n"), std::string::npos);
    EXPECT_NE(one.err.find("anyway?\nAnswer: Yes\n"), std::string::npos);
    EXPECT_NE(one.out.find("File #2: m-large.htm\n  New KWMT inserted.\n"
                           "  <meta name=\"keywords\" ... \"bulb, Tulip\">"),
              std::string::npos)
        << one.out;
    for (const std::string jobs : {"2", "3"}) {
        const CliResult more =
            RunZelkCli(dir.path(), "batch --keywords --dry-run --jobs " + jobs + " s", true);
        EXPECT_EQ(more.err, one.err);
        EXPECT_EQ(more.out, one.out);
    }
}

}  // namespace
}  // namespace zelk::testing
