#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "insertion/Insert.h"
#include "support/TempDir.h"
#include "support/FaultyFileSystem.h"
#include "support/RecordingPrompter.h"

using namespace zelk;
using namespace zelk::testing;
using zelk::testing::FaultyFileSystem;

namespace {

const std::string kVP = "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">";
const std::string kKW = "<meta name=\"keywords\" content=\"garden, roses, soil\">";
const std::string kKWAccents = "<meta name=\"keywords\" content=\"caf\xe9, cr\xe8me\">";
// What the output box holds after Generate: the tag and the two count lines.
const std::string kBox = kKW + "\r\n\r\n3 keywords, 52 bytes.\r\n";

const std::string kLogNewBoth =
    "  New VPMT inserted. As given.\r\n"
    "  New KWMT inserted.\r\n"
    "  <meta name=\"keywords\" ... \"garden, roses, soil\">\r\n";

InsertRequest SingleFile(bool vp, bool kw, const std::string& box = kBox) {
    InsertRequest rq;
    rq.insertVPMT = vp;
    rq.insertKWMT = kw;
    rq.vpmtText = kVP;
    rq.singleFile = true;
    rq.mainMetaTagText = box;
    return rq;
}

ReportLog MakeLog(const std::string& vp = kVP) {
    ReportLog log;
    log.viewportText = [vp] { return vp; };
    return log;
}

struct FileCase {
    const char* name;
    bool vp;
    bool kw;
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
    ReportLog log = MakeLog();
    InsertRequest rq = SingleFile(c.vp, c.kw, *c.tag + "\r\n\r\n2 keywords.\r\n");
    int16_t code = InsertMetaTags(c.kw ? MetaTagFromTextbox(rq.mainMetaTagText) : "", doc, rq, log);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(ReadBytes(doc), ReadBytes(InsertionData(std::string(c.name) + ".out.htm")));
    EXPECT_EQ(log.Text(), c.log);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"page.htm"});
}

const std::string kLogReplacedBoth =
    "  Existing VPMT replaced. As given.\r\n"
    "  Existing KWMT replaced.\r\n"
    "  <meta name=\"keywords\" ... \"garden, roses, soil\">\r\n";

INSTANTIATE_TEST_SUITE_P(
    Documents, InsertIntoFile,
    ::testing::Values(
        FileCase{"basic_crlf", true, true, &kKW, 0, kLogNewBoth},
        FileCase{"upper_two_on_line", true, true, &kKW, 0, kLogReplacedBoth},
        FileCase{"head_mid_line", true, true, &kKW, 0, kLogNewBoth},
        FileCase{"lf_only", true, true, &kKW, 0,
                 "  Existing KWMT replaced.\r\n"
                 "  <meta name=\"keywords\" ... \"garden, roses, soil\">\r\n"
                 "  New VPMT inserted. As given.\r\n"},
        FileCase{"cr_only", true, true, &kKW, 0, kLogNewBoth},
        FileCase{"mixed", true, true, &kKW, 0, kLogNewBoth},
        FileCase{"empty", true, true, &kKW, -5, ""},
        FileCase{"no_head_end", true, true, &kKW, -5,
                 "  Existing KWMT replaced.\r\n"
                 "  <meta name=\"keywords\" ... \"garden, roses, soil\">\r\n"},
        FileCase{"kw_two_lines", true, true, &kKW, -4,
                 "  Existing KWMT extends over more than one line.\r\n"
                 "  New VPMT inserted. As given.\r\n"},
        FileCase{"single_quotes", true, true, &kKW, 0, kLogNewBoth},
        FileCase{"second_head_end", true, true, &kKW, 0, kLogNewBoth},
        FileCase{"vp_two_lines", true, true, &kKW, 0, kLogNewBoth},
        FileCase{"utf8_bom", true, true, &kKWAccents, 0,
                 "  Existing KWMT replaced.\r\n"
                 "  <meta name=\"keywords\" ... \"caf\xe9, cr\xe8me\">\r\n"
                 "  New VPMT inserted. As given.\r\n"},
        FileCase{"utf8_charset", true, true, &kKWAccents, 0,
                 "  New VPMT inserted. As given.\r\n"
                 "  New KWMT inserted.\r\n"
                 "  <meta name=\"keywords\" ... \"caf\xe9, cr\xe8me\">\r\n"},
        FileCase{"cp1252", true, true, &kKWAccents, 0,
                 "  New VPMT inserted. As given.\r\n"
                 "  New KWMT inserted.\r\n"
                 "  <meta name=\"keywords\" ... \"caf\xe9, cr\xe8me\">\r\n"},
        FileCase{"utf16", true, true, &kKW, -9, "  Not inserted: UTF-16 or UTF-32 file.\r\n"}),
    [](const ::testing::TestParamInfo<FileCase>& p) { return std::string(p.param.name); });

