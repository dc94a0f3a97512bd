// The walk over a folder tree on an in-memory file system: the report, the
// questions, the order, links and loops, failures and Stop.
#include <gtest/gtest.h>

#include "batch/ExistingMetaTags.h"
#include "support/BatchFixture.h"
#include "support/FaultyFileSystem.h"
#include "support/MemoryTree.h"

namespace zelk::testing {
namespace {

const std::string kTag = "<meta name=\"keywords\" content=\"rose, garden, tulip, grow, bloom\">";

TEST(BatchRun, ReportOfTheExampleRunByteForByte) {
    MemoryTree fs;
    fs.AddFile("/site/index.htm", GardenPage());
    fs.AddFile("/site/sub/old.htm", HeadlessEndPage());
    fs.AddFile("/site/notes.php", "<head></head>");
    BatchBench b(fs, "/site//");
    b.Run();

    EXPECT_EQ(b.report.Text(),
              "Top folder: /site/\r\n\r\n"
              "File #1: index.htm\r\n"
              "  Existing VPMT replaced. As given.\r\n"
              "  New KWMT inserted.\r\n"
              "  <meta name=\"keywords\" ... \"rose, garden, tulip, grow,\r\n"
              "File #2: sub/old.htm\r\n"
              "  </head> not found\r\n"
              "\r\nThat's all.\r\n");
    EXPECT_EQ(fs.Text("/site/index.htm"),
              "<html><head><title>Garden roses</title>\r\n" + std::string(kDefaultViewportMetaTag) +
                  "\r\n" + kTag + "\r\n</head><body><h1>Roses and tulips</h1><p>Roses grow in "
                  "gardens. Tulips bloom early in spring gardens.</p></body></html>\r\n");
    EXPECT_EQ(fs.Text("/site/sub/old.htm"), HeadlessEndPage());
    EXPECT_EQ(b.Closing(), (ShownBox{"Number of files processed: 2", "Number of files",
                                     Icon::Information, Buttons::Ok, Answer::Ok}));
    // The insertion waits a moment, each file taken up is followed by the pause.
    EXPECT_EQ(b.user.waits, (std::vector<int>{250, 3000, 3000}));
}

TEST(BatchRun, LeftoversExclusionsAndPreservedTags) {
    MemoryTree fs;
    const std::string lfBoth =
        "<html><head>\n<META NAME=\"keywords\" CONTENT=\"old\" />\n"
        "<meta name=\"viewport\" content=\"width=1\"/></head>\n<body>x</body></html>\n";
    const std::string kwOnly =
        "<html><head>\r\n<meta name=\"keywords\" content=\"kept\">\r\n</head><body>Roses "
        "roses</body></html>\r\n";
    fs.AddFile("/s/a.BAK.html", "leftover");
    fs.AddFile("/s/b.htm", kwOnly);
    fs.AddFile("/s/lf.htm", lfBoth);
    fs.AddFile("/s/\xC9T\xC9/x.htm", GardenPage());  // ÉTÉ
    fs.AddFile("/s/Private/y.htm", GardenPage());
    BatchBench b(fs, "/s");
    b.settings.PreserveExistingKWMT = 1;
    b.settings.PreserveExistingVPMT = 1;
    b.settings.ExcludedFilepaths = "\xE9t\xE9, ,private";
    b.user.prompts.Script({Answer::Yes});
    b.Run();

    ASSERT_FALSE(b.user.prompts.shown.empty());
    EXPECT_EQ(b.user.prompts.shown[0],
              (ShownBox{"The file 'a.bak.html' appears to be left over\r\nfrom a previous "
                        "operation.  Delete it?",
                        "Anomalous file", Icon::None, Buttons::YesNo, Answer::Yes}));
    EXPECT_FALSE(fs.Has("/s/a.BAK.html"));
    EXPECT_EQ(b.report.Text(),
              "Top folder: /s/\r\n\r\nFile #1: b.htm\r\n"
              "  Existing KWMT not replaced.\r\n"
              "  New VPMT inserted. As given.\r\n\r\nThat's all.\r\n");
    EXPECT_EQ(fs.Text("/s/lf.htm"), lfBoth);
    EXPECT_EQ(fs.Text("/s/\xC9T\xC9/x.htm"), GardenPage());
    EXPECT_EQ(fs.Text("/s/Private/y.htm"), GardenPage());
    EXPECT_EQ(b.settings.ExcludedFilepaths, "private, \xE9t\xE9");
}

TEST(BatchRun, ExistingTagsOfLfOnlyPagesAndSlashClosings) {
    MemoryTree fs;
    fs.AddFile("/p.htm",
               "<head>\n<!-- <meta name=\"viewport\" content=\"no\"> -->\n"
               "<meta name=\"keywords\" content=\"a\" /><meta name=\"x\"></head>\n"
               "<meta name=\"viewport\" content=\"late\">\n");
    fs.AddFile("/e.htm", "<head>\r\n<meta name=\"keywords\" content=\"\" />\r\n</head>\r\n");
    fs.AddFile("/q.htm", "<head></head>\n<meta name=\"viewport\" content=\"late\">\n");
    EXPECT_TRUE(HasMetaTag(fs, "/p.htm", " Keywords "));
    EXPECT_FALSE(HasMetaTag(fs, "/q.htm", "viewport"));
    EXPECT_FALSE(HasMetaTag(fs, "/e.htm", "keywords"));
    std::string kw, vp;
    GetExistingMetaTags(fs, "/p.htm", kw, vp);
    EXPECT_EQ(kw, "<meta name=\"keywords\" content=\"a\" /><meta name=\"x\"></head>");
    EXPECT_EQ(vp, "");
}

TEST(BatchRun, ClosingMessagesWithoutFilesToProcess) {
    MemoryTree fs;
    fs.AddFile("/php/index.php", "<head></head>");
    BatchBench none(fs, "/php");
    none.Run();
    EXPECT_EQ(none.Closing().title, "No files");
    EXPECT_EQ(none.Closing().text, "There are no HTML files.");
    EXPECT_EQ(none.user.events.back(), "hide report");

    fs.AddFile("/done/a.htm",
               "<head>\r\n<meta name=\"keywords\" content=\"k\">\r\n<meta name=\"viewport\" "
               "content=\"v\"></head>\r\n");
    BatchBench done(fs, "/done");
    done.settings.PreserveExistingKWMT = done.settings.PreserveExistingVPMT = 1;
    done.Run();
    EXPECT_EQ(done.Closing().title, "All files done");
    EXPECT_EQ(done.Closing().text, "No HTML file needs to be modified.");
    EXPECT_EQ(done.report.Text(), "");
}

// The "File #" lines of a report, in order.
std::vector<std::string> FileLines(const std::string& report) {
    std::vector<std::string> out;
    for (std::size_t p = report.find("File #"); p != std::string::npos; p = report.find("File #", p + 1))
        out.push_back(report.substr(p, report.find('\r', p) - p));
    return out;
}

TEST(BatchRun, OrderLinksLoopsAndUnreadableFolders) {
    MemoryTree fs;
    fs.AddFile("/t/b.htm", GardenPage());
    fs.AddFile("/t/A.htm", GardenPage());
    fs.AddLink("/t/dangling.htm", "/nowhere.htm");
    fs.AddLink("/t/link.htm", "/t/A.htm");
    fs.AddLink("/t/loop", "/t");
    fs.AddFolder("/t/locked", true);
    fs.AddFile("/t/locked/z.htm", GardenPage());
    fs.AddFile("/t/z/c.htm", GardenPage());
    BatchBench b(fs, "/t");
    b.Run();
    EXPECT_EQ(FileLines(b.report.Text()),
              (std::vector<std::string>{"File #1: A.htm", "File #2: b.htm", "File #3: link.htm",
                                        "File #4: z/c.htm"}));
    // The second path to A.htm finds the tag the first one wrote.
    EXPECT_NE(b.report.Text().find("File #3: link.htm\r\n  Existing VPMT replaced. As given.\r\n"
                                   "  Existing KWMT replaced."),
              std::string::npos);
    EXPECT_EQ(fs.Text("/t/locked/z.htm"), GardenPage());
}

// Three pages and what a run without trouble makes of them.
struct ThreePages {
    ThreePages() {
        Fill(fs);
        MemoryTree clean;
        Fill(clean);
        BatchBench b(clean, "/r");
        b.Run();
        done = clean.Files();
    }
    static void Fill(MemoryTree& m) {
        m.AddFile("/r/1.htm", GardenPage());
        m.AddFile("/r/2.htm", GardenPage());
        m.AddFile("/r/sub/3.htm", GardenPage());
    }
    // Every page is as it was or as the clean run left it.
    void ExpectNothingLost() const {
        for (const char* p : {"/r/1.htm", "/r/2.htm", "/r/sub/3.htm"}) {
            const std::string t = fs.Text(p);
            EXPECT_TRUE(t == GardenPage() || t == done.at(p)) << p << ":\n" << t;
        }
    }
    MemoryTree fs;
    std::map<std::string, std::string> done;
};

TEST(BatchRun, AFaultAtAnyFileSystemStepLosesNothing) {
    using S = FaultyFileSystem::Step;
    for (S step : {S::Stat, S::OpenRead, S::Read, S::Write, S::SetMode, S::Sync, S::Close,
                   S::Rename, S::Remove, S::OpenNoFollow, S::StatHandle, S::Lock,
                   S::CreateExclusive, S::ListAttributes, S::ListFolder, S::Identify}) {
        for (int nth = 1; nth <= 12; ++nth) {
            ThreePages t;
            FaultyFileSystem faulty(t.fs);
            faulty.FailAt(step, nth);
            BatchBench b(faulty, "/r");
            b.Run();
            SCOPED_TRACE(::testing::Message() << "step " << static_cast<int>(step) << " call " << nth);
            t.ExpectNothingLost();
            EXPECT_EQ(b.Closing().buttons, Buttons::Ok);
        }
    }
}

TEST(BatchRun, AFileFailingInTheMiddleIsLeftAloneAndTheRunGoesOn) {
    ThreePages t;
    t.fs.AddFile("/r/2.htm", GardenPage(), true);
    BatchBench b(t.fs, "/r");
    b.Run();
    EXPECT_EQ(FileLines(b.report.Text()).size(), 3u);
    EXPECT_NE(b.report.Text().find("File #2: 2.htm\r\n  Not readable: Permission denied.\r\n"),
              std::string::npos)
        << b.report.Text();
    EXPECT_EQ(t.fs.Text("/r/sub/3.htm"), t.done.at("/r/sub/3.htm"));
}

TEST(BatchRun, StopAtEachPointEndsTheRunWithNoPageHalfDone) {
    int points = 0;
    {
        ThreePages t;
        BatchBench b(t.fs, "/r");
        b.Run();
        points = b.user.ticks;
    }
    ASSERT_GT(points, 5);
    for (int k = 1; k <= points; ++k) {
        ThreePages t;
        BatchBench b(t.fs, "/r");
        b.user.onTick = [&](int tick) {
            if (tick == k) b.run->RequestStop();
        };
        b.Run();
        SCOPED_TRACE(k);
        const std::string& r = b.report.Text();
        ASSERT_GE(r.size(), 22u);
        EXPECT_EQ(r.substr(r.size() - 22), "\r\nOperation stopped.\r\n");
        t.ExpectNothingLost();
    }
    // Stop in the middle of an analysis: that file stays as it was.
    ThreePages t;
    BatchBench b(t.fs, "/r");
    b.host.onYield = [&] {
        if (b.host.yields == 3) b.run->RequestStop();
    };
    b.Run();
    EXPECT_EQ(t.fs.Text("/r/1.htm"), GardenPage());
    EXPECT_EQ(b.report.Text(), "Top folder: /r/\r\n\r\nFile #1: 1.htm\r\n\r\nOperation stopped.\r\n");
}

TEST(BatchRun, NoToGoOnAfterAStoppedAnalysisSkipsTheRestOfThatFolderOnly) {
    MemoryTree fs;
    fs.AddFile("/g/a/1.htm", GardenPage());
    fs.AddFile("/g/a/2.htm", GardenPage());
    fs.AddFile("/g/b/3.htm", GardenPage());
    BatchBench b(fs, "/g");
    // The window's Stop button during the first analysis.
    b.host.onYield = [&] {
        if (b.host.yields == 2) b.analyzer->blnStop = true;
    };
    b.user.prompts.Script({Answer::No});
    b.Run();
    EXPECT_EQ(b.user.prompts.shown[0].text, "Go on to the next file?");
    EXPECT_EQ(b.user.prompts.shown[0].title, "Continue?");
    EXPECT_EQ(FileLines(b.report.Text()),
              (std::vector<std::string>{"File #1: a/1.htm", "File #2: b/3.htm"}));
    EXPECT_EQ(fs.Text("/g/a/1.htm"), GardenPage());
    EXPECT_NE(fs.Text("/g/b/3.htm"), GardenPage());
}

TEST(BatchRun, InspectionEditInsertThenCancel) {
    ThreePages t;
    BatchBench b(t.fs, "/r");
    b.settings.Confirm = 1;
    b.settings.InsertVPMT = 0;
    const std::string mine = "<meta name=\"keywords\" content=\"mine\">";
    b.user.onInspect = [&](EditSession& s) {
        if (b.user.inspected == 1) {
            EXPECT_EQ(s.tagText, kTag);
            EXPECT_EQ(s.BottomText(), "No keywords meta tag found.");
            EXPECT_EQ(s.InsertCaption(), "Insert keywords meta tag");
            EXPECT_EQ(s.FileLabel(), "/r/1.htm [" + std::to_string(GardenPage().size()) + " bytes]");
            s.tagText = mine;
            s.TagEdited();
            EXPECT_EQ(s.Insert(), 0);
            EXPECT_TRUE(s.TagLocked());
            s.ContinueToNextFile();
        } else {
            s.Cancel();
        }
    };
    b.Run();
    EXPECT_NE(t.fs.Text("/r/1.htm").find(mine + "\r\n</head>"), std::string::npos);
    EXPECT_EQ(t.fs.Text("/r/2.htm"), GardenPage());
    EXPECT_EQ(b.user.inspected, 2);
    const std::string& r = b.report.Text();
    EXPECT_EQ(r.substr(r.size() - 22), "\r\nOperation stopped.\r\n");
}

// Typing the page's own keywords tag holds Insert; typing on past it must
// give Insert back, or the edited tag could never be inserted.
TEST(BatchRun, InsertComesBackWhenTheTagDiffersFromThePagesAgain) {
    MemoryTree fs;
    const std::string old = "<meta name=\"keywords\" content=\"old\">";
    fs.AddFile("/k/a.htm", "<html><head>\r\n" + old + "\r\n</head><body>Roses</body></html>\r\n");
    BatchBench b(fs, "/k");
    b.settings.Confirm = 1;
    b.settings.InsertVPMT = 0;
    std::vector<bool> enabled;
    b.user.onInspect = [&](EditSession& s) {
        const std::string edited = "<meta name=\"keywords\" content=\"olde\">";
        for (const std::string& typed : {old, edited, old}) {
            s.tagText = typed;
            s.TagEdited();
            enabled.push_back(s.InsertEnabled());
        }
        s.Cancel();
    };
    b.Run();
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, false}));
}

