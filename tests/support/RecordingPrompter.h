// A Prompter for tests: records every message box the code under test shows
// and answers from a scripted queue (the box's default answer once the queue
// is empty).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/Ui.h"

namespace zelk::testing {

struct ShownBox {
    std::string text;
    std::string title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Answer defaultButton = Answer::Ok;

    bool operator==(const ShownBox&) const = default;
};

class RecordingPrompter : public Prompter {
public:
    using Prompter::Ask;

    Answer Ask(const std::string& text, const std::string& title, Icon icon, Buttons buttons,
               Answer defaultButton) override {
        shown.push_back({text, title, icon, buttons, defaultButton});
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return defaultButton;
    }

    // Answers for the next boxes, in order.
    void Script(std::initializer_list<Answer> next) { answers.insert(answers.end(), next); }

    std::vector<ShownBox> shown;
    std::deque<Answer> answers;
};

}  // namespace zelk::testing
