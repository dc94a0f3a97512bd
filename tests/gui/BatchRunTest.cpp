// The run over a folder tree as the window drives it, on real temporary
// folders: the edit dialog with each of its buttons and its close box,
// automatic mode with Break, Stop and Pause during its waits (fake clock),
// "Go on to the next file?" after a stopped analysis, the dialog's Insert
// rules while typing, Quit while the dialog is up, and the report and the
// closing messages byte for byte.
#include "GuiTestSupport.h"

#include <QAccessible>
#include <QLocale>
#include <QTimer>

#include "batch/BatchRun.h"
#include "batch/gui/FrmEditMetaTag.h"
#include "batch/gui/FrmParameters.h"
#include "batch/gui/FrmReport.h"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

std::string Page(const std::string& title, const std::string& text, const std::string& head = "") {
    return "<html>\r\n<head>\r\n<title>" + title + "</title>\r\n" + head +
           "</head>\r\n<body>\r\n<p>" + text + "</p>\r\n</body>\r\n</html>\r\n";
}

// What a screen reader announces for a control.
QString Spoken(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
}

constexpr const char* kNewVP = "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">";

class BatchGuiTest : public MainWindowTest {
protected:
    using Step = std::function<void(FrmEditMetaTag&)>;

    fs::path Top() const { return dir.path() / "site"; }
    std::string TopText() const { return Top().string(); }
    void Put(const std::string& rel, const std::string& bytes) {
        const fs::path p = Top() / rel;
        fs::create_directories(p.parent_path());
        WriteFile(p, bytes);
    }
    std::string Get(const std::string& rel) const { return ReadFile(Top() / rel); }

    // Starts the window in multiple-files mode on the top folder.
    void Prepare(bool keywords, bool viewport, bool confirm = true) {
        ASSERT_TRUE(Start());
        frm->chkInsertKWMT->setChecked(keywords);
        frm->chkInsertVPMT->setChecked(viewport);
        frm->optMultipleFiles->setChecked(true);
        frm->txbFolder->setText(QString::fromStdString(TopText()));
        frm->txbExcludedFilepaths->clear();
        FrmParameters* p = frm->Parameters();
        p->chkIncludeAllSubfolders->setChecked(true);
        p->chkConfirm->setChecked(confirm);
        p->hide();
        prompter.shown.clear();
    }

    // Clicks Generate; each appearance of the edit dialog runs the next step.
    void Generate() {
        FrmEditMetaTag* d = frm->EditDialog();
        auto c = QObject::connect(d, &FrmEditMetaTag::Activated, d, [this, d] {
            files.push_back(d->lblFile->text().toStdString());
            quitEnabled.push_back(frm->cmdQuit->isEnabled());
            bottoms.push_back(frm->OutputText());
            if (steps.empty()) {
                ADD_FAILURE() << "unexpected dialog for " << files.back();
                d->cmdCancel->click();
                return;
            }
            Step s = std::move(steps.front());
            steps.pop_front();
            s(*d);
        });
        QTest::mouseClick(frm->cmdGenerateKeywordMetaTag, Qt::LeftButton);
        QObject::disconnect(c);
        EXPECT_TRUE(steps.empty());
    }
    std::string Report() const { return frm->reportLog.Text(); }
    const ShownMessage& Last() const { return prompter.shown.back(); }
    // Replaces the box text and releases a key in it, as typing ends.
    static void Type(FrmEditMetaTag& d, const QString& text) {
        d.txbMetaTag->setFocus();
        d.txbMetaTag->setPlainText(text);
        QTest::keyClick(d.txbMetaTag, Qt::Key_End);
    }
    static std::string Box(FrmEditMetaTag& d) { return d.txbMetaTag->toPlainText().toStdString(); }

    TempDir dir;
    std::deque<Step> steps;
    std::vector<std::string> files, bottoms;
    std::vector<bool> quitEnabled;
};

