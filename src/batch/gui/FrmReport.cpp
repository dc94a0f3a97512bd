#include "batch/gui/FrmReport.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "common/ReportLog.h"
#include "gui/GuiServices.h"
#include "gui/QtText.h"
#include "gui/WindowLook.h"
#include "gui/Accessibility.h"

namespace zelk {

namespace {
constexpr int kWidthTwips = 6600;
constexpr int kButtonWidthTwips = 1800;
constexpr int kButtonHeightTwips = 375;
constexpr int kMarginTwips = 120;
}  // namespace

FrmReport::FrmReport(ReportLog& log, QWidget* mainWindow, std::function<bool()> automaticInsertion)
    : QWidget(nullptr, Qt::Window),
      log_(log),
      main_(mainWindow),
      automaticInsertion_(std::move(automaticInsertion)),
      txbReport_(new QPlainTextEdit(this)),
      cmdCopyToClipboard_(new QPushButton(QStringLiteral("Copy to clipboard"), this)),
      cmdPauseContinue_(new QPushButton(QStringLiteral("Pause"), this)),
      cmdClose_(new QPushButton(QStringLiteral("Close"), this)) {
    InstallKeyboardAccess();
    setObjectName("frmReport");
    setWindowTitle(QStringLiteral("Report"));
    txbReport_->setObjectName("txbReport");
    txbReport_->setAccessibleName(QStringLiteral("Report"));
    txbReport_->setReadOnly(true);
    txbReport_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txbReport_->setFont(FixedFont());
    cmdCopyToClipboard_->setObjectName("cmdCopyToClipboard");
    cmdPauseContinue_->setObjectName("cmdPauseContinue");
    cmdClose_->setObjectName("cmdClose");
    // A read-only box would keep Tab for itself; the buttons must stay in reach.
    txbReport_->setTabChangesFocus(true);
    for (QPushButton* b : {cmdCopyToClipboard_, cmdPauseContinue_, cmdClose_}) {
        b->setFont(SansFont());
        b->setAutoDefault(false);
    }
    connect(cmdCopyToClipboard_, &QPushButton::clicked, this, &FrmReport::cmdCopyToClipboard_Click);
    connect(cmdPauseContinue_, &QPushButton::clicked, this, &FrmReport::cmdPauseContinue_Click);
    connect(cmdClose_, &QPushButton::clicked, this, &FrmReport::cmdClose_Click);

    LayOut();
    txbReport_->setPlainText(ToQ(log_.Text()));
    log_.onAppend = [this](const std::string& s) { OnAppend(s); };
    log_.onClear = [this] { OnClear(); };
}

FrmReport::~FrmReport() {
    log_.onAppend = nullptr;
    log_.onClear = nullptr;
    if (pauseLoop_) pauseLoop_->quit();
}

void FrmReport::LayOut() {
    // The heights below are those of whole windows, title bar included,
    // as the main window's height is counted; the client area is
    // kFrameAllowancePx smaller.
    const int mainHeight = Twips((main_ ? main_->height() : Px(7900) - kFrameAllowancePx) +
                                 kFrameAllowancePx);
    const int h = mainHeight + 100;
    resize(Px(kWidthTwips), Px(h) - kFrameAllowancePx);
    const int boxLeft = kMarginTwips;
    const int boxWidth = kWidthTwips - 2 * kMarginTwips;
    txbReport_->setGeometry(Px(boxLeft), Px(kMarginTwips), Px(boxWidth), Px(h - 1200));
    const int row = h - 1000;
    cmdCopyToClipboard_->setGeometry(Px(boxLeft), Px(row), Px(kButtonWidthTwips),
                                     Px(kButtonHeightTwips));
    cmdClose_->setGeometry(Px(boxLeft + boxWidth - kButtonWidthTwips), Px(row),
                           Px(kButtonWidthTwips), Px(kButtonHeightTwips));
    cmdPauseContinue_->setGeometry(Px((kWidthTwips - kButtonWidthTwips) / 2), Px(row),
                                   Px(kButtonWidthTwips), Px(kButtonHeightTwips));
    for (QPushButton* b : {cmdCopyToClipboard_, cmdPauseContinue_, cmdClose_}) b->setEnabled(true);
}

void FrmReport::Activate() {
    if (main_) {
        const QRect g = main_->frameGeometry();
        move(g.left() + g.width(), g.top());
    }
    if (automaticInsertion_ && automaticInsertion_()) {
        cmdClose_->hide();
        // A paused run keeps its Resume button when the window is activated.
        if (!blnPaused_) cmdPauseContinue_->setText(QStringLiteral("Pause"));
        cmdPauseContinue_->show();
        cmdCopyToClipboard_->hide();
    }
    update();
}

void FrmReport::SetRunButtons(RunButtons state) {
    switch (state) {
        case RunButtons::Hidden:
            cmdCopyToClipboard_->hide();
            cmdClose_->hide();
            cmdPauseContinue_->hide();
            cmdPauseContinue_->setEnabled(false);
            break;
        case RunButtons::Automatic:
            cmdCopyToClipboard_->hide();
            cmdClose_->hide();
            if (!blnPaused_) cmdPauseContinue_->setText(QStringLiteral("Pause"));
            cmdPauseContinue_->show();
            cmdPauseContinue_->setEnabled(true);
            break;
        case RunButtons::Idle:
            ReleasePause();
            cmdPauseContinue_->hide();
            for (QPushButton* b : {cmdCopyToClipboard_, cmdClose_}) {
                b->show();
                b->setEnabled(true);
            }
            break;
    }
    repaint();
}

void FrmReport::ReleasePause() {
    if (!blnPaused_) return;
    cmdPauseContinue_->setText(QStringLiteral("Pause"));
    blnPaused_ = false;
    if (pauseLoop_) pauseLoop_->quit();
}

bool FrmReport::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) Activate();
    return QWidget::event(e);
}