// --- one tag at a time, inline documents ---

int16_t Insert(const std::string& doc, const InsertRequest& rq, ReportLog& log,
            const std::string& keywordsTag, FileSystem& fs = RealFileSystem()) {
    return InsertMetaTags(keywordsTag, doc, rq, log, fs);
}

TEST(InsertMetaTags, InputChecksComeBeforeAnyFileIsTouched) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    WriteBytes(doc, "<head>\n</head>\n");
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert("", SingleFile(true, true), log, kKW), -1);
    EXPECT_EQ(Insert(dir / "missing.htm", SingleFile(true, true), log, kKW), -3);
    EXPECT_EQ(Insert(dir.path(), SingleFile(true, true), log, kKW), -3);  // a folder
    InsertRequest noVp = SingleFile(true, true);
    noVp.vpmtText.clear();
    EXPECT_EQ(Insert(doc, noVp, log, kKW), -8);
    EXPECT_EQ(Insert(doc, SingleFile(true, true), log, "<meta name=keywords>"), -2);
    EXPECT_EQ(Insert(doc, SingleFile(true, true), log, "<meta-name=\"keywords\">"), -2);
    EXPECT_EQ(Insert(doc, SingleFile(true, true), log,
                  "<META NAME=\"KEYWORDS\" content=\"Existing Keywords\">"),
              -2);
    EXPECT_EQ(ReadBytes(doc), "<head>\n</head>\n");
    EXPECT_EQ(log.Text(), "");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
}

// --- multiple-files mode: preserve settings and the edit dialog's box ---

InsertRequest MultiFile(bool vp, bool kw, bool keepVp, bool keepKw, const std::string& dialog) {
    InsertRequest rq = SingleFile(vp, kw, "ignored main box");
    rq.singleFile = false;
    rq.preserveExistingVPMT = keepVp;
    rq.preserveExistingKWMT = keepKw;
    rq.dialogMetaTagText = dialog;
    return rq;
}

const std::string kBothTags =
    "<head>\r\n<meta name=\"viewport\" content=\"w=1\">\r\n"
    "<meta name=\"keywords\" content=\"old\">\r\n</head>\r\n";

TEST(InsertMetaTagsMultipleFiles, KeepingBothTagsRewritesNothingButReportsMinus12) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    WriteBytes(doc, kBothTags);
    ReportLog log = MakeLog();
    struct stat before {}, after {};
    ASSERT_EQ(::stat(doc.c_str(), &before), 0);
    EXPECT_EQ(Insert(doc, MultiFile(true, true, true, true, kKW), log, kKW), -12);
    EXPECT_EQ(ReadBytes(doc), kBothTags);
    ASSERT_EQ(::stat(doc.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the page was rewritten";
    EXPECT_EQ(log.Text(), "  Existing VPMT not replaced.\r\n  Existing KWMT not replaced.\r\n");
}

TEST(InsertMetaTagsMultipleFiles, KeepingOneTagGivesMinus10OrMinus11) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    WriteBytes(doc, kBothTags);
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(doc, MultiFile(true, true, true, false, kKW), log, kKW), -10);
    EXPECT_EQ(ReadBytes(doc), "<head>\r\n<meta name=\"viewport\" content=\"w=1\">\r\n" + kKW +
                                  "\r\n</head>\r\n");
    WriteBytes(doc, kBothTags);
    EXPECT_EQ(Insert(doc, MultiFile(true, true, false, true, kKW), log, kKW), -11);
    EXPECT_EQ(ReadBytes(doc),
              "<head>\r\n" + kVP + "\r\n<meta name=\"keywords\" content=\"old\">\r\n</head>\r\n");
}