// Inspection mode through the dialog: Insert, edit then Insert, Continue to
// next file without inserting, a file without "</head>" in a subfolder.
TEST_F(BatchGuiTest, InspectionModeThroughTheDialog) {
    Put("a.htm", Page("Roses", "roses roses tulips"));
    Put("b.html", Page("Ferns", "ferns ferns mosses", "<meta name=\"keywords\" content=\"old, tag\">\r\n"));
    Put("c.htm", Page("Oaks", "oaks oaks"));
    Put("notes.php", Page("Php", "skipped"));
    Put("sub/d.htm", "<html>\r\n<head>\r\n<title>x</title>\r\n<body>\r\n</body>\r\n</html>\r\n");
    Prepare(true, false);
    const auto sizeOfA = fs::file_size(Top() / "a.htm");
    std::string firstTag;
    steps.push_back([&](FrmEditMetaTag& d) {
        EXPECT_EQ(d.windowTitle(), "Insert keywords meta tag");
        EXPECT_EQ(d.cmdInsert->text(), "Insert keywords meta tag");
        EXPECT_EQ(d.lblEditMetaTag->text(),
                  "The existing keywords meta tag (if any) is shown in the bottom window.\n"
                  "You can edit the new meta tag in the top window before insertion.");
        for (QWidget* w : std::initializer_list<QWidget*>{d.cmdInsert, d.cmdNextFile,
                                                          d.cmdContinueAutomatically, d.cmdCancel})
            EXPECT_EQ(Spoken(w), static_cast<QAbstractButton*>(w)->text());
        EXPECT_EQ(Spoken(d.lblFile), d.lblFile->text());
        EXPECT_EQ(Spoken(d.txbMetaTag).simplified(), d.lblEditMetaTag->text().simplified());
        EXPECT_EQ(d.palette().color(QPalette::Window), QColor(201, 255, 211));
        EXPECT_TRUE(d.txbMetaTag->font().fixedPitch() ||
                    QFontInfo(d.txbMetaTag->font()).fixedPitch());
        EXPECT_EQ(d.x(), frm->frameGeometry().left());
        EXPECT_EQ(d.frameGeometry().top(), frm->frameGeometry().top());
        firstTag = Box(d);
        EXPECT_TRUE(d.cmdInsert->isEnabled());
        bool inserting = false;  // seen from the events the insertion lets run
        QTimer::singleShot(0, &d, [&] { inserting = d.lblInserting->isVisible(); });
        d.cmdInsert->click();
        EXPECT_TRUE(inserting);
        EXPECT_FALSE(d.cmdInsert->isEnabled());
        EXPECT_TRUE(d.txbMetaTag->isReadOnly());
        EXPECT_FALSE(d.lblInserting->isVisible());
        EXPECT_TRUE(d.isVisible());  // the dialog stays after Insert
        d.cmdNextFile->click();       // logs nothing more
    });
    steps.push_back([&](FrmEditMetaTag& d) {
        Type(d, "<meta name=\"keywords\" content=\"hand, made\">");
        EXPECT_TRUE(d.cmdInsert->isEnabled());
        d.cmdInsert->click();
        d.cmdNextFile->click();
    });
    steps.push_back([&](FrmEditMetaTag& d) { d.cmdNextFile->click(); });
    Generate();

    const std::string a = TopText() + "/a.htm";
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0], a + " [" + FrmEditMetaTag::SizeText(static_cast<long long>(sizeOfA), 2).toStdString() + "]");
    EXPECT_EQ(bottoms[0], "No keywords meta tag found.");
    EXPECT_EQ(bottoms[1], "Existing keywords meta tag:\r\n<meta name=\"keywords\" content=\"old, tag\">");
    EXPECT_EQ(quitEnabled, (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(frm->cmdQuit->isEnabled());
    EXPECT_EQ(firstTag, "<meta name=\"keywords\" content=\"rose, tulip\">");
    EXPECT_NE(Get("a.htm").find(firstTag), std::string::npos);
    EXPECT_NE(Get("b.html").find("<meta name=\"keywords\" content=\"hand, made\">"), std::string::npos);
    EXPECT_EQ(Get("b.html").find("old, tag"), std::string::npos);
    EXPECT_EQ(Get("c.htm"), Page("Oaks", "oaks oaks"));
    EXPECT_EQ(Report(), "Top folder: " + TopText() + "/\r\n\r\n"
                        "File #1: a.htm\r\n"
                        "  New KWMT inserted.\r\n"
                        "  <meta name=\"keywords\" ... \"rose, tulip\">\r\n"
                        "File #2: b.html\r\n"
                        "  Existing KWMT replaced.\r\n"
                        "  <meta name=\"keywords\" ... \"hand, made\">\r\n"
                        "File #3: c.htm\r\n"
                        "  Skipped\r\n"
                        "File #4: sub/d.htm\r\n"
                        "  </head> not found\r\n"
                        "\r\nThat's all.\r\n");
    EXPECT_EQ(frm->Report()->txbReport()->toPlainText().toStdString() + "",
              QString::fromStdString(Report()).replace("\r\n", "\n").toStdString());
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(Last().title, "Number of files");
    EXPECT_EQ(Last().text, "Number of files processed: 4");
    EXPECT_EQ(Last().icon, Icon::Information);
    FrmReport* r = frm->Report();
    EXPECT_TRUE(Shown(r->cmdCopyToClipboard()) && r->cmdCopyToClipboard()->isEnabled());
    EXPECT_TRUE(Shown(r->cmdClose()) && r->cmdClose()->isEnabled());
    EXPECT_FALSE(Shown(r->cmdPauseContinue()));
    EXPECT_FALSE(frm->txbFolder->isReadOnly());
}

// Continue automatically with each answer, then Break during the wait
// before an automatic insertion: that file comes up in the dialog instead.
TEST_F(BatchGuiTest, ContinueAutomaticallyWithEachAnswerAndBreak) {
    for (const char* n : {"a.htm", "b.htm", "c.htm", "d.htm"}) Put(n, Page("Maple", "maple birch"));
    Prepare(true, true);
    steps.push_back([&](FrmEditMetaTag& d) {
        EXPECT_EQ(d.windowTitle(), "Insert both viewport meta tag and keywords meta tag");
        EXPECT_EQ(d.cmdInsert->text(), "Insert both meta tags");
        prompter.answers = {Answer::Cancel};
        d.cmdContinueAutomatically->click();
        EXPECT_EQ(Last().text, "Do you wish to insert both meta tags?");
        EXPECT_EQ(Last().title, "Continue automatically (no inspection of meta tag)");
        EXPECT_EQ(Last().buttons, Buttons::YesNoCancel);
        EXPECT_TRUE(d.isVisible());
        prompter.answers = {Answer::Yes};
        d.cmdContinueAutomatically->click();  // inserts, the dialog stays
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(d.cmdInsert->isEnabled());
        const size_t asked = prompter.shown.size();
        d.cmdContinueAutomatically->click();  // now without asking
        EXPECT_EQ(prompter.shown.size(), asked);
        EXPECT_FALSE(frm->Parameters()->chkConfirm->isChecked());
        EXPECT_EQ(frm->cmdInsert->text(), "Break to inspection/edit mode");
        EXPECT_EQ(Spoken(frm->cmdInsert), "Break to inspection/edit mode");
        EXPECT_TRUE(frm->cmdInsert->font().bold());
        EXPECT_TRUE(frm->blnAutomaticInsertion);
    });
    bool broke = false;
    desktop.onKeepAliveWait = [&](double s) {
        if (broke || s != 0.25 || Report().find("File #2") == std::string::npos) return;
        broke = true;
        QTimer::singleShot(0, frm.get(), [&] { QTest::mouseClick(frm->cmdInsert, Qt::LeftButton); });
    };
    steps.push_back([&](FrmEditMetaTag& d) {
        EXPECT_TRUE(frm->Parameters()->chkConfirm->isChecked());
        EXPECT_FALSE(Shown(frm->cmdInsert));
        EXPECT_FALSE(frm->blnAutomaticInsertion);
        prompter.answers = {Answer::No};
        d.cmdContinueAutomatically->click();  // b.htm skipped, the rest automatic
    });
    Generate();
    EXPECT_EQ(files.size(), 2u);
    EXPECT_EQ(Get("b.htm"), Page("Maple", "maple birch"));
    EXPECT_NE(Get("d.htm").find(kNewVP), std::string::npos);
    EXPECT_EQ(desktop.keepAliveWaits, (std::vector<double>{0.25, 3, 0.25, 0.5, 0.25, 3, 0.25, 3, 0.25, 3}));
    const std::string both = "  New VPMT inserted. As given.\r\n  New KWMT inserted.\r\n"
                             "  <meta name=\"keywords\" ... \"maple, birch\">\r\n";
    EXPECT_EQ(Report(), "Top folder: " + TopText() + "/\r\n\r\n"
                        "File #1: a.htm\r\n" + both +
                        "File #2: b.htm\r\n  Skipped\r\n"
                        "File #3: c.htm\r\n" + both +
                        "File #4: d.htm\r\n" + both +
                        "\r\nThat's all.\r\n");
    EXPECT_EQ(Last().text, "Number of files processed: 4");
    EXPECT_FALSE(Shown(frm->cmdInsert));
    EXPECT_EQ(frm->cmdInsert->text(), "Insert keywords meta tag into file");
    EXPECT_FALSE(frm->blnAutomaticInsertion);
}

// Cancel operation and the dialog's close box both end the whole run.
TEST_F(BatchGuiTest, CancelOperationAndTheCloseBoxEndTheRun) {
    for (const char* n : {"a.htm", "b.htm"}) Put(n, Page("Elm", "elm elm"));
    Prepare(false, true);
    steps.push_back([&](FrmEditMetaTag& d) {
        EXPECT_EQ(d.windowTitle(), "Insert viewport meta tag");
        EXPECT_EQ(d.lblEditMetaTag->text(), "You can edit the viewport meta tag before insertion.");
        EXPECT_EQ(Box(d), kNewVP);
        d.cmdCancel->click();
    });
    Generate();
    const std::string stopped = "Top folder: " + TopText() + "/\r\n\r\nFile #1: a.htm\r\n\r\nOperation stopped.\r\n";
    EXPECT_EQ(Report(), stopped);
    EXPECT_EQ(Last().text, "Number of files processed: 1");
    steps.push_back([&](FrmEditMetaTag& d) { d.close(); });
    Generate();
    EXPECT_EQ(Report(), stopped);
    EXPECT_EQ(Get("a.htm"), Page("Elm", "elm elm"));
}

// Automatic mode (the viewport tag only, without inspection); Pause and
// Resume hold the pause between files, Stop operation during it ends the
// run at once.
TEST_F(BatchGuiTest, AutomaticRunWithPauseResumeAndStop) {
    for (const char* n : {"a.htm", "b.htm", "c.htm"}) Put(n, Page("Ash", "ash ash"));
    Prepare(false, true, false);
    int pauses = 0;
    std::chrono::milliseconds stopAfter{-1};
    std::vector<std::string> seen;
    desktop.onKeepAliveWait = [&](double s) {
        if (s != 3.0) return;
        FrmReport* r = frm->Report();
        if (++pauses == 1) {
            QTimer::singleShot(0, r, [&, r] {
                // Busy for the whole run, though no page is analysed.
                EXPECT_FALSE(frm->cmdGenerateKeywordMetaTag->isEnabled());
                EXPECT_FALSE(Shown(frm->optSingleFile));
                EXPECT_TRUE(frm->txbFolder->isReadOnly());
                seen.push_back(r->cmdPauseContinue()->text().toStdString());
                QTimer::singleShot(0, r, [&, r] {
                    // Held inside the Pause click: the wait goes no further.
                    seen.push_back(Spoken(r->cmdPauseContinue()).toStdString());
                    const auto held = desktop.clock.now;
                    QCoreApplication::processEvents();
                    EXPECT_EQ(desktop.clock.now, held);
                    QTest::mouseClick(r->cmdPauseContinue(), Qt::LeftButton);
                });
                QTest::mouseClick(r->cmdPauseContinue(), Qt::LeftButton);
                seen.push_back(r->cmdPauseContinue()->text().toStdString());
            });
        } else {
            const auto start = desktop.clock.now;
            QTimer::singleShot(0, frm.get(), [&, start] {
                EXPECT_EQ(frm->cmdInsert->text(), "Stop operation");
                QTest::mouseClick(frm->cmdInsert, Qt::LeftButton);
                stopAfter = desktop.clock.now - start;
            });
        }
    };
    Generate();
    EXPECT_EQ(prompter.shown.size(), 1u);  // the closing message only
    EXPECT_EQ(seen, (std::vector<std::string>{"Pause", "Resume", "Pause"}));
    EXPECT_GE(stopAfter.count(), 0);
    EXPECT_LE(stopAfter.count(), 100);
    // The second pause ended with the Stop: a's and b's 0.25 s, a's 3 s.
    EXPECT_LT(desktop.clock.now.count(), 250 + 3000 + 250 + 100);
    EXPECT_EQ(Report(), "Top folder: " + TopText() + "/\r\n\r\n"
                        "File #1: a.htm\r\n  New VPMT inserted. As given.\r\n"
                        "File #2: b.htm\r\n  New VPMT inserted. As given.\r\n"
                        "\r\nOperation stopped.\r\n");
    EXPECT_EQ(Get("c.htm"), Page("Ash", "ash ash"));
    EXPECT_EQ(Last().text, "Number of files processed: 2");
    EXPECT_TRUE(frm->cmdGenerateKeywordMetaTag->isEnabled());
    EXPECT_TRUE(Shown(frm->optSingleFile));
    EXPECT_FALSE(frm->txbFolder->isReadOnly());
}

// Quit while the run is paused: the pause lets go, the run stops without a
// closing message and the program ends.
TEST_F(BatchGuiTest, QuitDuringAPausedWaitEndsTheRun) {
    for (const char* n : {"a.htm", "b.htm"}) Put(n, Page("Ash", "ash ash"));
    Prepare(false, true, false);
    desktop.onKeepAliveWait = [&](double s) {
        if (s != 3.0) return;
        FrmReport* r = frm->Report();
        QTimer::singleShot(0, r, [&, r] {
            QTimer::singleShot(0, frm.get(), [&] {
                EXPECT_TRUE(frm->cmdQuit->isEnabled());
                QTest::mouseClick(frm->cmdQuit, Qt::LeftButton);
            });
            QTest::mouseClick(r->cmdPauseContinue(), Qt::LeftButton);
        });
    };
    Generate();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(Get("b.htm"), Page("Ash", "ash ash"));
    EXPECT_EQ(Report(), "Top folder: " + TopText() + "/\r\n\r\n"
                        "File #1: a.htm\r\n  New VPMT inserted. As given.\r\n"
                        "\r\nOperation stopped.\r\n");
}

// A folder without HTML files: the closing message, and the report window
// goes again.
TEST_F(BatchGuiTest, NoHtmlFiles) {
    Put("index.php", Page("Php", "php"));
    Prepare(false, true);
    Generate();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(Last().title, "No files");
    EXPECT_EQ(Last().text, "There are no HTML files.");
    EXPECT_EQ(Last().icon, Icon::Information);
    EXPECT_FALSE(frm->ReportVisible());
}

// A failure that escapes the run (here out of memory while a question is
// asked) is reported, and the window is idle again for the next run.
TEST_F(BatchGuiTest, AFailureInsideTheRunLeavesTheWindowIdle) {
    Put("a.bak.htm", Page("Left", "over"));
    Prepare(false, true, false);
    prompter.onAsk = [&](const ShownMessage& m) {
        if (m.title == "Anomalous file") {
            prompter.onAsk = nullptr;
            throw std::bad_alloc();
        }
    };
    Generate();
    EXPECT_EQ(Last().text, "Not enough memory: the command was abandoned.");
    EXPECT_TRUE(frm->cmdGenerateKeywordMetaTag->isEnabled());
    EXPECT_TRUE(Shown(frm->optSingleFile));
    EXPECT_FALSE(frm->txbFolder->isReadOnly());
    EXPECT_TRUE(frm->cmdQuit->isEnabled());
    prompter.shown.clear();
    prompter.answers = {Answer::No};
    Generate();  // runs again
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].title, "Anomalous file");
    EXPECT_EQ(prompter.shown[1].text, "There are no HTML files.");
}

