// Message boxes of the desktop program: every message the core or a window
// shows goes through this one Prompter.
#pragma once

#include <QMessageBox>

#include "common/Ui.h"

class QWidget;

namespace zelk {

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    using Prompter::Ask;
    Answer Ask(const std::string& text, const std::string& title, Icon icon, Buttons buttons,
               Answer defaultButton) override;

    // The box as it would be shown (used by Ask and by the tests).
    static void Configure(QMessageBox& box, const std::string& text, const std::string& title,
                          Icon icon, Buttons buttons, Answer defaultButton);
    // What a closed box means: Escape or the title bar's close button give
    // Cancel where there is one, No for Yes/No, OK for OK.
    static Answer ToAnswer(int standardButton, Buttons buttons);

private:
    QWidget* parent_;
};

}  // namespace zelk