TEST(InsertMetaTagsMultipleFiles, ReplacementTakesTheWholeDialogTextNewTagOnlyTheTag) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    // The dialog box may hold more than the tag; a replacement takes it all.
    const std::string dialog = " " + kKW + " ";
    WriteBytes(doc, "<head><meta name=\"keywords\" content=\"old\"></head>\n");
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(doc, MultiFile(false, true, false, false, dialog), log, kKW), 0);
    EXPECT_EQ(ReadBytes(doc), "<head>" + dialog + "\n</head>\n");
    WriteBytes(doc, "<head></head>\n");
    EXPECT_EQ(Insert(doc, MultiFile(false, true, false, false, dialog), log, kKW), 0);
    EXPECT_EQ(ReadBytes(doc), "<head>\n" + kKW + "\n</head>\n");
}

TEST(InsertMetaTagsMultipleFiles, ViewportAloneComesFromTheDialogBox) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    const std::string dialogVp = "<meta name=\"viewport\" content=\"width=600\">";
    WriteBytes(doc, "<head>\r\n</head>\r\n");
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(doc, MultiFile(true, false, false, false, dialogVp), log, ""), 0);
    EXPECT_EQ(ReadBytes(doc), "<head>\r\n" + dialogVp + "\r\n</head>\r\n");
    // Not the main window's text, so the report shows its short form.
    EXPECT_EQ(log.Text(),
              "  New VPMT inserted.\r\n  <meta name=\"viewport\" ... \"width=600\">\r\n");
}

// --- paths, links and permissions ---

TEST(InsertMetaTagsPaths, PathWithoutDotFailsWithoutTouchingTheDocument) {
    TempDir dir;
    const std::string doc = dir / "page";
    WriteBytes(doc, "<head></head>");
    // The scratch folder's own name has no ".", so no working file can be named.
    ASSERT_EQ(dir.path().find('.'), std::string::npos);
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(doc, SingleFile(true, false, ""), log, ""), -7);
    EXPECT_EQ(ReadBytes(doc), "<head></head>");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"page"});
}

TEST(InsertMetaTagsPaths, FolderWithDotAndDocumentWithoutExtensionFails) {
    TempDir dir;
    std::filesystem::create_directory(dir / "site.v2");
    // Even a folder that would match the misplaced working-file name is safe.
    std::filesystem::create_directory(dir / "site.bak.v2");
    WriteBytes(dir / "site.bak.v2/page", "precious");
    const std::string doc = dir / "site.v2/page";
    WriteBytes(doc, "<head></head>");
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(doc, SingleFile(true, false, ""), log, ""), -7);
    EXPECT_EQ(ReadBytes(doc), "<head></head>");
    EXPECT_EQ(ReadBytes(dir / "site.bak.v2/page"), "precious");
}

TEST(InsertMetaTagsPaths, FolderWithDotAndNormalDocumentWorks) {
    TempDir dir;
    std::filesystem::create_directory(dir / "my.site");
    const std::string doc = dir / "my.site/index.htm";
    WriteBytes(doc, "<head></head>");
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(doc, SingleFile(true, false, ""), log, ""), 0);
    EXPECT_EQ(ReadBytes(doc), "<head>\r\n" + kVP + "\r\n</head>\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "my.site/index.bak.htm"));
}

