// What an insertion writes, and that nothing it meets may cost the user a
// page: the reference pages byte for byte, the checks of the request, the
// preserve settings and the edit dialog's text, the result texts; then links
// and what the page had, a failing file-system step, whatever stands at the
// working file's name, a link swapped in for the page, a second insertion, an
// editor saving meanwhile, and a kill at any moment. The page ends as exactly
// the old or the new text, no other file is touched, and a refusal says why.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>
#include <tuple>
#include <utility>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "insertion/Insert.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

using namespace zelk;
using namespace zelk::testing;
namespace stdfs = std::filesystem;

namespace {

const std::string kVP = kDefaultViewportMetaTag;
const std::string kKW = "<meta name=\"keywords\" content=\"garden, roses, soil\">";
const std::string kKWAccents = "<meta name=\"keywords\" content=\"caf\xe9, cr\xe8me\">";
// What the output box holds after Generate: the tag and the two count lines.
const std::string kBox = kKW + "\r\n\r\n3 keywords, 52 bytes.\r\n";
const std::string kNewVp = "  New VPMT inserted. As given.\r\n";
const std::string kShortKW = "  <meta name=\"keywords\" ... \"garden, roses, soil\">\r\n";
const std::string kShortAccents = "  <meta name=\"keywords\" ... \"caf\xe9, cr\xe8me\">\r\n";
const std::string kLogNewBoth = kNewVp + "  New KWMT inserted.\r\n" + kShortKW;
const std::string kOtherVP = "<meta name=\"viewport\" content=\"width=600\">";

InsertRequest SingleFile(bool vp, bool kw, const std::string& box = kBox,
                         const std::string& vpText = kVP) {
    InsertRequest rq;
    rq.insertVPMT = vp;
    rq.insertKWMT = kw;
    rq.vpmtText = vpText;
    rq.mainMetaTagText = box;
    return rq;
}

struct Outcome {
    int16_t code;
    std::string report;
};

Outcome Insert(const std::string& doc, const InsertRequest& rq, const std::string& keywordsTag,
               FileSystem& fs = RealFileSystem()) {
    ReportLog log;
    log.viewportText = [] { return kVP; };
    const int16_t code = InsertMetaTags(keywordsTag, doc, rq, log, fs);
    return {code, log.Text()};
}

// The viewport tag alone, as most of the tests of the rewrite insert it.
Outcome Insert(const std::string& doc, FileSystem& fs = RealFileSystem(),
               const std::string& vp = kVP) {
    return Insert(doc, SingleFile(true, false, "", vp), "", fs);
}

ino_t Inode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// --- reference pages: each input gives exactly its stored output ---

TEST(InsertIntoFile, EachReferencePageGivesItsStoredOutputCodeAndReport) {
    const std::string replacedKw = "  Existing KWMT replaced.\r\n" + kShortKW;
    const std::string newKwAccents = "  New KWMT inserted.\r\n" + kShortAccents;
    struct Case {
        const char* name;
        const std::string& tag;
        int16_t code;
        std::string report;
    };
    const Case cases[] = {
        {"basic_crlf", kKW, 0, kLogNewBoth},
        {"upper_two_on_line", kKW, 0, "  Existing VPMT replaced. As given.\r\n" + replacedKw},
        {"head_mid_line", kKW, 0, kLogNewBoth},
        {"lf_only", kKW, 0, replacedKw + kNewVp},
        {"cr_only", kKW, 0, kLogNewBoth},
        {"mixed", kKW, 0, kLogNewBoth},
        {"empty", kKW, -5, ""},
        {"no_head_end", kKW, -5, replacedKw},
        {"kw_two_lines", kKW, -4, "  Existing KWMT extends over more than one line.\r\n" + kNewVp},
        {"single_quotes", kKW, 0, kLogNewBoth},
        {"second_head_end", kKW, 0, kLogNewBoth},
        {"vp_two_lines", kKW, 0, kLogNewBoth},
        {"utf8_bom", kKWAccents, 0, "  Existing KWMT replaced.\r\n" + kShortAccents + kNewVp},
        {"utf8_charset", kKWAccents, 0, kNewVp + newKwAccents},
        {"cp1252", kKWAccents, 0, kNewVp + newKwAccents},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string doc =
            dir.Write("page.htm", ReadBytes(InsertionData(std::string(c.name) + ".in.htm")));
        const InsertRequest rq = SingleFile(true, true, c.tag + "\r\n\r\n2 keywords.\r\n");
        const Outcome r = Insert(doc, rq, MetaTagFromTextbox(rq.mainMetaTagText));
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(ReadBytes(doc), ReadBytes(InsertionData(std::string(c.name) + ".out.htm")));
        EXPECT_EQ(r.report, c.report);
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"page.htm"});
    }
}

