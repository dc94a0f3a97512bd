#include "gui/Caption.h"

#include <QAbstractButton>
#include <QLabel>

namespace zelk {

namespace {
// The accessible name is the caption without its line breaks and without
// the "&" that marks a keyboard shortcut.
QString Spoken(const QString& caption) {
    QString s = caption;
    s.replace(QLatin1String("&&"), QLatin1String("\x01"));
    s.remove(QLatin1Char('&'));
    s.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}
}  // namespace

void SetCaption(QAbstractButton* button, const QString& caption) {
    button->setText(caption);
    button->setAccessibleName(Spoken(caption));
}

void SetCaption(QLabel* label, const QString& caption) {
    label->setText(caption);
    label->setAccessibleName(Spoken(caption));
}

void SetTitle(QWidget* window, const QString& title) {
    window->setWindowTitle(title);
    window->setAccessibleName(title);
}

}  // namespace zelk
