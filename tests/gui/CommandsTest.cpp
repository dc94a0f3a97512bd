// The commands of the main window on real files: List words, Generate, Stop
// from inside a running scan, the Unix-type file warning, the large-table
// notice and Insert, with their exact messages and outputs.
#include "Boxes.h"

#include <QTimer>

#include "analysis/Analyzer.h"
#include "batch/gui/FrmReport.h"
#include "insertion/Insert.h"

namespace zelk::test {
namespace {

class CommandsTest : public MainWindowTest {
protected:
    std::string Output() const { return frm->OutputText(); }
    TempDir docs;
};

TEST_F(CommandsTest, AnAnalysedDocumentIsReadAgainOnlyAfterASettingChange) {
    ASSERT_TRUE(Start());
    frm->chkInsertKWMT->setChecked(true);
    const auto p = docs.path() / "cache.html";
    WriteFile(p, "<html><head><title>alpha alpha</title></head><body>alpha</body></html>\r\n");
    Pick(p);
    frm->cmdListWords->click();
    WriteFile(p, "<html><head><title>omega omega</title></head><body>omega</body></html>\r\n");
    frm->cmdGenerateKeywordMetaTag->click();
    EXPECT_NE(Output().find("content=\"alpha\""), std::string::npos) << Output();
    frm->chkPreserveCase->setChecked(true);  // not an analysis setting
    EXPECT_TRUE(frm->DocumentAnalysed());
    frm->cboLanguage->setCurrentIndex(1);
    frm->cmdGenerateKeywordMetaTag->click();
    EXPECT_NE(Output().find("content=\"omega\""), std::string::npos) << Output();
}

TEST_F(CommandsTest, RequestMessages) {
    ASSERT_TRUE(Start());
    frm->cmdListWords->click();
    frm->txbInputFile->setText(QString::fromStdString((docs.path() / "missing.html").string()));
    frm->cmdListWords->click();
    const auto nohead = docs.path() / "nohead.html";
    WriteFile(nohead, "<html><body><p>Plain words only here, words.</p></body></html>\r\n");
    frm->chkInsertKWMT->setChecked(true);
    Pick(nohead);
    frm->cmdListWords->click();
    frm->cmdGenerateKeywordMetaTag->click();
    EXPECT_EQ(Boxes(prompter),
              (std::vector<Box>{{"Input file not specified.", "Error", Icon::Exclamation},
                                {"Input file not found.", "File not found", Icon::Exclamation},
                                {"<head> not found in input file.", "No header", Icon::Exclamation}}));
    prompter.shown.clear();
    const auto binary = docs.path() / "binary.html";
    WriteFile(binary, std::string("<html>\x01\x02", 8) + std::string(200, '\0'));
    Pick(binary);
    frm->cmdListWords->click();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "Not a text file");
    EXPECT_EQ(prompter.shown[0].icon, Icon::Information);
    EXPECT_EQ(prompter.shown[0].text.rfind("This file is not a text file.\r\nThe byte at position ", 0), 0u);
    EXPECT_NE(prompter.shown[0].text.find("\r\n is neither text nor whitespace."), std::string::npos);
    EXPECT_FALSE(frm->DocumentAnalysed());
}

TEST_F(CommandsTest, StopClickedDuringAScanEndsItWithTheCount) {
    ASSERT_TRUE(Start());
    Pick(LongPage(docs.path(), 40000));
    std::vector<QString> counts;
    bool sawBusy = false;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        // Runs from inside the scan, in one of its event pumps.
        if (Text(frm->cmdListWords) != "Stop") return;
        sawBusy = !frm->cmdSave->isEnabled() && frm->txbInputFile->isReadOnly();
        counts.push_back(frm->lblNumberOfWords->text());
        if (counts.size() == 4) QTest::mouseClick(frm->cmdListWords, Qt::LeftButton);
    });
    probe.start();
    frm->cmdListWords->click();
    probe.stop();
    ASSERT_GE(counts.size(), 4u);
    EXPECT_TRUE(sawBusy);
    EXPECT_NE(counts.front(), counts.back());  // the label grew while the table filled
    const std::string tail =
        "\r\nStopped with " + std::to_string(frm->analyzer().Table().WordCount()) + " words identified.";
    const std::string out = Output();
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
    EXPECT_FALSE(frm->DocumentAnalysed());
    EXPECT_EQ(Text(frm->cmdListWords), "List words");
    EXPECT_TRUE(frm->cmdSave->isEnabled());
    // The caret stands just before " identified.".
    EXPECT_EQ(frm->txbMetaTag->textCursor().position(), frm->txbMetaTag->toPlainText().size() - 12);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(CommandsTest, ASettingChangedDuringAScanMeansAnalysingAgain) {
    ASSERT_TRUE(Start());
    frm->chkInsertKWMT->setChecked(true);
    Pick(LongPage(docs.path(), 3000));
    bool changed = false;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        // From inside the scan: the weight changes halfway through the page.
        if (changed || Text(frm->cmdListWords) != "Stop") return;
        changed = true;
        frm->cboTitleWeight->setCurrentIndex(3);
    });
    probe.start();
    frm->cmdListWords->click();
    probe.stop();
    ASSERT_TRUE(changed);
    // The list is shown, but it is not taken for the document under the
    // weights now in force: Generate cannot use it, List words reads again.
    EXPECT_NE(Output().find("wordaaaax"), std::string::npos);
    EXPECT_FALSE(frm->DocumentAnalysed());
    EXPECT_FALSE(frm->cmdGenerateKeywordMetaTag->isEnabled());
    frm->cmdListWords->click();
    EXPECT_TRUE(frm->DocumentAnalysed());
}

