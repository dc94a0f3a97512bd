// The input fields and the button states of the main window: the
// SetActionButtons table, the limit boxes, the pickers, the Clear buttons,
// the exclusion list, the viewport box, the modes, the tick and the lists.
#include "Boxes.h"

#include "batch/gui/FrmParameters.h"

namespace zelk::test {
namespace {

class FieldsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        page = docs.path() / "page.html";
        WriteFile(page,
                  "<html>\r\n<head>\r\n<title>Garden tools</title>\r\n</head>\r\n<body>\r\n"
                  "<p>Garden tools for garden work: spades, rakes, garden hoses.</p>\r\n"
                  "</body>\r\n</html>\r\n");
    }
    TempDir docs;
    std::filesystem::path page;
};

// The table of the two command buttons: shown, enabled and caption ("" for
// hidden) of Generate and Insert, for each mode, analysis state and tag choice.
TEST_F(FieldsTest, SetActionButtonsTable) {
    ASSERT_TRUE(Start());
    Pick(page);
    const std::string gen = "Generate/show/edit keywords meta tag";
    const std::string insVp = "Insert viewport meta tag into file";
    struct Row {
        int phase;  // 0: nothing analysed, 1: after List words, 2: multiple files
        bool k, v;
        std::string genCaption;
        bool genEnabled;
        std::string insCaption;
        bool insEnabled;
    };
    const std::vector<Row> rows = {
        {0, false, false, "", false, "", false},
        {0, false, true, "", false, insVp, true},
        {0, true, false, gen, false, "", false},
        {0, true, true, "", false, "", false},
        {1, false, false, "", false, "", false},
        {1, false, true, "", false, insVp, true},
        {1, true, false, gen, true, "Insert keywords meta tag into file", false},
        {2, false, false, "", false, "", false},
        {2, false, true, "Insert viewport meta tag into files", true, "", false},
        {2, true, false, "Show/edit/insert keywords meta tags into files", true, "", false},
        {2, true, true, "Show/edit/insert keywords meta tags into files", true, "", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.phase) + (r.k ? " K1" : " K0") + (r.v ? " V1" : " V0"));
        if (r.phase == 1 && !frm->DocumentAnalysed()) frm->cmdListWords->click();
        if (r.phase == 2) frm->optMultipleFiles->setChecked(true);
        frm->chkInsertKWMT->setChecked(r.k);
        frm->chkInsertVPMT->setChecked(r.v);
        QPushButton* g = frm->cmdGenerateKeywordMetaTag;
        EXPECT_EQ(Shown(g) ? Text(g) : "", r.genCaption);
        EXPECT_EQ(g->isEnabled(), r.genEnabled);
        EXPECT_EQ(Shown(frm->cmdInsert) ? Text(frm->cmdInsert) : "", r.insCaption);
        EXPECT_EQ(frm->cmdInsert->isEnabled(), r.insEnabled);
    }
}

TEST_F(FieldsTest, LimitBoxesKeepDigitsAndEnforceTheirRange) {
    ASSERT_TRUE(Start());
    frm->chkInsertKWMT->setChecked(true);
    QLineEdit* kw = frm->txbMaxNumKeywordsInMetaTag;
    QLineEdit* bytes = frm->txbMaxNumBytesInMetaTag;
    const std::vector<std::tuple<QLineEdit*, const char*, const char*>> typed = {
        {kw, "1a2", "12"}, {kw, "", "15"}, {kw, "2", "15"}, {kw, "31", "30"}, {kw, "0", "15"},
        {kw, "+-5", "+5"}, {bytes, "301", "150"}, {bytes, "", ""}, {bytes, "-0", "0"}};
    for (const auto& [box, text, kept] : typed) {
        TypeAndLeave(box, text, box == kw ? bytes : kw);
        EXPECT_EQ(box->text().toStdString(), kept) << text;
    }
    const Box fewest{"Minimum number of keywords in the meta tag is 3.", "Number of keywords",
                     Icon::Information};
    EXPECT_EQ(Boxes(prompter),
              (std::vector<Box>{fewest,
                                {"Maximum number of keywords in the meta tag is 30.",
                                 "Number of keywords", Icon::Information},
                                fewest,
                                {"Maximum number of bytes in the meta tag is 300.", "zelk",
                                 Icon::None}}));
    EXPECT_EQ(frm->settings.MaxNumBytesInMetaTag, "0");
}