// The confirmations of Generate when the keywords tags would go in
// without inspection.
TEST_F(BatchGuiTest, GenerateAsksBeforeAnAutomaticRun) {
    Put("a.htm", Page("Yew", "yew yew"));
    Prepare(true, false, false);
    prompter.answers = {Answer::No, Answer::No};
    Generate();
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, "Do you wish to inspect (and possibly edit)\r\nthe keywords meta tags  before inserting?");
    EXPECT_EQ(prompter.shown[0].title, "Inspect keywords meta tag?");
    EXPECT_EQ(prompter.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(prompter.shown[0].icon, Icon::None);
    EXPECT_EQ(prompter.shown[1].text,
              "In accord with the settings for multiple files, the program\r\n"
              "will now insert keywords meta tags automatically\r\n"
              "(without supervision).  Do you wish to proceed with this?\r\n\r\n"
              "(The operation can be interrupted.)");
    EXPECT_EQ(prompter.shown[1].title, "Automatic insertion");
    EXPECT_EQ(prompter.shown[1].defaultButton, Answer::No);
    EXPECT_TRUE(Report().empty());
    EXPECT_EQ(Get("a.htm"), Page("Yew", "yew yew"));

    prompter.shown.clear();
    prompter.answers = {Answer::Yes, Answer::Ok};
    steps.push_back([&](FrmEditMetaTag& d) { d.cmdNextFile->click(); });
    Generate();
    EXPECT_TRUE(frm->Parameters()->chkConfirm->isChecked());
    ASSERT_GE(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].text, "The setting has been changed, and the operation will proceed.");
    EXPECT_EQ(prompter.shown[1].title, "Inspect before insertion");
    EXPECT_EQ(prompter.shown[1].buttons, Buttons::OkCancel);
}

