// An AnalysisHost for the core tests: the boxes are strings, the message
// boxes go to a RecordingPrompter, the notes are kept, and a test can press
// Stop at a chosen moment (onYield). What a test does not read keeps the
// interface's do-nothing default.
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
    void SetOutputText(const std::string& text) override { output = text; }
    std::string InputFileText() override { return input; }
    void SetInputFileText(const std::string& text) override { input = text; }
    void SetWordCountCaption(const std::string& caption) override { wordCountCaption = caption; }
    void ShowUnixFileNote(const std::string& caption) override { notes.push_back(caption); }
    void PopUpNotice(const std::string& message) override { notes.push_back(message); }
    void Yield() override {
        ++yields;
        if (onYield) onYield();
    }

    RecordingPrompter prompts;
    std::string output;
    std::string input;
    std::string wordCountCaption;
    std::vector<std::string> notes;
    long long yields = 0;
    std::function<void()> onYield;
};

}  // namespace zelk::testing
