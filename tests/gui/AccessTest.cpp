// The windows for keyboard and screen-reader users: in every window (the
// main window in each of its states, the settings window, the report window,
// the edit dialog) the Tab order reaches every control once, the hidden check
// box never, and the name a screen reader announces follows the caption as
// it changes; lists, links and the Clear buttons can be told apart; Enter
// presses the focused button; the focus stays where the keyboard sends it.
#include "GuiTestSupport.h"

#include <QAccessible>
#include <set>

#include "gui/Accessibility.h"

namespace zelk::testing {
namespace {

QAccessibleInterface* Acc(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }
std::string Name(QWidget* w) { return Acc(w)->text(QAccessible::Name).toStdString(); }
std::string Id(const QWidget* w) { return w->objectName().toStdString(); }

// The controls Tab should reach: enabled, shown, taking the focus by Tab;
// of a group of option buttons only the chosen one (arrow keys move inside).
std::set<QWidget*> TabStops(QWidget* window) {
    std::set<QWidget*> stops;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisibleTo(window))
            continue;
        if (w->focusProxy()) continue;
        if (auto* r = qobject_cast<QRadioButton*>(w); r && r->autoExclusive() && !r->isChecked())
            continue;
        stops.insert(w);
    }
    return stops;
}

// Presses Tab from the focused control until the focus comes back to it:
// every control to reach (as the walk leaves the window) is reached once.
void ExpectEveryStopOncePerCycle(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    if (!QApplication::focusWidget() || QApplication::focusWidget()->window() != window)
        (*TabStops(window).begin())->setFocus(Qt::TabFocusReason);
    QWidget* const first = QApplication::focusWidget();
    std::set<QWidget*> seen;
    QWidget* w = first;
    for (int i = 0; i < 200 && w; ++i) {
        EXPECT_TRUE(seen.insert(w).second) << "reached twice: " << Id(w);
        QTest::keyClick(w, Qt::Key_Tab);
        w = QApplication::focusWidget();
        if (w == first) break;
    }
    const std::set<QWidget*> stops = TabStops(window);
    for (QWidget* s : stops) EXPECT_TRUE(seen.count(s)) << "never reached: " << Id(s);
    for (QWidget* s : seen) EXPECT_TRUE(stops.count(s)) << "not a control to reach: " << Id(s);
}

// Every captioned control is announced by its caption as it stands now;
// lists and text boxes carry a name, and on Linux a screen reader finds a
// list's name through its "labelled by" relation, so that must be there too.
void ExpectNamesFollowCaptions(QWidget* window) {
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        EXPECT_TRUE(b->text().isEmpty() || Name(b) == b->text().toStdString())
            << Id(b) << ": " << Name(b);
    for (QLabel* l : window->findChildren<QLabel*>()) {
        EXPECT_EQ(Name(l), l->text().toStdString()) << Id(l);
        EXPECT_TRUE(!l->buddy() || l->buddy()->accessibleName() == l->text()) << Id(l);
    }
    for (QComboBox* c : window->findChildren<QComboBox*>()) {
        EXPECT_FALSE(c->accessibleName().isEmpty()) << Id(c);
        EXPECT_FALSE(Acc(c)->relations(QAccessible::Label).isEmpty()) << Id(c);
    }
    for (QLineEdit* e : window->findChildren<QLineEdit*>())
        EXPECT_FALSE(e->accessibleName().isEmpty()) << Id(e);
}

void ExpectAccessible(QWidget* window) {
    ExpectEveryStopOncePerCycle(window);
    ExpectNamesFollowCaptions(window);
}

class AccessTest : public MainWindowTest {
protected:
    void PickExample() { Pick(std::string(ZELK_EXAMPLES_DIR) + "/garden.html"); }
    TempDir docs;
};

