// The main window's side of a run over a folder tree: Generate in
// multiple-files mode starts it, the Insert button becomes its Break/Stop
// button, Quit ends it, and MainBatchUser shows it in the windows.
#include <QCoreApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "analysis/Analyzer.h"
#include "batch/BatchRun.h"
#include "batch/EditSession.h"
#include "batch/gui/FrmEditMetaTag.h"
#include "batch/gui/FrmParameters.h"
#include "batch/gui/FrmReport.h"
#include "gui/QtText.h"
#include "shell/gui/FrmMain.h"
#include "shell/gui/MainAnalysisHost.h"
#include "shell/gui/MainBatchUser.h"

namespace zelk {

// ---------------------------------------------------------------- the window's commands

BatchRun& FrmMain::Run() {
    if (!run_) {
        batchUser_ = std::make_shared<MainBatchUser>(*this);
        run_ = std::make_shared<BatchRun>(settings, *analyzer_, *host_, reportLog, *batchUser_);
    }
    return *run_;
}

FrmEditMetaTag* FrmMain::EditDialog() {
    if (!frmEditMetaTag_) {
        frmEditMetaTag_ = new FrmEditMetaTag(this);
        frmEditMetaTag_->setWindowIcon(windowIcon());
        frmEditMetaTag_->placement = [this] {
            FrmEditMetaTag::Placement p;
            p.mainFrame = frameGeometry();
            p.mainClientTop = geometry().top();
            p.mainClientWidth = width();
            p.keywordsFrameTop = fraKWMT->y();
            p.boxLeft = txbMetaTag->x();
            p.boxWidth = txbMetaTag->width();
            p.boxScreenTop = txbMetaTag->mapToGlobal(QPoint(0, 0)).y();
            return p;
        };
        frmEditMetaTag_->showBottomText = [this](const std::string& t) {
            if (t != OutputText()) SetOutputText(t);
        };
        frmEditMetaTag_->quitting = [this] { return quitting_; };
    }
    return frmEditMetaTag_;
}

bool FrmMain::RunGoing() const { return runGoing_; }

void FrmMain::GenerateForFolder() {
    BatchRun& run = Run();
    if (runGoing_) return;
    // The run reads the folder from the record and writes it back trimmed.
    settings.Folder = FromQLine(txbFolder->text());
    runGoing_ = true;
    try {
        run.StartFromGenerate();
    } catch (...) {
        // A failure that escaped the run (out of memory, say) must not leave
        // the window locked in the middle of a run; the caller reports it.
        runGoing_ = false;
        batchUser_->RunAbandoned();
        throw;
    }
    runGoing_ = false;
    batchUser_->SyncFlags();
    if (FromQLine(txbFolder->text()) != settings.Folder) txbFolder->setText(ToQLine(settings.Folder));
}

bool FrmMain::BreakStopPressed() {
    if (!runGoing_ || !run_->blnAutomaticInsertion) return false;
    run_->PressBreakStop();
    blnAutomaticInsertion = run_->blnAutomaticInsertion;
    return true;
}

void FrmMain::StopRunForQuit() {
    if (!runGoing_) return;
    run_->RequestStop();
    if (frmReport_) frmReport_->ReleasePause();
    if (frmEditMetaTag_ && frmEditMetaTag_->isVisible()) frmEditMetaTag_->hide();
}

// ---------------------------------------------------------------- MainBatchUser

MainBatchUser::MainBatchUser(FrmMain& frm) : frm_(frm) {}

// The run changes the mode and chkConfirm in the record (Continue
// automatically clears it, Break sets it); the controls follow here.
void MainBatchUser::SyncFlags() {
    if (frm_.run_) frm_.blnAutomaticInsertion = frm_.run_->blnAutomaticInsertion;
    QCheckBox* confirm = frm_.frmParameters_->chkConfirm;
    if (confirm->isChecked() != (frm_.settings.Confirm != 0))
        confirm->setChecked(frm_.settings.Confirm != 0);
}

Prompter& MainBatchUser::prompter() {
    if (frm_.quitting_) return silent_;
    return frm_.prompter();
}

void MainBatchUser::ShowReport() {
    FrmReport* r = frm_.Report();
    r->show();
    r->raise();
    r->Activate();  // beside the main window, also where no window manager activates it
}

void MainBatchUser::HideReport() {
    if (frm_.frmReport_) frm_.frmReport_->hide();
}

bool MainBatchUser::ReportShowing() { return frm_.ReportVisible(); }

void MainBatchUser::SetReportButtons(const ReportButtons& b) {
    FrmReport* r = frm_.Report();
    SyncFlags();
    // A Pause button that goes away must not leave the run held behind it.
    if (!b.pauseShown || !b.pauseEnabled) r->ReleasePause();
    if (b.pauseShown && !r->blnPaused()) r->cmdPauseContinue()->setText(QStringLiteral("Pause"));
    r->cmdCopyToClipboard()->setVisible(b.copyShown);
    r->cmdCopyToClipboard()->setEnabled(b.copyEnabled);
    r->cmdClose()->setVisible(b.closeShown);
    r->cmdClose()->setEnabled(b.closeEnabled);
    r->cmdPauseContinue()->setVisible(b.pauseShown);
    r->cmdPauseContinue()->setEnabled(b.pauseEnabled);
}

void MainBatchUser::RefreshReport() {
    if (!frm_.frmReport_) return;
    QPlainTextEdit* box = frm_.frmReport_->txbReport();
    QTextCursor c = box->textCursor();
    c.movePosition(QTextCursor::End);
    box->setTextCursor(c);
    frm_.frmReport_->repaint();
}

void MainBatchUser::SetInsertButtonForRun(bool on, const std::string& caption) {
    SyncFlags();
    QPushButton* b = frm_.cmdInsert;
    b->setText(ToQLine(on ? caption : std::string("Insert keywords meta tag into file")));
    b->setVisible(on);
    b->setEnabled(on);
    QFont f = b->font();
    f.setBold(on);
    b->setFont(f);
}

void MainBatchUser::LockRunInputs(bool locked) {
    frm_.txbFolder->setReadOnly(locked);
    frm_.txbVPMT->setReadOnly(locked);
    // The run has just sorted and rejoined the exclusion list: the box shows it.
    const QString excluded = ToQLine(frm_.settings.ExcludedFilepaths);
    if (frm_.txbExcludedFilepaths->text() != excluded) frm_.txbExcludedFilepaths->setText(excluded);
}

void MainBatchUser::RunAbandoned() {
    if (frm_.run_) {
        frm_.run_->StopFlag = true;
        frm_.run_->blnAutomaticInsertion = false;
    }
    if (frm_.frmEditMetaTag_ && frm_.frmEditMetaTag_->isVisible()) frm_.frmEditMetaTag_->hide();
    SetInsertButtonForRun(false, std::string());
    SetReportButtons({true, true, true, true, false, false});
    LockRunInputs(false);
    EnableQuit(true);
    RunEnded();
}

void MainBatchUser::EnableQuit(bool enabled) { frm_.cmdQuit->setEnabled(enabled); }

void MainBatchUser::RunStarting() {
    SyncFlags();
    // The busy state for the whole run, also when no page is analysed (the
    // viewport tag alone): a second Generate, Reset or a change of mode in
    // the middle of a run would pull the ground from under it.
    frm_.EnableDisableButtons(false);
    frm_.cmdListWords->setEnabled(true);
    frm_.txbMetaTag->clear();
    frm_.lblMetaTagInserted->clear();
}

void MainBatchUser::RunEnded() {
    SyncFlags();
    frm_.EnableDisableButtons(true);
    frm_.cmdListWords->setText(ToQLine(frm_.programText.GetProgramText(text::ListWordsCaption)));
    frm_.cmdListWords->setEnabled(true);
    frm_.lblNumberOfWords->clear();
}

void MainBatchUser::SetTheFocus() { frm_.SetTheFocus(); }

void MainBatchUser::SetEditDialogTitle(const std::string& title) {
    frm_.EditDialog()->setWindowTitle(ToQLine(title));
}

void MainBatchUser::Inspect(EditSession& session) {
    SyncFlags();
    frm_.EditDialog()->Inspect(session, frm_.settings.InsertKWMT != 0);
    SyncFlags();
}

void MainBatchUser::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    SyncFlags();
}

void MainBatchUser::Wait(int milliseconds) {
    SyncFlags();
    if (!frm_.services_.desktop) return;
    BatchRun* run = frm_.run_.get();
    const bool automatic = run && run->blnAutomaticInsertion;
    // The wait ends early once there is nothing left to wait for: the run
    // was stopped, the program is ending, or Break left automatic mode.
    frm_.services_.desktop->KeepAliveWait(milliseconds / 1000.0, [this, run, automatic] {
        return frm_.quitting_ || !run || run->StopFlag ||
               (automatic && !run->blnAutomaticInsertion);
    });
    SyncFlags();
}

}  // namespace zelk
