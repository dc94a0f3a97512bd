// The smaller windows and the real services behind the seams: the report
// window (Copy, Close, closing from the title bar, its caption in auto mode;
// Pause is tested inside a run, BatchRunTest.cpp), the real wait and the
// real message box.
#include "GuiTestSupport.h"

#include <QClipboard>
#include <QMessageBox>
#include <QTimer>

#include "gui/QtPrompter.h"
#include "gui/RealDesktop.h"

namespace zelk::testing {
namespace {

using WindowsTest = MainWindowTest;

TEST_F(WindowsTest, ReportWindowCopiesAndKeepsTheLogUntilClosedFromTheTitleBar) {
    ASSERT_TRUE(Start());
    FrmReport* r = frm->Report();
    r->show();
    frm->reportLog.ReportLine("Existing KWMT replaced.", true);
    frm->reportLog.ReportLine("Done.");
    const QString text = "  Existing KWMT replaced.\nDone.\n";
    QTest::mouseClick(r->cmdCopyToClipboard(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
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
    EXPECT_EQ(r->txbReport()->toPlainText(), text);
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
