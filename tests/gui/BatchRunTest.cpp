// A run over a folder tree as the window drives it, on real temporary
// folders: inspection through the edit dialog, then automatic mode with
// Break, Pause and Quit during its waits (fake clock), with the report and
// every message of the run byte for byte; the report window; the real waits
// and the real message box behind the seams. The walk itself, its order,
// failures and Stop at each point are the core's tests (tests/batch).
#include "GuiTestSupport.h"

#include <QAccessible>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <utility>

#include "gui/QtPrompter.h"
#include "gui/RealDesktop.h"

namespace zelk::testing {
namespace {

std::string Page(const std::string& title, const std::string& text, const std::string& head = "") {
    return "<html>\r\n<head>\r\n<title>" + title + "</title>\r\n" + head +
           "</head>\r\n<body>\r\n<p>" + text + "</p>\r\n</body>\r\n</html>\r\n";
}

class BatchGuiTest : public MainWindowTest {
protected:
    std::string Top() const { return dir / "site"; }
    void Put(const std::string& rel, const std::string& bytes) {
        fs::create_directories(fs::path(Top() + "/" + rel).parent_path());
        WriteBytes(Top() + "/" + rel, bytes);
    }
    std::string Get(const std::string& rel) const { return ReadBytes(Top() + "/" + rel); }
    std::string Report() const { return frm->reportLog.Text(); }
    static ShownBox Closing(int files) {
        return OkBox("Number of files processed: " + std::to_string(files), "Number of files",
                     Icon::Information);
    }
    // Replaces the box text and releases a key in it, as typing ends.
    static void Type(FrmEditMetaTag& d, const QString& text) {
        d.txbMetaTag->setFocus();
        d.txbMetaTag->setPlainText(text);
        QTest::keyClick(d.txbMetaTag, Qt::Key_End);
    }
    TempDir dir;
};

// Generate's questions; inspection with Insert, an edited tag, Continue to
// next file; Continue automatically with each answer; Break during the wait
// before an automatic insertion brings that file up in the dialog again.
TEST(EditDialogSize, GroupsAndDecimalsAsTheLocaleWrites) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(FrmEditMetaTag::SizeText(2147483647, 2), "2.048,00 Mb");
    EXPECT_EQ(FrmEditMetaTag::SizeText(1536, 2), "1,50 Kb");
    QLocale::setDefault(before);
}

TEST_F(BatchGuiTest, InspectionThenAutomaticModeWithBreak) {
    Put("a.htm", Page("Roses", "roses roses tulips"));
    Put("b.html",
        Page("Ferns", "ferns ferns mosses", "<meta name=\"keywords\" content=\"old, tag\">\r\n"));
    for (const char* n : {"c.htm", "d.htm", "e.htm"}) Put(n, Page("Oaks", "oaks oaks"));
    Put("notes.php", Page("Php", "skipped"));
    Put("sub/f.htm", "<html>\r\n<head>\r\n<title>x</title>\r\n<body>\r\n</body>\r\n</html>\r\n");
    StartOnFolder(Top(), true, false, false);
    const ShownBox inspect{
        "Do you wish to inspect (and possibly edit)\r\nthe keywords meta tags  before inserting?",
        "Inspect keywords meta tag?", Icon::None, Buttons::YesNo, Answer::Yes};
    prompter.answers = {Answer::No, Answer::No};
    Generate();
    EXPECT_EQ(
        prompter.shown,
        (std::vector<ShownBox>{inspect,
                               {"In accord with the settings for multiple files, the program\r\n"
                                "will now insert keywords meta tags automatically\r\n"
                                "(without supervision).  Do you wish to proceed with this?"
                                "\r\n\r\n(The operation can be interrupted.)",
                                "Automatic insertion", Icon::None, Buttons::YesNo, Answer::No}}));
    EXPECT_TRUE(Report().empty());

    prompter.shown.clear();
    prompter.answers = {Answer::Yes, Answer::Ok, Answer::Cancel, Answer::Yes, Answer::No};
    std::chrono::milliseconds broke{-1}, next{-1};  // when the wait Break ends began, the next one
    desktop.onKeepAliveWait = [&](double s) {
        if (broke.count() >= 0 && next.count() < 0) next = desktop.now;
        if (broke.count() >= 0 || s != 0.25 || Report().find("File #5") == std::string::npos)
            return;
        broke = desktop.now;
        QTimer::singleShot(0, frm.get(),
                           [&] { QTest::mouseClick(frm->cmdInsert, Qt::LeftButton); });
    };
    Generate(
        {[&](FrmEditMetaTag& d) {
             EXPECT_EQ(d.windowTitle(), "Insert keywords meta tag");
             EXPECT_EQ(d.lblFile->text().toStdString(),
                       Top() + "/a.htm [" + std::to_string(Get("a.htm").size()) + " bytes]");
             EXPECT_EQ(d.lblEditMetaTag->text(),
                       "The existing keywords meta tag (if any) is shown in the bottom window.\n"
                       "You can edit the new meta tag in the top window before insertion.");
             EXPECT_EQ(d.txbMetaTag->toPlainText(),
                       "<meta name=\"keywords\" content=\"rose, tulip\">");
             EXPECT_FALSE(frm->cmdQuit->isEnabled());
             d.cmdInsert->click();
             EXPECT_TRUE(d.isVisible() && d.txbMetaTag->isReadOnly() && !d.cmdInsert->isEnabled());
             d.cmdNextFile->click();
         },
         [&](FrmEditMetaTag& d) {
             EXPECT_EQ(
                 frm->OutputText(),
                 "Existing keywords meta tag:\r\n<meta name=\"keywords\" content=\"old, tag\">");
             Type(d, "<meta name=\"keywords\" content=\"hand, made\">");
             d.cmdInsert->click();
             d.cmdNextFile->click();
         },
         [&](FrmEditMetaTag& d) { d.cmdNextFile->click(); },
         [&](FrmEditMetaTag& d) {
             d.cmdContinueAutomatically->click();  // Cancel: the dialog stays
             EXPECT_TRUE(d.isVisible() && d.cmdInsert->isEnabled());
             d.cmdContinueAutomatically->click();  // Yes: inserts, the dialog stays
             EXPECT_TRUE(d.isVisible() && !d.cmdInsert->isEnabled());
             d.cmdContinueAutomatically->click();  // nothing left to ask
             EXPECT_FALSE(frm->Parameters()->chkConfirm->isChecked());
             EXPECT_EQ(Text(frm->cmdInsert), "Break to inspection/edit mode");
         },
         [&](FrmEditMetaTag& d) {
             EXPECT_TRUE(frm->Parameters()->chkConfirm->isChecked());
             EXPECT_FALSE(Shown(frm->cmdInsert));
             d.cmdContinueAutomatically->click();  // No: skipped, the rest automatic
         }});
    EXPECT_LE((next - broke).count(), 100);  // Break ended its wait at once
    const ShownBox goOn{"Do you wish to insert keywords meta tag?",
                        "Continue automatically (no inspection of meta tag)", Icon::None,
                        Buttons::YesNoCancel, Answer::Yes};
    const ShownBox changed{"The setting has been changed, and the operation will proceed.",
                           "Inspect before insertion", Icon::None, Buttons::OkCancel, Answer::Ok};
    EXPECT_EQ(prompter.shown,
              (std::vector<ShownBox>{inspect, changed, goOn, goOn, goOn, Closing(6)}));
    const std::string tag = "  <meta name=\"keywords\" ... \"";
    EXPECT_EQ(Report(),
              "Top folder: " + Top() + "/\r\n\r\nFile #1: a.htm\r\n  New KWMT inserted.\r\n" + tag +
                  "rose, tulip\">\r\nFile #2: b.html\r\n  Existing KWMT replaced.\r\n" + tag +
                  "hand, made\">\r\nFile #3: c.htm\r\n  Skipped\r\nFile #4: d.htm\r\n" +
                  "  New KWMT inserted.\r\n" + tag + "oak\">\r\nFile #5: e.htm\r\n  Skipped\r\n" +
                  "File #6: sub/f.htm\r\n  </head> not found\r\n\r\nThat's all.\r\n");
    // Idle again: the report can be closed, the folder edited.
    EXPECT_TRUE(Shown(frm->Report()->cmdClose()) && frm->cmdQuit->isEnabled());
    EXPECT_FALSE(Shown(frm->cmdInsert) || frm->txbFolder->isReadOnly());
}

// The viewport tag typed in the dialog: Insert follows each keystroke and an
// invalid tag is refused with its message. Cancel operation, and the close
// box, end the whole run.
TEST_F(BatchGuiTest, TypedViewportTagIsCheckedAndCancelEndsTheRun) {
    for (const char* n : {"a.htm", "b.htm"}) Put(n, Page("Elm", "elm elm"));
    StartOnFolder(Top(), false, true, true);
    const QString vp = "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">";
    Generate({[&](FrmEditMetaTag& d) {
        EXPECT_EQ(d.windowTitle(), "Insert viewport meta tag");
        EXPECT_EQ(d.lblEditMetaTag->text(), "You can edit the viewport meta tag before insertion.");
        EXPECT_EQ(d.txbMetaTag->toPlainText(), vp);
        const std::pair<QString, bool> typed[] = {
            {"<meta name=\"viewport\" content=\"width=device-width\" id=\"x\">", false},
            {vp, true},
            {vp + " <p>", false},  // nothing may follow the tag
            {vp, true}};
        for (const auto& [text, insert] : typed) {
            Type(d, text);
            EXPECT_EQ(d.cmdInsert->isEnabled(), insert) << text.toStdString();
        }
        d.cmdCancel->click();
    }});
    const ShownBox invalid = OkBox("Viewport meta tag is invalid.", "Invalid", Icon::Exclamation);
    EXPECT_EQ(prompter.shown, (std::vector<ShownBox>{invalid, invalid, Closing(1)}));
    const std::string stopped =
        "Top folder: " + Top() + "/\r\n\r\nFile #1: a.htm\r\n\r\nOperation stopped.\r\n";
    EXPECT_EQ(Report(), stopped);
    Generate({[](FrmEditMetaTag& d) { d.close(); }});
    EXPECT_EQ(Report(), stopped);
}

// Automatic mode: Pause holds the pause between files (the clock stands)
// until Resume; Quit while paused lets go of the pause at once, stops the run
// without a closing message and ends the program.
TEST_F(BatchGuiTest, AutomaticRunWithPauseResumeAndQuit) {
    for (const char* n : {"a.htm", "b.htm", "c.htm"}) Put(n, Page("Ash", "ash ash"));
    StartOnFolder(Top(), false, true, false);
    int pauses = 0;
    std::chrono::milliseconds quitAt{-1};
    desktop.onKeepAliveWait = [&](double s) {
        if (s != 3.0) return;
        // Busy for the whole run, though no page is analysed.
        EXPECT_FALSE(frm->cmdGenerateKeywordMetaTag->isEnabled() || Shown(frm->optSingleFile));
        FrmReport* r = frm->Report();
        const bool quit = ++pauses == 2;
        QTimer::singleShot(0, r, [&, r, quit] {
            QTimer::singleShot(0, r, [&, r, quit] {
                // Held inside the Pause click: the wait goes no further.
                // Its caption and the name a screen reader announces.
                EXPECT_EQ(QAccessible::queryAccessibleInterface(r->cmdPauseContinue())
                              ->text(QAccessible::Name),
                          "Resume");
                const auto held = desktop.now;
                QCoreApplication::processEvents();
                EXPECT_EQ(desktop.now, held);
                if (quit) quitAt = desktop.now;
                QTest::mouseClick(quit ? frm->cmdQuit : r->cmdPauseContinue(), Qt::LeftButton);
            });
            QTest::mouseClick(r->cmdPauseContinue(), Qt::LeftButton);
        });
    };
    Generate();
    EXPECT_EQ(quits, 1);
    EXPECT_LE((desktop.now - quitAt).count(), 100);
    EXPECT_TRUE(prompter.shown.empty());
    const std::string inserted = "  New VPMT inserted. As given.\r\n";
    EXPECT_EQ(Report(), "Top folder: " + Top() + "/\r\n\r\nFile #1: a.htm\r\n" + inserted +
                            "File #2: b.htm\r\n" + inserted + "\r\nOperation stopped.\r\n");
}

// A failure that escapes the run (here out of memory in a wait) is reported,
// and the window is idle again for the next run.
TEST_F(BatchGuiTest, AFailureInsideTheRunLeavesTheWindowIdle) {
    Put("a.htm", Page("Ash", "ash ash"));
    StartOnFolder(Top(), false, true, false);
    bool thrown = false;
    desktop.onKeepAliveWait = [&](double) {
        if (!std::exchange(thrown, true)) throw std::bad_alloc();
    };
    Generate();
    EXPECT_EQ(prompter.shown,
              std::vector<ShownBox>{OkBox("Not enough memory: the command was abandoned.", "Error",
                                          Icon::Exclamation)});
    EXPECT_TRUE(frm->cmdGenerateKeywordMetaTag->isEnabled() && Shown(frm->optSingleFile) &&
                frm->cmdQuit->isEnabled());
}

TEST_F(BatchGuiTest, ReportWindowKeepsTheLogUntilClosedFromTheTitleBar) {
    ASSERT_TRUE(Start());
    FrmReport* r = frm->Report();
    r->show();
    frm->reportLog.ReportLine("Existing KWMT replaced.", true);
    // The tick shows auto mode in the caption.
    frm->blnAutomaticInsertion = true;
    frm->Timer1_Timer();
    EXPECT_EQ(r->windowTitle(), "Report -- auto mode");
    frm->blnAutomaticInsertion = false;
    frm->Timer1_Timer();
    EXPECT_EQ(r->windowTitle(), "Report");
    QTest::mouseClick(r->cmdClose(), Qt::LeftButton);
    EXPECT_FALSE(r->isVisible());
    EXPECT_EQ(frm->Report(), r);  // hidden, not discarded: the text stays
    EXPECT_EQ(r->txbReport()->toPlainText(), "  Existing KWMT replaced.\n");
    // Closed from the title bar, it goes with its text.
    r->show();
    r->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(!frm->ReportVisible() && frm->reportLog.Text().empty());
    EXPECT_TRUE(frm->Report()->txbReport()->toPlainText().isEmpty());
}

// The real waits handle events while they wait and end on their condition,
// or at once when the program ends (a wait that does not would run into the
// test's time limit).
TEST(RealDesktopTest, WaitsKeepEventsFlowingAndEndWhenTheProgramEnds) {
    RealDesktop desktop;
    bool clicked = false;
    QTimer::singleShot(0, [&] { clicked = true; });
    desktop.KeepAliveWait(600.0, [&] { return clicked; });
    EXPECT_TRUE(clicked);
    QTimer::singleShot(1, [&] { desktop.EndWaits(); });
    desktop.Wait(600.0);  // ended by EndWaits, not by its time
    desktop.Wait(600.0);  // the program is ending: both waits return at once
    desktop.KeepAliveWait(600.0, [] { return false; });
}

TEST(QtPrompterTest, ShowsTheExactBoxAndReturnsTheAnswer) {
    QtPrompter prompter;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->text(), QString::fromUtf8("Line one \xE2\x82\xAC\nCaf\xC3\xA9"));
        EXPECT_EQ(box->windowTitle(), QString::fromUtf8("Caf\xC3\xA9 title"));
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        box->button(QMessageBox::Cancel)->click();
    });
    const Answer a = prompter.Ask("Line one \x80\r\nCaf\xE9", "Caf\xE9 title", Icon::Exclamation,
                                  Buttons::YesNoCancel, Answer::No);
    EXPECT_TRUE(seen);
    EXPECT_EQ(a, Answer::Cancel);
    // A box closed without a button gives the answer of its Esc key.
    EXPECT_EQ(QtPrompter::ToAnswer(-1, Buttons::YesNo), Answer::No);
    EXPECT_EQ(QtPrompter::ToAnswer(-1, Buttons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(QtPrompter::ToAnswer(-1, Buttons::Ok), Answer::Ok);
}

}  // namespace
}  // namespace zelk::testing