TEST_F(FieldsTest, PickerTakesAFileAndRefusesWorkingFiles) {
    ASSERT_TRUE(Start());
    frm->txbMetaTag->setPlainText("old");
    Pick(page);
    EXPECT_EQ(picker.fileTitles, std::vector<std::string>{"Specify input file"});
    EXPECT_EQ(picker.filters[0].rfind("HTML files (*.htm, *.html, *.shtm, *.shtml)", 0), 0u);
    EXPECT_EQ(frm->settings.InputFile, page.string());
    EXPECT_TRUE(frm->txbMetaTag->toPlainText().isEmpty());
    const auto bak = docs.path() / "index.BAK.htm";
    WriteFile(bak, "<html></html>");
    Pick(bak);
    EXPECT_EQ(Boxes(prompter), (std::vector<Box>{{"This software does not act on '.bak.' files.",
                                                  "Single file", Icon::Information}}));
    EXPECT_TRUE(frm->txbInputFile->text().isEmpty());
    picker.nextFile.clear();  // cancelled: nothing changes
    frm->txbInputFile->setText("kept");
    frm->cmdInputFile->click();
    EXPECT_EQ(frm->txbInputFile->text(), "kept");
}

TEST_F(FieldsTest, ClearingTheOutputOrTheStartOfTheTagMeansAnalysingAgain) {
    ASSERT_TRUE(Start());
    Pick(page);
    for (QPushButton* clear : {frm->cmdClearOutput, frm->cmdClearBeginMetaTagWith}) {
        frm->txbBeginMetaTagWith->setText("x");
        frm->cmdListWords->click();
        ASSERT_TRUE(frm->DocumentAnalysed());
        clear->click();
        EXPECT_FALSE(frm->DocumentAnalysed());
    }
    EXPECT_TRUE(frm->txbBeginMetaTagWith->text().isEmpty());
    frm->chkInsertVPMT->setChecked(true);
    frm->cmdClearVPMT->click();
    EXPECT_FALSE(frm->chkInsertVPMT->isChecked());
}

TEST_F(FieldsTest, ExclusionListIsSortedAndJoined) {
    ASSERT_TRUE(Start());
    frm->optMultipleFiles->click();
    TypeAndLeave(frm->txbExcludedFilepaths, "b\\x, a,C ,  b", frm->txbVPMT);
    EXPECT_EQ(frm->txbExcludedFilepaths->text(), "a, b, b/x, C");
    EXPECT_EQ(frm->ExcludedFilepaths, (std::vector<std::string>{"a", "b", "b/x", "C"}));
}

TEST_F(FieldsTest, ViewportBoxIsCheckedWhenLeft) {
    ASSERT_TRUE(Start());
    const QString bad = "<meta name=viewport content=\"x\">";
    TypeAndLeave(frm->txbVPMT, bad, frm->txbBeginMetaTagWith);
    EXPECT_EQ(frm->txbVPMT->text(), bad);
    // Ticking the box with an invalid tag unticks it again, silently.
    frm->chkInsertVPMT->setChecked(true);
    EXPECT_FALSE(frm->chkInsertVPMT->isChecked());
    TypeAndLeave(frm->txbVPMT, "<meta name=\"viewport\" content=\"width=400\">", frm->txbBeginMetaTagWith);
    frm->chkInsertVPMT->setChecked(true);
    EXPECT_TRUE(frm->chkInsertVPMT->isChecked());
    TypeAndLeave(frm->txbVPMT, "   ", frm->txbBeginMetaTagWith);
    EXPECT_FALSE(frm->chkInsertVPMT->isChecked());
    EXPECT_EQ(Boxes(prompter),
              (std::vector<Box>{{"Viewport meta tag is invalid.", "Invalid entry", Icon::Exclamation}}));
}

