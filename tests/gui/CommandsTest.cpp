// The commands of the main window on real files: List words, Generate, Stop
// from inside a running scan, the Unix-type file warning, the large-table
// notice, Show existing and Insert, with their exact messages and outputs.
#include "GuiTestSupport.h"

#include <QTimer>

#include "analysis/AnalysisHost.h"
#include "analysis/Analyzer.h"
#include "batch/gui/FrmReport.h"
#include "insertion/Insert.h"

namespace zelk::test {
namespace {

std::string Garden() { return std::string(ZELK_EXAMPLES_DIR) + "/garden.html"; }

class CommandsTest : public MainWindowTest {
protected:
    std::string Output() const { return frm->OutputText(); }
    TempDir docs;
};

TEST_F(CommandsTest, ListWordsThenGenerateOnARealPage) {
    ASSERT_TRUE(Start());
    frm->chkInsertKWMT->setChecked(true);
    Pick(Garden());
    EXPECT_FALSE(frm->cmdGenerateKeywordMetaTag->isEnabled());
    frm->cmdListWords->click();
    EXPECT_TRUE(prompter.shown.empty());
    ASSERT_FALSE(Output().empty());
    const QString label = frm->lblNumberOfWords->text();
    EXPECT_TRUE(label.startsWith("Number of words found: ")) << label.toStdString();
    EXPECT_EQ(label.toStdString(),
              "Number of words found: " + std::to_string(frm->analyzer().Table().WordCount()));
    EXPECT_FALSE(frm->lblNumberOfWords->font().bold());
    EXPECT_EQ(Text(frm->cmdListWords), "List words");
    EXPECT_TRUE(frm->cmdGenerateKeywordMetaTag->isEnabled());
    EXPECT_TRUE(frm->DocumentAnalysed());
    EXPECT_TRUE(Shown(frm->cmdGenerateKeywordMetaTag));

    frm->cmdGenerateKeywordMetaTag->click();
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(Output().rfind("<meta name=\"keywords\" content=\"", 0), 0u) << Output();
    EXPECT_NE(Output().find("garden"), std::string::npos) << Output();
    EXPECT_TRUE(Shown(frm->cmdInsert));
    EXPECT_TRUE(frm->cmdInsert->isEnabled());
    EXPECT_TRUE(frm->cmdInsert->font().bold());
    EXPECT_TRUE(frm->analyzer().KeywordsGenerated);
    EXPECT_EQ(frm->focusWidget(), frm->cmdGenerateKeywordMetaTag);
}

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
    frm->cboLanguage->setCurrentIndex(1);
    frm->cmdGenerateKeywordMetaTag->click();
    EXPECT_NE(Output().find("content=\"omega\""), std::string::npos) << Output();
}

TEST_F(CommandsTest, RequestMessages) {
    ASSERT_TRUE(Start());
    frm->cmdListWords->click();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Input file not specified.");
    EXPECT_EQ(prompter.shown[0].title, "Error");
    EXPECT_EQ(prompter.shown[0].icon, Icon::Exclamation);

    frm->txbInputFile->setText(QString::fromStdString((docs.path() / "missing.html").string()));
    frm->cmdListWords->click();
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].text, "Input file not found.");
    EXPECT_EQ(prompter.shown[1].title, "File not found");
    EXPECT_EQ(prompter.shown[1].icon, Icon::Exclamation);
    prompter.shown.erase(prompter.shown.begin() + 1);

    const auto nohead = docs.path() / "nohead.html";
    WriteFile(nohead, "<html><body><p>Plain words only here, words.</p></body></html>\r\n");
    frm->chkInsertKWMT->setChecked(true);
    Pick(nohead);
    frm->cmdListWords->click();
    EXPECT_EQ(prompter.shown.size(), 1u);
    frm->cmdGenerateKeywordMetaTag->click();
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].text, "<head> not found in input file.");
    EXPECT_EQ(prompter.shown[1].title, "No header");
    EXPECT_EQ(prompter.shown[1].icon, Icon::Exclamation);

    const auto binary = docs.path() / "binary.html";
    WriteFile(binary, std::string("<html>\x01\x02", 8) + std::string(200, '\0'));
    Pick(binary);
    frm->cmdListWords->click();
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[2].title, "Not a text file");
    EXPECT_EQ(prompter.shown[2].icon, Icon::Information);
    EXPECT_EQ(prompter.shown[2].text.rfind("This file is not a text file.\r\nThe byte at position ", 0), 0u);
    EXPECT_NE(prompter.shown[2].text.find("\r\n is neither text nor whitespace."), std::string::npos);
    EXPECT_FALSE(frm->DocumentAnalysed());
}

