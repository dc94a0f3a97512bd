// How a batch run talks to the person running it. The desktop program
// implements this with its windows (the report window, the edit dialog, the
// main window's Insert and Quit buttons), zelk-cli with stdout/stderr and
// fixed answers, tests with a script. The run never knows which.
#pragma once

#include <string>

#include "common/Ui.h"

namespace zelk {

class EditSession;

// Which of the report window's three buttons are shown and enabled.
struct ReportButtons {
    bool copyShown = false;
    bool copyEnabled = false;
    bool closeShown = false;
    bool closeEnabled = false;
    bool pauseShown = false;
    bool pauseEnabled = false;
};

class BatchUser {
public:
    virtual ~BatchUser() = default;

    // The message boxes of the run: its questions ("Anomalous file",
    // "Continue?", the Unix-type file warning) and the closing message.
    virtual Prompter& prompter() = 0;

    // --- The report window (its text is the ReportLog the run writes to) ---
    // Shows it (not modal) / hides it; the text stays.
    virtual void ShowReport() {}
    virtual void HideReport() {}
    // Whether the report window is on screen now.
    virtual bool ReportShowing() = 0;
    // Shows, hides, enables and disables Copy, Close and Pause/Continue;
    // a shown Pause/Continue button gets the caption "Pause".
    virtual void SetReportButtons(const ReportButtons& /*buttons*/) {}
    // Repaints the report window and moves its caret to the end.
    virtual void RefreshReport() {}

    // --- The main window ---
    // on: the Insert button becomes the Break/Stop button of an automatic
    // run (shown, enabled, bold, with this caption); off: caption
    // "Insert keywords meta tag into file", hidden, disabled, not bold.
    virtual void SetInsertButtonForRun(bool /*on*/, const std::string& /*caption*/) {}
    // Locks txbFolder and txbVPMT against editing while a run goes on.
    virtual void LockRunInputs(bool /*locked*/) {}
    // Enables or disables the Quit button (disabled while the edit dialog is up).
    virtual void EnableQuit(bool /*enabled*/) {}
    // The start of a run: cmdListWords enabled, txbMetaTag and
    // lblMetaTagInserted emptied.
    virtual void RunStarting() {}
    // The end of a run: the buttons re-evaluated (EnableDisableButtons), the
    // caption of cmdListWords restored and enabled, lblNumberOfWords emptied.
    virtual void RunEnded() {}
    // Gives the focus back to the main window after the closing message.
    virtual void SetTheFocus() {}

    // --- The edit dialog ---
    // Sets the dialog's title at the start of a run.
    virtual void SetEditDialogTitle(const std::string& /*title*/) {}
    // Shows the edit dialog modally for session.File() and returns when it
    // is hidden again (after Continue to next file, Continue automatically
    // or Cancel operation, all of which go through the session). The dialog
    // is a view of the session: its box is session.tagText, its bottom
    // window session.BottomText(), its buttons the session's actions.
    virtual void Inspect(EditSession& session) = 0;

    // --- Time ---
    // Lets pending window events run (a Stop or Break click among them).
    // Returns only when the report window is not paused.
    virtual void ProcessEvents() {}
    // Waits so long while keeping the window responsive (an event-pumping
    // wait; tests use a fake clock). Returns only when the report window is
    // not paused. The run checks its flags again afterwards.
    virtual void Wait(int /*milliseconds*/) {}
};

}  // namespace zelk
