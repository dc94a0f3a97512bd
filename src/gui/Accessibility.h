// Keyboard and screen-reader access, the same for every window of the
// program. The rules, kept here in one place so that new windows and
// controls follow them without further code:
//  - A control with a caption (button, check box, option button, label) is
//    named by its caption. No fixed accessible name is ever set on one:
//    Qt then announces the current caption after every change.
//  - A text box or list is named by the label whose buddy it is
//    (QLabel::setBuddy); the name is taken from the label each time the
//    window is shown, and the label becomes its "labelled by" relation.
//  - Enter or Return on a focused push button presses it, as Space does.
//  - A group of option buttons is one Tab stop, at its chosen button (the
//    arrow keys move inside the group).
//  - A link is a LinkLabel: reached by Tab, opened by a click, Enter or
//    Space, and offered to screen readers as a link with a press action.
#pragma once

#include <QLabel>

class QWidget;

namespace zelk {

// Installs the application-wide filter behind the rules above (once; later
// calls do nothing). Every window's constructor calls it.
void InstallKeyboardAccess();

// True when the latest key or mouse input of the user was a key: a handler
// that would move the focus on leaves it where the keyboard sent it.
bool LastInputWasKeyboard();

// Gives the buddy of every label in the window the label's text as its
// accessible name, and puts the Tab stop of each group of option buttons
// on its chosen button. Runs by itself whenever a window is shown.
void NameControlsFromLabels(QWidget* window);

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void activated();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
};

}  // namespace zelk
