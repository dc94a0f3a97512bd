// A run reads each page once per visit: the checks on that one read must
// see what the file-based checks see, and the insertion may take the read
// over only while the page is as it was read.
#include <gtest/gtest.h>

#include "analysis/InputFile.h"
#include "analysis/TextContent.h"
#include "batch/ExistingMetaTags.h"
#include "insertion/Insert.h"
#include "support/BatchFixture.h"
#include "support/CliRunner.h"
#include "support/FaultyFileSystem.h"
#include "support/MemoryTree.h"
#include "support/TempDir.h"

namespace zelk::testing {
namespace {

TEST(PageRead, HeadChecksOnTheReadSeeWhatTheFileChecksSee) {
    std::string hundred;
    for (int i = 0; i < 99; ++i) hundred += "line\r\n";
    const std::vector<std::string> pages = {
        "<html><HEAD>\r\n</Head>\r\n",
        "<html>\n<head>\n</head>\n",                   // LF only: one line
        "x\r<hea\rd>\r\n",                              // lone CR ends a line
        "x\r\n\r\n\r\n<head\n</head",                   // empty lines count, no last end
        hundred + "<head>\r\n",                         // the 100th line
        hundred + "x\r\n<head>\r\n",                    // the 101st
        hundred + "\r<head>",                           // a lone CR as the 100th end
        "\xC9<h\xC9" "ad <HEAD",                        // accented capitals fold apart
        "<he<head",
        "",
    };
    MemoryTree fs;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::string path = "/p" + std::to_string(i) + ".htm";
        fs.AddFile(path, pages[i]);
        for (const char* needle : {"<head", "</head", "<h\xE9"})
            EXPECT_EQ(LinesHold(pages[i], needle, 100), FileContainsText(path, needle, 100, false, fs))
                << "page " << i << ", " << needle;
    }
}

// A file system that counts the opens for reading and can fail every Read.
class CountingFileSystem final : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    Handle OpenRead(const std::string& p) override {
        ++opens;
        return inner_.OpenRead(p);
    }
    long long Read(Handle h, char* b, std::size_t n) override {
        if (failReads) {
            SetLastError(EIO);
            return -1;
        }
        return inner_.Read(h, b, n);
    }
    int opens = 0;
    bool failReads = false;
};

TEST(PageRead, TheInsertionTakesTheVisitsReadOnlyWhileThePageIsUnchanged) {
    const std::string tag = "<meta name=\"keywords\" content=\"rose\">";
    const std::string changed = "<html><head><title>Changed</title>\r\n</head></html>\r\n";
    MemoryTree tree;
    tree.AddFile("/a.htm", GardenPage());
    CountingFileSystem fs(tree);
    InsertRequest rq;
    rq.insertKWMT = true;
    rq.singleFile = false;
    rq.dialogMetaTagText = tag;
    for (bool change : {false, true}) {
        FileSnapshot page;
        int err = 0;
        ASSERT_TRUE(ReadSnapshot(fs, "/a.htm", page, err));
        const TextFileTest test =
            IsTextContent(page.bytes, "/a.htm", kTextTestBytes, kTextTestThreshold, true);
        if (change) tree.AddFile("/a.htm", changed);
        const std::string before = tree.Text("/a.htm");
        ReportLog log;
        std::string failure;
        // Reading again is not possible: unchanged, the page is rewritten
        // from the visit's read; changed, it is left alone.
        fs.failReads = true;
        const int16_t code = InsertMetaTags(tag, "/a.htm", rq, log, fs, failure, &page, &test);
        fs.failReads = false;
        if (change) {
            EXPECT_EQ(code, kInsertFileError);
            EXPECT_EQ(tree.Text("/a.htm"), changed);
        } else {
            EXPECT_EQ(code, kInsertOk) << failure;
            EXPECT_NE(tree.Text("/a.htm").find(tag + "\r\n</head>"), std::string::npos);
        }
        tree.AddFile("/a.htm", GardenPage());
    }
}

TEST(PageRead, ARunReadsEachPageOnce) {
    MemoryTree tree;
    tree.AddFile("/r/1.htm", GardenPage());
    tree.AddFile("/r/sub/2.htm", GardenPage());
    tree.AddFile("/r/sub/3.htm", HeadlessEndPage());
    CountingFileSystem fs(tree);
    BatchBench b(fs, "/r");
    b.settings.PreserveExistingKWMT = b.settings.PreserveExistingVPMT = 1;
    b.Run();
    EXPECT_EQ(fs.opens, 3);
    EXPECT_NE(tree.Text("/r/sub/2.htm"), GardenPage());
}

// The analysis asks the Unix-type file warning wherever it runs: on the
// walk (--jobs 1) or ahead of it, the question and its answer are printed
// alike.
TEST(PageRead, TheUnixTypeFileWarningIsTheSameWithAnyNumberOfJobs) {
    TempDir dir;
    std::filesystem::create_directories(dir / "s");
    std::string page = "<html><head><title>Roses</title></head><body>\n";
    while (page.size() < 41000) page += "<p>Roses grow in gardens.</p>\n";
    WriteBytes(dir / "s/lf.htm", page + "</body></html>\n");
    const CliResult one = RunZelkCli(dir.path(), "batch --keywords --dry-run --jobs 1 s", true);
    const CliResult two = RunZelkCli(dir.path(), "batch --keywords --dry-run --jobs 2 s", true);
    EXPECT_EQ(one.status, 0);
    EXPECT_NE(one.err.find("Unix-type file warning: This is a Unix-type file!\n"), std::string::npos);
    EXPECT_NE(one.err.find("Do you wish to proceed with this file anyway?\nAnswer: Yes\n"),
              std::string::npos);
    EXPECT_EQ(two.err, one.err);
    EXPECT_EQ(two.out, one.out);
}

}  // namespace
}  // namespace zelk::testing