TEST_F(CommandsTest, LargeTableGivesTheNoticeBeforeMerging) {
    ASSERT_TRUE(Start());
    Pick(LongPage(docs.path(), 120));
    frm->cmdListWords->click();
    ASSERT_TRUE(frm->DocumentAnalysed());
    ASSERT_EQ(desktop.notices.size(), 1u);
    EXPECT_EQ(desktop.notices[0].message, "Now processing, this may take awhile.");
}

TEST_F(CommandsTest, UnixTypeFileWarning) {
    ASSERT_TRUE(Start());
    std::string s = "<html>\n<head><title>Unix page</title></head>\n<body>\n";
    while (s.size() < 40961 - 16) s += "<p>unix words</p>\n";
    s += "</body></html>\n";
    s.resize(40961, '\n');
    const auto p = docs.path() / "unix.html";
    WriteFile(p, s);
    Pick(p);
    prompter.answers = {Answer::No};
    frm->cmdListWords->click();
    EXPECT_EQ(Boxes(prompter),
              (std::vector<Box>{{"This is a Unix-type file!\r\nThis program processes files of this "
                                 "type but much more slowly.\r\nUse of this program with Unix/Linux "
                                 "files larger than 40 Kb\r\nis not recommended.  The size of this "
                                 "file is 40,961 bytes (41 Kb).\r\n\r\nDo you wish to proceed with "
                                 "this file anyway?",
                                 "Unix-type file warning", Icon::None}}));
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::YesNoCancel);
    EXPECT_FALSE(frm->DocumentAnalysed());
    EXPECT_EQ(Text(frm->cmdListWords), "List words");
    prompter.answers = {Answer::Yes};
    frm->cmdListWords->click();
    EXPECT_TRUE(frm->DocumentAnalysed());
}

TEST_F(CommandsTest, InsertTheViewportTagThenTheGeneratedKeywords) {
    ASSERT_TRUE(Start());
    const auto p = docs.path() / "page.htm";
    WriteFile(p, "<html>\r\n<head>\r\n<title>T</title>\r\n</head>\r\n<body>garden tools</body>\r\n</html>\r\n");
    Pick(p);
    frm->chkInsertVPMT->setChecked(true);
    frm->cmdInsert->click();
    EXPECT_NE(ReadFile(p).find("<meta name=\"viewport\""), std::string::npos);
    EXPECT_FALSE(frm->ReportVisible());
    EXPECT_EQ(frm->Report()->txbReport()->toPlainText(), "  New VPMT inserted. As given.\n");

    frm->chkInsertVPMT->setChecked(false);
    frm->chkInsertKWMT->setChecked(true);
    frm->cmdListWords->click();
    frm->cmdGenerateKeywordMetaTag->click();
    const std::string tag = MetaTagFromTextbox(Output());
    ASSERT_FALSE(tag.empty());
    frm->cmdInsert->click();
    EXPECT_EQ(Boxes(prompter),
              (std::vector<Box>{
                  {"Viewport meta tag inserted successfully into document.",
                   "Insert viewport meta tag into file", Icon::Information},
                  {"Keywords meta tag inserted successfully into document.",
                   "Insert keywords meta tag into file", Icon::Information}}));
    EXPECT_NE(ReadFile(p).find("\r\n" + tag + "\r\n</head>"), std::string::npos);
    EXPECT_FALSE(frm->cmdInsert->isEnabled());
    EXPECT_FALSE(frm->DocumentAnalysed());  // the document changed
    // Generate starts every operation with an empty, hidden report.
    frm->Report()->show();
    frm->cmdListWords->click();
    frm->cmdGenerateKeywordMetaTag->click();
    EXPECT_FALSE(frm->ReportVisible());
    EXPECT_TRUE(frm->reportLog.Text().empty());
}

}  // namespace
}  // namespace zelk::test
