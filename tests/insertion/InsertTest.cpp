#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "insertion/Insert.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

using namespace zelk;
using namespace zelk::testing;
namespace stdfs = std::filesystem;

namespace {

const std::string kVP = "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">";
const std::string kKW = "<meta name=\"keywords\" content=\"garden, roses, soil\">";
const std::string kKWAccents = "<meta name=\"keywords\" content=\"caf\xe9, cr\xe8me\">";
// What the output box holds after Generate: the tag and the two count lines.
const std::string kBox = kKW + "\r\n\r\n3 keywords, 52 bytes.\r\n";
const std::string kNewVp = "  New VPMT inserted. As given.\r\n";
const std::string kShortKW = "  <meta name=\"keywords\" ... \"garden, roses, soil\">\r\n";
const std::string kShortAccents = "  <meta name=\"keywords\" ... \"caf\xe9, cr\xe8me\">\r\n";
const std::string kLogNewBoth = kNewVp + "  New KWMT inserted.\r\n" + kShortKW;

InsertRequest SingleFile(bool vp, bool kw, const std::string& box = kBox) {
    InsertRequest rq;
    rq.insertVPMT = vp;
    rq.insertKWMT = kw;
    rq.vpmtText = kVP;
    rq.singleFile = true;
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

ino_t Inode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// --- reference pages: each input gives exactly its stored output ---

struct FileCase {
    const char* name;
    const std::string* tag;
    int16_t code;
    std::string log;
};

std::ostream& operator<<(std::ostream& os, const FileCase& c) { return os << c.name; }

class InsertIntoFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(InsertIntoFile, GivesTheExpectedBytesCodeAndReport) {
    const FileCase& c = GetParam();
    TempDir dir;
    const std::string doc = dir / "page.htm";
    WriteBytes(doc, ReadBytes(InsertionData(std::string(c.name) + ".in.htm")));
    const InsertRequest rq = SingleFile(true, true, *c.tag + "\r\n\r\n2 keywords.\r\n");
    const Outcome r = Insert(doc, rq, MetaTagFromTextbox(rq.mainMetaTagText));
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(ReadBytes(doc), ReadBytes(InsertionData(std::string(c.name) + ".out.htm")));
    EXPECT_EQ(r.report, c.log);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"page.htm"});
}

const std::string kReplacedKW = "  Existing KWMT replaced.\r\n" + kShortKW;

INSTANTIATE_TEST_SUITE_P(
    Documents, InsertIntoFile,
    ::testing::Values(
        FileCase{"basic_crlf", &kKW, 0, kLogNewBoth},
        FileCase{"upper_two_on_line", &kKW, 0, "  Existing VPMT replaced. As given.\r\n" + kReplacedKW},
        FileCase{"head_mid_line", &kKW, 0, kLogNewBoth},
        FileCase{"lf_only", &kKW, 0, kReplacedKW + kNewVp},
        FileCase{"cr_only", &kKW, 0, kLogNewBoth},
        FileCase{"mixed", &kKW, 0, kLogNewBoth},
        FileCase{"empty", &kKW, -5, ""},
        FileCase{"no_head_end", &kKW, -5, kReplacedKW},
        FileCase{"kw_two_lines", &kKW, -4,
                 "  Existing KWMT extends over more than one line.\r\n" + kNewVp},
        FileCase{"single_quotes", &kKW, 0, kLogNewBoth},
        FileCase{"second_head_end", &kKW, 0, kLogNewBoth},
        FileCase{"vp_two_lines", &kKW, 0, kLogNewBoth},
        FileCase{"utf8_bom", &kKWAccents, 0, "  Existing KWMT replaced.\r\n" + kShortAccents + kNewVp},
        FileCase{"utf8_charset", &kKWAccents, 0, kNewVp + "  New KWMT inserted.\r\n" + kShortAccents},
        FileCase{"cp1252", &kKWAccents, 0, kNewVp + "  New KWMT inserted.\r\n" + kShortAccents},
        FileCase{"utf16", &kKW, -9, "  Not inserted: UTF-16 or UTF-32 file.\r\n"}),
    [](const ::testing::TestParamInfo<FileCase>& p) { return std::string(p.param.name); });