void FrmReport::closeEvent(QCloseEvent* e) {
    // Closing from the title bar discards the window: the next use starts
    // afresh with an empty report.
    e->accept();
    if (pauseLoop_) {
        blnPaused_ = false;
        pauseLoop_->quit();
    }
    log_.onAppend = nullptr;
    log_.onClear = nullptr;
    log_.Clear();
    deleteLater();
}

void FrmReport::OnAppend(const std::string& text) {
    QTextCursor c(txbReport_->document());
    c.movePosition(QTextCursor::End);
    c.insertText(ToQ(text));
    txbReport_->setTextCursor(c);
    txbReport_->ensureCursorVisible();
}

void FrmReport::OnClear() { txbReport_->clear(); }

void FrmReport::cmdCopyToClipboard_Click() {
    const QString text = txbReport_->toPlainText();
    if (!text.isEmpty()) {
        QClipboard* cb = QGuiApplication::clipboard();
        cb->clear();
        cb->setText(text);
    }
    cmdClose_->setFocus();
}

void FrmReport::cmdPauseContinue_Click() {
    if (cmdPauseContinue_->text() == QStringLiteral("Pause")) {
        cmdPauseContinue_->setText(QStringLiteral("Resume"));
        blnPaused_ = true;
        // Hold the click here, events still flowing, until Resume clears the
        // flag: a batch run waiting on this handler stays held meanwhile.
        // Resume, closing this window and the end of the program all leave
        // the loop.
        QPointer<FrmReport> self(this);
        QEventLoop loop;
        pauseLoop_ = &loop;
        loop.exec();
        if (self) {
            pauseLoop_ = nullptr;
            ReleasePause();  // the loop also ends when the program does
        }
    } else {
        ReleasePause();
    }
}

void FrmReport::cmdClose_Click() { hide(); }

}  // namespace zelk