TEST_F(FieldsTest, FolderFieldAndPicker) {
    ASSERT_TRUE(Start());
    frm->optMultipleFiles->click();
    TypeAndLeave(frm->txbFolder, "  /no/such/folder ", frm->txbVPMT);
    EXPECT_EQ(Boxes(prompter),
              (std::vector<Box>{{"Folder does not exist.", "Invalid input", Icon::Exclamation}}));
    EXPECT_EQ(frm->txbFolder->text(), "/no/such/folder");
    picker.nextFolder = QString::fromStdString(docs.path().string());
    frm->cmdFolder->click();
    EXPECT_EQ(picker.folderTitles, std::vector<std::string>{"Select Folder"});
    EXPECT_EQ(frm->txbFolder->text().toStdString(), docs.path().string());
    picker.nextFolder.clear();
    frm->cmdFolder->click();
    EXPECT_EQ(frm->settings.Folder, "");  // cancelled: the variable is emptied
    EXPECT_EQ(frm->txbFolder->text().toStdString(), docs.path().string());
}

TEST_F(FieldsTest, ModeSwitchSwapsPathsAndOutputTexts) {
    ASSERT_TRUE(Start());
    Pick(page);
    frm->txbMetaTag->setPlainText("single output");
    frm->optMultipleFiles->click();
    EXPECT_TRUE(frm->txbInputFile->text().isEmpty() && frm->txbMetaTag->toPlainText().isEmpty());
    EXPECT_FALSE(frm->txbInputFile->isEnabled());
    frm->txbFolder->setText(QString::fromStdString(docs.path().string()));
    frm->txbMetaTag->setPlainText("multiple output");
    frm->optSingleFile->click();
    EXPECT_EQ(frm->txbInputFile->text().toStdString(), page.string());
    EXPECT_EQ(frm->txbMetaTag->toPlainText(), "single output");
    EXPECT_EQ(frm->settings.Folder, docs.path().string());
    EXPECT_TRUE(frm->txbFolder->text().isEmpty());
    frm->optMultipleFiles->click();
    EXPECT_EQ(frm->txbMetaTag->toPlainText(), "multiple output");
    EXPECT_EQ(frm->txbFolder->text().toStdString(), docs.path().string());
    // With a folder, switching opens the settings window for multiple files.
    EXPECT_TRUE(frm->Parameters()->isVisible());
}

TEST_F(FieldsTest, TickFollowsTheOutputBox) {
    ASSERT_TRUE(Start());
    frm->txbMetaTag->setPlainText(QString(200, QLatin1Char('x')));
    frm->Timer1_Timer();
    EXPECT_FALSE(Shown(frm->chkLargeWindow));
    EXPECT_TRUE(Shown(frm->cmdCopyMetaTag));
    frm->txbMetaTag->setPlainText(QString(201, QLatin1Char('x')));
    frm->Timer1_Timer();
    EXPECT_TRUE(Shown(frm->chkLargeWindow));
    frm->cmdCopyMetaTag_Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString(201, QLatin1Char('x')));
}

TEST_F(FieldsTest, MissingListIsReportedAtStartUpAndWhenItsLanguageIsChosen) {
    TempDir prog;
    for (const char* f : {"zelk.dat", "cwds_en.txt"})
        std::filesystem::copy_file(std::filesystem::path(ZELK_RUNTIME_DIR) / f, prog.path() / f);
    programFolder = prog.path().string();
    std::filesystem::create_directories(StateFile().parent_path());
    WriteFile(StateFile(), "\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"15\"\r\n\"150\"\r\n0\r\n0\r\n0\r\n6\r\n0\r\n0\r\n0\r\n"
                           "1\r\n1\r\n2\r\n#TRUE#\r\n14737632\r\n");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(frm->chkIgnoreCommonWords->isChecked());
    EXPECT_TRUE(frm->txbVPMT->text().isEmpty());  // an empty first line is accepted
    frm->chkIgnoreCommonWords->setChecked(true);
    frm->cboLanguage->setCurrentIndex(5);
    EXPECT_FALSE(frm->chkIgnoreCommonWords->isChecked());
    const std::string unread = " could not be read from file\r\n" + prog.path().string();
    EXPECT_EQ(Boxes(prompter),
              (std::vector<Box>{
                  {"Common words in another language" + unread + "/cwds_en_de_es_pt_it_fr.txt.",
                   "Common words not available", Icon::Exclamation},
                  {"Common words in Spanish" + unread + "/cwds_es.txt.", "Common words not available",
                   Icon::Exclamation}}));
}

}  // namespace
}  // namespace zelk::test
