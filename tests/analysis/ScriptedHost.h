// An AnalysisHost for the analysis tests: the boxes are strings, the notes
// are kept, and a test can press Stop at a chosen moment.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "analysis/AnalysisHost.h"
#include "support/RecordingPrompter.h"

namespace zelk::testing {

class ScriptedHost : public AnalysisHost {
public:
    Prompter& prompter() override { return prompts; }
    std::string OutputText() override { return output; }
    void SetOutputText(const std::string& text) override {
        output = text;
        outputHistory.push_back(text);
    }
    void AppendOutputText(const std::string& text) override { output += text; }
    void SetOutputCaret(std::size_t) override {}
    std::string InputFileText() override { return input; }
    void SetInputFileText(const std::string& text) override { input = text; }
    void SetBeginMetaTagWithText(const std::string&) override {}
    void SetWordCountCaption(const std::string& caption) override { wordCountCaption = caption; }
    void SetWordCountBusyLook(bool) override {}
    void BeginAnalysisBusy() override {}
    void EndAnalysisBusy(bool) override {}
    void EnableDisableButtons(bool) override {}
    void ShowUnixFileNote(const std::string& caption) override { notes.push_back(caption); }
    void PopUpNotice(const std::string& message) override { notes.push_back(message); }
    void Yield() override {
        ++yields;
        if (onYield) onYield();
    }
    void ShowInsertButton() override {}
    void SetTheFocus() override {}

    RecordingPrompter prompts;
    std::string output;
    std::vector<std::string> outputHistory;
    std::string input;
    std::string wordCountCaption;
    std::vector<std::string> notes;
    long long yields = 0;
    std::function<void()> onYield;
};

}  // namespace zelk::testing