TEST(InsertMetaTags, InputChecksComeBeforeAnyFileIsTouched) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    WriteBytes(doc, "<head>\n</head>\n");
    InsertRequest noVp = SingleFile(true, true);
    noVp.vpmtText.clear();
    EXPECT_EQ(Insert("", SingleFile(true, true), kKW).code, -1);
    EXPECT_EQ(Insert(dir / "missing.htm", SingleFile(true, true), kKW).code, -3);
    EXPECT_EQ(Insert(dir.path(), SingleFile(true, true), kKW).code, -3);  // a folder
    EXPECT_EQ(Insert(doc, noVp, kKW).code, -8);
    for (const char* badTag : {"<meta name=keywords>", "<meta-name=\"keywords\">",
                               "<META NAME=\"KEYWORDS\" content=\"Existing Keywords\">"})
        EXPECT_EQ(Insert(doc, SingleFile(true, true), badTag).code, -2) << badTag;
    EXPECT_EQ(ReadBytes(doc), "<head>\n</head>\n");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
}

// --- multiple-files mode: preserve settings and the edit dialog's box ---

TEST(InsertMetaTagsMultipleFiles, PreserveSettingsAndTheDialogBox) {
    const std::string both = "<head>\r\n<meta name=\"viewport\" content=\"w=1\">\r\n"
                             "<meta name=\"keywords\" content=\"old\">\r\n</head>\r\n";
    const std::string dialogVp = "<meta name=\"viewport\" content=\"width=600\">";
    struct Case {
        bool vp, kw, keepVp, keepKw;
        std::string dialog, page, after;
        int16_t code;
        std::string report;  // "" when not checked
    };
    const std::vector<Case> cases = {
        {true, true, true, true, kKW, both, both, -12,
         "  Existing VPMT not replaced.\r\n  Existing KWMT not replaced.\r\n"},
        {true, true, true, false, kKW, both,
         "<head>\r\n<meta name=\"viewport\" content=\"w=1\">\r\n" + kKW + "\r\n</head>\r\n", -10, ""},
        {true, true, false, true, kKW, both,
         "<head>\r\n" + kVP + "\r\n<meta name=\"keywords\" content=\"old\">\r\n</head>\r\n", -11, ""},
        // A replacement takes the whole dialog text, a new tag only the tag.
        {false, true, false, false, " " + kKW + " ",
         "<head><meta name=\"keywords\" content=\"old\"></head>\n", "<head> " + kKW + " \n</head>\n",
         0, ""},
        {false, true, false, false, " " + kKW + " ", "<head></head>\n",
         "<head>\n" + kKW + "\n</head>\n", 0, ""},
        // Not the main window's text, so the report shows its short form.
        {true, false, false, false, dialogVp, "<head>\r\n</head>\r\n",
         "<head>\r\n" + dialogVp + "\r\n</head>\r\n", 0,
         "  New VPMT inserted.\r\n  <meta name=\"viewport\" ... \"width=600\">\r\n"},
    };
    TempDir dir;
    const std::string doc = dir / "a.htm";
    for (const Case& c : cases) {
        WriteBytes(doc, c.page);
        const ino_t before = Inode(doc);
        InsertRequest rq = SingleFile(c.vp, c.kw, "ignored main box");
        rq.singleFile = false;
        rq.preserveExistingVPMT = c.keepVp;
        rq.preserveExistingKWMT = c.keepKw;
        rq.dialogMetaTagText = c.dialog;
        const Outcome r = Insert(doc, rq, c.kw ? kKW : "");
        EXPECT_EQ(r.code, c.code) << c.page;
        EXPECT_EQ(ReadBytes(doc), c.after);
        if (!c.report.empty()) {
            EXPECT_EQ(r.report, c.report);
        }
        if (c.code == -12) {
            EXPECT_EQ(Inode(doc), before) << "the page was rewritten";
        }
    }
}

// --- paths, links and what the page had ---