TEST(InsertMetaTagsPaths, SymlinkedDocumentIsRewrittenAtItsTargetAndStaysALink) {
    TempDir dir;
    std::filesystem::create_directory(dir / "store");
    std::filesystem::create_directory(dir / "site");
    WriteBytes(dir / "store/page.html", "<head></head>");
    std::filesystem::create_symlink("../store/page.html", dir / "site/index.htm");
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(dir / "site/index.htm", SingleFile(true, false, ""), log, ""), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "site/index.htm"));
    EXPECT_EQ(std::filesystem::read_symlink(dir / "site/index.htm"), "../store/page.html");
    EXPECT_EQ(ReadBytes(dir / "store/page.html"), "<head>\r\n" + kVP + "\r\n</head>\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "store"),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "site"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(InsertMetaTagsPaths, ReadOnlyDocumentIsRewrittenAndKeepsItsPermissionBits) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    WriteBytes(doc, "<head></head>");
    ASSERT_EQ(::chmod(doc.c_str(), 0444), 0);
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(doc, SingleFile(true, false, ""), log, ""), 0);
    EXPECT_EQ(ReadBytes(doc), "<head>\r\n" + kVP + "\r\n</head>\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(doc.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

TEST(InsertMetaTagsPaths, ExtendedAttributesAndOwnerAreKept) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    WriteBytes(doc, "<head></head>");
    if (::setxattr(doc.c_str(), "user.zelk.note", "kept", 4, 0) != 0)
        GTEST_SKIP() << "no user attributes on this file system";
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(doc.c_str(), 65534, 65534), 0);
    }
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(doc, SingleFile(true, false, ""), log, ""), 0);
    char value[16] = {};
    EXPECT_EQ(::getxattr(doc.c_str(), "user.zelk.note", value, sizeof value), 4);
    EXPECT_EQ(std::string(value), "kept");
    struct stat st {};
    ASSERT_EQ(::stat(doc.c_str(), &st), 0);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
    }
}

TEST(InsertMetaTagsPaths, ReadOnlyFolderFailsCleanly) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions; the fault-injection tests cover the "
                        "failing creation of the working file";
    TempDir dir;
    std::filesystem::create_directory(dir / "ro");
    const std::string doc = dir / "ro/a.htm";
    WriteBytes(doc, "<head></head>");
    ASSERT_EQ(::chmod((dir / "ro").c_str(), 0555), 0);
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(doc, SingleFile(true, false, ""), log, ""), -7);
    EXPECT_EQ(ReadBytes(doc), "<head></head>");
    ::chmod((dir / "ro").c_str(), 0755);
    EXPECT_FALSE(std::filesystem::exists(dir / "ro/a.bak.htm"));
}

