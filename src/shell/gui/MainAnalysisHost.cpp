#include "shell/gui/MainAnalysisHost.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "shell/gui/FrmMain.h"
#include "gui/QtText.h"

namespace zelk {

Prompter& MainAnalysisHost::prompter() { return *frm_.services_.prompter; }

std::string MainAnalysisHost::OutputText() { return frm_.OutputText(); }

void MainAnalysisHost::SetOutputText(const std::string& text) { frm_.SetOutputText(text); }

void MainAnalysisHost::AppendOutputText(const std::string& text) {
    QPlainTextEdit* box = frm_.txbMetaTag;
    QTextCursor c(box->document());
    c.movePosition(QTextCursor::End);
    c.insertText(ToQ(text));
}

void MainAnalysisHost::SetOutputCaret(std::size_t pos) {
    // The core counts bytes with CR LF line ends; the box holds "\n".
    const std::string all = frm_.OutputText();
    const QString before = ToQ(std::string_view(all).substr(0, std::min(pos, all.size())));
    QTextCursor c = frm_.txbMetaTag->textCursor();
    c.setPosition(static_cast<int>(before.size()));
    frm_.txbMetaTag->setTextCursor(c);
}

void MainAnalysisHost::RepaintOutput() { frm_.txbMetaTag->repaint(); }

std::string MainAnalysisHost::InputFileText() { return FromQLine(frm_.txbInputFile->text()); }

void MainAnalysisHost::SetInputFileText(const std::string& text) {
    frm_.txbInputFile->setText(ToQLine(text));
}

void MainAnalysisHost::SetBeginMetaTagWithText(const std::string& text) {
    frm_.txbBeginMetaTagWith->setText(ToQLine(text));
}

void MainAnalysisHost::ApplyWordCount() {
    if (!captionPending_) return;
    captionPending_ = false;
    frm_.lblNumberOfWords->setText(ToQLine(pendingCaption_));
}

void MainAnalysisHost::SetWordCountCaption(const std::string& caption) {
    pendingCaption_ = caption;
    captionPending_ = true;
    // While the table fills, the label follows at the pace of the event pump.
    if (!busyLook_) ApplyWordCount();
}

void MainAnalysisHost::SetWordCountBusyLook(bool busy) {
    busyLook_ = busy;
    QLabel* l = frm_.lblNumberOfWords;
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, busy ? QColor(0, 0, 0xFF) : QColor(Qt::black));
    l->setPalette(p);
    QFont f = l->font();
    f.setBold(busy);
    l->setFont(f);
    if (!busy) ApplyWordCount();
    l->repaint();
}

void MainAnalysisHost::BeginAnalysisBusy() {
    frm_.cmdListWords->setText(QStringLiteral("Stop"));
    frm_.EnableDisableButtons(false);
}

void MainAnalysisHost::EndAnalysisBusy(bool singleFile) {
    if (!singleFile) {
        frm_.cmdListWords->setEnabled(false);
    } else {
        frm_.cmdListWords->setText(QStringLiteral("List words"));
        frm_.EnableDisableButtons(true);
    }
}

void MainAnalysisHost::EnableDisableButtons(bool idle) { frm_.EnableDisableButtons(idle); }

void MainAnalysisHost::ShowUnixFileNote(const std::string& caption) {
    QLabel* l = frm_.lblMetaTagInserted;
    l->setText(ToQLine(caption));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    l->setPalette(p);
    l->show();
    l->repaint();
}

void MainAnalysisHost::PopUpNotice(const std::string& message) {
    if (!frm_.services_.desktop) return;
    QPlainTextEdit* box = frm_.txbMetaTag;
    const QPoint at = box->mapTo(&frm_, QPoint(0, 0));
    const int boxTop = Twips(at.y());
    const int boxLeft = Twips(at.x());
    const int boxWidth = Twips(box->width());
    frm_.services_.desktop->PopUpInForm(&frm_, ToQLine(message), 4000, 300, 4000, boxTop + 1000,
                                        boxLeft + (boxWidth - 4000) / 2);
}

void MainAnalysisHost::Pump() {
    ++pumps_;
    ApplyWordCount();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    lastPump_ = std::chrono::steady_clock::now();
}

void MainAnalysisHost::Yield() {
    // Called at every step of a scan: look at the clock only every 64 calls,
    // and let the window run its events at most every 20 ms.
    if ((++calls_ & 63u) != 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPump_ < kPumpInterval) return;
    Pump();
}

void MainAnalysisHost::ShowInsertButton() {
    QPushButton* b = frm_.cmdInsert;
    b->show();
    b->setEnabled(true);
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
}

void MainAnalysisHost::SetTheFocus() { frm_.SetTheFocus(); }

bool MainAnalysisHost::StartUpCompleted() { return frm_.blnStartUpCompleted; }

}  // namespace zelk
