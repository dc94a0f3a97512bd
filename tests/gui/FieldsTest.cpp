// The input fields and the button states of the main window: the
// SetActionButtons table, the limit boxes, the pickers, the Clear buttons,
// the exclusion list, the viewport box, the modes and the tick.
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
    void PickPage() {
        picker.nextFile = QString::fromStdString(page.string());
        frm->cmdInputFile->click();
    }
    struct Expect {
        bool genShown, genEnabled;
        const char* genCaption;  // nullptr: not checked
        bool insShown, insEnabled;
        const char* insCaption;
    };
    void Check(const Expect& e, const char* row) {
        SCOPED_TRACE(row);
        QPushButton* gen = frm->cmdGenerateKeywordMetaTag;
        EXPECT_EQ(std::pair(Shown(gen), gen->isEnabled()), std::pair(e.genShown, e.genEnabled));
        if (e.genCaption) {
            EXPECT_EQ(Text(gen), e.genCaption);
        }
        EXPECT_EQ(std::pair(Shown(frm->cmdInsert), frm->cmdInsert->isEnabled()),
                  std::pair(e.insShown, e.insEnabled));
        if (e.insCaption) {
            EXPECT_EQ(Text(frm->cmdInsert), e.insCaption);
        }
    }
    void Tags(bool k, bool v) {
        frm->chkInsertKWMT->setChecked(k);
        frm->chkInsertVPMT->setChecked(v);
    }
    TempDir docs;
    std::filesystem::path page;
};

TEST_F(FieldsTest, SetActionButtonsBeforeAnyAnalysis) {
    ASSERT_TRUE(Start());
    PickPage();
    ASSERT_FALSE(frm->DocumentAnalysed());
    Tags(false, false);
    Check({false, false, nullptr, false, false, nullptr}, "A0 K0 V0");
    Tags(false, true);
    Check({false, false, nullptr, true, true, "Insert viewport meta tag into file"}, "A0 K0 V1");
    Tags(true, false);
    Check({true, false, "Generate/show/edit keywords meta tag", false, false, nullptr}, "A0 K1 V0");
    Tags(true, true);
    Check({false, false, nullptr, false, false, nullptr}, "A0 K1 V1");
}

TEST_F(FieldsTest, SetActionButtonsAfterListWords) {
    ASSERT_TRUE(Start());
    PickPage();
    Tags(false, false);
    frm->cmdListWords->click();
    ASSERT_TRUE(frm->DocumentAnalysed());
    Check({false, false, nullptr, false, false, nullptr}, "A1 K0 V0");
    Tags(false, true);
    Check({false, false, nullptr, true, true, "Insert viewport meta tag into file"}, "A1 K0 V1");
    Tags(true, false);
    Check({true, true, "Generate/show/edit keywords meta tag", true, false,
           "Insert keywords meta tag into file"},
          "A1 K1 V0");
    frm->chkInsertKWMT->setChecked(false);
    frm->chkInsertVPMT->setChecked(true);
    frm->chkInsertKWMT->setChecked(true);
    // The caption SetGenerateButton gave stays: the table leaves it unchanged.
    Check({true, true, "Generate and show keywords meta tag", true, false,
           "Insert both meta tags into file"},
          "A1 K1 V1");
}