TEST(InsertMetaTagsPaths, LeftoverWorkingFileIsReplacedAndGone) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    WriteBytes(doc, "<head></head>");
    WriteBytes(dir / "a.bak.htm", "leftover of an interrupted run");
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(doc, SingleFile(true, false, ""), log, ""), 0);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
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
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(doc, SingleFile(true, true), log, kKW, fs), f.code);
    EXPECT_TRUE(fs.Fired());
    EXPECT_EQ(ReadBytes(doc), page);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"page.htm"});
    // The report says why, and claims no tag.
    if (f.code == kInsertFileError) {
        EXPECT_EQ(log.Text(), "  Not inserted: Input/output error.\r\n");
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

TEST(InsertFailure, ReportAndMessageGiveTheSystemsReason) {
    TempDir dir;
    const std::string doc = dir / "page.htm";
    WriteBytes(doc, "<head></head>");
    FaultyFileSystem fs(RealFileSystem());
    fs.FailAt(S::Write, 1, ENOSPC);
    ReportLog log = MakeLog();
    std::string failure;
    EXPECT_EQ(InsertMetaTags("", doc, SingleFile(true, false, ""), log, fs, failure), -7);
    EXPECT_EQ(log.Text(), "  Not inserted: No space left on device.\r\n");
    const InsertResultMessage m = InsertResultText(-7, true, false, "cap", failure);
    EXPECT_EQ(m.title, "Error");
    EXPECT_EQ(m.text, "Not inserted: No space left on device.");
}

// --- nothing changes, nothing is written ---

ino_t Inode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(InsertUnchanged, NoTagWrittenLeavesThePageByteForByte) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    ReportLog log = MakeLog();
    struct Case {
        std::string page;
        InsertRequest rq;
        std::string tag;
        int16_t code;
    };
    const std::string twoLineKw = "<meta name=\"keywords\"\r content=\"x\">\n<p>\r";
    const std::vector<Case> cases = {
        // No "</head>" and nothing to replace; lone CRs and no final line end.
        {"<p>a\rb</p>\r\n<p>c", SingleFile(true, true), kKW, -5},
        {twoLineKw, SingleFile(false, true), kKW, -5},
        // Only a keywords tag over two lines before "</head>": -4 alone.
        {"<meta name=\"keywords\"\r content=\"x\"></head>\r", SingleFile(false, true), kKW, -4},
    };
    for (const Case& c : cases) {
        WriteBytes(doc, c.page);
        const ino_t before = Inode(doc);
        EXPECT_EQ(Insert(doc, c.rq, log, c.tag), c.code) << c.page;
        EXPECT_EQ(ReadBytes(doc), c.page);
        EXPECT_EQ(Inode(doc), before) << "the page was rewritten";
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.htm"});
}

TEST(InsertUnchanged, PageThatIsNotTextIsLeftAloneWithMinus13) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    // UTF-16LE without a byte-order mark: CR LF is 0D 00 0A 00.
    std::string u16;
    for (char c : std::string("<html>\r\n<head>\r\n</head>\r\n</html>\r\n")) {
        u16 += c;
        u16 += '\0';
    }
    WriteBytes(doc, u16);
    ReportLog log = MakeLog();
    EXPECT_EQ(Insert(doc, SingleFile(true, false, ""), log, ""), kInsertNotText);
    EXPECT_EQ(ReadBytes(doc), u16);
    EXPECT_EQ(log.Text(), "  Not inserted: not a text file.\r\n");
    const InsertResultMessage m = InsertResultText(kInsertNotText, true, false, "cap");
    EXPECT_EQ(m.title, "Not inserted");
    EXPECT_EQ(m.text, "Meta tags NOT inserted because the document is not a text file.");
    EXPECT_EQ(m.icon, Icon::Exclamation);
}

// --- small routines ---

TEST(InsertHelpers, FindTagsWorkOnTheLowerCasedLine) {
    long s = -1, e = -1;
    FindKeywordsMetaTag("x <meta name=\"keywords\" content=\"a\"> y", s, e);
    EXPECT_EQ(s, 3);
    EXPECT_EQ(e, 36);
    FindKeywordsMetaTag("<meta name=\"keywords\"", s, e);  // no ">" on the line
    EXPECT_EQ(s, 1);
    EXPECT_EQ(e, 0);
    FindViewportMetaTag("<meta\tname=\"viewport\">", s, e);  // "<meta" needs its blank
    EXPECT_EQ(s, 0);
    EXPECT_EQ(e, 0);
    FindViewportMetaTag("<meta charset=x><meta name=\"viewport\">", s, e);
    EXPECT_EQ(s, 17);
    EXPECT_EQ(e, 38);
    FindViewportMetaTag("<meta name=viewport>", s, e);
    EXPECT_EQ(s, 0);
}

TEST(InsertHelpers, MetaTagFromTextbox) {
    EXPECT_EQ(MetaTagFromTextbox(kBox), kKW);
    EXPECT_EQ(MetaTagFromTextbox("  " + kKW + "  "), kKW);
    EXPECT_EQ(MetaTagFromTextbox("<META NAME=\"keywords\" content=\"a\">"), "");
    EXPECT_EQ(MetaTagFromTextbox("<meta name=\"keywords\" content=\"a\""), "");
    EXPECT_EQ(MetaTagFromTextbox("x <meta name=\"keywords\" content=\"a\"> y"),
              "<meta name=\"keywords\" content=\"a\">");
}

