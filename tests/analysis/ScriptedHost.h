// An AnalysisHost for the analysis tests: the boxes are strings, every
// call the driver makes is recorded in order, and a test can press Stop at
// a chosen moment.
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
    void SetOutputCaret(std::size_t pos) override { caret = pos; }
    std::string InputFileText() override { return input; }
    void SetInputFileText(const std::string& text) override { input = text; }
    void SetBeginMetaTagWithText(const std::string& text) override { beginWith = text; }
    void SetWordCountCaption(const std::string& caption) override { wordCountCaption = caption; }
    void SetWordCountBusyLook(bool busy) override { calls.push_back(busy ? "busy look" : "plain look"); }
    void BeginAnalysisBusy() override { calls.push_back("begin busy"); }
    void EndAnalysisBusy(bool singleFile) override {
        calls.push_back(singleFile ? "end busy single" : "end busy multiple");
    }
    void EnableDisableButtons(bool idle) override { calls.push_back(idle ? "idle" : "not idle"); }
    void ShowUnixFileNote(const std::string& caption) override { calls.push_back("note: " + caption); }
    void PopUpNotice(const std::string& message) override { calls.push_back("pop-up: " + message); }
    void Yield() override {
        ++yields;
        if (onYield) onYield();
    }
    void ShowInsertButton() override { calls.push_back("insert button"); }
    void SetTheFocus() override { calls.push_back("focus"); }

    RecordingPrompter prompts;
    std::string output;
    std::vector<std::string> outputHistory;
    std::size_t caret = 0;
    std::string input;
    std::string beginWith;
    std::string wordCountCaption;
    std::vector<std::string> calls;
    long long yields = 0;
    std::function<void()> onYield;
};

}  // namespace zelk::testing
