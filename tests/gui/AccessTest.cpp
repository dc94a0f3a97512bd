// The windows for keyboard and screen-reader users: the Tab order reaches
// every control once, the hidden check box never; the name a screen reader
// announces follows every caption change; lists, links and the Clear buttons
// can be told apart; Enter presses the focused button; the focus stays where
// the keyboard sends it.
#include "GuiTestSupport.h"

#include <QAccessible>
#include <QTimer>
#include <set>

#include "batch/gui/FrmParameters.h"
#include "batch/gui/FrmReport.h"

namespace zelk::test {
namespace {

QAccessibleInterface* Acc(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }
std::string Name(QWidget* w) { return Acc(w)->text(QAccessible::Name).toStdString(); }
std::string Id(const QWidget* w) { return w->objectName().toStdString(); }

// The controls Tab should reach: enabled, shown, taking the focus by Tab;
// of a group of option buttons only the chosen one (arrow keys move inside).
std::set<QWidget*> TabStops(QWidget* window) {
    std::set<QWidget*> stops;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisibleTo(window)) continue;
        if (w->focusProxy()) continue;
        if (auto* r = qobject_cast<QRadioButton*>(w); r && r->autoExclusive() && !r->isChecked())
            continue;
        stops.insert(w);
    }
    return stops;
}

// Presses Tab from the focused control until the focus comes back to it.
std::vector<QWidget*> TabCycle(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QWidget* first = QApplication::focusWidget();
    if (!first || first->window() != window) {
        const std::set<QWidget*> stops = TabStops(window);
        if (stops.empty()) return {};
        (*stops.begin())->setFocus(Qt::TabFocusReason);
        first = QApplication::focusWidget();
    }
    std::vector<QWidget*> cycle;
    QWidget* w = first;
    for (int i = 0; i < 200 && w; ++i) {
        cycle.push_back(w);
        QTest::keyClick(w, Qt::Key_Tab);
        w = QApplication::focusWidget();
        if (w == first) break;
    }
    return cycle;
}

void ExpectEveryStopOncePerCycle(QWidget* window) {
    const std::vector<QWidget*> cycle = TabCycle(window);
    std::set<QWidget*> seen;
    for (QWidget* w : cycle) EXPECT_TRUE(seen.insert(w).second) << "reached twice: " << Id(w);
    const std::set<QWidget*> stops = TabStops(window);
    for (QWidget* w : stops) EXPECT_TRUE(seen.count(w)) << "never reached: " << Id(w);
    for (QWidget* w : seen) EXPECT_TRUE(stops.count(w)) << "not a control to reach: " << Id(w);
}

// Every captioned control is announced by its caption as it stands now.
void ExpectNamesFollowCaptions(QWidget* window) {
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (!b->text().isEmpty()) {
            EXPECT_EQ(Name(b), b->text().toStdString()) << Id(b);
        }
    for (QLabel* l : window->findChildren<QLabel*>()) {
        EXPECT_EQ(Name(l), l->text().toStdString()) << Id(l);
        if (QWidget* buddy = l->buddy()) {
            EXPECT_EQ(buddy->accessibleName(), l->text()) << Id(buddy);
        }
    }
}

// Lists and text boxes carry a name; on Linux a screen reader finds a
// list's name through its "labelled by" relation, so that must be there too.
void ExpectListsAndBoxesNamed(QWidget* window) {
    for (QComboBox* c : window->findChildren<QComboBox*>()) {
        EXPECT_FALSE(c->accessibleName().isEmpty()) << Id(c);
        EXPECT_FALSE(Acc(c)->relations(QAccessible::Label).isEmpty()) << Id(c);
    }
    for (QLineEdit* e : window->findChildren<QLineEdit*>())
        EXPECT_FALSE(e->accessibleName().isEmpty()) << Id(e);
}

class AccessTest : public MainWindowTest {
protected:
    TempDir docs;
};