// "Go on to the next file?" after the user stopped an analysis: No leaves
// the rest of that subfolder, and the run goes on with the next one.
TEST_F(BatchGuiTest, NoAfterAStoppedAnalysisSkipsTheRestOfThatSubfolder) {
    std::string big = "<html>\r\n<head>\r\n<title>Big</title>\r\n</head>\r\n<body>\r\n";
    for (int i = 0; i < 100000; ++i) big += "<p>word" + std::to_string(i) + "x and more words here</p>\r\n";
    big += "</body>\r\n</html>\r\n";
    Put("a.htm", Page("Fir", "fir fir"));
    Put("s1/big.htm", big);
    Put("s1/z.htm", Page("Fir", "fir fir"));
    Put("s2/b.htm", Page("Fir", "fir fir"));
    Prepare(true, false, false);
    prompter.answers = {Answer::No, Answer::Yes};  // no inspection, automatic
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        // From inside the scan of big.htm, in one of its event pumps.
        if (frm->txbInputFile->text().endsWith("big.htm") && frm->cmdListWords->text() == "Stop") {
            prompter.answers = {Answer::No};
            frm->cmdListWords_Click();
            probe.stop();
        }
    });
    probe.start();
    Generate();
    EXPECT_EQ(prompter.shown[2].text, "Go on to the next file?");
    EXPECT_EQ(prompter.shown[2].title, "Continue?");
    EXPECT_EQ(prompter.shown[2].buttons, Buttons::YesNo);
    EXPECT_EQ(Get("s1/z.htm"), Page("Fir", "fir fir"));
    EXPECT_NE(Get("s2/b.htm").find("<meta name=\"keywords\""), std::string::npos);
    const std::string tag = "  <meta name=\"keywords\" ... \"fir\">\r\n";
    EXPECT_EQ(Report(), "Top folder: " + TopText() + "/\r\n\r\n"
                        "File #1: a.htm\r\n  New KWMT inserted.\r\n" + tag +
                        "File #2: s1/big.htm\r\n"
                        "File #3: s2/b.htm\r\n  New KWMT inserted.\r\n" + tag +
                        "\r\nThat's all.\r\n");
}