// Checked before any file is touched; the window's message for each.
// The rest of a page past the head is copied in pieces; the reference is
// the rewrite's own line loop, one line at a time.
TEST(InsertIntoFile, LinesPastTheHeadEndAsTheLineLoopEndsThem) {
    auto reference = [](std::string_view doc, bool lfOnly) {
        std::string out;
        for (std::size_t pos = 0; pos < doc.size();) {
            std::size_t j = doc.find(lfOnly ? '\n' : '\r', pos);
            if (j == std::string_view::npos) j = doc.size();
            out.append(doc.substr(pos, j - pos)).append(lfOnly ? "\n" : "\r\n");
            pos = j + 1;
            if (!lfOnly && pos < doc.size() && doc[pos] == '\n') ++pos;
        }
        return out;
    };
    std::mt19937 rng(7);
    const char* pieces[] = {"a", "bc", "\r", "\n", "\r\n"};
    for (int i = 0; i < 3000; ++i) {
        std::string doc;
        // Long enough for the search sixteen bytes at a time.
        for (int n = static_cast<int>(rng() % 40); n > 0; --n) doc += pieces[rng() % 5];
        for (bool lfOnly : {false, true}) {
            if (lfOnly && doc.find('\r') != std::string::npos) continue;
            std::string out = "x";
            AppendLinesEnded(doc, lfOnly, out);
            ASSERT_EQ(out, "x" + reference(doc, lfOnly)) << ::testing::PrintToString(doc);
        }
    }
}

TEST(InsertMetaTags, InputChecksTouchNoFileAndGiveTheirMessage) {
    TempDir dir;
    const std::string doc = dir.Write("a.htm", "<head>\n</head>\n");
    const std::string noKw = "No keywords meta tag to insert.";
    const std::vector<std::tuple<std::string, InsertRequest, std::string, int16_t, std::string>>
        rows = {{dir / "missing.htm", SingleFile(true, true), kKW, -3, "Error #-3"},
                {dir.path(), SingleFile(true, true), kKW, -3, "Error #-3"},  // a folder
                {doc, SingleFile(true, true, kBox, ""), kKW, -8, "No viewport meta tag to insert."},
                {doc, SingleFile(true, true), "<meta name=keywords>", -2, noKw},
                {doc, SingleFile(true, true), "<meta-name=\"keywords\">", -2, noKw},
                {doc, SingleFile(true, true),
                 "<META NAME=\"KEYWORDS\" content=\"Existing Keywords\">", -2, noKw}};
    for (const auto& [path, rq, tag, code, text] : rows) {
        EXPECT_EQ(Insert(path, rq, tag).code, code) << path << tag;
        const InsertResultMessage m = InsertResultText(code, true, true, kInsertKeywordsCaption);
        EXPECT_EQ(m.text + "|" + m.title, text + "|Error");
        EXPECT_EQ(m.icon, Icon::Exclamation);
    }
    EXPECT_EQ(ReadBytes(doc), "<head>\n</head>\n");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
}

// --- multiple-files mode: preserve settings and the edit dialog's box ---

InsertRequest MultipleFiles(bool vp, bool kw, bool keepVp, bool keepKw, const std::string& dialog) {
    InsertRequest rq = SingleFile(vp, kw, "ignored main box");
    rq.singleFile = false;
    rq.preserveExistingVPMT = keepVp;
    rq.preserveExistingKWMT = keepKw;
    rq.dialogMetaTagText = dialog;
    return rq;
}