TEST_F(AccessTest, TabReachesEveryControlOnceInEachMode) {
    ASSERT_TRUE(Start());
    {
        SCOPED_TRACE("single file, nothing entered");
        ExpectEveryStopOncePerCycle(frm.get());
    }
    {
        // With a file entered, leaving its box by Tab used to jump to
        // Generate and skip the rest of the window.
        SCOPED_TRACE("single file entered, both tags");
        frm->chkInsertKWMT->setChecked(true);
        frm->chkInsertVPMT->setChecked(true);
        Pick(std::string(ZELK_EXAMPLES_DIR) + "/garden.html");
        frm->cmdListWords->click();
        frm->txbInputFile->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(frm->txbInputFile, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), frm->cmdClearInputFile);
        ExpectEveryStopOncePerCycle(frm.get());
    }
    {
        SCOPED_TRACE("multiple files, folder entered");
        frm->optMultipleFiles->setChecked(true);
        frm->txbFolder->setText(QString::fromStdString(docs.path().string()));
        frm->Parameters()->hide();
        frm->txbFolder->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(frm->txbFolder, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), frm->cmdClearFolder);
        ExpectEveryStopOncePerCycle(frm.get());
    }
    {
        SCOPED_TRACE("settings window for multiple files");
        FrmParameters* p = frm->Parameters();
        p->show();
        ExpectEveryStopOncePerCycle(p);
        for (QWidget* w : TabCycle(p)) EXPECT_NE(w, p->chkDialogBoxForUnixFiles);
        // Nor can a key tick it off by way of the focus, nor a screen reader find it.
        EXPECT_EQ(p->chkDialogBoxForUnixFiles->focusPolicy(), Qt::NoFocus);
        EXPECT_TRUE(p->chkDialogBoxForUnixFiles->isHidden());
        // Switching back to one file puts the window away with its mode.
        frm->optSingleFile->setChecked(true);
        EXPECT_FALSE(p->isVisible());
    }
    {
        SCOPED_TRACE("report window");
        FrmReport* r = frm->Report();
        r->show();
        ExpectEveryStopOncePerCycle(r);
    }
}

TEST_F(AccessTest, ArrowKeysOnAListKeepTheFocusAMouseChoiceHandsItOn) {
    ASSERT_TRUE(Start());
    frm->chkInsertKWMT->setChecked(true);
    Pick(std::string(ZELK_EXAMPLES_DIR) + "/garden.html");
    frm->cmdListWords->click();
    ASSERT_TRUE(frm->cmdGenerateKeywordMetaTag->isEnabled());
    frm->cboBoldWeight->setFocus(Qt::TabFocusReason);
    QTest::keyClick(frm->cboBoldWeight, Qt::Key_Down);
    EXPECT_EQ(frm->cboBoldWeight->currentText(), "5");
    EXPECT_FALSE(frm->DocumentAnalysed());
    EXPECT_EQ(QApplication::focusWidget(), frm->cboBoldWeight);
    // A choice made with the mouse goes on to the next sensible button.
    QTest::mouseClick(frm->lblBoldWeight, Qt::LeftButton);
    frm->cboBoldWeight->setCurrentIndex(2);
    EXPECT_EQ(QApplication::focusWidget(), frm->cmdGenerateKeywordMetaTag);
}

