#include "batch/gui/FrmEditMetaTag.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

#include "batch/EditSession.h"
#include "gui/Accessibility.h"
#include "gui/GuiServices.h"
#include "gui/QtText.h"
#include "gui/WindowLook.h"

namespace zelk {

namespace {
const QColor kPaleGreen(201, 255, 211);
constexpr int kMargin = 8;
constexpr int kButtonHeight = 25;
constexpr int kMinimumHeight = 190;
constexpr int kHiddenCode = 1;  // the modal wait ended because the dialog was hidden

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    return NamedButton(parent, name, caption);
}
QLabel* Label(QWidget* parent, const char* name, const char* caption) {
    return NamedLabel(parent, name, caption);
}
}  // namespace

QString FrmEditMetaTag::SizeText(long long bytes, int decimals) {
    if (bytes < 0) return QString();
    if (bytes == 0) return QStringLiteral("0 bytes");
    if (bytes < 1024) return QString::number(bytes) + QStringLiteral(" bytes");
    const QLocale locale;
    if (bytes < 1048576)
        return locale.toString(static_cast<double>(bytes) / 1024.0, 'f', decimals) +
               QStringLiteral(" Kb");
    return locale.toString(static_cast<double>(bytes) / 1048576.0, 'f', decimals) +
           QStringLiteral(" Mb");
}

FrmEditMetaTag::FrmEditMetaTag(QWidget* mainWindow) : QDialog(mainWindow) {
    setObjectName("frmEditMetaTag");
    InstallKeyboardAccess();
    setWindowTitle(QStringLiteral("Edit keywords meta tag"));
    // Modal over the main window only: the report window stays usable.
    setWindowModality(Qt::WindowModal);

    lblFile = Label(this, "lblFile", "File: ");
    lblEditMetaTag = Label(this, "lblEditMetaTag", "");
    lblEditMetaTag->setWordWrap(true);
    txbMetaTag = new QPlainTextEdit(this);
    txbMetaTag->setObjectName("txbMetaTag");
    lblEditMetaTag->setBuddy(txbMetaTag);  // the box is named by its label when shown
    txbMetaTag->setTabChangesFocus(true);
    txbMetaTag->installEventFilter(this);
    cmdInsert = Button(this, "cmdInsert", "Insert meta tag");
    cmdNextFile = Button(this, "cmdNextFile", "Continue to next file");
    cmdContinueAutomatically = Button(this, "cmdContinueAutomatically",
                                      "Continue automatically (no inspection of meta tag)");
    cmdCancel = Button(this, "cmdCancel", "Cancel operation");
    lblInserting = Label(this, "lblInserting", "Inserting ...");
    lblInserting->hide();

    SetBackColorOfControls(this, kPaleGreen);
    SetFontOfControls(this, SansFont(), false, true);
    QFont fileFont = SansFont();
    fileFont.setPointSize(11);
    lblFile->setFont(fileFont);
    txbMetaTag->setFont(FixedFont());
    QPalette blue = lblInserting->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 0xFF));
    lblInserting->setPalette(blue);

    connect(cmdInsert, &QPushButton::clicked, this, &FrmEditMetaTag::cmdInsert_Click);
    connect(cmdNextFile, &QPushButton::clicked, this, &FrmEditMetaTag::cmdNextFile_Click);
    connect(cmdContinueAutomatically, &QPushButton::clicked, this,
            &FrmEditMetaTag::cmdContinueAutomatically_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmEditMetaTag::cmdCancel_Click);
    LayOut(Px(10620), kMinimumHeight + 60, kMargin, Px(10620) - 2 * kMargin);
}

void FrmEditMetaTag::LayOut(int width, int height, int boxLeft, int boxWidth) {
    resize(width, height);
    int y = kMargin;
    lblFile->setGeometry(kMargin, y, width - 2 * kMargin, 22);
    y += 26;
    lblEditMetaTag->setGeometry(kMargin, y, width - 2 * kMargin, 32);
    y += 36;
    const int boxHeight = std::max(40, height - y - kButtonHeight - 2 * kMargin - 4);
    txbMetaTag->setGeometry(boxLeft, y, boxWidth, boxHeight);
    y += boxHeight + kMargin;
    // Four buttons on one row, each as wide as its caption needs.
    QPushButton* row[] = {cmdInsert, cmdNextFile, cmdContinueAutomatically, cmdCancel};
    const QFontMetrics fm(cmdContinueAutomatically->font());
    int x = kMargin;
    for (QPushButton* b : row) {
        int w = fm.horizontalAdvance(b->text()) + 20;
        if (b == cmdInsert) w = fm.horizontalAdvance(QStringLiteral("Insert keywords meta tag")) + 24;
        b->setGeometry(x, y, w, kButtonHeight);
        x += w + 6;
    }
    lblInserting->setGeometry(x + 4, y + 4, 120, 16);
}