TEST(InsertHelpers, TempFilepathAndIsBAKfile) {
    EXPECT_EQ(TempFilepath("/w/abc.htm"), "/w/abc.bak.htm");
    EXPECT_EQ(TempFilepath("/w.x/abc"), "/w.bak.x/abc");
    EXPECT_EQ(TempFilepath("/w/abc"), "");
    EXPECT_TRUE(IsBAKfile("/w/index.bak.htm"));
    EXPECT_TRUE(IsBAKfile("/w/INDEX.BAK.HTML"));
    EXPECT_TRUE(IsBAKfile("index.bak.htm"));
    EXPECT_FALSE(IsBAKfile("/w.bak.x/index.htm"));
    EXPECT_FALSE(IsBAKfile("/w/index.bakery.htm"));
}

// --- the result message ---

TEST(ShowInsertResult, TextsTitlesAndIcons) {
    const std::string cap = kInsertKeywordsCaption;
    auto t = [&](int16_t code, bool vp, bool kw) { return InsertResultText(code, vp, kw, cap); };
    EXPECT_EQ(t(0, true, true).text, "Both meta tags inserted successfully into document.");
    EXPECT_EQ(t(0, true, true).title, cap);
    EXPECT_EQ(t(0, true, true).icon, Icon::Information);
    EXPECT_EQ(t(0, false, true).text, "Keywords meta tag inserted successfully into document.");
    EXPECT_EQ(t(0, true, false).text, "Viewport meta tag inserted successfully into document.");
    EXPECT_EQ(t(-2, true, true).text, "No keywords meta tag to insert.");
    EXPECT_EQ(t(-2, true, true).title, "Error");
    EXPECT_EQ(t(-8, true, true).text, "No viewport meta tag to insert.");
    EXPECT_EQ(t(-4, true, true).text,
              "Keywords meta tag NOT inserted because existing\r\n meta tag extends over more "
              "than one line.\r\nSuggestion: Delete existing keywords meta tag.");
    EXPECT_EQ(t(-4, true, true).title, "Not inserted");
    EXPECT_EQ(t(-5, true, true).text, "Keywords meta tag NOT inserted because </head> is missing.");
    EXPECT_EQ(t(-5, true, true).title, "Not inserted");
    EXPECT_EQ(t(-7, true, true).text, "Unknown error");
    EXPECT_EQ(t(-7, true, true).title, "Error");
    EXPECT_EQ(t(-9, true, true).text,
              "Meta tags NOT inserted because the document is UTF-16 or UTF-32 text.");
    EXPECT_EQ(t(-9, true, true).title, "Not inserted");
    EXPECT_EQ(t(-3, true, true).text, "Error #-3");
    EXPECT_EQ(t(-12, true, true).text, "Error #-12");
    for (int16_t c : {-2, -3, -4, -5, -7, -8, -9, -12})
        EXPECT_EQ(t(c, true, true).icon, Icon::Exclamation);
}

TEST(ShowInsertResult, InsertButtonCaption) {
    EXPECT_EQ(InsertButtonCaption(true, true, true), "Insert both meta tags into file");
    EXPECT_EQ(InsertButtonCaption(true, false, true), "Insert keywords meta tag into file");
    EXPECT_EQ(InsertButtonCaption(true, true, false), "Insert viewport meta tag into file");
    EXPECT_EQ(InsertButtonCaption(false, true, true), "Insert viewport meta tag into file");
    EXPECT_EQ(InsertButtonCaption(true, false, false), "");
}

// --- the single-file Insert command ---

InsertCommand Command(const std::string& file, bool vp, bool kw, bool generated) {
    InsertCommand cmd;
    cmd.inputFileText = "  " + file + " ";
    cmd.request = SingleFile(vp, kw, "\r\n" + kBox);
    cmd.keywordsGenerated = generated;
    cmd.insertCaption = "Insert both meta tags into file";
    return cmd;
}