TEST(InsertMetaTagsMultipleFiles, PreserveSettingsAndTheDialogBox) {
    TempDir dir;
    const std::string oldVp = "<meta name=\"viewport\" content=\"w=1\">";
    const std::string both =
        "<head>\r\n" + oldVp + "\r\n<meta name=\"keywords\" content=\"old\">\r\n</head>\r\n";
    const std::string doc = dir.Write("a.htm", both);
    // Both kept: nothing changes, so nothing is written.
    const ino_t before = Inode(doc);
    Outcome r = Insert(doc, MultipleFiles(true, true, true, true, kKW), kKW);
    EXPECT_EQ(r.code, -12);
    EXPECT_EQ(r.report, "  Existing VPMT not replaced.\r\n  Existing KWMT not replaced.\r\n");
    EXPECT_EQ(ReadBytes(doc), both);
    EXPECT_EQ(Inode(doc), before) << "the page was written again";
    // A replacement takes the whole dialog text, a new tag only the tag.
    EXPECT_EQ(Insert(doc, MultipleFiles(true, true, true, false, " " + kKW + " "), kKW).code, -10);
    EXPECT_EQ(ReadBytes(doc), "<head>\r\n" + oldVp + "\r\n " + kKW + " \r\n</head>\r\n");
    dir.Write("a.htm", "<head></head>\n");
    EXPECT_EQ(Insert(doc, MultipleFiles(false, true, false, false, " " + kKW + " "), kKW).code, 0);
    EXPECT_EQ(ReadBytes(doc), "<head>\n" + kKW + "\n</head>\n");
    // With only the viewport tag ticked the dialog holds that tag; not the
    // main window's text, so the report shows its short form.
    dir.Write("a.htm", "<head></head>\n");
    r = Insert(doc, MultipleFiles(true, false, false, false, kOtherVP), "");
    EXPECT_EQ(r.report, "  New VPMT inserted.\r\n  <meta name=\"viewport\" ... \"width=600\">\r\n");
    EXPECT_EQ(ReadBytes(doc), "<head>\n" + kOtherVP + "\n</head>\n");
}

// ===== the rewrite: nothing lost =====

const std::string kPage = "<html>\r\n<head>\r\n<title>Roses</title>\r\n</head>\r\n";
const std::string kNewPage =
    "<html>\r\n<head>\r\n<title>Roses</title>\r\n" + kVP + "\r\n</head>\r\n";
const std::string kSecret = "root-only secret\n";

// kPage with a body that takes several reads and writes.
std::string BigPage() {
    std::string page = kPage;
    for (int i = 0; i < 4000; ++i)
        page += "<p>Roses need sun, water and a well drained soil. Line " + std::to_string(i) +
                "</p>\r\n";
    return page;
}

// --- paths, links and what the page had ---

TEST(InsertMetaTagsPaths, WorkingFileNeedsADotInTheFileName) {
    // The scratch folder's own name has no ".", so "page" has no working
    // file name; a "." in a folder name does not count, and the folder the
    // misplaced working name would point into is left alone.
    TempDir dir;
    ASSERT_EQ(dir.path().find('.'), std::string::npos);
    stdfs::create_directory(dir / "site.v2");
    stdfs::create_directory(dir / "site.bak.v2");
    dir.Write("site.bak.v2/page", "precious");
    for (const char* page : {"page", "site.v2/page"}) {
        EXPECT_EQ(Insert(dir.Write(page, "<head></head>")).code, -7);
        EXPECT_EQ(ReadBytes(dir / page), "<head></head>");
    }
    EXPECT_EQ(ReadBytes(dir / "site.bak.v2/page"), "precious");
    EXPECT_EQ(Insert(dir.Write("site.v2/index.htm", "<head></head>")).code, 0);
    EXPECT_EQ(ReadBytes(dir / "site.v2/index.htm"), "<head>\r\n" + kVP + "\r\n</head>\r\n");
}

TEST(InsertMetaTagsPaths, SymlinkedDocumentIsRewrittenAtItsTargetAndStaysALink) {
    TempDir dir;
    stdfs::create_directory(dir / "store");
    stdfs::create_directory(dir / "site");
    dir.Write("store/page.html", "<head></head>");
    stdfs::create_symlink("../store/page.html", dir / "site/index.htm");
    EXPECT_EQ(Insert(dir / "site/index.htm").code, 0);
    EXPECT_EQ(stdfs::read_symlink(dir / "site/index.htm"), "../store/page.html");
    EXPECT_EQ(ReadBytes(dir / "store/page.html"), "<head>\r\n" + kVP + "\r\n</head>\r\n");
    EXPECT_FALSE(stdfs::exists(dir / "store/page.bak.html") ||
                 stdfs::exists(dir / "site/index.bak.htm"));
}

