// The report window: the log of insertions and batch runs, with Copy,
// Pause/Resume and Close. It shows the core's ReportLog.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class QPlainTextEdit;
class QPushButton;
class QEventLoop;

namespace zelk {

class ReportLog;

class FrmReport : public QWidget {
    Q_OBJECT
public:
    // mainWindow: the window it stands beside; automaticInsertion reads the
    // main window's blnAutomaticInsertion when the window is activated.
    FrmReport(ReportLog& log, QWidget* mainWindow, std::function<bool()> automaticInsertion);
    ~FrmReport() override;

    QPlainTextEdit* txbReport() const { return txbReport_; }
    QPushButton* cmdCopyToClipboard() const { return cmdCopyToClipboard_; }
    QPushButton* cmdPauseContinue() const { return cmdPauseContinue_; }
    QPushButton* cmdClose() const { return cmdClose_; }
    bool blnPaused() const { return blnPaused_; }

    // The activation steps: beside the main window, buttons for an automatic run.
    void Activate();

    // The buttons as a batch run sets them: all hidden (a file on its way,
    // Pause disabled), Pause shown (automatic mode), or Copy and Close
    // back (the run ended or left automatic mode).
    enum class RunButtons { Hidden, Automatic, Idle };
    void SetRunButtons(RunButtons state);
    // Ends a pause without a click on Resume: Break, Stop and Quit do not
    // leave the run held behind a button that is no longer shown.
    void ReleasePause();

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void LayOut();
    void OnAppend(const std::string& text);
    void OnClear();
    void cmdCopyToClipboard_Click();
    void cmdPauseContinue_Click();
    void cmdClose_Click();

    ReportLog& log_;
    QWidget* main_;  // the main window, which outlives this one
    std::function<bool()> automaticInsertion_;
    QPlainTextEdit* txbReport_;
    QPushButton* cmdCopyToClipboard_;
    QPushButton* cmdPauseContinue_;
    QPushButton* cmdClose_;
    bool blnPaused_ = false;
    QEventLoop* pauseLoop_ = nullptr;
};

}  // namespace zelk
