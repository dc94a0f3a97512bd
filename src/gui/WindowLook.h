// Fonts and colours shared by the windows. The controls have fixed sizes
// measured for a narrow sans-serif face and a fixed-pitch face for the
// text boxes; the fonts chosen here keep every caption inside its control
// whatever fonts the desktop has.
#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QPushButton;
class QWidget;


namespace zelk {

// The named family when installed, else the desktop's sans-serif font;
// point size 8, the size the fixed widths of the layout allow.
QFont SansFont(const char* family = "Arial");
// "Courier New" when installed, else the desktop's fixed font.
QFont FixedFont();
// A colour stored as a 32-bit integer in the settings (0x00BBGGRR).
QColor ColorFromInt(int32_t value);

// The layout routines of the main window.
void SetBackColorOfControls(QWidget* frm, const QColor& color);
void SetForeColorOfControls(QWidget* frm, const QColor& color);
// A button or label named for the tests and the accessibility tree. Buttons
// are not auto-default: Enter presses the focused one, not a hidden default.
QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption);
QLabel* NamedLabel(QWidget* parent, const char* name, const char* caption);

void SetFontOfControls(QWidget* frm, const QFont& font, bool includeTextBoxes, bool includeButtons);

}  // namespace zelk
