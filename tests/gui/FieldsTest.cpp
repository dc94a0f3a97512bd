// The input fields and the button states of the main window: the table of
// the two command buttons, the limit boxes, the pickers, the modes, the
// exclusion list and the viewport box.
#include "GuiTestSupport.h"

namespace zelk::testing {
namespace {

class FieldsTest : public MainWindowTest {
protected:
    TempDir docs;
    const std::string page = docs.Write("page.html",
                                        "<html>\r\n<head>\r\n<title>Garden tools</title>\r\n</head>\r\n<body>\r\n"
                                        "<p>Garden tools for garden work: spades, rakes, garden hoses.</p>\r\n"
                                        "</body>\r\n</html>\r\n");
    // Types into a box and moves the focus away, as a user would.
    void TypeAndLeave(QLineEdit* box, const QString& text, QWidget* next) {
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
        next->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
};

// Shown, enabled and caption ("" for hidden) of Generate and Insert, for
// each mode, analysis state and tag choice.
TEST_F(FieldsTest, CommandButtonsFollowModeAnalysisAndTagChoice) {
    ASSERT_TRUE(Start());
    Pick(page);
    const std::string gen = "Generate/show/edit keywords meta tag", insVp = "Insert viewport meta tag into file";
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

TEST_F(FieldsTest, LimitBoxesKeepDigitsAndEnforceTheirRange) {
    ASSERT_TRUE(Start());
    frm->chkInsertKWMT->setChecked(true);
    QLineEdit* kw = frm->txbMaxNumKeywordsInMetaTag;
    QLineEdit* bytes = frm->txbMaxNumBytesInMetaTag;
    const std::tuple<QLineEdit*, const char*, const char*> typed[] = {
        {kw, "1a2", "12"}, {kw, "", "15"}, {kw, "2", "15"}, {kw, "31", "30"}, {kw, "0", "15"},
        {kw, "+-5", "+5"}, {bytes, "301", "150"}, {bytes, "", ""}, {bytes, "-0", "0"}};
    for (const auto& [box, text, kept] : typed) {
        TypeAndLeave(box, text, box == kw ? bytes : kw);
        EXPECT_EQ(box->text().toStdString(), kept) << text;
    }
    const ShownBox fewest = OkBox("Minimum number of keywords in the meta tag is 3.", "Number of keywords",
                                  Icon::Information);
    EXPECT_EQ(prompter.shown, (std::vector<ShownBox>{fewest,
                                                     OkBox("Maximum number of keywords in the meta tag is 30.",
                                                           "Number of keywords", Icon::Information),
                                                     fewest,
                                                     OkBox("Maximum number of bytes in the meta tag is 300.", "zelk",
                                                           Icon::None)}));
    EXPECT_EQ(frm->settings.MaxNumBytesInMetaTag, "0");
}

// The pickers take a file or a folder (not a working file, nor a folder
// that is missing); switching modes swaps the paths and the output texts.
TEST_F(FieldsTest, PickersAndTheModeSwitch) {
    ASSERT_TRUE(Start());
    frm->txbMetaTag->setPlainText("old");
    Pick(docs.Write("index.BAK.htm", "<html></html>"));
    EXPECT_TRUE(frm->txbInputFile->text().isEmpty());
    Pick(page);
    EXPECT_EQ(picker.filter.rfind("HTML files (*.htm, *.html, *.shtm, *.shtml)", 0), 0u);
    EXPECT_TRUE(frm->txbMetaTag->toPlainText().isEmpty());
    picker.nextFile.clear();  // cancelled: nothing changes
    frm->cmdInputFile->click();
    EXPECT_EQ(frm->txbInputFile->text().toStdString(), page);
    frm->txbMetaTag->setPlainText("single output");

    frm->optMultipleFiles->click();
    EXPECT_TRUE(frm->txbInputFile->text().isEmpty() && frm->txbMetaTag->toPlainText().isEmpty());
    EXPECT_FALSE(frm->txbInputFile->isEnabled());
    TypeAndLeave(frm->txbFolder, "  /no/such/folder ", frm->txbVPMT);
    EXPECT_EQ(frm->txbFolder->text(), "/no/such/folder");
    picker.nextFolder = QString::fromStdString(docs.path());
    frm->cmdFolder->click();
    picker.nextFolder.clear();
    frm->cmdFolder->click();
    EXPECT_EQ(frm->settings.Folder, "");  // cancelled: the variable is emptied, the box kept
    EXPECT_EQ(frm->txbFolder->text().toStdString(), docs.path());
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
    EXPECT_EQ(picker.titles, (std::vector<std::string>{file, file, file, folder, folder}));
    EXPECT_EQ(prompter.shown,
              (std::vector<ShownBox>{OkBox("This software does not act on '.bak.' files.", "Single file", Icon::Information),
                                     OkBox("Folder does not exist.", "Invalid input", Icon::Exclamation)}));
}

TEST_F(FieldsTest, ViewportBoxIsCheckedWhenLeft) {
    ASSERT_TRUE(Start());
    // Ticking the box with an invalid tag unticks it again, silently;
    // emptying the box unticks it.
    const std::pair<const char*, bool> typed[] = {{"<meta name=viewport content=\"x\">", false},
                                                  {"<meta name=\"viewport\" content=\"width=400\">", true}};
    for (const auto& [tag, kept] : typed) {
        TypeAndLeave(frm->txbVPMT, tag, frm->txbBeginMetaTagWith);
        frm->chkInsertVPMT->setChecked(true);
        EXPECT_EQ(frm->chkInsertVPMT->isChecked(), kept) << tag;
    }
    TypeAndLeave(frm->txbVPMT, "   ", frm->txbBeginMetaTagWith);
    EXPECT_FALSE(frm->chkInsertVPMT->isChecked());
    EXPECT_EQ(prompter.shown,
              std::vector<ShownBox>{OkBox("Viewport meta tag is invalid.", "Invalid entry", Icon::Exclamation)});
}

}  // namespace
}  // namespace zelk::testing