TEST(InsertMetaTagsPaths, WorkingFileNeedsADotInTheFileName) {
    TempDir dir;
    // The scratch folder's own name has no ".", so no working file can be named.
    ASSERT_EQ(dir.path().find('.'), std::string::npos);
    WriteBytes(dir / "page", "<head></head>");
    EXPECT_EQ(Insert(dir / "page", SingleFile(true, false, ""), "").code, -7);
    EXPECT_EQ(ReadBytes(dir / "page"), "<head></head>");
    // A dot in a folder name does not count; the folder the misplaced
    // working name would point into is left alone.
    stdfs::create_directory(dir / "site.v2");
    stdfs::create_directory(dir / "site.bak.v2");
    WriteBytes(dir / "site.bak.v2/page", "precious");
    WriteBytes(dir / "site.v2/page", "<head></head>");
    WriteBytes(dir / "site.v2/index.htm", "<head></head>");
    EXPECT_EQ(Insert(dir / "site.v2/page", SingleFile(true, false, ""), "").code, -7);
    EXPECT_EQ(ReadBytes(dir / "site.v2/page"), "<head></head>");
    EXPECT_EQ(ReadBytes(dir / "site.bak.v2/page"), "precious");
    EXPECT_EQ(Insert(dir / "site.v2/index.htm", SingleFile(true, false, ""), "").code, 0);
    EXPECT_EQ(ReadBytes(dir / "site.v2/index.htm"), "<head>\r\n" + kVP + "\r\n</head>\r\n");
    EXPECT_FALSE(stdfs::exists(dir / "site.v2/index.bak.htm"));
}

TEST(InsertMetaTagsPaths, SymlinkedDocumentIsRewrittenAtItsTargetAndStaysALink) {
    TempDir dir;
    stdfs::create_directory(dir / "store");
    stdfs::create_directory(dir / "site");
    WriteBytes(dir / "store/page.html", "<head></head>");
    stdfs::create_symlink("../store/page.html", dir / "site/index.htm");
    EXPECT_EQ(Insert(dir / "site/index.htm", SingleFile(true, false, ""), "").code, 0);
    EXPECT_EQ(stdfs::read_symlink(dir / "site/index.htm"), "../store/page.html");
    EXPECT_EQ(ReadBytes(dir / "store/page.html"), "<head>\r\n" + kVP + "\r\n</head>\r\n");
    for (const char* sub : {"store", "site"})
        EXPECT_EQ(std::distance(stdfs::directory_iterator(dir / sub), stdfs::directory_iterator()), 1);
}

TEST(InsertMetaTagsPaths, PermissionBitsOwnerAndExtendedAttributesAreKept) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    WriteBytes(doc, "<head></head>");
    ASSERT_EQ(::chmod(doc.c_str(), 0444), 0);
    const bool xattrs = ::setxattr(doc.c_str(), "user.zelk.note", "kept", 4, 0) == 0;
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(doc.c_str(), 65534, 65534), 0);
    }
    EXPECT_EQ(Insert(doc, SingleFile(true, false, ""), "").code, 0);
    EXPECT_EQ(ReadBytes(doc), "<head>\r\n" + kVP + "\r\n</head>\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(doc.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
    }
    if (xattrs) {
        char value[16] = {};
        EXPECT_EQ(::getxattr(doc.c_str(), "user.zelk.note", value, sizeof value), 4);
        EXPECT_EQ(std::string(value), "kept");
    }
}

// --- fault injection: every file-system step fails once ---

std::string BigPage() {
    std::string page = "<html>\r\n<head>\r\n<title>Roses</title>\r\n"
                       "<meta name=\"keywords\" content=\"old\">\r\n</head>\r\n<body>\r\n";
    for (int i = 0; i < 4000; ++i)
        page += "<p>Roses need sun, water and a well drained soil. Line " + std::to_string(i) +
                "</p>\r\n";
    return page + "</body>\r\n</html>\r\n";
}

struct Fault {
    FaultyFileSystem::Step step;
    int nth;
    int16_t code;
    const char* name;
};

class InsertFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(InsertFaults, DocumentIsByteIdenticalAndNoWorkingFileIsLeft) {
    const Fault& f = GetParam();
    TempDir dir;
    const std::string doc = dir / "page.htm";
    const std::string page = BigPage();
    ASSERT_GT(page.size(), 3u * 65536u);  // several reads and writes
    WriteBytes(doc, page);
    FaultyFileSystem fs(RealFileSystem());
    fs.FailAt(f.step, f.nth);
    const Outcome r = Insert(doc, SingleFile(true, true), kKW, fs);
    EXPECT_EQ(r.code, f.code);
    EXPECT_TRUE(fs.Fired());
    EXPECT_EQ(ReadBytes(doc), page);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"page.htm"});
    // The report says why, and claims no tag.
    if (f.code == kInsertFileError) {
        EXPECT_EQ(r.report, "  Not inserted: Input/output error.\r\n");
    }
}

using S = FaultyFileSystem::Step;
INSTANTIATE_TEST_SUITE_P(
    EachStep, InsertFaults,
    ::testing::Values(Fault{S::Stat, 1, -3, "input_check"}, Fault{S::Stat, 2, -7, "stat_page"},
                      Fault{S::Stat, 3, -7, "check_after_lock"},
                      Fault{S::Stat, 4, -7, "check_before_rename"},
                      Fault{S::Stat, 5, -7, "check_working_name"},
                      Fault{S::OpenNoFollow, 1, -7, "open_page"},
                      Fault{S::StatHandle, 1, -7, "fstat_page"}, Fault{S::Lock, 1, -7, "lock"},
                      Fault{S::Read, 1, -7, "first_read"}, Fault{S::Read, 2, -7, "read_at_the_end"},
                      Fault{S::Remove, 1, -7, "remove_working_name"},
                      Fault{S::CreateExclusive, 1, -7, "create_working_file"},
                      Fault{S::StatHandle, 2, -7, "fstat_working_file"},
                      Fault{S::Write, 1, -7, "first_write"}, Fault{S::Write, 3, -7, "third_write"},
                      Fault{S::SetMode, 1, -7, "set_mode"},
                      Fault{S::ListAttributes, 1, -7, "list_attributes"},
                      Fault{S::Sync, 1, -7, "sync"}, Fault{S::Close, 1, -7, "close_working_file"},
                      Fault{S::Rename, 1, -7, "rename"}),
    [](const ::testing::TestParamInfo<Fault>& p) { return std::string(p.param.name); });

// --- the working file's name: the batch's leftover rule depends on it ---

TEST(InsertHelpers, TempFilepathAndIsBAKfile) {
    EXPECT_EQ(TempFilepath("/w/abc.htm"), "/w/abc.bak.htm");
    EXPECT_EQ(TempFilepath("/w.x/abc"), "/w.bak.x/abc");
    EXPECT_EQ(TempFilepath("/w/abc"), "");
    for (const char* p : {"/w/index.bak.htm", "/w/INDEX.BAK.HTML", "index.bak.htm"})
        EXPECT_TRUE(IsBAKfile(p)) << p;
    for (const char* p : {"/w.bak.x/index.htm", "/w/index.bakery.htm"})
        EXPECT_FALSE(IsBAKfile(p)) << p;
}

// --- the result message ---

TEST(ShowInsertResult, TextsTitlesAndIcons) {
    const std::string cap = kInsertKeywordsCaption, err = "Error";
    struct Row {
        int16_t code;
        bool vp, kw;
        std::string text, title;
    };
    // The other texts are checked where zelk-cli shows them.
    const std::vector<Row> rows = {
        {-2, true, true, "No keywords meta tag to insert.", err},
        {-8, true, true, "No viewport meta tag to insert.", err},
        {-7, true, true, "Unknown error", err},  // no reason known
        {-3, true, true, "Error #-3", err},
        {-12, true, true, "Error #-12", err},
    };
    for (const Row& r : rows) {
        const InsertResultMessage m = InsertResultText(r.code, r.vp, r.kw, cap);
        EXPECT_EQ(m.text, r.text) << r.code;
        EXPECT_EQ(m.title, r.title) << r.code;
        EXPECT_EQ(m.icon, Icon::Exclamation) << r.code;
    }
}

}  // namespace
