// The main window's controls, their captions and their places. The window
// was drawn in twips at 15 twips per pixel: 10620 x 7900 twips is 708 x 527
// pixels for the whole window, of which about 30 pixels are the title bar
// and borders, so the client area is 708 x 497.
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "gui/Accessibility.h"
#include "shell/gui/FrmMain.h"
#include "gui/GuiServices.h"
#include "gui/WindowLook.h"

namespace zelk {

namespace {
constexpr int kFrameAllowance = kFrameAllowancePx;
constexpr int kRowHeight = 23;

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    return NamedButton(parent, name, caption);
}
QLabel* Label(QWidget* parent, const char* name, const char* caption) {
    return NamedLabel(parent, name, caption);
}
QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
    auto* c = new QCheckBox(QString::fromLatin1(caption), parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}
// A text box or list named by its label (see Accessibility.h).
template <class T>
T* Labelled(QWidget* parent, const char* name, QLabel* label) {
    auto* w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    label->setBuddy(w);
    return w;
}
// A text box whose label is the button beside it.
QLineEdit* Line(QWidget* parent, const char* name, const QString& accessible) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setAccessibleName(accessible);
    return e;
}
QPushButton* ClearButton(QWidget* parent, const char* name, const char* what) {
    QPushButton* b = Button(parent, name, "Clear");
    b->setAccessibleDescription(QStringLiteral("Clears ") + QString::fromLatin1(what));
    return b;
}
}  // namespace