TEST(InsertMetaTagsPaths, PermissionBitsOwnerAndExtendedAttributesAreKept) {
    TempDir dir;
    const std::string doc = dir.Write("a.htm", "<head></head>");
    ASSERT_EQ(::chmod(doc.c_str(), 0444), 0);
    const bool xattrs = ::setxattr(doc.c_str(), "user.zelk.note", "kept", 4, 0) == 0;
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(doc.c_str(), 65534, 65534), 0);
    }
    EXPECT_EQ(Insert(doc).code, 0);
    EXPECT_EQ(ReadBytes(doc), "<head>\r\n" + kVP + "\r\n</head>\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(doc.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_EQ(st.st_uid, root ? 65534u : ::geteuid());
    if (xattrs) {
        char value[16] = {};
        EXPECT_EQ(::getxattr(doc.c_str(), "user.zelk.note", value, sizeof value), 4);
        EXPECT_EQ(std::string(value), "kept");
    }
}

// --- fault injection: every file-system step fails once ---

TEST(InsertFaults, AFaultAtAnyStepLeavesThePageByteIdenticalAndNoWorkingFile) {
    using S = FaultyFileSystem::Step;
    // The n-th call of a step fails; the first look at the name only makes
    // the page count as missing.
    const std::vector<std::tuple<S, int, int16_t>> faults = {
        {S::Stat, 1, -3},       {S::Stat, 2, -7},           {S::Stat, 3, -7},
        {S::Stat, 4, -7},       {S::OpenNoFollow, 1, -7},
        {S::StatHandle, 1, -7}, {S::Lock, 1, -7},           {S::Read, 1, -7},
        {S::Read, 2, -7},       {S::Remove, 1, -7},         {S::CreateExclusive, 1, -7},
        {S::StatHandle, 2, -7}, {S::Write, 1, -7},          {S::Write, 3, -7},
        {S::SetMode, 1, -7},    {S::ListAttributes, 1, -7}, {S::Sync, 1, -7},
        {S::Close, 1, -7},      {S::Rename, 1, -7}};
    const std::string page = BigPage();
    ASSERT_GT(page.size(), 3u * 65536u);
    for (const auto& [step, nth, code] : faults) {
        SCOPED_TRACE(::testing::Message() << "step " << static_cast<int>(step) << ", call " << nth);
        TempDir dir;
        FaultyFileSystem fs(RealFileSystem());
        fs.FailAt(step, nth);
        const Outcome r = Insert(dir.Write("page.htm", page), fs);
        EXPECT_EQ(r.code, code);
        EXPECT_TRUE(fs.Fired());
        EXPECT_EQ(ReadBytes(dir / "page.htm"), page);
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"page.htm"});
        // The report says why, and claims no tag.
        EXPECT_EQ(r.report, code == -7 ? "  Not inserted: Input/output error.\r\n" : "");
    }
}

// --- races: something happens in the folder at one chosen step ---

// Runs each hook once: just before the first opening of the page, and just
// before the first write of the working file.
struct HookedFileSystem final : ForwardingFileSystem {
    HookedFileSystem() : ForwardingFileSystem(RealFileSystem()) {}
    Handle OpenNoFollow(const std::string& p) override {
        if (auto hook = std::exchange(beforeOpen, nullptr)) hook();
        return inner_.OpenNoFollow(p);
    }
    bool Write(Handle h, const char* d, std::size_t n) override {
        if (auto hook = std::exchange(beforeWrite, nullptr)) hook();
        return inner_.Write(h, d, n);
    }
    std::function<void()> beforeOpen, beforeWrite;
};

class InsertRace : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(page, kPage);
        WriteBytes(secret, kSecret);
    }
    void ExpectOnlyThePageAndTheSecret() const {
        EXPECT_EQ(ReadBytes(secret), kSecret);
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"page.htm", "secret.txt"}));
    }

    TempDir dir;
    const std::string page = dir / "page.htm";
    const std::string work = dir / "page.bak.htm";
    const std::string secret = dir / "secret.txt";
};