// A page large enough that the scan takes many event pumps.

TEST_F(CommandsTest, StopClickedDuringAScanEndsItWithTheCount) {
    ASSERT_TRUE(Start());
    Pick(LongPage(docs.path(), 40000));
    std::vector<QString> counts;
    bool sawBusy = false;
    int ticks = 0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        // Runs from inside the scan, in one of its event pumps.
        if (Text(frm->cmdListWords) != "Stop") return;
        sawBusy = !frm->cmdSave->isEnabled() && !Shown(frm->optSingleFile) &&
                  frm->txbInputFile->isReadOnly() && frm->lblNumberOfWords->font().bold();
        counts.push_back(frm->lblNumberOfWords->text());
        if (++ticks == 4) QTest::mouseClick(frm->cmdListWords, Qt::LeftButton);
    });
    probe.start();
    frm->cmdListWords->click();
    probe.stop();
    ASSERT_GE(ticks, 4);
    EXPECT_TRUE(sawBusy);
    // The label grew while the table filled.
    ASSERT_GE(counts.size(), 2u);
    EXPECT_NE(counts.front(), counts[counts.size() - 1]);
    const int n = frm->analyzer().Table().WordCount();
    ASSERT_GT(n, 1);
    const std::string tail = "Stopped with " + std::to_string(n) + " words identified.";
    const std::string out = Output();
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
    EXPECT_EQ(out.substr(out.size() - tail.size() - 2, 2), "\r\n");
    EXPECT_TRUE(frm->lblNumberOfWords->text().isEmpty());
    EXPECT_FALSE(frm->DocumentAnalysed());
    EXPECT_EQ(Text(frm->cmdListWords), "List words");
    EXPECT_TRUE(frm->cmdSave->isEnabled());
    EXPECT_TRUE(Shown(frm->optSingleFile));
    // The caret stands just before " identified.".
    const QString box = frm->txbMetaTag->toPlainText();
    EXPECT_EQ(frm->txbMetaTag->textCursor().position(), box.size() - 12);
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
    const Notice& n = desktop.notices[0];
    EXPECT_EQ(n.message, "Now processing, this may take awhile.");
    EXPECT_EQ(n.width, 4000);
    EXPECT_EQ(n.height, 300);
    EXPECT_EQ(n.interval, 4000);
    const QPoint at = frm->txbMetaTag->mapTo(frm.get(), QPoint(0, 0));
    EXPECT_EQ(n.top, at.y() * 15 + 1000);
    EXPECT_EQ(n.left, at.x() * 15 + (frm->txbMetaTag->width() * 15 - 4000) / 2);
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
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text,
              "This is a Unix-type file!\r\nThis program processes files of this type but much more "
              "slowly.\r\nUse of this program with Unix/Linux files larger than 40 Kb\r\nis not "
              "recommended.  The size of this file is 40,961 bytes (41 Kb).\r\n\r\nDo you wish to "
              "proceed with this file anyway?");
    EXPECT_EQ(prompter.shown[0].title, "Unix-type file warning");
    EXPECT_EQ(prompter.shown[0].icon, Icon::None);
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::YesNoCancel);
    EXPECT_FALSE(frm->DocumentAnalysed());
    EXPECT_EQ(Text(frm->cmdListWords), "List words");
    EXPECT_TRUE(frm->cmdSave->isEnabled());
    prompter.answers = {Answer::Yes};
    frm->cmdListWords->click();
    EXPECT_TRUE(frm->DocumentAnalysed());
    EXPECT_NE(Output().find("unix"), std::string::npos);
}