void FrmMain::CreateControls() {
    setObjectName("frmMain");
    optSingleFile = new QRadioButton(this);
    optSingleFile->setObjectName("optSingleFile");
    optSingleFile->setAccessibleName(QStringLiteral("Single file"));
    optMultipleFiles = new QRadioButton(this);
    optMultipleFiles->setObjectName("optMultipleFiles");
    optMultipleFiles->setAccessibleName(QStringLiteral("Folder"));
    cmdInputFile = Button(this, "cmdInputFile", "Single file");
    txbInputFile = Line(this, "txbInputFile", QStringLiteral("Single file"));
    cmdClearInputFile = ClearButton(this, "cmdClearInputFile", "the input file");
    cmdFolder = Button(this, "cmdFolder", "Folder");
    txbFolder = Line(this, "txbFolder", QStringLiteral("Folder"));
    cmdClearFolder = ClearButton(this, "cmdClearFolder", "the folder");
    lblExcludeFilepathsContaining =
        Label(this, "lblExcludeFilepathsContaining", "Exclude filepaths containing:");
    txbExcludedFilepaths =
        Labelled<QLineEdit>(this, "txbExcludedFilepaths", lblExcludeFilepathsContaining);
    cmdClearExcludedFilepaths =
        ClearButton(this, "cmdClearExcludedFilepaths", "the excluded file paths");
    lblInsert = Label(this, "lblInsert", "Insert");
    chkInsertVPMT = Check(this, "chkInsertVPMT", "Viewport meta tag");
    chkInsertKWMT = Check(this, "chkInsertKWMT", "Keywords meta tag");
    lblVPMT = Label(this, "lblVPMT", "Viewport meta tag:");
    txbVPMT = Labelled<QLineEdit>(this, "txbVPMT", lblVPMT);
    cmdClearVPMT = ClearButton(this, "cmdClearVPMT", "the viewport meta tag");

    fraKWMT = new QGroupBox(this);
    fraKWMT->setObjectName("fraKWMT");
    fraKWMT->setAccessibleName(QStringLiteral("Keywords meta tag"));
    QWidget* f = fraKWMT;
    lblTitleWeight = Label(f, "lblTitleWeight", "TITLE weight:");
    cboTitleWeight = Labelled<QComboBox>(f, "cboTitleWeight", lblTitleWeight);
    lblDescriptionWeight = Label(f, "lblDescriptionWeight", "Description weight:");
    cboDescriptionWeight = Labelled<QComboBox>(f, "cboDescriptionWeight", lblDescriptionWeight);
    lblExistingKeywordsWeight = Label(f, "lblExistingKeywordsWeight", "Existing keywords weight:");
    cboExistingKeywordsWeight =
        Labelled<QComboBox>(f, "cboExistingKeywordsWeight", lblExistingKeywordsWeight);
    lblBoldWeight = Label(f, "lblBoldWeight", "Bold/strong weight:");
    cboBoldWeight = Labelled<QComboBox>(f, "cboBoldWeight", lblBoldWeight);
    lblItalicWeight = Label(f, "lblItalicWeight", "Italic/emphasis weight:");
    cboItalicWeight = Labelled<QComboBox>(f, "cboItalicWeight", lblItalicWeight);
    lblTableWeight = Label(f, "lblTableWeight", "TABLE weight:");
    cboTableWeight = Labelled<QComboBox>(f, "cboTableWeight", lblTableWeight);
    lblDivWeight = Label(f, "lblDivWeight", "DIV weight:");
    cboDivWeight = Labelled<QComboBox>(f, "cboDivWeight", lblDivWeight);
    lblSpanWeight = Label(f, "lblSpanWeight", "SPAN weight:");
    cboSpanWeight = Labelled<QComboBox>(f, "cboSpanWeight", lblSpanWeight);
    lblMaxNumKeywordsInMetaTag =
        Label(f, "lblMaxNumKeywordsInMetaTag", "Maximum number of keywords in meta tag:");
    txbMaxNumKeywordsInMetaTag =
        Labelled<QLineEdit>(f, "txbMaxNumKeywordsInMetaTag", lblMaxNumKeywordsInMetaTag);
    lblMaxNumBytesInMetaTag =
        Label(f, "lblMaxNumBytesInMetaTag", "Maximum number of bytes in keywords meta tag:");
    txbMaxNumBytesInMetaTag = Labelled<QLineEdit>(f, "txbMaxNumBytesInMetaTag", lblMaxNumBytesInMetaTag);
    lblBeginMetaTagWith = Label(f, "lblBeginMetaTagWith", "Begin meta tag with:");
    txbBeginMetaTagWith = Labelled<QLineEdit>(f, "txbBeginMetaTagWith", lblBeginMetaTagWith);
    cmdClearBeginMetaTagWith =
        ClearButton(f, "cmdClearBeginMetaTagWith", "the text the meta tag begins with");
    chkForwardSlash = Check(f, "chkForwardSlash", "close keywords meta tag with ' />'");
    chkIgnoreCommonWords = Check(f, "chkIgnoreCommonWords", "Ignore common words");
    lblLanguageOfText = Label(f, "lblLanguageOfText", "Ignore common words in");
    cboLanguage = Labelled<QComboBox>(f, "cboLanguage", lblLanguageOfText);
    chkPreserveCase = Check(f, "chkPreserveCase", "Keep upper/lower case ");
    chkIgnoreShortWords = Check(f, "chkIgnoreShortWords", "Ignore words with fewer than");
    lblCharsOrLess = Label(f, "lblCharsOrLess", "characters");
    // The check box before the list says what the number is; the label
    // after it only gives the unit.
    cboShortWordSize = Labelled<QComboBox>(f, "cboShortWordSize", lblCharsOrLess);
    cboShortWordSize->setAccessibleDescription(chkIgnoreShortWords->text());
    lblThresholdFrequency = Label(f, "lblThresholdFrequency", "Minimum frequency for word:");
    cboThresholdFrequency = Labelled<QComboBox>(f, "cboThresholdFrequency", lblThresholdFrequency);

    cmdListWords = Button(this, "cmdListWords", "List words");
    cmdGenerateKeywordMetaTag =
        Button(this, "cmdGenerateKeywordMetaTag", "Generate/show/edit keywords meta tag");
    cmdShowExistingKeywordMetaTag =
        Button(this, "cmdShowExistingKeywordMetaTag", "Show existing keywords, etc.");
    cmdInsert = Button(this, "cmdInsert", "Insert both meta tags into file");
    // Shown only when the button tables of the mode call for them.
    cmdGenerateKeywordMetaTag->hide();
    cmdInsert->hide();
    // Both labels are read by their current text (the count, the progress).
    lblNumberOfWords = Label(this, "lblNumberOfWords", "");
    lblNumberOfWords->setAccessibleDescription(QStringLiteral("Number of words"));
    txbMetaTag = new QPlainTextEdit(this);
    txbMetaTag->setObjectName("txbMetaTag");
    txbMetaTag->setAccessibleName(QStringLiteral("Output"));
    txbMetaTag->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txbMetaTag->setTabChangesFocus(true);

    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::StyledPanel);
    QWidget* g = Frame1;
    cmdClearOutput = ClearButton(g, "cmdClearOutput", "the output box");
    cmdCopyMetaTag = Button(g, "cmdCopyMetaTag", "Copy");
    chkLargeWindow = Check(g, "chkLargeWindow", "Large window");
    cmdSave = Button(g, "cmdSave", "Save settings");
    cmdReset = Button(g, "cmdReset", "Reset to default values");
    cmdHelp = Button(g, "cmdHelp", "Help");
    cmdQuit = Button(g, "cmdQuit", "Quit");
    lblPublisher = new LinkLabel(QStringLiteral("About"), g);
    lblPublisher->setObjectName("lblPublisher");
    lblMetaTagInserted = Label(g, "lblMetaTagInserted", "");
    lblMetaTagInserted->setAccessibleDescription(QStringLiteral("Progress"));
    lblOnlineDocumentation = new LinkLabel(QStringLiteral("Online user manual"), g);
    lblOnlineDocumentation->setObjectName("lblOnlineDocumentation");
    for (LinkLabel* link : {lblPublisher, lblOnlineDocumentation}) {
        QFont lf = link->font();
        lf.setUnderline(true);
        link->setFont(lf);
        QPalette p = link->palette();
        p.setColor(QPalette::WindowText, QColor(0, 0, 0xC0));
        link->setPalette(p);
    }
    connect(lblPublisher, &LinkLabel::activated, this, [this] { lblPublisher_Click(); });
    connect(lblOnlineDocumentation, &LinkLabel::activated, this,
            [this] { lblOnlineDocumentation_Click(); });
    lblMetaTagInserted->setAlignment(Qt::AlignCenter);
    Timer1.setObjectName("Timer1");
    Timer1.setInterval(1000);
}

