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

#include "shell/gui/FrmMain.h"
#include "shell/gui/WindowLook.h"

namespace zelk {

namespace {
// Pixels the original window spent on its title bar and borders; the
// window-height formulas (large window, output box) count them in.
constexpr int kFrameAllowance = 30;
constexpr int kRowHeight = 23;

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAccessibleName(b->text());
    b->setAutoDefault(false);
    return b;
}
QLabel* Label(QWidget* parent, const char* name, const char* caption) {
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAccessibleName(l->text());
    return l;
}
QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
    auto* c = new QCheckBox(QString::fromLatin1(caption), parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setAccessibleName(c->text());
    return c;
}
QLineEdit* Line(QWidget* parent, const char* name, const QString& accessible) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setAccessibleName(accessible);
    return e;
}
QComboBox* Combo(QWidget* parent, const char* name, const QString& accessible) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setAccessibleName(accessible);
    return c;
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
    cmdClearInputFile = Button(this, "cmdClearInputFile", "Clear");
    cmdFolder = Button(this, "cmdFolder", "Folder");
    txbFolder = Line(this, "txbFolder", QStringLiteral("Folder"));
    cmdClearFolder = Button(this, "cmdClearFolder", "Clear");
    lblExcludeFilepathsContaining =
        Label(this, "lblExcludeFilepathsContaining", "Exclude filepaths containing:");
    txbExcludedFilepaths =
        Line(this, "txbExcludedFilepaths", lblExcludeFilepathsContaining->text());
    cmdClearExcludedFilepaths = Button(this, "cmdClearExcludedFilepaths", "Clear");
    lblInsert = Label(this, "lblInsert", "Insert");
    chkInsertVPMT = Check(this, "chkInsertVPMT", "Viewport meta tag");
    chkInsertKWMT = Check(this, "chkInsertKWMT", "Keywords meta tag");
    lblVPMT = Label(this, "lblVPMT", "Viewport meta tag:");
    txbVPMT = Line(this, "txbVPMT", lblVPMT->text());
    cmdClearVPMT = Button(this, "cmdClearVPMT", "Clear");

    fraKWMT = new QGroupBox(this);
    fraKWMT->setObjectName("fraKWMT");
    fraKWMT->setAccessibleName(QStringLiteral("Keywords meta tag"));
    QWidget* f = fraKWMT;
    lblTitleWeight = Label(f, "lblTitleWeight", "TITLE weight:");
    cboTitleWeight = Combo(f, "cboTitleWeight", lblTitleWeight->text());
    lblDescriptionWeight = Label(f, "lblDescriptionWeight", "Description weight:");
    cboDescriptionWeight = Combo(f, "cboDescriptionWeight", lblDescriptionWeight->text());
    lblExistingKeywordsWeight = Label(f, "lblExistingKeywordsWeight", "Existing keywords weight:");
    cboExistingKeywordsWeight =
        Combo(f, "cboExistingKeywordsWeight", lblExistingKeywordsWeight->text());
    lblBoldWeight = Label(f, "lblBoldWeight", "Bold/strong weight:");
    cboBoldWeight = Combo(f, "cboBoldWeight", lblBoldWeight->text());
    lblItalicWeight = Label(f, "lblItalicWeight", "Italic/emphasis weight:");
    cboItalicWeight = Combo(f, "cboItalicWeight", lblItalicWeight->text());
    lblTableWeight = Label(f, "lblTableWeight", "TABLE weight:");
    cboTableWeight = Combo(f, "cboTableWeight", lblTableWeight->text());
    lblDivWeight = Label(f, "lblDivWeight", "DIV weight:");
    cboDivWeight = Combo(f, "cboDivWeight", lblDivWeight->text());
    lblSpanWeight = Label(f, "lblSpanWeight", "SPAN weight:");
    cboSpanWeight = Combo(f, "cboSpanWeight", lblSpanWeight->text());
    lblMaxNumKeywordsInMetaTag =
        Label(f, "lblMaxNumKeywordsInMetaTag", "Maximum number of keywords in meta tag:");
    txbMaxNumKeywordsInMetaTag =
        Line(f, "txbMaxNumKeywordsInMetaTag", lblMaxNumKeywordsInMetaTag->text());
    lblMaxNumBytesInMetaTag =
        Label(f, "lblMaxNumBytesInMetaTag", "Maximum number of bytes in keywords meta tag:");
    txbMaxNumBytesInMetaTag = Line(f, "txbMaxNumBytesInMetaTag", lblMaxNumBytesInMetaTag->text());
    lblBeginMetaTagWith = Label(f, "lblBeginMetaTagWith", "Begin meta tag with:");
    txbBeginMetaTagWith = Line(f, "txbBeginMetaTagWith", lblBeginMetaTagWith->text());
    cmdClearBeginMetaTagWith = Button(f, "cmdClearBeginMetaTagWith", "Clear");
    chkForwardSlash = Check(f, "chkForwardSlash", "close keywords meta tag with ' />'");
    chkIgnoreCommonWords = Check(f, "chkIgnoreCommonWords", "Ignore common words");
    lblLanguageOfText = Label(f, "lblLanguageOfText", "Ignore common words in");
    cboLanguage = Combo(f, "cboLanguage", lblLanguageOfText->text());
    chkPreserveCase = Check(f, "chkPreserveCase", "Keep upper/lower case ");
    chkIgnoreShortWords = Check(f, "chkIgnoreShortWords", "Ignore words with fewer than");
    cboShortWordSize = Combo(f, "cboShortWordSize", chkIgnoreShortWords->text());
    lblCharsOrLess = Label(f, "lblCharsOrLess", "characters");
    lblThresholdFrequency = Label(f, "lblThresholdFrequency", "Minimum frequency for word:");
    cboThresholdFrequency = Combo(f, "cboThresholdFrequency", lblThresholdFrequency->text());

    cmdListWords = Button(this, "cmdListWords", "List words");
    cmdGenerateKeywordMetaTag =
        Button(this, "cmdGenerateKeywordMetaTag", "Generate/show/edit keywords meta tag");
    cmdShowExistingKeywordMetaTag =
        Button(this, "cmdShowExistingKeywordMetaTag", "Show existing keywords, etc.");
    cmdInsert = Button(this, "cmdInsert", "Insert both meta tags into file");
    lblNumberOfWords = Label(this, "lblNumberOfWords", "");
    lblNumberOfWords->setAccessibleName(QStringLiteral("Number of words"));
    txbMetaTag = new QPlainTextEdit(this);
    txbMetaTag->setObjectName("txbMetaTag");
    txbMetaTag->setAccessibleName(QStringLiteral("Output"));
    txbMetaTag->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txbMetaTag->setTabChangesFocus(true);

    Frame1 = new QFrame(this);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::StyledPanel);
    QWidget* g = Frame1;
    cmdClearOutput = Button(g, "cmdClearOutput", "Clear");
    cmdCopyMetaTag = Button(g, "cmdCopyMetaTag", "Copy");
    chkLargeWindow = Check(g, "chkLargeWindow", "Large window");
    cmdSave = Button(g, "cmdSave", "Save settings");
    cmdReset = Button(g, "cmdReset", "Reset to default values");
    cmdHelp = Button(g, "cmdHelp", "Help");
    cmdQuit = Button(g, "cmdQuit", "Quit");
    lblPublisher = Label(g, "lblPublisher", "About");
    lblMetaTagInserted = Label(g, "lblMetaTagInserted", "");
    lblMetaTagInserted->setAccessibleName(QStringLiteral("Progress"));
    lblOnlineDocumentation = Label(g, "lblOnlineDocumentation", "Online user manual");
    for (QLabel* link : {lblPublisher, lblOnlineDocumentation}) {
        link->setCursor(Qt::PointingHandCursor);
        QFont lf = link->font();
        lf.setUnderline(true);
        link->setFont(lf);
        QPalette p = link->palette();
        p.setColor(QPalette::WindowText, QColor(0, 0, 0xC0));
        link->setPalette(p);
        link->installEventFilter(this);
    }
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
    const int c2 = 218, c3 = 406;
    for (int i = 0; i < 4; ++i) {
        at(col1[i], 8, r0 + i * p, 148);
        at(col1c[i], 158, r0 + i * p, 50);
        at(col2[i], c2, r0 + i * p, 132);
        at(col2c[i], 352, r0 + i * p, 44);
    }
    at(lblMaxNumKeywordsInMetaTag, c3, r0, 234);
    at(txbMaxNumKeywordsInMetaTag, 642, r0, 38);
    at(lblMaxNumBytesInMetaTag, c3, r0 + p, 234);
    at(txbMaxNumBytesInMetaTag, 642, r0 + p, 38);
    at(lblBeginMetaTagWith, c3, r0 + 2 * p, 120);
    at(txbBeginMetaTagWith, 528, r0 + 2 * p, 100);
    at(cmdClearBeginMetaTagWith, 632, r0 + 2 * p, 48);
    at(chkForwardSlash, c3, r0 + 3 * p, 274);
    at(lblLanguageOfText, 8, r0 + 4 * p, 148);
    at(cboLanguage, 158, r0 + 4 * p, 132);
    at(chkIgnoreCommonWords, c3, r0 + 4 * p, 274);
    at(chkIgnoreShortWords, 8, r0 + 5 * p, 190);
    at(cboShortWordSize, 200, r0 + 5 * p, 44);
    at(lblCharsOrLess, 250, r0 + 5 * p, 100);
    at(lblThresholdFrequency, c3, r0 + 5 * p, 234);
    at(cboThresholdFrequency, 642, r0 + 5 * p, 38);
    at(chkPreserveCase, 8, r0 + 6 * p, 274);
    y += frameHeight + 5;

    const int bh = 25;
    cmdListWords->setGeometry(8, y, 76, bh);
    cmdGenerateKeywordMetaTag->setGeometry(88, y, 262, bh);
    cmdShowExistingKeywordMetaTag->setGeometry(354, y, 168, bh);
    cmdInsert->setGeometry(526, y, W - 8 - 526, bh);
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
