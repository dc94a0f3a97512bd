// A control's caption and the name a screen reader announces for it change
// together: every caption set at run time goes through here.
#pragma once

#include <QString>

class QAbstractButton;
class QLabel;
class QWidget;

namespace zelk {

void SetCaption(QAbstractButton* button, const QString& caption);
void SetCaption(QLabel* label, const QString& caption);
// A window title, which is also the window's accessible name.
void SetTitle(QWidget* window, const QString& title);

}  // namespace zelk