ShownBox Box(const std::string& text, const std::string& title, Icon icon) {
    return ShownBox{text, title, icon, Buttons::Ok, Answer::Ok};
}

TEST(InsertCommand, RefusalsShowTheirBoxAndTouchNothing) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    WriteBytes(doc, "<head></head>");
    ReportLog log = MakeLog();
    const std::string cap = "Insert both meta tags into file";
    {
        RecordingPrompter p;
        InsertCommand cmd = Command("", true, true, true);
        EXPECT_FALSE(cmdInsert_Click(cmd, p, log).has_value());
        EXPECT_EQ(p.shown, std::vector<ShownBox>{Box("Input file not specified.", cap,
                                                     Icon::Exclamation)});
    }
    {
        RecordingPrompter p;
        InsertCommand cmd = Command(dir / "b.htm", true, true, true);
        EXPECT_FALSE(cmdInsert_Click(cmd, p, log).has_value());
        EXPECT_EQ(p.shown, std::vector<ShownBox>{Box("File not found.", cap, Icon::Exclamation)});
    }
    {
        RecordingPrompter p;
        InsertCommand cmd = Command(doc, false, true, true);
        cmd.request.mainMetaTagText = "   ";
        EXPECT_FALSE(cmdInsert_Click(cmd, p, log).has_value());
        EXPECT_EQ(p.shown, std::vector<ShownBox>{Box("Nothing to insert.", cap, Icon::Exclamation)});
    }
    {
        RecordingPrompter p;
        InsertCommand cmd = Command(doc, false, false, true);
        EXPECT_FALSE(cmdInsert_Click(cmd, p, log).has_value());
        EXPECT_EQ(p.shown, std::vector<ShownBox>{Box("Nothing to insert.", cap, Icon::Exclamation)});
    }
    {
        RecordingPrompter p;
        InsertCommand cmd = Command(doc, true, true, false);
        EXPECT_FALSE(cmdInsert_Click(cmd, p, log).has_value());
        EXPECT_EQ(p.shown,
                  std::vector<ShownBox>{Box("The keywords meta tag has not been generated.", cap,
                                            Icon::Information)});
    }
    EXPECT_EQ(ReadBytes(doc), "<head></head>");
    EXPECT_EQ(log.Text(), "");
}

TEST(InsertCommand, InsertsBothTagsAndShowsSuccess) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    WriteBytes(doc, "<head>\n</head>\n");
    ReportLog log = MakeLog();
    RecordingPrompter p;
    InsertCommand cmd = Command(doc, true, true, true);
    auto code = cmdInsert_Click(cmd, p, log);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(cmd.inputFileText, doc);
    EXPECT_EQ(p.shown,
              std::vector<ShownBox>{Box("Both meta tags inserted successfully into document.",
                                        "Insert both meta tags into file", Icon::Information)});
    EXPECT_EQ(ReadBytes(doc), "<head>\n" + kVP + "\n" + kKW + "\n</head>\n");
    EXPECT_EQ(log.Text(), kLogNewBoth);
}

TEST(InsertCommand, ViewportOnlyWithEmptyOutputBox) {
    TempDir dir;
    const std::string doc = dir / "a.htm";
    WriteBytes(doc, "<head>\n</head>\n");
    ReportLog log = MakeLog();
    RecordingPrompter p;
    InsertCommand cmd = Command(doc, true, false, false);
    cmd.request.mainMetaTagText.clear();
    cmd.insertCaption = "Insert viewport meta tag into file";
    EXPECT_EQ(cmdInsert_Click(cmd, p, log), std::optional<int16_t>(0));
    EXPECT_EQ(p.shown,
              std::vector<ShownBox>{Box("Viewport meta tag inserted successfully into document.",
                                        "Insert viewport meta tag into file", Icon::Information)});
}

}  // namespace