TEST_F(AccessTest, NamesFollowEveryCaptionChange) {
    ASSERT_TRUE(Start());
    ExpectNamesFollowCaptions(frm.get());
    ExpectListsAndBoxesNamed(frm.get());
    frm->optMultipleFiles->setChecked(true);
    EXPECT_EQ(Name(frm->cmdShowExistingKeywordMetaTag), "Settings for multiple files");
    ExpectNamesFollowCaptions(frm.get());
    frm->optSingleFile->setChecked(true);
    frm->EnableDisableButtons(false);
    EXPECT_EQ(Name(frm->cmdListWords), "Stop");
    ExpectNamesFollowCaptions(frm.get());
    frm->EnableDisableButtons(true);
    EXPECT_EQ(Name(frm->cmdListWords), "List words");
    // The Insert button's three captions and the Generate button's.
    Pick(std::string(ZELK_EXAMPLES_DIR) + "/garden.html");
    for (const auto& [k, v] : {std::pair{false, true}, {true, false}, {true, true}}) {
        frm->chkInsertKWMT->setChecked(k);
        frm->chkInsertVPMT->setChecked(v);
        frm->cmdListWords->click();
        frm->cmdGenerateKeywordMetaTag->click();
        ExpectNamesFollowCaptions(frm.get());
    }
    EXPECT_EQ(Name(frm->cmdInsert), "Insert both meta tags into file");
    // The word count is announced with the count, not only as a title.
    EXPECT_EQ(Name(frm->lblNumberOfWords).rfind("Number of words found: ", 0), 0u);

    FrmParameters* p = frm->Parameters();
    p->show();
    ExpectNamesFollowCaptions(p);
    ExpectListsAndBoxesNamed(p);
    EXPECT_EQ(p->cboPause->accessibleName(), "Pause in seconds in auto mode");

    FrmReport* r = frm->Report();
    r->show();
    std::string duringPause;
    QTimer::singleShot(0, r, [&] {
        duringPause = Name(r->cmdPauseContinue());
        ExpectNamesFollowCaptions(r);
        r->cmdPauseContinue()->click();
    });
    r->cmdPauseContinue()->click();
    EXPECT_EQ(duringPause, "Resume");
    EXPECT_EQ(Name(r->cmdPauseContinue()), "Pause");
}

TEST_F(AccessTest, ClearButtonsAndLinksCanBeToldApartAndUsed) {
    ASSERT_TRUE(Start());
    std::set<QString> descriptions;
    int clears = 0;
    for (QPushButton* b : frm->findChildren<QPushButton*>()) {
        if (b->text() != "Clear") continue;
        ++clears;
        EXPECT_TRUE(descriptions.insert(Acc(b)->text(QAccessible::Description)).second) << Id(b);
    }
    EXPECT_EQ(clears, 6);
    EXPECT_EQ(descriptions.count(QString()), 0u);

    for (LinkLabel* link : {frm->lblPublisher, frm->lblOnlineDocumentation}) {
        QAccessibleInterface* a = Acc(link);
        EXPECT_EQ(a->role(), QAccessible::Link) << Id(link);
        EXPECT_EQ(Name(link), link->text().toStdString());
        ASSERT_NE(a->actionInterface(), nullptr);
        EXPECT_TRUE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        EXPECT_TRUE(link->focusPolicy() & Qt::TabFocus);
    }
    frm->lblOnlineDocumentation->setFocus(Qt::TabFocusReason);
    QTest::keyClick(frm->lblOnlineDocumentation, Qt::Key_Return);
    QTest::keyClick(frm->lblOnlineDocumentation, Qt::Key_Space);
    Acc(frm->lblPublisher)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(desktop.opened.size(), 3u);
    EXPECT_TRUE(desktop.opened[0].toString().endsWith("zelk-manual.html"));
    EXPECT_EQ(desktop.opened[1], desktop.opened[0]);
    EXPECT_TRUE(desktop.opened[2].toString().endsWith("zelk-about.html"));
}

TEST_F(AccessTest, EnterPressesTheFocusedButtonInEveryWindow) {
    ASSERT_TRUE(Start());
    frm->cmdHelp->setFocus(Qt::TabFocusReason);
    QTest::keyClick(frm->cmdHelp, Qt::Key_Return);
    ASSERT_EQ(prompter.shown.size(), 1u);
    QTest::keyClick(frm->cmdHelp, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(prompter.shown.size(), 2u);
    FrmReport* r = frm->Report();
    r->show();
    r->cmdClose()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(r->cmdClose(), Qt::Key_Return);
    EXPECT_FALSE(r->isVisible());
}

TEST_F(AccessTest, CopyFollowsTheIdleStateAfterShowExisting) {
    ASSERT_TRUE(Start());
    ASSERT_FALSE(frm->cmdCopyMetaTag->isEnabled());
    Pick(std::string(ZELK_EXAMPLES_DIR) + "/garden.html");
    frm->cmdShowExistingKeywordMetaTag->click();
    ASSERT_FALSE(frm->OutputText().empty());
    EXPECT_TRUE(frm->cmdCopyMetaTag->isEnabled());
}

}  // namespace
}  // namespace zelk::test