TEST_F(FieldsTest, SetActionButtonsInMultipleFilesMode) {
    ASSERT_TRUE(Start());
    frm->optMultipleFiles->click();
    Tags(false, false);
    Check({false, false, nullptr, false, false, nullptr}, "K0 V0");
    EXPECT_FALSE(Shown(frm->cmdListWords));
    Tags(false, true);
    Check({true, true, "Insert viewport meta tag into files", false, false, nullptr}, "K0 V1");
    Tags(true, false);
    Check({true, true, "Show/edit/insert keywords meta tags into files", false, false, nullptr},
          "K1 V0");
    Tags(true, true);
    Check({true, true, "Show/edit/insert keywords meta tags into files", false, false, nullptr},
          "K1 V1");
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
    PickPage();
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

TEST_F(FieldsTest, ClearButtons) {
    ASSERT_TRUE(Start());
    PickPage();
    frm->cmdListWords->click();
    ASSERT_TRUE(frm->DocumentAnalysed());
    frm->cmdClearOutput->click();
    EXPECT_TRUE(frm->txbMetaTag->toPlainText().isEmpty());
    EXPECT_TRUE(frm->lblNumberOfWords->text().isEmpty());
    EXPECT_FALSE(frm->DocumentAnalysed());

    frm->chkInsertVPMT->setChecked(true);
    frm->cmdClearVPMT->click();
    EXPECT_TRUE(frm->txbVPMT->text().isEmpty());
    EXPECT_FALSE(frm->chkInsertVPMT->isChecked());

    frm->txbBeginMetaTagWith->setText("x");
    frm->cmdListWords->click();
    frm->cmdClearBeginMetaTagWith->click();
    EXPECT_TRUE(frm->txbBeginMetaTagWith->text().isEmpty());
    EXPECT_FALSE(frm->DocumentAnalysed());

    frm->cmdClearInputFile->click();
    EXPECT_TRUE(frm->txbInputFile->text().isEmpty());
    EXPECT_EQ(frm->focusWidget(), frm->cmdInputFile);
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
    PickPage();
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
    EXPECT_TRUE(Shown(frm->cmdCopyMetaTag) && frm->cmdClearOutput->isEnabled());
    frm->txbMetaTag->setPlainText(QString(201, QLatin1Char('x')));
    frm->Timer1_Timer();
    EXPECT_TRUE(Shown(frm->chkLargeWindow));
    const int before = frm->txbMetaTag->height();
    frm->chkLargeWindow->setChecked(true);
    EXPECT_GT(frm->txbMetaTag->height(), before);
    EXPECT_LE(frm->Frame1->y() + frm->Frame1->height(), frm->height());
    frm->chkLargeWindow->setChecked(false);
    EXPECT_EQ(frm->txbMetaTag->height(), before);
    frm->cmdCopyMetaTag_Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString(201, QLatin1Char('x')));
    frm->txbMetaTag->clear();
    frm->Timer1_Timer();
    EXPECT_FALSE(Shown(frm->cmdCopyMetaTag));
    EXPECT_FALSE(Shown(frm->cmdListWords));
    PickPage();
    frm->Timer1_Timer();
    EXPECT_TRUE(Shown(frm->cmdListWords));
}

TEST_F(FieldsTest, MissingListIsReportedWhenItsLanguageIsChosen) {
    TempDir prog;
    for (const char* f : {"zelk.dat", "cwds_en.txt", "cwds_fr.txt"})
        std::filesystem::copy_file(std::filesystem::path(ZELK_RUNTIME_DIR) / f, prog.path() / f);
    programFolder = prog.path().string();
    ASSERT_TRUE(Start());
    EXPECT_TRUE(prompter.shown.empty());
    frm->cboLanguage->setCurrentIndex(5);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Common words in Spanish could not be read from file\r\n" +
                                          (prog.path() / "cwds_es.txt").string() + ".");
    EXPECT_EQ(prompter.shown[0].title, "Common words not available");
    EXPECT_FALSE(frm->chkIgnoreCommonWords->isChecked());
}

TEST_F(FieldsTest, MissingListOfTheSavedLanguageIsReportedAtStartUp) {
    TempDir prog;
    for (const char* f : {"zelk.dat", "cwds_en.txt"})
        std::filesystem::copy_file(std::filesystem::path(ZELK_RUNTIME_DIR) / f, prog.path() / f);
    programFolder = prog.path().string();
    std::filesystem::create_directories(StateFile().parent_path());
    WriteFile(StateFile(), "\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"15\"\r\n\"150\"\r\n0\r\n0\r\n0\r\n6\r\n0\r\n0\r\n0\r\n"
                           "1\r\n1\r\n2\r\n#TRUE#\r\n14737632\r\n");
    ASSERT_TRUE(Start());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Common words in another language could not be read from file\r\n" +
                                          (prog.path() / "cwds_en_de_es_pt_it_fr.txt").string() + ".");
    EXPECT_FALSE(frm->chkIgnoreCommonWords->isChecked());
    EXPECT_TRUE(frm->txbVPMT->text().isEmpty());  // an empty first line is accepted
}

}  // namespace
}  // namespace zelk::test
