// The smaller windows and the message-box seam: the report window (Copy,
// Close, closing from the title bar, the caption of the tick; Pause is
// tested inside a run, BatchRunTest.cpp), the settings window for multiple
// files, the pop-up notice and the real message box behind QtPrompter.
#include "GuiTestSupport.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include "batch/gui/FrmParameters.h"
#include "batch/gui/FrmReport.h"
#include "gui/FrmPopUp.h"
#include "gui/QtPrompter.h"
#include "gui/RealDesktop.h"

namespace zelk::test {
namespace {

using ReportWindowTest = MainWindowTest;

TEST_F(ReportWindowTest, ShowsTheLogAndCopiesIt) {
    ASSERT_TRUE(Start());
    FrmReport* r = frm->Report();
    r->show();
    QGuiApplication::clipboard()->setText("untouched");
    QTest::mouseClick(r->cmdCopyToClipboard(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "untouched");
    EXPECT_EQ(r->focusWidget(), r->cmdClose());
    frm->reportLog.ReportLine("Existing KWMT replaced.", true);
    frm->reportLog.ReportLine("Done.");
    EXPECT_EQ(r->txbReport()->toPlainText(), "  Existing KWMT replaced.\nDone.\n");
    QTest::mouseClick(r->cmdCopyToClipboard(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "  Existing KWMT replaced.\nDone.\n");
    QTest::mouseClick(r->cmdClose(), Qt::LeftButton);
    EXPECT_FALSE(r->isVisible());
    EXPECT_EQ(frm->Report(), r);  // hidden, not discarded: the text stays
    EXPECT_EQ(r->txbReport()->toPlainText(), "  Existing KWMT replaced.\nDone.\n");
}

TEST_F(ReportWindowTest, ClosingFromTheTitleBarDiscardsIt) {
    ASSERT_TRUE(Start());
    FrmReport* r = frm->Report();
    r->show();
    frm->reportLog.ReportLine("line");
    r->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frm->ReportVisible());
    EXPECT_TRUE(frm->reportLog.Text().empty());
    FrmReport* again = frm->Report();
    EXPECT_TRUE(again->txbReport()->toPlainText().isEmpty());
    frm->reportLog.ReportLine("fresh");
    EXPECT_EQ(again->txbReport()->toPlainText(), "fresh\n");
}

TEST_F(ReportWindowTest, LayoutActivationAndTheCaptionOfTheTick) {
    ASSERT_TRUE(Start());
    FrmReport* r = frm->Report();
    EXPECT_EQ(r->windowTitle(), "Report");
    // Whole-window heights (30 pixels of title bar and borders included).
    const int mainWindow = (frm->height() + 30) * 15;
    EXPECT_EQ(r->height() + 30, (mainWindow + 100) / 15);
    EXPECT_EQ(r->txbReport()->height(), (mainWindow + 100 - 1200) / 15);
    EXPECT_EQ(r->cmdClose()->y(), (mainWindow + 100 - 1000) / 15);
    EXPECT_EQ(r->cmdClose()->x() + r->cmdClose()->width(),
              r->txbReport()->x() + r->txbReport()->width());
    EXPECT_EQ(r->cmdCopyToClipboard()->x(), r->txbReport()->x());
    EXPECT_EQ(r->cmdPauseContinue()->x(), (r->width() - r->cmdPauseContinue()->width()) / 2);
    r->show();
    frm->blnAutomaticInsertion = true;
    r->Activate();
    EXPECT_EQ(r->pos().x(), frm->frameGeometry().right() + 1);
    EXPECT_EQ(r->pos().y(), frm->frameGeometry().top());
    EXPECT_FALSE(Shown(r->cmdClose()));
    EXPECT_FALSE(Shown(r->cmdCopyToClipboard()));
    EXPECT_TRUE(Shown(r->cmdPauseContinue()));
    frm->Timer1_Timer();
    EXPECT_EQ(r->windowTitle(), "Report -- auto mode");
    frm->blnAutomaticInsertion = false;
    frm->Timer1_Timer();
    EXPECT_EQ(r->windowTitle(), "Report");
    // ZELK_GRAB_DIR=folder saves a picture of the window, to look at its layout.
    if (const char* dir = std::getenv("ZELK_GRAB_DIR")) {
        frm->reportLog.ReportLine("New VPMT inserted.", true);
        r->grab().save(QString::fromLocal8Bit(dir) + "/report.png");
    }
}

TEST_F(ReportWindowTest, SettingsWindowForMultipleFiles) {
    ASSERT_TRUE(Start());
    FrmParameters* p = frm->Parameters();
    struct Row {
        QCheckBox* box;
        const char* caption;
        int top;
        bool checked;
    };
    const Row rows[] = {
        {p->chkIncludeAllSubfolders, "Include all subfolders recursively", 100, false},
        {p->chkPreserveExistingKWMT, "Preserve existing keywords meta tag", 480, false},
        {p->chkPreserveExistingVPMT, "Preserve existing viewport meta tag", 900, false},
        {p->chkConfirm, "Inspect/edit keywords meta tag before inserting", 1300, true},
        {p->chkSaveStateOnClose, "Save settings when closing this form", 1680, true},
        {p->chkSaveStateOnQuit, "Save setting on Quit", 2055, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        EXPECT_EQ(row.box->text(), row.caption);
        EXPECT_EQ(row.box->y(), row.top / 15);
        EXPECT_EQ(row.box->isChecked(), row.checked);
    }
    EXPECT_EQ(p->height(), 3500 / 15);
    EXPECT_GE(p->chkDialogBoxForUnixFiles->y(), p->height());
    EXPECT_TRUE(p->chkDialogBoxForUnixFiles->isChecked());
    EXPECT_EQ(p->Label1->text(), "Pause in seconds in auto mode");
    ASSERT_EQ(p->cboPause->count(), 5);
    EXPECT_EQ(p->cboPause->itemText(0), "1");
    EXPECT_EQ(p->cboPause->itemText(4), "5");
    EXPECT_EQ(p->cboPause->currentText(), "3");
    frm->optMultipleFiles->click();
    frm->cmdShowExistingKeywordMetaTag->click();
    EXPECT_TRUE(p->isVisible());
    EXPECT_EQ(p->windowTitle(), "Settings for multiple files");
    EXPECT_EQ(p->cmdClose->y(), p->cboPause->y());
    const QRect g = frm->frameGeometry();
    EXPECT_EQ(p->x(), g.left() + (g.width() - p->width()) / 2);
    EXPECT_EQ(p->y(), g.top() + frm->fraKWMT->y() + 400 / 15);
    if (const char* dir = std::getenv("ZELK_GRAB_DIR"))
        p->grab().save(QString::fromLocal8Bit(dir) + "/parameters.png");
    p->chkPreserveExistingKWMT->setChecked(true);
    EXPECT_EQ(frm->settings.PreserveExistingKWMT, 1);
    p->cboPause->setCurrentIndex(4);
    EXPECT_EQ(frm->settings.Pause, 4);
}

TEST(RealDesktopTest, WaitKeepsEventsFlowingAndEndsWhenTheProgramEnds) {
    RealDesktop desktop;
    bool ticked = false, late = false;
    QTimer::singleShot(1, [&] {
        ticked = true;  // a timer runs inside the wait
        desktop.EndWaits();
    });
    QTimer::singleShot(20000, [&] { late = true; });
    desktop.Wait(30.0);  // ended by EndWaits, not by its time
    EXPECT_TRUE(ticked);
    EXPECT_FALSE(late);
    desktop.Wait(30.0);  // the program is ending: returns at once
    EXPECT_FALSE(late);
}

TEST(PopUpTest, ClosesByItselfAfterItsInterval) {
    QWidget owner;
    owner.move(100, 80);
    owner.show();
    FrmPopUp popUp;
    QElapsedTimer t;
    t.start();
    popUp.PopUpInForm(&owner, "Settings saved", 1800, 300, 60, 750, 300);
    EXPECT_GE(t.elapsed(), 50);
    EXPECT_FALSE(popUp.isVisible());
    EXPECT_EQ(popUp.lblMessage()->text(), "Settings saved");
    EXPECT_EQ(popUp.size(), QSize(120, 20));
    EXPECT_EQ(popUp.pos(), owner.pos() + QPoint(20, 50));
}

TEST(PopUpTest, ClosesWhenClicked) {
    FrmPopUp popUp;
    bool clicked = false;
    QTimer::singleShot(20, &popUp, [&] {
        EXPECT_TRUE(popUp.isVisible());
        QTest::mouseClick(popUp.lblMessage(), Qt::LeftButton);
        clicked = true;
    });
    QElapsedTimer t;
    t.start();
    popUp.PopUp("Reset done", 1800, 300, 60000, 1500, 1500);
    EXPECT_TRUE(clicked);
    EXPECT_LT(t.elapsed(), 30000);
    EXPECT_FALSE(popUp.isVisible());
    EXPECT_EQ(popUp.pos(), QPoint(100, 100));
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
}

TEST(QtPrompterTest, MapsIconsButtonsAndClosedBoxes) {
    QMessageBox box;
    QtPrompter::Configure(box, "x", "", Icon::None, Buttons::Ok, Answer::Ok);
    EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
    QtPrompter::Configure(box, "x", "", Icon::Critical, Buttons::OkCancel, Answer::Ok);
    EXPECT_EQ(box.icon(), QMessageBox::Critical);
    EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
    QtPrompter::Configure(box, "x", "", Icon::Information, Buttons::YesNo, Answer::Yes);
    EXPECT_EQ(box.icon(), QMessageBox::Information);
    EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Yes));
    EXPECT_EQ(QtPrompter::ToAnswer(QMessageBox::Yes, Buttons::YesNo), Answer::Yes);
    EXPECT_EQ(QtPrompter::ToAnswer(-1, Buttons::YesNo), Answer::No);
    EXPECT_EQ(QtPrompter::ToAnswer(-1, Buttons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(QtPrompter::ToAnswer(-1, Buttons::Ok), Answer::Ok);
}

}  // namespace
}  // namespace zelk::test