TEST_F(InsertRace, WhateverStandsAtTheWorkingNameIsUnlinkedNeverFilledOrFollowed) {
    const std::vector<std::pair<const char*, std::function<void()>>> occupants = {
        {"hard link", [&] { ASSERT_EQ(::link(secret.c_str(), work.c_str()), 0); }},
        {"symbolic link", [&] { stdfs::create_symlink("secret.txt", work); }},
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(work.c_str(), 0644), 0); }},
    };
    for (const auto& [what, place] : occupants) {
        SCOPED_TRACE(what);
        WriteBytes(page, kPage);
        place();
        EXPECT_EQ(Insert(page).code, 0);
        EXPECT_EQ(ReadBytes(page), kNewPage);
        ExpectOnlyThePageAndTheSecret();
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

TEST_F(InsertRace, LinkSwappedInBeforeTheOpenIsNotFollowed) {
    // Between the check of the name and its opening, someone renames a link
    // to a file they may not read over the page.
    HookedFileSystem fs;
    fs.beforeOpen = [&] {
        stdfs::create_symlink("secret.txt", dir / "swap");
        stdfs::rename(dir / "swap", page);
    };
    const Outcome r = Insert(page, fs);
    EXPECT_EQ(r.code, -7);
    EXPECT_EQ(r.report, "  Not inserted: Too many levels of symbolic links.\r\n");
    EXPECT_TRUE(stdfs::is_symlink(page));  // left as it was found
    ExpectOnlyThePageAndTheSecret();
}

TEST_F(InsertRace, EditSavedDuringTheInsertionIsKept) {
    const std::string edited = kPage + "<p>saved by an editor</p>\r\n";
    // An editor that writes in place, and one that saves by renaming.
    for (bool inPlace : {true, false}) {
        WriteBytes(page, kPage);
        HookedFileSystem fs;
        fs.beforeWrite = [&] {
            WriteBytes(inPlace ? page : dir / "page.htm~", edited);
            if (!inPlace) stdfs::rename(dir / "page.htm~", page);
        };
        const Outcome r = Insert(page, fs);
        EXPECT_EQ(r.code, -7);
        EXPECT_EQ(r.report, "  Not inserted: the file was changed by another program.\r\n");
        EXPECT_EQ(ReadBytes(page), edited);
        ExpectOnlyThePageAndTheSecret();
    }
}

TEST_F(InsertRace, SecondInsertionWhileTheFirstWritesRefuses) {
    // The second insertion runs from start to end while the first one is in
    // its first write: the lock on the page turns it away.
    Outcome second{};
    HookedFileSystem fs;
    fs.beforeWrite = [&] { second = Insert(page, RealFileSystem(), kOtherVP); };
    EXPECT_EQ(Insert(page, fs).code, 0);
    EXPECT_EQ(second.code, -7);
    EXPECT_EQ(second.report, "  Not inserted: another program is rewriting the file.\r\n");
    EXPECT_EQ(ReadBytes(page), kNewPage);
    ExpectOnlyThePageAndTheSecret();
}

// --- kills: a child process inserting is killed at random moments ---

// Stretches the writing of the working file over many small, slow steps so
// that random kills land in every phase of an insertion.
class SlowFileSystem final : public ForwardingFileSystem {
public:
    SlowFileSystem() : ForwardingFileSystem(RealFileSystem()) {}
    bool Write(Handle h, const char* data, std::size_t size) override {
        for (std::size_t off = 0; off < size; off += 2048) {
            if (!inner_.Write(h, data + off, std::min<std::size_t>(size - off, 2048))) return false;
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
        return true;
    }
    bool Rename(const std::string& a, const std::string& b) override {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        return inner_.Rename(a, b);
    }
};

TEST(InsertCrash, KilledAtRandomMomentsTheDocumentIsOldOrNew) {
    TempDir dir;
    const std::string oldText = BigPage();
    const std::string doc = dir.Write("page.htm", oldText);
    ASSERT_EQ(Insert(doc).code, 0);
    const std::string newText = ReadBytes(doc);
    ASSERT_NE(newText, oldText);

    std::mt19937 rng(20261206);
    long long longest = 20000;  // microseconds after the start
    int sawOld = 0, sawNew = 0;
    // At least 60 rounds; more while the kills have not yet landed on both
    // sides of the replacement, moving their range towards the side missed
    // (a loaded or sanitized build is many times slower).
    for (int round = 0; round < 60 || ((sawOld == 0 || sawNew == 0) && round < 300); ++round) {
        if (round % 20 == 19 && sawNew == 0) longest *= 2;
        if (round % 20 == 19 && sawOld == 0) longest = longest / 2 + 1;
        if (round % 2 == 0) WriteBytes(doc, oldText);
        std::fflush(nullptr);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SlowFileSystem slow;
            ::_exit(Insert(doc, slow).code == 0 ? 0 : 3);
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<long long>(0, longest)(rng)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(!WIFEXITED(status) || WEXITSTATUS(status) == 0) << "round " << round;
        const std::string now = ReadBytes(doc);
        ASSERT_TRUE(now == oldText || now == newText)
            << "round " << round << ": document has " << now.size() << " bytes";
        (now == oldText ? sawOld : sawNew)++;
        // A killed run may leave its working file; the batch run reports such
        // leftovers. Clear it for the next round.
        stdfs::remove(dir / "page.bak.htm");
    }
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
}

}  // namespace