TEST_F(AccessTest, MainWindowInEachStateAndTheSettingsAndReportWindows) {
    ASSERT_TRUE(Start());
    ExpectAccessible(frm.get());  // single file, nothing entered
    {
        SCOPED_TRACE("single file entered, both tags generated");
        frm->chkInsertKWMT->setChecked(true);
        frm->chkInsertVPMT->setChecked(true);
        PickExample();
        frm->cmdListWords->click();
        frm->cmdGenerateKeywordMetaTag->click();
        EXPECT_EQ(Name(frm->cmdInsert), "Insert both meta tags into file");
        // The word count is announced with the count, not only as a title.
        EXPECT_EQ(Name(frm->lblNumberOfWords).rfind("Number of words found: ", 0), 0u);
        // Leaving the file's box by Tab used to jump to Generate and skip
        // the rest of the window.
        frm->txbInputFile->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(frm->txbInputFile, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), frm->cmdClearInputFile);
        ExpectAccessible(frm.get());
    }
    {
        SCOPED_TRACE("multiple files, folder entered");
        frm->optMultipleFiles->setChecked(true);
        frm->txbFolder->setText(QString::fromStdString(docs.path()));
        frm->Parameters()->hide();
        frm->txbFolder->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(frm->txbFolder, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), frm->cmdClearFolder);
        ExpectAccessible(frm.get());
    }
    {
        SCOPED_TRACE("settings window for multiple files");
        FrmParameters* p = frm->Parameters();
        frm->cmdShowExistingKeywordMetaTag->click();
        ASSERT_TRUE(p->isVisible());
        EXPECT_EQ(p->windowTitle(), "Settings for multiple files");
        std::vector<std::string> captions;
        for (QCheckBox* c : p->findChildren<QCheckBox*>()) captions.push_back(Text(c));
        EXPECT_EQ(captions,
                  (std::vector<std::string>{
                      "Include all subfolders recursively", "Preserve existing keywords meta tag",
                      "Preserve existing viewport meta tag",
                      "Inspect/edit keywords meta tag before inserting",
                      "Save settings when closing this form", "Save setting on Quit",
                      "Alert if a Unix/Linux file is encountered"}));
        ExpectAccessible(p);
        EXPECT_EQ(p->cboPause->accessibleName(), "Pause in seconds in auto mode");
        // Neither Tab, nor a key by way of the focus, nor a screen reader
        // reaches the hidden check box.
        EXPECT_EQ(p->chkDialogBoxForUnixFiles->focusPolicy(), Qt::NoFocus);
        EXPECT_TRUE(p->chkDialogBoxForUnixFiles->isHidden());
    }
    SCOPED_TRACE("report window");
    frm->Report()->show();
    ExpectAccessible(frm->Report());
}

TEST_F(AccessTest, EditDialogForBothTags) {
    WriteBytes(docs / "a.htm", "<html><head><title>Elm</title></head><body>elm</body></html>\r\n");
    StartOnFolder(docs.path(), true, true, true);
    Generate({[&](FrmEditMetaTag& d) {
        EXPECT_EQ(d.windowTitle(), "Insert both viewport meta tag and keywords meta tag");
        EXPECT_EQ(d.cmdInsert->text(), "Insert both meta tags");
        ExpectAccessible(&d);
        d.cmdCancel->click();
    }});
}

// The arrow keys on a list keep the focus there, a choice with the mouse
// hands it on; the Clear buttons are told apart by their descriptions; the
// links are links that Enter, Space and the screen reader's action open;
// Enter presses the focused button in every window.
TEST_F(AccessTest, KeyboardAndScreenReaderUse) {
    ASSERT_TRUE(Start());
    frm->chkInsertKWMT->setChecked(true);
    PickExample();
    frm->cmdListWords->click();
    frm->cboBoldWeight->setFocus(Qt::TabFocusReason);
    QTest::keyClick(frm->cboBoldWeight, Qt::Key_Down);
    EXPECT_EQ(frm->cboBoldWeight->currentText(), "5");
    EXPECT_EQ(QApplication::focusWidget(), frm->cboBoldWeight);
    QTest::mouseClick(frm->lblBoldWeight, Qt::LeftButton);
    frm->cboBoldWeight->setCurrentIndex(2);
    EXPECT_EQ(QApplication::focusWidget(), frm->cmdGenerateKeywordMetaTag);

    std::set<QString> descriptions;
    for (QPushButton* b : frm->findChildren<QPushButton*>())
        if (b->text() == "Clear") descriptions.insert(Acc(b)->text(QAccessible::Description));
    EXPECT_EQ(descriptions.size(), 6u);  // six Clear buttons, each told apart
    EXPECT_EQ(descriptions.count(QString()), 0u);
    for (LinkLabel* link : {frm->lblPublisher, frm->lblOnlineDocumentation}) {
        EXPECT_EQ(Acc(link)->role(), QAccessible::Link) << Id(link);
        EXPECT_TRUE(link->focusPolicy() & Qt::TabFocus) << Id(link);
    }
    frm->lblOnlineDocumentation->setFocus(Qt::TabFocusReason);
    QTest::keyClick(frm->lblOnlineDocumentation, Qt::Key_Return);
    QTest::keyClick(frm->lblOnlineDocumentation, Qt::Key_Space);
    Acc(frm->lblPublisher)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(desktop.opened.size(), 3u);
    EXPECT_TRUE(desktop.opened[0].toString().endsWith("zelk-manual.html"));
    EXPECT_EQ(desktop.opened[1], desktop.opened[0]);
    EXPECT_TRUE(desktop.opened[2].toString().endsWith("zelk-about.html"));

    frm->cmdHelp->setFocus(Qt::TabFocusReason);
    QTest::keyClick(frm->cmdHelp, Qt::Key_Return);
    QTest::keyClick(frm->cmdHelp, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(prompter.shown.size(), 2u);
    frm->Report()->show();
    frm->Report()->cmdClose()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(frm->Report()->cmdClose(), Qt::Key_Return);
    EXPECT_FALSE(frm->ReportVisible());
}

}  // namespace
}  // namespace zelk::testing
