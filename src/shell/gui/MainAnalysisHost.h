// The window side of an analysis for the desktop program: the output box,
// the word count label, the busy state and the event pump that keeps the
// window (and its Stop button) alive during a long scan.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "analysis/AnalysisHost.h"

namespace zelk {

class FrmMain;

class MainAnalysisHost : public AnalysisHost {
public:
    explicit MainAnalysisHost(FrmMain& frm) : frm_(frm) {}

    Prompter& prompter() override;
    std::string OutputText() override;
    void SetOutputText(const std::string& text) override;
    void AppendOutputText(const std::string& text) override;
    void SetOutputCaret(std::size_t pos) override;
    void RepaintOutput() override;
    std::string InputFileText() override;
    void SetInputFileText(const std::string& text) override;
    void SetBeginMetaTagWithText(const std::string& text) override;
    void SetWordCountCaption(const std::string& caption) override;
    void SetWordCountBusyLook(bool busy) override;
    void BeginAnalysisBusy() override;
    void EndAnalysisBusy(bool singleFile) override;
    void EnableDisableButtons(bool idle) override;
    void ShowUnixFileNote(const std::string& caption) override;
    void PopUpNotice(const std::string& message) override;
    void Yield() override;
    void ShowInsertButton() override;
    void SetTheFocus() override;
    bool StartUpCompleted() override;

    // How often the scan lets the window handle its events.
    static constexpr std::chrono::milliseconds kPumpInterval{20};
    // Number of pumps so far (tests use it to act from inside a scan).
    uint64_t Pumps() const { return pumps_; }

private:
    void Pump();
    void ApplyWordCount();

    FrmMain& frm_;
    bool busyLook_ = false;
    std::string pendingCaption_;
    bool captionPending_ = false;
    uint32_t calls_ = 0;
    uint64_t pumps_ = 0;
    std::chrono::steady_clock::time_point lastPump_{};
};

}  // namespace zelk
