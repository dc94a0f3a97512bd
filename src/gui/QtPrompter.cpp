#include "gui/QtPrompter.h"

#include "gui/QtText.h"

namespace zelk {

namespace {
QMessageBox::StandardButton ToStandard(Answer a) {
    switch (a) {
        case Answer::Ok: return QMessageBox::Ok;
        case Answer::Cancel: return QMessageBox::Cancel;
        case Answer::Yes: return QMessageBox::Yes;
        case Answer::No: return QMessageBox::No;
    }
    return QMessageBox::Ok;
}
}  // namespace

void QtPrompter::Configure(QMessageBox& box, const std::string& text, const std::string& title,
                           Icon icon, Buttons buttons, Answer defaultButton) {
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQ(text));
    box.setWindowTitle(ToQ(title));
    switch (icon) {
        case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
        case Icon::Information: box.setIcon(QMessageBox::Information); break;
        case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    QMessageBox::StandardButtons set;
    switch (buttons) {
        case Buttons::Ok: set = QMessageBox::Ok; break;
        case Buttons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
        case Buttons::YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
        case Buttons::YesNoCancel:
            set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
    }
    box.setStandardButtons(set);
    if (set.testFlag(ToStandard(defaultButton))) box.setDefaultButton(ToStandard(defaultButton));
    if (buttons == Buttons::YesNo) box.setEscapeButton(QMessageBox::No);
}

Answer QtPrompter::ToAnswer(int standardButton, Buttons buttons) {
    switch (standardButton) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Cancel: return Answer::Cancel;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: break;
    }
    switch (buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::YesNo: return Answer::No;
        default: return Answer::Cancel;
    }
}

Answer QtPrompter::Ask(const std::string& text, const std::string& title, Icon icon,
                       Buttons buttons, Answer defaultButton) {
    QMessageBox box(parent_);
    Configure(box, text, title, icon, buttons, defaultButton);
    return ToAnswer(box.exec(), buttons);
}

}  // namespace zelk