TEST_F(CommandsTest, ShowExistingTags) {
    ASSERT_TRUE(Start());
    frm->cmdShowExistingKeywordMetaTag->click();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Input file not specified.");
    EXPECT_EQ(prompter.shown[0].title, "Error");
    const auto p = docs.path() / "tags.html";
    WriteFile(p,
              "<html>\r\n<head>\r\n  <title>Garden tools</title>\r\n"
              "<meta name=\"keywords\" content=\"rake,spade\">\r\n</head>\r\n<body></body></html>\r\n");
    Pick(p);
    frm->cmdShowExistingKeywordMetaTag->click();
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(Output(),
              "TITLE: Garden tools\r\n\r\nKEYWORDS meta tag: <meta name=\"keywords\" "
              "content=\"rake,spade\">\r\n\r\nNo viewport meta tag found.\r\n");
}

TEST_F(CommandsTest, InsertTheViewportTag) {
    ASSERT_TRUE(Start());
    const auto p = docs.path() / "page.htm";
    WriteFile(p, "<html>\r\n<head>\r\n<title>T</title>\r\n</head>\r\n<body>x</body>\r\n</html>\r\n");
    Pick(p);
    frm->chkInsertVPMT->setChecked(true);
    ASSERT_TRUE(Shown(frm->cmdInsert));
    frm->cmdInsert->click();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Viewport meta tag inserted successfully into document.");
    EXPECT_EQ(prompter.shown[0].title, "Insert viewport meta tag into file");
    EXPECT_EQ(prompter.shown[0].icon, Icon::Information);
    EXPECT_EQ(ReadFile(p),
              "<html>\r\n<head>\r\n<title>T</title>\r\n<meta name=\"viewport\" "
              "content=\"width=device-width,initial-scale=1.0\">\r\n</head>\r\n<body>x</body>\r\n"
              "</html>\r\n");
    EXPECT_FALSE(frm->ReportVisible());
    EXPECT_EQ(frm->Report()->txbReport()->toPlainText(), "  New VPMT inserted. As given.\n");
    EXPECT_FALSE(std::filesystem::exists(docs.path() / "page.bak.htm"));
}

TEST_F(CommandsTest, InsertTheGeneratedKeywordsTag) {
    ASSERT_TRUE(Start());
    const auto p = docs.path() / "garden.html";
    std::filesystem::copy_file(Garden(), p);
    frm->chkInsertKWMT->setChecked(true);
    Pick(p);
    frm->cmdInsert_Click();  // nothing generated yet (the button is hidden)
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Nothing to insert.");
    frm->txbMetaTag->setPlainText("typed by hand");
    frm->cmdInsert_Click();
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].text, "The keywords meta tag has not been generated.");
    EXPECT_EQ(prompter.shown[1].icon, Icon::Information);
    frm->cmdListWords->click();
    frm->cmdGenerateKeywordMetaTag->click();
    const std::string tag = MetaTagFromTextbox(Output());
    ASSERT_FALSE(tag.empty());
    frm->cmdInsert->click();
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[2].text, "Keywords meta tag inserted successfully into document.");
    EXPECT_EQ(prompter.shown[2].title, "Insert keywords meta tag into file");
    const std::string doc = ReadFile(p);
    EXPECT_NE(doc.find("\r\n" + tag + "\r\n</head>"), std::string::npos);
    EXPECT_FALSE(frm->cmdInsert->isEnabled());
    EXPECT_FALSE(frm->cmdInsert->font().bold());
    EXPECT_FALSE(frm->DocumentAnalysed());  // the document changed
    // Generate starts every operation with an empty, hidden report.
    frm->Report()->show();
    ASSERT_TRUE(frm->ReportVisible());
    frm->cmdListWords->click();
    frm->cmdGenerateKeywordMetaTag->click();
    EXPECT_FALSE(frm->ReportVisible());
    EXPECT_TRUE(frm->reportLog.Text().empty());
}

TEST_F(CommandsTest, InsertIntoAMissingFile) {
    ASSERT_TRUE(Start());
    frm->chkInsertVPMT->setChecked(true);
    frm->txbInputFile->setText(QString::fromStdString((docs.path() / "gone.htm").string()));
    frm->cmdInsert->click();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "File not found.");
    EXPECT_EQ(prompter.shown[0].title, "Insert viewport meta tag into file");
    EXPECT_EQ(prompter.shown[0].icon, Icon::Exclamation);
}

}  // namespace
}  // namespace zelk::test