// The dialog's Insert button while typing: an invalid viewport tag, text
// after the tag, and a keywords tag typed back to the existing one.
TEST_F(BatchGuiTest, InsertFollowsTheTextWhileTyping) {
    const std::string page = Page("Box", "box box", "<meta name=\"keywords\" content=\"old\">\r\n");
    Put("a.htm", page);
    Prepare(false, true);
    const QString vp = QString::fromLatin1(kNewVP);
    steps.push_back([&](FrmEditMetaTag& d) {
        EXPECT_TRUE(d.cmdInsert->isEnabled());
        Type(d, "<meta name=\"viewport\" content=\"width=device-width\" id=\"x\">");
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(Last().text, "Viewport meta tag is invalid.");
        EXPECT_EQ(Last().title, "Invalid");
        EXPECT_EQ(Last().icon, Icon::Exclamation);
        EXPECT_FALSE(d.cmdInsert->isEnabled());
        Type(d, vp);
        EXPECT_TRUE(d.cmdInsert->isEnabled());
        Type(d, vp + " <p>");
        EXPECT_FALSE(d.cmdInsert->isEnabled());  // text after the tag
        EXPECT_EQ(prompter.shown.size(), 2u);
        Type(d, vp);
        EXPECT_TRUE(d.cmdInsert->isEnabled());
        d.cmdNextFile->click();
    });
    Generate();
    const std::string top = "Top folder: " + TopText() + "/\r\n\r\nFile #1: a.htm\r\n";
    EXPECT_EQ(Report(), top + "  Skipped\r\n\r\nThat's all.\r\n");
    frm->chkInsertVPMT->setChecked(false);
    frm->chkInsertKWMT->setChecked(true);
    steps.push_back([&](FrmEditMetaTag& d) {
        EXPECT_TRUE(d.cmdInsert->isEnabled());
        Type(d, "<meta name=\"keywords\" content=\"old\">");
        EXPECT_FALSE(d.cmdInsert->isEnabled());  // the existing tag again
        d.cmdNextFile->click();  // Insert disabled: nothing logged
    });
    Generate();
    EXPECT_EQ(Report(), top + "\r\nThat's all.\r\n");
    EXPECT_EQ(Get("a.htm"), page);
}

