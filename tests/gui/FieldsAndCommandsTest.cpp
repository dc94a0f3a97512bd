// The main window's fields and commands on real files: the table of the two
// command buttons, the limit boxes, the pickers, the modes, the exclusion
// list and the viewport box; List words and Generate with the analysis kept
// between them, Stop and a setting changed from inside a running scan, the
// Unix-type file warning, the large-table notice and Insert, with their exact
// messages. The analysis and its messages themselves are the core's tests
// (tests/analysis, tests/insertion).
#include "GuiTestSupport.h"

#include <QTimer>

#include "analysis/Analyzer.h"
#include "insertion/Insert.h"

namespace zelk::testing {
namespace {

class FieldsAndCommandsTest : public MainWindowTest {
protected:
    std::string Output() const { return frm->OutputText(); }
    // Types into a box and moves the focus away, as a user would.
    void TypeAndLeave(QLineEdit* box, const QString& text, QWidget* next) {
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
        next->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    // A page of distinct words, 12 to a line: long enough for a scan that
    // yields to the window many times.
    std::string LongPage(int lines) {
        std::string s = "<html>\r\n<head><title>Long page</title></head>\r\n<body>\r\n";
        for (int n = 0; n < lines * 12; ++n) {
            s += n % 12 == 0 ? "<p>word" : "word";
            for (int d = 0, k = n; d < 4; ++d, k /= 26) s += static_cast<char>('a' + k % 26);
            s += n % 12 == 11 ? "x </p>\r\n" : "x ";
        }
        return docs.Write("long.html", s + "</body>\r\n</html>\r\n");
    }
    // Runs probe from inside the scan List words starts, in its event pumps.
    void ListWordsWhileProbing(const std::function<void(QTimer&)>& probe) {
        QTimer t;
        t.setInterval(1);
        QObject::connect(&t, &QTimer::timeout, [&] {
            if (Text(frm->cmdListWords) == "Stop") probe(t);
        });
        t.start();
        frm->cmdListWords->click();
    }
    TempDir docs;
    const std::string page =
        docs.Write("page.html",
                   "<html>\r\n<head>\r\n<title>Garden tools</title>\r\n</head>\r\n<body>\r\n"
                   "<p>Garden tools for garden work: spades, rakes, garden hoses.</p>\r\n"
                   "</body>\r\n</html>\r\n");
};

// Shown, enabled and caption ("" for hidden) of Generate and Insert, for
// each mode, analysis state and tag choice.
TEST_F(FieldsAndCommandsTest, CommandButtonsFollowModeAnalysisAndTagChoice) {
    ASSERT_TRUE(Start());
    Pick(page);
    const std::string gen = "Generate/show/edit keywords meta tag",
                      insVp = "Insert viewport meta tag into file";
    const std::string multi = "Show/edit/insert keywords meta tags into files";
    // Phase 0: nothing analysed, 1: after List words, 2: multiple files; the
    // tags ticked; Generate's caption and state; Insert's caption and state.
    const std::tuple<int, bool, bool, std::string, bool, std::string, bool> rows[] = {
        {0, false, false, "", false, "", false},
        {0, false, true, "", false, insVp, true},
        {0, true, false, gen, false, "", false},
        {0, true, true, "", false, "", false},
        {1, false, false, "", false, "", false},
        {1, false, true, "", false, insVp, true},
        {1, true, false, gen, true, "Insert keywords meta tag into file", false},
        {2, false, false, "", false, "", false},
        {2, false, true, "Insert viewport meta tag into files", true, "", false},
        {2, true, false, multi, true, "", false},
        {2, true, true, multi, true, "", false}};
    for (const auto& [phase, k, v, genCaption, genEnabled, insCaption, insEnabled] : rows) {
        SCOPED_TRACE(std::to_string(phase) + (k ? " K1" : " K0") + (v ? " V1" : " V0"));
        if (phase == 1 && !frm->DocumentAnalysed()) frm->cmdListWords->click();
        if (phase == 2) frm->optMultipleFiles->setChecked(true);
        frm->chkInsertKWMT->setChecked(k);
        frm->chkInsertVPMT->setChecked(v);
        QPushButton* g = frm->cmdGenerateKeywordMetaTag;
        EXPECT_EQ(Shown(g) ? Text(g) : "", genCaption);
        EXPECT_EQ(g->isEnabled(), genEnabled);
        EXPECT_EQ(Shown(frm->cmdInsert) ? Text(frm->cmdInsert) : "", insCaption);
        EXPECT_EQ(frm->cmdInsert->isEnabled(), insEnabled);
    }
}

// When left, the limit boxes keep digits and enforce their range; the
// viewport box is checked: ticking it with an invalid or empty tag unticks
// it again, silently.
TEST_F(FieldsAndCommandsTest, BoxesAreCheckedWhenLeft) {
    ASSERT_TRUE(Start());
    frm->chkInsertKWMT->setChecked(true);
    QLineEdit* kw = frm->txbMaxNumKeywordsInMetaTag;
    QLineEdit* bytes = frm->txbMaxNumBytesInMetaTag;
    const std::tuple<QLineEdit*, const char*, const char*> typed[] = {
        {kw, "1a2", "12"},     {kw, "", "15"},  {kw, "2", "15"},
        {kw, "31", "30"},      {kw, "0", "15"}, {kw, "+-5", "+5"},
        {bytes, "301", "150"}, {bytes, "", ""}, {bytes, "-0", "0"}};
    for (const auto& [box, text, kept] : typed) {
        TypeAndLeave(box, text, box == kw ? bytes : kw);
        EXPECT_EQ(box->text().toStdString(), kept) << text;
    }
    EXPECT_EQ(frm->settings.MaxNumBytesInMetaTag, "0");
    const std::pair<const char*, bool> tags[] = {
        {"<meta name=viewport content=\"x\">", false},
        {"<meta name=\"viewport\" content=\"width=400\">", true},
        {"   ", false}};
    for (const auto& [tag, kept] : tags) {
        TypeAndLeave(frm->txbVPMT, tag, frm->txbBeginMetaTagWith);
        frm->chkInsertVPMT->setChecked(true);
        EXPECT_EQ(frm->chkInsertVPMT->isChecked(), kept) << tag;
    }
    const ShownBox fewest = OkBox("Minimum number of keywords in the meta tag is 3.",
                                  "Number of keywords", Icon::Information);
    EXPECT_EQ(
        prompter.shown,
        (std::vector<ShownBox>{
            fewest,
            OkBox("Maximum number of keywords in the meta tag is 30.", "Number of keywords",
                  Icon::Information),
            fewest, OkBox("Maximum number of bytes in the meta tag is 300.", "zelk", Icon::None),
            OkBox("Viewport meta tag is invalid.", "Invalid entry", Icon::Exclamation)}));
}

// The pickers take a file or a folder (not a working file, nor a folder
// that is missing); switching modes swaps the paths and the output texts.
TEST_F(FieldsAndCommandsTest, PickersAndTheModeSwitch) {
    ASSERT_TRUE(Start());
    Pick(docs.Write("index.BAK.htm", "<html></html>"));
    EXPECT_TRUE(frm->txbInputFile->text().isEmpty());
    Pick(page);
    frm->txbMetaTag->setPlainText("single output");

    frm->optMultipleFiles->click();
    EXPECT_TRUE(frm->txbInputFile->text().isEmpty() && frm->txbMetaTag->toPlainText().isEmpty());
    TypeAndLeave(frm->txbFolder, "  /no/such/folder ", frm->txbVPMT);
    EXPECT_EQ(frm->txbFolder->text(), "/no/such/folder");
    picker.nextFolder = QString::fromStdString(docs.path());
    frm->cmdFolder->click();
    TypeAndLeave(frm->txbExcludedFilepaths, "b\\x, a,C ,  b", frm->txbVPMT);
    EXPECT_EQ(frm->txbExcludedFilepaths->text(), "a, b, b/x, C");
    frm->txbMetaTag->setPlainText("multiple output");
    frm->optSingleFile->click();
    EXPECT_EQ(frm->txbInputFile->text().toStdString(), page);
    EXPECT_EQ(frm->txbMetaTag->toPlainText(), "single output");
    EXPECT_TRUE(frm->txbFolder->text().isEmpty());
    frm->optMultipleFiles->click();
    EXPECT_EQ(frm->txbMetaTag->toPlainText(), "multiple output");
    EXPECT_EQ(frm->txbFolder->text().toStdString(), docs.path());
    // With a folder, switching opens the settings window for multiple files.
    EXPECT_TRUE(frm->Parameters()->isVisible());
    const std::string file = "Specify input file", folder = "Select Folder";
    EXPECT_EQ(picker.titles, (std::vector<std::string>{file, file, folder}));
    EXPECT_EQ(
        prompter.shown,
        (std::vector<ShownBox>{
            OkBox("This software does not act on '.bak.' files.", "Single file", Icon::Information),
            OkBox("Folder does not exist.", "Invalid input", Icon::Exclamation)}));
}

// An analysed document is read again only after an analysis setting
// changes; Show existing leaves the window idle, so Copy can take its output.
TEST_F(FieldsAndCommandsTest, AnAnalysedDocumentIsReadAgainOnlyAfterASettingChange) {
    ASSERT_TRUE(Start());
    frm->chkInsertKWMT->setChecked(true);
    Pick(page);
    ASSERT_FALSE(frm->cmdCopyMetaTag->isEnabled());
    frm->cmdShowExistingKeywordMetaTag->click();
    EXPECT_TRUE(frm->cmdCopyMetaTag->isEnabled());
    frm->cmdListWords->click();
    WriteBytes(page, "<html><head><title>omega omega</title></head><body>omega</body></html>\r\n");
    frm->chkPreserveCase->setChecked(true);  // not an analysis setting
    frm->cmdGenerateKeywordMetaTag->click();
    EXPECT_EQ(Output().find("omega"), std::string::npos) << Output();
    frm->cboLanguage->setCurrentIndex(1);
    frm->cmdGenerateKeywordMetaTag->click();
    EXPECT_NE(Output().find("omega"), std::string::npos) << Output();
}

// From inside a running scan: a weight changed halfway means the list shown
// is not taken for the document under the weights now in force; Stop ends
// the scan with the count so far.
TEST_F(FieldsAndCommandsTest, ASettingChangeOrStopDuringAScan) {
    ASSERT_TRUE(Start());
    frm->chkInsertKWMT->setChecked(true);
    Pick(LongPage(3000));
    ListWordsWhileProbing([&](QTimer& t) {
        frm->cboTitleWeight->setCurrentIndex(3);
        t.stop();
    });
    EXPECT_NE(Output().find("wordaaaax"), std::string::npos);
    EXPECT_FALSE(frm->DocumentAnalysed() || frm->cmdGenerateKeywordMetaTag->isEnabled());
    desktop.notices.clear();
    frm->cmdListWords->click();
    EXPECT_TRUE(frm->DocumentAnalysed());
    // A table this large gives the notice before it is merged.
    EXPECT_EQ(desktop.notices, std::vector<std::string>{"Now processing, this may take awhile."});

    Pick(LongPage(40000));
    std::vector<QString> counts;
    ListWordsWhileProbing([&](QTimer&) {
        counts.push_back(frm->lblNumberOfWords->text());
        if (counts.size() == 4) QTest::mouseClick(frm->cmdListWords, Qt::LeftButton);
    });
    ASSERT_GE(counts.size(), 4u);
    EXPECT_NE(counts.front(), counts.back());  // the label grew while the table filled
    const std::string tail = "\r\nStopped with " +
                             std::to_string(frm->analyzer().Table().WordCount()) +
                             " words identified.";
    EXPECT_TRUE(Output().ends_with(tail)) << Output().substr(Output().size() - 60);
    EXPECT_FALSE(frm->DocumentAnalysed());
    EXPECT_TRUE(Text(frm->cmdListWords) == "List words" && frm->cmdSave->isEnabled());
    // The caret stands just before " identified.".
    EXPECT_EQ(frm->txbMetaTag->textCursor().position(), frm->txbMetaTag->toPlainText().size() - 12);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(FieldsAndCommandsTest, UnixTypeFileWarning) {
    ASSERT_TRUE(Start());
    std::string s = "<html>\n<head><title>Unix page</title></head>\n<body>\nunix words\n";
    s.resize(40961, '\n');
    Pick(docs.Write("unix.html", s));
    prompter.answers = {Answer::No};
    frm->cmdListWords->click();
    EXPECT_EQ(prompter.shown,
              (std::vector<ShownBox>{
                  {"This is a Unix-type file!\r\nThis program processes files of this "
                   "type but much more slowly.\r\nUse of this program with Unix/Linux "
                   "files larger than 40 Kb\r\nis not recommended.  The size of this "
                   "file is 40,961 bytes (41 Kb).\r\n\r\nDo you wish to proceed with "
                   "this file anyway?",
                   "Unix-type file warning", Icon::None, Buttons::YesNoCancel, Answer::Yes}}));
}

TEST_F(FieldsAndCommandsTest, InsertTheViewportTagThenTheGeneratedKeywords) {
    ASSERT_TRUE(Start());
    Pick(page);
    frm->chkInsertVPMT->setChecked(true);
    frm->cmdInsert->click();
    EXPECT_EQ(frm->reportLog.Text(), "  New VPMT inserted. As given.\r\n");

    frm->chkInsertVPMT->setChecked(false);
    frm->chkInsertKWMT->setChecked(true);
    frm->cmdListWords->click();
    frm->cmdGenerateKeywordMetaTag->click();
    const std::string tag = MetaTagFromTextbox(Output());
    ASSERT_FALSE(tag.empty());
    frm->cmdInsert->click();
    EXPECT_EQ(prompter.shown, (std::vector<ShownBox>{
                                  OkBox("Viewport meta tag inserted successfully into document.",
                                        "Insert viewport meta tag into file", Icon::Information),
                                  OkBox("Keywords meta tag inserted successfully into document.",
                                        "Insert keywords meta tag into file", Icon::Information)}));
    EXPECT_NE(ReadBytes(page).find("\r\n" + tag + "\r\n</head>"), std::string::npos);
    EXPECT_FALSE(frm->cmdInsert->isEnabled() || frm->DocumentAnalysed());  // the document changed
}

}  // namespace
}  // namespace zelk::testing
