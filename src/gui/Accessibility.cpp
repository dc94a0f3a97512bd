#include "gui/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace zelk {

namespace {

bool lastInputWasKeyboard = false;

bool IsEnter(const QKeyEvent* k) {
    const auto mods = k->modifiers() & ~Qt::KeypadModifier;
    return (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && mods == Qt::NoModifier;
}

class KeyboardAccessFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress: {
                lastInputWasKeyboard = true;
                // A button that is a dialog's default (or may become one)
                // takes Enter itself; every other button is pressed here.
                auto* b = qobject_cast<QPushButton*>(watched);
                if (b && IsEnter(static_cast<QKeyEvent*>(event)) && !b->autoDefault() &&
                    !b->isDefault() && b->isEnabled()) {
                    b->click();
                    return true;
                }
                break;
            }
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
                lastInputWasKeyboard = false;
                break;
            case QEvent::Show:
                if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
                    NameControlsFromLabels(static_cast<QWidget*>(watched));
                break;
            default:
                break;
        }
        return false;
    }
};

// A link for screen readers: role Link, named by its caption, with the
// press action that opens it.
class LinkLabelAccessible : public QAccessibleWidget {
public:
    explicit LinkLabelAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Link) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == pressAction()) emit static_cast<LinkLabel*>(widget())->activated();
        else QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* LinkLabelFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(LinkLabel::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new LinkLabelAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

void InstallKeyboardAccess() {
    static bool installed = false;
    if (installed || !QCoreApplication::instance()) return;
    installed = true;
    QAccessible::installFactory(LinkLabelFactory);
    QCoreApplication::instance()->installEventFilter(new KeyboardAccessFilter(QCoreApplication::instance()));
}

bool LastInputWasKeyboard() { return lastInputWasKeyboard; }

namespace {
// Qt moves the Tab stop of a group of option buttons to the one last
// focused; a choice made by a click elsewhere or by code would leave it on
// a button that is not chosen. The chosen one takes it here.
void TabStopFollowsChoice(QRadioButton* r) {
    if (r->property("zelkTabStopFollowsChoice").toBool()) return;
    r->setProperty("zelkTabStopFollowsChoice", true);
    auto settle = [r](bool on) {
        if (!on || !r->autoExclusive() || !r->parentWidget()) return;
        for (QRadioButton* other :
             r->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
            if (!other->autoExclusive()) continue;
            const Qt::FocusPolicy p = other->focusPolicy();
            other->setFocusPolicy(other == r ? Qt::FocusPolicy(p | Qt::TabFocus)
                                             : Qt::FocusPolicy(p & ~Qt::TabFocus));
        }
    };
    QObject::connect(r, &QRadioButton::toggled, r, settle);
    settle(r->isChecked());
}
}  // namespace

void NameControlsFromLabels(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (QWidget* buddy = label->buddy()) buddy->setAccessibleName(label->text());
    }
    for (QRadioButton* r : window->findChildren<QRadioButton*>()) TabStopFollowsChoice(r);
}

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) {
        emit activated();
        e->accept();
        return;
    }
    QLabel::mouseReleaseEvent(e);
}

void LinkLabel::keyPressEvent(QKeyEvent* e) {
    if (IsEnter(e) || (e->key() == Qt::Key_Space && e->modifiers() == Qt::NoModifier)) {
        emit activated();
        e->accept();
        return;
    }
    QLabel::keyPressEvent(e);
}

void LinkLabel::paintEvent(QPaintEvent* e) {
    QLabel::paintEvent(e);
    if (!hasFocus()) return;
    // The focus is drawn round the caption, as on a button.
    QStylePainter p(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    const int w = fontMetrics().horizontalAdvance(text()) + 4;
    QRect r = rect();
    if (alignment() & Qt::AlignRight) r.setLeft(std::max(0, r.right() - w));
    else r.setWidth(std::min(r.width(), w));
    option.rect = r;
    p.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

}  // namespace zelk
