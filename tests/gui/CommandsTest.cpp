// The commands of the main window on real files: List words and Generate
// with the analysis kept between them, Stop and a setting changed from
// inside a running scan, the Unix-type file warning, the large-table notice
// and Insert, with their exact messages. The analysis and its messages
// themselves are the core's tests (tests/analysis, tests/insertion).
#include "GuiTestSupport.h"

#include <QTimer>

#include "analysis/Analyzer.h"
#include "insertion/Insert.h"

namespace zelk::testing {
namespace {

class CommandsTest : public MainWindowTest {
protected:
    std::string Output() const { return frm->OutputText(); }
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
};

TEST_F(CommandsTest, AnAnalysedDocumentIsReadAgainOnlyAfterASettingChange) {
    ASSERT_TRUE(Start());
    frm->chkInsertKWMT->setChecked(true);
    const std::string p = docs.Write("cache.html", "<html><head><title>alpha alpha</title></head><body>alpha</body></html>\r\n");
    Pick(p);
    ASSERT_FALSE(frm->cmdCopyMetaTag->isEnabled());
    frm->cmdShowExistingKeywordMetaTag->click();  // leaves the window idle: Copy can take the output
    EXPECT_TRUE(frm->cmdCopyMetaTag->isEnabled());
    frm->cmdListWords->click();
    WriteBytes(p, "<html><head><title>omega omega</title></head><body>omega</body></html>\r\n");
    frm->cmdGenerateKeywordMetaTag->click();
    EXPECT_NE(Output().find("content=\"alpha\""), std::string::npos) << Output();
    frm->chkPreserveCase->setChecked(true);  // not an analysis setting
    EXPECT_TRUE(frm->DocumentAnalysed());
    frm->cboLanguage->setCurrentIndex(1);
    frm->cmdGenerateKeywordMetaTag->click();
    EXPECT_NE(Output().find("content=\"omega\""), std::string::npos) << Output();
}

// From inside a running scan: a weight changed halfway means the list shown
// is not taken for the document under the weights now in force; Stop ends
// the scan with the count so far.
TEST_F(CommandsTest, ASettingChangeOrStopDuringAScan) {
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
    bool busy = false;
    ListWordsWhileProbing([&](QTimer&) {
        busy = !frm->cmdSave->isEnabled() && frm->txbInputFile->isReadOnly();
        counts.push_back(frm->lblNumberOfWords->text());
        if (counts.size() == 4) QTest::mouseClick(frm->cmdListWords, Qt::LeftButton);
    });
    ASSERT_GE(counts.size(), 4u);
    EXPECT_TRUE(busy);
    EXPECT_NE(counts.front(), counts.back());  // the label grew while the table filled
    const std::string tail =
        "\r\nStopped with " + std::to_string(frm->analyzer().Table().WordCount()) + " words identified.";
    ASSERT_GE(Output().size(), tail.size());
    EXPECT_EQ(Output().substr(Output().size() - tail.size()), tail);
    EXPECT_FALSE(frm->DocumentAnalysed());
    EXPECT_TRUE(Text(frm->cmdListWords) == "List words" && frm->cmdSave->isEnabled());
    // The caret stands just before " identified.".
    EXPECT_EQ(frm->txbMetaTag->textCursor().position(), frm->txbMetaTag->toPlainText().size() - 12);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(CommandsTest, UnixTypeFileWarning) {
    ASSERT_TRUE(Start());
    std::string s = "<html>\n<head><title>Unix page</title></head>\n<body>\n";
    while (s.size() < 40961 - 16) s += "<p>unix words</p>\n";
    s += "</body></html>\n";
    s.resize(40961, '\n');
    Pick(docs.Write("unix.html", s));
    prompter.answers = {Answer::No};
    frm->cmdListWords->click();
    EXPECT_EQ(prompter.shown,
              (std::vector<ShownBox>{{"This is a Unix-type file!\r\nThis program processes files of this "
                                      "type but much more slowly.\r\nUse of this program with Unix/Linux "
                                      "files larger than 40 Kb\r\nis not recommended.  The size of this "
                                      "file is 40,961 bytes (41 Kb).\r\n\r\nDo you wish to proceed with "
                                      "this file anyway?",
                                      "Unix-type file warning", Icon::None, Buttons::YesNoCancel, Answer::Yes}}));
    EXPECT_FALSE(frm->DocumentAnalysed());
}

TEST_F(CommandsTest, InsertTheViewportTagThenTheGeneratedKeywords) {
    ASSERT_TRUE(Start());
    const std::string p = docs.Write("page.htm", "<html>\r\n<head>\r\n<title>T</title>\r\n</head>\r\n<body>garden tools</body>\r\n</html>\r\n");
    Pick(p);
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
    EXPECT_EQ(prompter.shown,
              (std::vector<ShownBox>{OkBox("Viewport meta tag inserted successfully into document.",
                                           "Insert viewport meta tag into file", Icon::Information),
                                     OkBox("Keywords meta tag inserted successfully into document.",
                                           "Insert keywords meta tag into file", Icon::Information)}));
    EXPECT_NE(ReadBytes(p).find("\r\n" + tag + "\r\n</head>"), std::string::npos);
    EXPECT_FALSE(frm->cmdInsert->isEnabled() || frm->DocumentAnalysed());  // the document changed
    // Generate starts every operation with an empty report.
    frm->cmdListWords->click();
    frm->cmdGenerateKeywordMetaTag->click();
    EXPECT_TRUE(frm->reportLog.Text().empty());
}

}  // namespace
}  // namespace zelk::testing
