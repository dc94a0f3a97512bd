// What else can stand in a folder, or happen in it while a page is being
// rewritten: links and FIFOs at the working file's name, a link swapped in
// for the page, a second insertion and an editor saving the page. The page
// ends as exactly the old or the new text, no other file is touched, and a
// refusal says why.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "insertion/Insert.h"
#include "support/TempDir.h"
#include "support/ForwardingFileSystem.h"

using namespace zelk;
using namespace zelk::testing;
namespace stdfs = std::filesystem;

namespace {

const std::string kVP = "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">";
const std::string kPage = "<html>\r\n<head>\r\n<title>Roses</title>\r\n</head>\r\n</html>\r\n";
const std::string kNewPage =
    "<html>\r\n<head>\r\n<title>Roses</title>\r\n" + kVP + "\r\n</head>\r\n</html>\r\n";
const std::string kSecret = "root-only secret\n";

InsertRequest ViewportOnly(const std::string& vp = kVP) {
    InsertRequest rq;
    rq.insertVPMT = true;
    rq.vpmtText = vp;
    return rq;
}

struct Outcome {
    int16_t code;
    std::string report;
};

Outcome Insert(const std::string& doc, FileSystem& fs = RealFileSystem(),
               const InsertRequest& rq = ViewportOnly()) {
    ReportLog log;
    log.viewportText = [] { return kVP; };
    const int16_t code = InsertMetaTags("", doc, rq, log, fs);
    return {code, log.Text()};
}

// Runs a hook once, just before the n-th call of one step.
class HookedFileSystem final : public ForwardingFileSystem {
public:
    enum class Step { OpenNoFollow, Lock, Write };
    HookedFileSystem(Step step, std::function<void()> hook)
        : ForwardingFileSystem(RealFileSystem()), step_(step), hook_(std::move(hook)) {}

    Handle OpenNoFollow(const std::string& p) override {
        Before(Step::OpenNoFollow);
        return inner_.OpenNoFollow(p);
    }
    bool Lock(Handle h) override {
        Before(Step::Lock);
        return inner_.Lock(h);
    }
    bool Write(Handle h, const char* d, std::size_t n) override {
        Before(Step::Write);
        return inner_.Write(h, d, n);
    }

private:
    void Before(Step s) {
        if (s != step_ || !hook_) return;
        auto hook = std::move(hook_);
        hook_ = nullptr;
        hook();
    }
    Step step_;
    std::function<void()> hook_;
};

class InsertRace : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(page, kPage);
        WriteBytes(secret, kSecret);
        ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
    }
    std::vector<std::string> Entries() const { return dir.Entries(); }

    TempDir dir;
    const std::string page = dir / "page.htm";
    const std::string work = dir / "page.bak.htm";
    const std::string secret = dir / "secret.txt";
};

// --- whatever stands at the working file's name ---

