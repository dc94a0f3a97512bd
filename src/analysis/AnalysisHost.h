// The window side of an analysis: everything DoFile and the Generate / List
// words request touch outside the core. The desktop program implements it
// with its widgets; zelk-cli and the tests with plain strings.
#pragma once

#include <cstddef>
#include <string>

#include "common/Ui.h"

namespace zelk {

class AnalysisHost {
public:
    virtual ~AnalysisHost() = default;

    virtual Prompter& prompter() = 0;

    // The output box txbMetaTag (Windows-1252, CR LF).
    virtual std::string OutputText() = 0;
    virtual void SetOutputText(const std::string& text) = 0;
    virtual void AppendOutputText(const std::string& text) { SetOutputText(OutputText() + text); }
    // Caret as a 0-based byte offset into the output text.
    virtual void SetOutputCaret(std::size_t /*pos*/) {}
    virtual void RepaintOutput() {}

    // The input file box txbInputFile.
    virtual std::string InputFileText() = 0;
    virtual void SetInputFileText(const std::string& text) = 0;

    // The begin-with box: composition writes it back trimmed.
    virtual void SetBeginMetaTagWithText(const std::string& /*text*/) {}

    // lblNumberOfWords: its caption, and its look while the table fills.
    // A host without it says so, and is spared a caption for every new word.
    virtual bool ShowsWordCount() const { return true; }
    virtual void SetWordCountCaption(const std::string& /*caption*/) {}
    virtual void SetWordCountBusyLook(bool /*busy*/) {}

    // The busy state around an analysis: List words becomes Stop.
    virtual void BeginAnalysisBusy() {}
    // singleFile: the caption goes back to "List words" and the buttons are
    // enabled; multiple files: List words is disabled.
    virtual void EndAnalysisBusy(bool /*singleFile*/) {}
    virtual void EnableDisableButtons(bool /*idle*/) {}

    // lblMetaTagInserted shows the Unix-type file note in red (batch runs).
    virtual void ShowUnixFileNote(const std::string& /*caption*/) {}

    // The pop-up notice before merging a large word table; it holds the
    // analysis until it closes.
    virtual void PopUpNotice(const std::string& /*message*/) {}

    // Lets the window handle pending events (the Stop click among them).
    // Called at every step of a scan; must be cheap.
    virtual void Yield() {}

    // After a successful Generate: the Insert button is shown, enabled, bold.
    virtual void ShowInsertButton() {}
    virtual void SetTheFocus() {}

    // False while the window is still starting up: the input file name rule
    // then clears the box silently instead of showing a message.
    virtual bool StartUpCompleted() { return true; }
};

// A host whose output and input boxes are plain strings: zelk-cli and the
// threads that analyse ahead of a batch run.
class StringBoxesHost : public AnalysisHost {
public:
    bool ShowsWordCount() const override { return false; }
    std::string OutputText() override { return output_; }
    void SetOutputText(const std::string& text) override { output_ = text; }
    void AppendOutputText(const std::string& text) override { output_ += text; }
    std::string InputFileText() override { return input_; }
    void SetInputFileText(const std::string& text) override { input_ = text; }

private:
    std::string output_, input_;
};

}  // namespace zelk