TEST(BatchRun, ContinueAutomaticallySkipsThisFileOnNoThenRunsAlone) {
    ThreePages t;
    BatchBench b(t.fs, "/r");
    b.settings.Confirm = 1;
    b.settings.InsertVPMT = 0;
    b.user.onInspect = [&](EditSession& s) { s.ContinueAutomatically(); };
    b.user.prompts.Script({Answer::No});
    b.Run();
    EXPECT_EQ(b.user.inspected, 1);
    EXPECT_EQ(b.user.prompts.shown[0].text, "Do you wish to insert keywords meta tag?");
    EXPECT_EQ(b.user.prompts.shown[0].title, "Continue automatically (no inspection of meta tag)");
    EXPECT_NE(b.report.Text().find("File #1: 1.htm\r\n  Skipped\r\nFile #2"), std::string::npos);
    EXPECT_EQ(t.fs.Text("/r/1.htm"), GardenPage());
    EXPECT_NE(t.fs.Text("/r/2.htm").find(kTag), std::string::npos);
    EXPECT_EQ(b.settings.Confirm, 0);
}

TEST(BatchRun, BreakDuringTheWaitShowsThisFileInTheDialog) {
    ThreePages t;
    BatchBench b(t.fs, "/r");
    b.user.onTick = [&](int tick) {
        if (tick == 1) b.run->PressBreakStop();
    };
    b.user.onInspect = [&](EditSession& s) { s.Cancel(); };
    b.Run();
    EXPECT_EQ(b.user.inspected, 1);
    EXPECT_EQ(b.settings.Confirm, 1);
    EXPECT_EQ(t.fs.Text("/r/1.htm"), GardenPage());
}

}  // namespace
}  // namespace zelk::testing
