// The window side of a batch run: the report window, the edit dialog, the
// main window's Insert button as Break/Stop, Quit, and the waits that keep
// every window answering while the run pauses.
#pragma once

#include "batch/BatchUser.h"

namespace zelk {

class FrmMain;

class MainBatchUser : public BatchUser {
public:
    explicit MainBatchUser(FrmMain& frm);

    Prompter& prompter() override;
    void ShowReport() override;
    void HideReport() override;
    bool ReportShowing() override;
    void SetReportButtons(const ReportButtons& buttons) override;
    void RefreshReport() override;
    void SetInsertButtonForRun(bool on, const std::string& caption) override;
    void LockRunInputs(bool locked) override;
    void EnableQuit(bool enabled) override;
    void RunStarting() override;
    void RunEnded() override;
    void SetTheFocus() override;
    void SetEditDialogTitle(const std::string& title) override;
    void Inspect(EditSession& session) override;
    void ProcessEvents() override;
    void Wait(int milliseconds) override;

    // The window after a failure escaped the run: unlocked and idle again.
    void RunAbandoned();
    // The window's copies of the run's flags (blnAutomaticInsertion,
    // chkConfirm) brought up to date.
    void SyncFlags();

private:
    // Once Quit has been pressed the run only winds down: its questions
    // and closing message are answered without a box.
    class Silent : public Prompter {
    public:
        using Prompter::Ask;
        Answer Ask(const std::string&, const std::string&, Icon, Buttons buttons,
                   Answer) override {
            return buttons == Buttons::Ok ? Answer::Ok
                   : buttons == Buttons::YesNo ? Answer::No
                                               : Answer::Cancel;
        }
    };

    FrmMain& frm_;
    Silent silent_;
};

}  // namespace zelk