void FrmEditMetaTag::Place(bool keywordsRequested) {
    if (!placement) return;
    const Placement p = placement();
    // The dialog covers the main window from the chosen top down to the
    // output box, which stays in sight below it as the "bottom window".
    // Its title bar is taken to be as high as the main window's.
    const int titleBar = std::max(0, p.mainClientTop - p.mainFrame.top());
    int top = p.mainFrame.top();
    if (!keywordsRequested) top += p.keywordsFrameTop + Px(400);
    const int height = std::max(kMinimumHeight, p.boxScreenTop - 4 - (top + titleBar));
    // Same left edge and width as the main window, so that the text box
    // stands exactly over the output box.
    LayOut(p.mainClientWidth, height, p.boxLeft, p.boxWidth);
    move(p.mainFrame.left(), top);
}

void FrmEditMetaTag::ShowSession() {
    EditSession& s = *session_;
    lblEditMetaTag->setText(ToQ(s.Instructions()));
    cmdInsert->setText(ToQLine(s.InsertCaption()));
    cmdInsert->setEnabled(s.InsertEnabled());
    txbMetaTag->setReadOnly(s.TagLocked());
    if (showBottomText) showBottomText(s.BottomText());
}

void FrmEditMetaTag::Inspect(EditSession& session, bool keywordsRequested) {
    session_ = &session;
    // The file line: its path and its size. The path's bytes name the file
    // as they stand (shown through the code page, like every path).
    const long long size = session.FileSize();
    lblFile->setText(ToQLine(session.File()) + QStringLiteral(" [") + SizeText(size, 2) +
                     QStringLiteral("]"));
    txbMetaTag->setPlainText(ToQ(session.tagText));
    ShowSession();
    Place(keywordsRequested);
    lblInserting->hide();

    QPointer<FrmEditMetaTag> self(this);
    show();
    raise();
    activateWindow();
    txbMetaTag->setFocus(Qt::OtherFocusReason);
    QMetaObject::invokeMethod(this, [this] { emit Activated(); }, Qt::QueuedConnection);
    // The walk waits here until a button of the session hides the dialog.
    // A loop that ends for another reason means the program is ending
    // (its event loops are told to stop): the run is cancelled then.
    while (self && isVisible() && !session.Hidden() && !(quitting && quitting())) {
        QEventLoop loop;
        loop_ = &loop;
        const int why = loop.exec(QEventLoop::DialogExec);
        if (!self) return;
        loop_ = nullptr;
        if (why != kHiddenCode && isVisible() && !session.Hidden()) {
            session.Cancel();
            break;
        }
    }
    if (!self) return;
    if (isVisible()) hide();
    session_ = nullptr;
}

void FrmEditMetaTag::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    if (loop_) loop_->exit(kHiddenCode);
}

void FrmEditMetaTag::TakeBoxText() {
    if (session_) session_->tagText = FromQ(txbMetaTag->toPlainText());
}

// After a button of the session: the dialog shows what the session made of
// it, and goes when the session says so.
void FrmEditMetaTag::AfterAction() {
    if (!session_) return;
    ShowSession();
    if (session_->Hidden()) hide();
}

void FrmEditMetaTag::cmdInsert_Click() {
    if (!session_ || !cmdInsert->isEnabled()) return;
    TakeBoxText();
    lblInserting->show();
    lblInserting->repaint();
    session_->Insert();
    lblInserting->hide();
    AfterAction();
}

void FrmEditMetaTag::cmdNextFile_Click() {
    if (!session_) return;
    TakeBoxText();
    session_->ContinueToNextFile();
    AfterAction();
}

void FrmEditMetaTag::cmdContinueAutomatically_Click() {
    if (!session_) return;
    TakeBoxText();
    session_->ContinueAutomatically();
    AfterAction();
}

void FrmEditMetaTag::cmdCancel_Click() {
    if (!session_) return;
    TakeBoxText();
    session_->Cancel();
    AfterAction();
}

void FrmEditMetaTag::txbMetaTag_KeyUp() {
    if (!session_ || txbMetaTag->isReadOnly()) return;
    TakeBoxText();
    session_->TagEdited();
    if (session_) cmdInsert->setEnabled(session_->InsertEnabled());
}

bool FrmEditMetaTag::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txbMetaTag && event->type() == QEvent::KeyRelease) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (!k->isAutoRepeat()) txbMetaTag_KeyUp();
    }
    return QDialog::eventFilter(watched, event);
}

void FrmEditMetaTag::reject() { cmdCancel_Click(); }

void FrmEditMetaTag::closeEvent(QCloseEvent* e) {
    // The close box cancels the whole run, like Cancel operation.
    if (session_ && !session_->Hidden()) cmdCancel_Click();
    e->accept();
}

}  // namespace zelk