TEST_F(InsertRace, WhateverStandsAtTheWorkingNameIsUnlinkedNeverFilledOrFollowed) {
    const std::vector<std::pair<const char*, std::function<void()>>> occupants = {
        {"hard link", [&] { ASSERT_EQ(::link(secret.c_str(), work.c_str()), 0); }},
        {"symbolic link", [&] { stdfs::create_symlink("secret.txt", work); }},
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(work.c_str(), 0644), 0); }},
        {"leftover", [&] { WriteBytes(work, "leftover of an interrupted run"); }},
    };
    for (const auto& [what, place] : occupants) {
        SCOPED_TRACE(what);
        WriteBytes(page, kPage);
        place();
        EXPECT_EQ(Insert(page).code, 0);
        EXPECT_EQ(ReadBytes(page), kNewPage);
        EXPECT_EQ(ReadBytes(secret), kSecret);
        struct stat st {};
        ASSERT_EQ(::stat(secret.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
        EXPECT_EQ(st.st_nlink, 1u);
        EXPECT_EQ(Entries(), (std::vector<std::string>{"page.htm", "secret.txt"}));
    }
    // A folder cannot be removed as a name: refused with its reason.
    stdfs::create_directory(work);
    WriteBytes(page, kPage);
    const Outcome r = Insert(page);
    EXPECT_EQ(r.code, -7);
    EXPECT_EQ(r.report, "  Not inserted: a folder has the name of the working file.\r\n");
    EXPECT_EQ(ReadBytes(page), kPage);
    EXPECT_TRUE(stdfs::is_directory(work));
}

// --- the page itself changing under the insertion ---

TEST_F(InsertRace, LinkSwappedInBeforeTheOpenIsNotFollowed) {
    // Between the check of the name and its opening, someone renames a link
    // to a file they may not read over the page.
    HookedFileSystem fs(HookedFileSystem::Step::OpenNoFollow, [&] {
        stdfs::create_symlink("secret.txt", dir / "swap");
        stdfs::rename(dir / "swap", page);
    });
    const Outcome r = Insert(page, fs);
    EXPECT_EQ(r.code, -7);
    EXPECT_EQ(r.report, "  Not inserted: Too many levels of symbolic links.\r\n");
    EXPECT_EQ(ReadBytes(secret), kSecret);
    EXPECT_TRUE(stdfs::is_symlink(page));  // left as it was found
    EXPECT_EQ(Entries(), (std::vector<std::string>{"page.htm", "secret.txt"}));
}

TEST_F(InsertRace, EditSavedDuringTheInsertionIsKept) {
    const std::string edited = kPage + "<p>saved by an editor</p>\r\n";
    // An editor that writes in place, and one that saves by renaming.
    for (bool inPlace : {true, false}) {
        WriteBytes(page, kPage);
        HookedFileSystem fs(HookedFileSystem::Step::Write, [&] {
            if (inPlace) {
                WriteBytes(page, edited);
            } else {
                WriteBytes(dir / "page.htm~", edited);
                stdfs::rename(dir / "page.htm~", page);
            }
        });
        const Outcome r = Insert(page, fs);
        EXPECT_EQ(r.code, -7);
        EXPECT_EQ(r.report, "  Not inserted: the file was changed by another program.\r\n");
        EXPECT_EQ(ReadBytes(page), edited);
        EXPECT_EQ(Entries(), (std::vector<std::string>{"page.htm", "secret.txt"}));
    }
}

// --- two insertions into one page ---

const std::string kOtherVP = "<meta name=\"viewport\" content=\"width=600\">";

TEST_F(InsertRace, SecondInsertionWhileTheFirstWritesRefuses) {
    // The first insertion stops in its first write until the second has
    // run to its end.
    std::mutex m;
    std::condition_variable cv;
    bool firstWriting = false, secondDone = false;
    HookedFileSystem slow(HookedFileSystem::Step::Write, [&] {
        std::unique_lock<std::mutex> lock(m);
        firstWriting = true;
        cv.notify_all();
        cv.wait(lock, [&] { return secondDone; });
    });
    Outcome first{};
    std::thread t([&] { first = Insert(page, slow); });
    Outcome second{};
    {
        std::unique_lock<std::mutex> lock(m);
        cv.wait(lock, [&] { return firstWriting; });
        second = Insert(page, RealFileSystem(), ViewportOnly(kOtherVP));
        secondDone = true;
        cv.notify_all();
    }
    t.join();
    EXPECT_EQ(second.code, -7);
    EXPECT_EQ(second.report, "  Not inserted: another program is rewriting the file.\r\n");
    EXPECT_EQ(first.code, 0);
    EXPECT_EQ(ReadBytes(page), kNewPage);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"page.htm", "secret.txt"}));
}

TEST_F(InsertRace, InsertionThatLostTheRaceForTheLockRefuses) {
    // The second insertion has opened the page when the first one runs from
    // start to end; it must not rewrite the page it read.
    Outcome first{};
    HookedFileSystem late(HookedFileSystem::Step::Lock, [&] { first = Insert(page); });
    const Outcome second = Insert(page, late, ViewportOnly(kOtherVP));
    EXPECT_EQ(first.code, 0);
    EXPECT_EQ(second.code, -7);
    EXPECT_EQ(second.report, "  Not inserted: the file was changed by another program.\r\n");
    EXPECT_EQ(ReadBytes(page), kNewPage);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"page.htm", "secret.txt"}));
}

}  // namespace