void FrmMain::PlaceControls() {
    const int W = 708;
    const int clear = 58;                    // width of a Clear button
    const int clearX = W - 8 - clear;        // its left edge
    const int boxX = 130;
    const int boxW = clearX - 6 - boxX;
    int y = 5;
    auto row = [&](QWidget* w, int x, int width) { w->setGeometry(x, y, width, kRowHeight); };
    row(optSingleFile, 8, 18);
    row(cmdInputFile, 28, 96);
    row(txbInputFile, boxX, boxW);
    row(cmdClearInputFile, clearX, clear);
    y += 26;
    row(optMultipleFiles, 8, 18);
    row(cmdFolder, 28, 96);
    row(txbFolder, boxX, boxW);
    row(cmdClearFolder, clearX, clear);
    y += 26;
    row(lblExcludeFilepathsContaining, 28, 170);
    row(txbExcludedFilepaths, 200, clearX - 6 - 200);
    row(cmdClearExcludedFilepaths, clearX, clear);
    y += 26;
    row(lblInsert, 8, 40);
    row(chkInsertVPMT, boxX, 150);
    row(chkInsertKWMT, boxX + 160, 160);
    y += 24;
    row(lblVPMT, 8, 120);
    row(txbVPMT, boxX, boxW);
    row(cmdClearVPMT, clearX, clear);
    y += 27;

    const int p = 22;  // row pitch inside the frame
    const int r0 = 8;
    const int frameHeight = r0 + 7 * p + 4;
    fraKWMT->setGeometry(8, y, W - 16, frameHeight);
    auto at = [](QWidget* w, int x, int yy, int width) { w->setGeometry(x, yy, width, 21); };
    QLabel* col1[] = {lblTitleWeight, lblDescriptionWeight, lblExistingKeywordsWeight, lblBoldWeight};
    QComboBox* col1c[] = {cboTitleWeight, cboDescriptionWeight, cboExistingKeywordsWeight,
                          cboBoldWeight};
    QLabel* col2[] = {lblItalicWeight, lblTableWeight, lblDivWeight, lblSpanWeight};
    QComboBox* col2c[] = {cboItalicWeight, cboTableWeight, cboDivWeight, cboSpanWeight};
    // Column widths follow the captions in the font in use, so that no label
    // is cut whatever sans-serif face the desktop supplies.
    auto textWidth = [](QWidget* w) {
        QString t;
        if (auto* l = qobject_cast<QLabel*>(w)) t = l->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(w)) t = b->text();
        return w->fontMetrics().horizontalAdvance(t) + 6;
    };
    int w1 = 120, w2 = 110, w3 = 200;
    for (int i = 0; i < 4; ++i) {
        w1 = std::max(w1, textWidth(col1[i]));
        w2 = std::max(w2, textWidth(col2[i]));
    }
    w3 = std::max({w3, textWidth(lblMaxNumKeywordsInMetaTag), textWidth(lblMaxNumBytesInMetaTag)});
    const int inner = W - 16;
    const int combo1 = 48, combo2 = 44, box3 = 34, gap = 8;
    const int spare = inner - (8 + w1 + combo1 + gap + w2 + combo2 + gap + w3 + box3 + 6);
    if (spare < 0) w3 += spare;  // the last column gives way first
    const int c1c = 8 + w1;
    const int c2 = c1c + combo1 + gap + std::max(0, spare) / 2;
    const int c2c = c2 + w2;
    const int c3 = c2c + combo2 + gap;
    const int c3box = inner - 6 - box3;
    for (int i = 0; i < 4; ++i) {
        at(col1[i], 8, r0 + i * p, w1);
        at(col1c[i], c1c, r0 + i * p, combo1);
        at(col2[i], c2, r0 + i * p, w2);
        at(col2c[i], c2c, r0 + i * p, combo2);
    }
    at(lblMaxNumKeywordsInMetaTag, c3, r0, c3box - c3);
    at(txbMaxNumKeywordsInMetaTag, c3box, r0, box3);
    at(lblMaxNumBytesInMetaTag, c3, r0 + p, c3box - c3);
    at(txbMaxNumBytesInMetaTag, c3box, r0 + p, box3);
    const int wb = textWidth(lblBeginMetaTagWith);
    at(lblBeginMetaTagWith, c3, r0 + 2 * p, wb);
    at(cmdClearBeginMetaTagWith, inner - 6 - 44, r0 + 2 * p, 44);
    at(txbBeginMetaTagWith, c3 + wb, r0 + 2 * p, inner - 6 - 44 - 4 - (c3 + wb));
    at(chkForwardSlash, c3, r0 + 3 * p, inner - 6 - c3);
    at(lblLanguageOfText, 8, r0 + 4 * p, w1);
    at(cboLanguage, c1c, r0 + 4 * p, 132);
    at(chkIgnoreCommonWords, c3, r0 + 4 * p, inner - 6 - c3);
    const int ws = textWidth(chkIgnoreShortWords) + 20;
    at(chkIgnoreShortWords, 8, r0 + 5 * p, ws);
    at(cboShortWordSize, 8 + ws, r0 + 5 * p, 44);
    at(lblCharsOrLess, 8 + ws + 48, r0 + 5 * p, textWidth(lblCharsOrLess));
    at(lblThresholdFrequency, c3, r0 + 5 * p, c3box - c3);
    at(cboThresholdFrequency, c3box - 6, r0 + 5 * p, box3 + 6);
    at(chkPreserveCase, 8, r0 + 6 * p, c2 - 8 + w2);
    y += frameHeight + 5;

    const int bh = 25;
    // The four command buttons share the row in proportion to their longest
    // captions (the Generate and Insert captions change with the mode and
    // the Insert caption turns bold).
    auto widest = [](QPushButton* b, std::initializer_list<const char*> captions, bool bold) {
        QFont f = b->font();
        f.setBold(bold);
        const QFontMetrics fm(f);
        int w = 0;
        for (const char* c : captions) w = std::max(w, fm.horizontalAdvance(QString::fromLatin1(c)));
        return w + 16;
    };
    int bw[4] = {
        widest(cmdListWords, {"List words", "Stop"}, false),
        widest(cmdGenerateKeywordMetaTag,
               {"Generate/show/edit keywords meta tag", "Show/edit/insert keywords meta tags into files"},
               false),
        widest(cmdShowExistingKeywordMetaTag, {"Show existing keywords, etc.", "Settings for multiple files"},
               false),
        widest(cmdInsert,
               {"Insert keywords meta tag into file", "Insert viewport meta tag into file",
                "Insert both meta tags into file"},
               true)};
    const int rowWidth = W - 16 - 3 * 4;
    const int need = bw[0] + bw[1] + bw[2] + bw[3];
    for (int& w : bw) w = w * rowWidth / need;
    bw[3] = rowWidth - bw[0] - bw[1] - bw[2];
    int bx = 8;
    QPushButton* row4[] = {cmdListWords, cmdGenerateKeywordMetaTag, cmdShowExistingKeywordMetaTag, cmdInsert};
    for (int i = 0; i < 4; ++i) {
        row4[i]->setGeometry(bx, y, bw[i], bh);
        bx += bw[i] + 4;
    }
    y += bh + 4;
    lblNumberOfWords->setGeometry(8, y, 400, 16);
    y += 18;
    txbMetaTag->setGeometry(8, y, W - 16, 100);

    Frame1->setGeometry(8, 0, W - 16, 56);
    int x = 4;
    auto fb = [&](QWidget* w, int width) {
        w->setGeometry(x, 5, width, 24);
        x += width + 5;
    };
    fb(cmdClearOutput, 52);
    fb(cmdCopyMetaTag, 128);
    fb(chkLargeWindow, 104);
    fb(cmdSave, 100);
    fb(cmdReset, 150);
    fb(cmdHelp, 58);
    fb(cmdQuit, Frame1->width() - 4 - x);
    lblPublisher->setGeometry(6, 33, 150, 18);
    lblOnlineDocumentation->setGeometry(Frame1->width() - 6 - 130, 33, 130, 18);
    lblOnlineDocumentation->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The batch progress line stands between the two links.
    const int left = lblPublisher->x() + lblPublisher->width();
    lblMetaTagInserted->setGeometry(left, 33, lblOnlineDocumentation->x() - left, 18);

    setFixedWidth(W);
    resize(W, 7900 / twipsPerPixel_ - kFrameAllowance);
    ApplyOutputBoxFormula();
}

// The output box takes the height the window leaves it, and Frame1 sits just
// below it: height - top - Frame1 height - 660 twips, Frame1 100 twips under.
void FrmMain::ApplyOutputBoxFormula() {
    const int windowHeight = height() + kFrameAllowance;
    const int h = windowHeight - txbMetaTag->y() - Frame1->height() - 660 / twipsPerPixel_;
    txbMetaTag->setFixedHeight(std::max(h, 40));
    Frame1->move(Frame1->x(), txbMetaTag->y() + txbMetaTag->height() + 100 / twipsPerPixel_);
}

}  // namespace zelk
