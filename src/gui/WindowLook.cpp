#include "gui/WindowLook.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

namespace zelk {

namespace {
QString FallbackSans() {
    static const QString chosen = [] {
        for (const char* name : {"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans Condensed"}) {
            if (QFontDatabase::hasFamily(QString::fromLatin1(name))) return QString::fromLatin1(name);
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return chosen;
}
}  // namespace

QFont SansFont(const char* family) {
    // The layout's fixed widths leave room for a narrow sans-serif face at
    // 8 points. Where the named one is missing, a face with the same widths
    // is preferred, so that no caption is cut, then a condensed one, then
    // the desktop's own sans-serif font.
    const QString name = QString::fromLatin1(family);
    QFont f(QFontDatabase::hasFamily(name) ? name : FallbackSans());
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(8);
    return f;
}

QFont FixedFont() {
    QFont f;
    if (QFontDatabase::families().contains(QStringLiteral("Courier New"))) {
        f = QFont(QStringLiteral("Courier New"));
    } else {
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    }
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSize(9);
    return f;
}

QColor ColorFromInt(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

namespace {
bool IsColoured(QWidget* w) {
    return qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w) ||
           qobject_cast<QGroupBox*>(w) || qobject_cast<QRadioButton*>(w);
}
bool IsTextBox(QWidget* w) { return qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w); }
}  // namespace

void SetBackColorOfControls(QWidget* frm, const QColor& color) {
    QPalette pal = frm->palette();
    pal.setColor(QPalette::Window, color);
    frm->setPalette(pal);
    frm->setAutoFillBackground(true);
    for (QWidget* w : frm->findChildren<QWidget*>()) {
        if (!IsColoured(w)) continue;
        QPalette p = w->palette();
        p.setColor(QPalette::Window, color);
        w->setPalette(p);
    }
}

void SetForeColorOfControls(QWidget* frm, const QColor& color) {
    for (QWidget* w : frm->findChildren<QWidget*>()) {
        if (!IsColoured(w)) continue;
        QPalette p = w->palette();
        p.setColor(QPalette::WindowText, color);
        w->setPalette(p);
    }
}

void SetFontOfControls(QWidget* frm, const QFont& font, bool includeTextBoxes, bool includeButtons) {
    for (QWidget* w : frm->findChildren<QWidget*>()) {
        const bool keepBold = w->font().bold();
        QFont f = font;
        f.setBold(keepBold);
        // Buttons take the font in the first pass already; the flag only
        // repeats it (kept for the callers that spell out both passes).
        if (IsTextBox(w)) {
            if (includeTextBoxes) w->setFont(f);
        } else if (qobject_cast<QPushButton*>(w) || IsColoured(w) ||
                   qobject_cast<QComboBox*>(w)) {
            w->setFont(f);
        }
        (void)includeButtons;
    }
}

}  // namespace zelk

namespace zelk {

QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLabel* NamedLabel(QWidget* parent, const char* name, const char* caption) {
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

}  // namespace zelk