// The real clock's wait handles events while it waits and ends as soon as
// its condition holds (a broken wait would run into the test's time limit).
TEST(KeepAliveWait, HandlesEventsAndEndsOnItsCondition) {
    SteadyWaitClock clock;
    bool clicked = false;
    QTimer::singleShot(0, [&] { clicked = true; });
    WaitKeepingEventsFlowing(600.0, clock, [&] { return clicked; });
    EXPECT_TRUE(clicked);
}

TEST(EditDialogSizeText, FollowsTheLocale) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FrmEditMetaTag::SizeText(-1, 2), "");
    EXPECT_EQ(FrmEditMetaTag::SizeText(0, 2), "0 bytes");
    EXPECT_EQ(FrmEditMetaTag::SizeText(512, 2), "512 bytes");
    EXPECT_EQ(FrmEditMetaTag::SizeText(2048, 2), "2.00 Kb");
    EXPECT_EQ(FrmEditMetaTag::SizeText(1048575, 2), "1,024.00 Kb");
    EXPECT_EQ(FrmEditMetaTag::SizeText(3145728, 2), "3.00 Mb");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FrmEditMetaTag::SizeText(1048575, 2), "1.024,00 Kb");
    QLocale::setDefault(QLocale::c());
}

}  // namespace
}  // namespace zelk::test
