// The walk over one folder tree in memory, a folder per case: the report,
// the message boxes and the pages byte for byte; unreadable folders and
// files; a fault at every call of every file-system step and Stop at every
// moment the user can act, neither of which may lose a page. Links and
// loops are walked on real folders in BatchCliTest.cpp; the edit dialog's
// buttons are driven through the window in tests/gui/BatchRunTest.cpp.
#include <gtest/gtest.h>

#include <map>

#include "support/BatchFixture.h"
#include "support/FaultyFileSystem.h"
#include "support/MemoryTree.h"

namespace zelk::testing {
namespace {

const std::string kGardenLines =
    "  Existing VPMT replaced. As given.\r\n  New KWMT inserted.\r\n"
    "  <meta name=\"keywords\" ... \"rose, garden, tulip, and, \r\n";
// An LF-only page with both tags: a commented one with empty content
// first, then tags closed with "/>" and " />", the last on the line that
// holds "</head>".
const std::string kLfBoth =
    "<html><head>\n<!-- <meta name=\"keywords\" content=\"\"> -->\n<META NAME=\"viewport\" "
    "CONTENT=\"width=1\"/>\n<meta name=\"keywords\" content=\"old\" /></head><body>Roses</body>\n";

void FillTree(MemoryTree& t) {
    t.AddFile("/ex/index.htm", kGardenPage);  // the example run of the manual
    t.AddFile("/ex/sub/old.htm", kHeadlessEndPage);
    t.AddFile("/mix/a.BAK.html", "leftover");
    t.AddFile("/mix/b.htm", "<head>\r\n<meta name=\"keywords\" content=\"kept\">\r\n</head>Roses");
    t.AddFile("/mix/empty.htm", "<head>\r\n<meta name=\"keywords\" content=\"\" />\r\n</head>\r\n");
    t.AddFile("/mix/\xC9T\xC9/x.htm", kGardenPage);  // ÉTÉ
    t.AddFile("/mix/Private/y.htm", kGardenPage);
    t.AddFile("/php/index.php", "<head></head>");
    t.AddFile("/done/a.htm", kLfBoth);
    for (const char* p : {"/order/b.htm", "/order/A.htm", "/order/locked/z.htm", "/order/z/c.htm",
                          "/go/a/1.htm", "/go/a/2.htm", "/go/a/deep/3.htm", "/go/b/4.htm"})
        t.AddFile(p, kGardenPage);
    t.AddFile("/order/c.htm", kGardenPage, /*locked=*/true);
    t.AddFolder("/order/locked", /*locked=*/true);
}

struct Case {
    std::string folder;
    bool preserve;                             // both preserve settings
    std::string reportAndBoxes;                // the report, then every message box shown
    std::map<std::string, std::string> after;  // pages as the run leaves them
    std::string stopIn;                        // the user stops the analysis of this file
};

TEST(BatchRun, ReportMessagesAndPagesOfEachCase) {
    const std::string end = "\r\nThat's all.\r\n";
    const std::string files = "Number of files: Number of files processed: ";
    // clang-format off
    const Case cases[] = {
        {"/ex//", false,
         "Top folder: /ex/\r\n\r\nFile #1: index.htm\r\n" + kGardenLines +
             "File #2: sub/old.htm\r\n  </head> not found\r\n" + end + files + "2\n",
         {{"/ex/sub/old.htm", kHeadlessEndPage}}, ""},
        // A leftover, two excluded folders, a preserved tag, a tag with
        // empty content that is not kept.
        {"/mix", true,
         "Top folder: /mix/\r\n\r\nFile #1: b.htm\r\n  Existing KWMT not replaced.\r\n  New VPMT "
               "inserted. As given.\r\nFile #2: empty.htm\r\n  No keywords\r\n" + end + "Anomalous "
               "file: The file 'a.bak.html' appears to be left over\r\nfrom a previous operation.  "
               "Delete it?\n" + files + "2\n",
         {{"/mix/a.BAK.html", "leftover"}, {"/mix/\xC9T\xC9/x.htm", kGardenPage},
          {"/mix/Private/y.htm", kGardenPage}}, ""},
        {"/php", false, "No files: There are no HTML files.\n", {}, ""},
        {"/done", true, "All files done: No HTML file needs to be modified.\n",
         {{"/done/a.htm", kLfBoth}}, ""},
        // Order by name ignoring case; an unreadable file in the middle; an
        // unreadable folder is passed over without a word.
        {"/order", false,
         "Top folder: /order/\r\n\r\nFile #1: A.htm\r\n" + kGardenLines + "File #2: b.htm\r\n" +
             kGardenLines + "File #3: c.htm\r\n  Not readable: Permission denied.\r\n"
             "File #4: z/c.htm\r\n" + kGardenLines + end + files + "4\n",
         {{"/order/locked/z.htm", kGardenPage}}, ""},
        // No to "Go on to the next file?" leaves the rest of that folder and
        // its subfolders; the run goes on in the next folder.
        {"/go", false,
         "Top folder: /go/\r\n\r\nFile #1: a/1.htm\r\nFile #2: b/4.htm\r\n" + kGardenLines + end +
             "Continue?: Go on to the next file?\n" + files + "2\n",
         {{"/go/a/1.htm", kGardenPage}, {"/go/a/2.htm", kGardenPage}}, "/go/a/1.htm"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        MemoryTree fs;
        FillTree(fs);
        BatchBench b(fs, c.folder);
        b.settings.PreserveExistingKWMT = b.settings.PreserveExistingVPMT = c.preserve;
        // An empty item would exclude every file.
        b.settings.ExcludedFilepaths = "\xE9t\xE9, ,private";
        b.prompts.Script({Answer::No});
        b.host.onYield = [&] {
            if (b.host.input.ends_with(c.stopIn)) b.analyzer.blnStop = !c.stopIn.empty();
        };
        b.run.RunBatch();
        std::string boxes;
        for (const ShownBox& box : b.prompts.shown) boxes += box.title + ": " + box.text + "\n";
        EXPECT_EQ(b.report.Text() + boxes, c.reportAndBoxes);
        EXPECT_EQ(b.showing, !b.report.Text().empty());
        for (const auto& [path, text] : c.after) EXPECT_EQ(fs.Text(path), text) << path;
    }
}

// Every page is as it was or as a run over the whole tree without trouble
// leaves it.
void ExpectNothingLost(const MemoryTree& fs) {
    static MemoryTree before, clean;
    if (before.Files().empty()) {
        FillTree(before);
        FillTree(clean);
        BatchBench(clean, "/").run.RunBatch();
    }
    for (const auto& [path, text] : before.Files())
        EXPECT_TRUE(fs.Text(path) == text || fs.Text(path) == clean.Text(path)) << path;
}

// A fault at each call of each file-system step, or (Step::None) Stop at
// each moment the user can press it: in the run's event pumps and waits and
// in those of an analysis.
TEST(BatchRun, AFaultOrStopAtAnyPointLosesNothing) {
    using S = FaultyFileSystem::Step;
    for (int i = 0; i <= static_cast<int>(S::Identify); ++i) {
        const S step = static_cast<S>(i);
        for (int nth = 1;; ++nth) {
            SCOPED_TRACE(::testing::Message() << "step " << i << " call " << nth);
            MemoryTree fs;
            FillTree(fs);
            FaultyFileSystem faulty(fs);
            faulty.FailAt(step, nth);
            BatchBench b(faulty, "/");
            int moments = 0;
            const auto moment = [&] {
                if (step == S::None && ++moments == nth) b.run.RequestStop();
            };
            b.onTick = b.host.onYield = moment;
            b.run.RunBatch();
            if (!faulty.Fired() && moments < nth) break;
            EXPECT_TRUE(step != S::None || b.report.Text().ends_with("\r\nOperation stopped.\r\n"));
            ExpectNothingLost(fs);
            EXPECT_EQ(fs.OpenHandles(), 0);
        }
    }
}

// Typing the page's own keywords tag holds Insert; typing on past it must
// give Insert back, or the edited tag could never be inserted. The page's
// tag is the one after the comment on the LF-only page.
TEST(BatchRun, InsertComesBackWhenTheTagDiffersFromThePagesAgain) {
    MemoryTree fs;
    FillTree(fs);
    BatchBench b(fs, "/done");
    b.settings.Confirm = 1;  // inspection
    b.settings.InsertVPMT = 0;
    std::vector<bool> enabled;
    b.onInspect = [&](EditSession& s) {
        EXPECT_EQ(s.BottomText(),
                  "Existing keywords meta tag:\r\n<meta name=\"keywords\" "
                  "content=\"old\" /></head><body>Roses</body>");
        for (const std::string content : {"old", "olde", "old"}) {
            s.tagText = "<meta name=\"keywords\" content=\"" + content + "\" />";
            s.TagEdited();
            enabled.push_back(s.InsertEnabled());
        }
    };
    b.run.RunBatch();
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, false}));
}

}  // namespace
}  // namespace zelk::testing
