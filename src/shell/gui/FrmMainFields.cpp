// The input fields of the main window: pickers, Clear buttons, the limit
// boxes, the exclusion list, the viewport box, and the change events that
// make the next Generate or List words read the document again.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "batch/ExclusionList.h"
#include "analysis/Analyzer.h"
#include "analysis/InputFile.h"
#include "common/FileProc.h"
#include "common/StrProc.h"
#include "insertion/Insert.h"
#include "insertion/Viewport.h"
#include "gui/Accessibility.h"
#include "shell/gui/FrmMain.h"
#include "shell/gui/MainAnalysisHost.h"
#include "gui/QtText.h"

namespace zelk {

namespace {
constexpr int kDefaultKeywords = 15;
constexpr int kLeastKeywords = 3;
constexpr int kGreatestKeywords = 30;
constexpr int kDefaultBytes = 150;
constexpr int kGreatestBytes = 300;

void BindText(QLineEdit* e, std::string& field) {
    QObject::connect(e, &QLineEdit::textChanged, e,
                     [&field](const QString& t) { field = FromQLine(t); });
}
void BindCheck(QCheckBox* c, int& field) {
    QObject::connect(c, &QCheckBox::toggled, c, [&field](bool on) { field = on ? 1 : 0; });
}
}  // namespace

void FrmMain::ConnectControls() {
    BindText(txbVPMT, settings.VPMT);
    BindText(txbBeginMetaTagWith, settings.BeginMetaTagWith);
    BindText(txbExcludedFilepaths, settings.ExcludedFilepaths);
    BindText(txbMaxNumKeywordsInMetaTag, settings.MaxNumKeywordsInMetaTag);
    BindText(txbMaxNumBytesInMetaTag, settings.MaxNumBytesInMetaTag);
    BindCheck(chkForwardSlash, settings.ForwardSlash);
    BindCheck(chkInsertKWMT, settings.InsertKWMT);
    BindCheck(chkInsertVPMT, settings.InsertVPMT);
    BindCheck(chkPreserveCase, settings.PreserveCase);
    BindCheck(chkIgnoreCommonWords, settings.IgnoreCommonWords);
    BindCheck(chkIgnoreShortWords, settings.IgnoreShortWords);
    BindCheck(chkLargeWindow, settings.LargeWindow);
    connect(chkInsertKWMT, &QCheckBox::toggled, this, [this] { chkInsertKWMT_Click(); });
    connect(chkInsertVPMT, &QCheckBox::toggled, this, [this] { chkInsertVPMT_Click(); });
    connect(chkLargeWindow, &QCheckBox::toggled, this, [this] { chkLargeWindow_Click(); });
    connect(optSingleFile, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        settings.SingleFile = true;
        optSingleFile_Click();
    });
    connect(optMultipleFiles, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        settings.SingleFile = false;
        optMultipleFiles_Click();
    });

    struct ComboField {
        QComboBox* combo;
        int* field;
    };
    const ComboField combos[] = {
        {cboTitleWeight, &settings.TitleWeight}, {cboDescriptionWeight, &settings.DescriptionWeight},
        {cboExistingKeywordsWeight, &settings.ExistingKeywordsWeight},
        {cboBoldWeight, &settings.BoldWeight}, {cboItalicWeight, &settings.ItalicWeight},
        {cboTableWeight, &settings.TableWeight}, {cboDivWeight, &settings.DivWeight},
        {cboSpanWeight, &settings.SpanWeight}, {cboShortWordSize, &settings.ShortWordSize},
        {cboThresholdFrequency, &settings.ThresholdFrequency}};
    for (const ComboField& cf : combos) {
        int* field = cf.field;
        connect(cf.combo, &QComboBox::currentIndexChanged, this, [this, field](int i) {
            *field = i;
            AnalysisSettingChanged();
        });
    }
    connect(cboLanguage, &QComboBox::currentIndexChanged, this, [this](int i) {
        settings.Language = i;
        cboLanguage_Click();
    });

    connect(cmdInputFile, &QPushButton::clicked, this, [this] { cmdInputFile_Click(); });
    connect(cmdClearInputFile, &QPushButton::clicked, this, [this] { cmdClearInputFile_Click(); });
    connect(cmdFolder, &QPushButton::clicked, this, [this] { cmdFolder_Click(); });
    connect(cmdClearFolder, &QPushButton::clicked, this, [this] { cmdClearFolder_Click(); });
    connect(cmdClearExcludedFilepaths, &QPushButton::clicked, this,
            [this] { cmdClearExcludedFilepaths_Click(); });
    connect(cmdClearVPMT, &QPushButton::clicked, this, [this] { cmdClearVPMT_Click(); });
    connect(cmdClearBeginMetaTagWith, &QPushButton::clicked, this,
            [this] { cmdClearBeginMetaTagWith_Click(); });
    connect(cmdClearOutput, &QPushButton::clicked, this, [this] { cmdClearOutput_Click(); });
    connect(cmdListWords, &QPushButton::clicked, this, [this] { Guarded([this] { cmdListWords_Click(); }); });
    connect(cmdGenerateKeywordMetaTag, &QPushButton::clicked, this,
            [this] { Guarded([this] { cmdGenerateKeywordMetaTag_Click(); }); });
    connect(cmdShowExistingKeywordMetaTag, &QPushButton::clicked, this,
            [this] { Guarded([this] { cmdShowExistingKeywordMetaTag_Click(); }); });
    connect(cmdInsert, &QPushButton::clicked, this, [this] { Guarded([this] { cmdInsert_Click(); }); });
    connect(cmdCopyMetaTag, &QPushButton::clicked, this, [this] { cmdCopyMetaTag_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { Guarded([this] { cmdSave_Click(); }); });
    connect(cmdReset, &QPushButton::clicked, this, [this] { cmdReset_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdQuit, &QPushButton::clicked, this, [this] { Guarded([this] { cmdQuit_Click(); }); });
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    // The copy button follows the busy state: whatever fills the output box
    // while the window is idle can be copied at once.
    connect(txbMetaTag, &QPlainTextEdit::textChanged, this, [this] {
        if (blnStartUpCompleted && !busy_ && !txbMetaTag->document()->isEmpty())
            cmdCopyMetaTag->setEnabled(true);
    });

    for (QLineEdit* e : {txbInputFile, txbFolder, txbExcludedFilepaths, txbVPMT,
                         txbMaxNumKeywordsInMetaTag, txbMaxNumBytesInMetaTag})
        e->installEventFilter(this);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !quitting_) {
        // A message box or another window taking the focus is not the user
        // leaving the box: only a move to another control of this window is.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            const bool outer = keyboardMove_;
            keyboardMove_ = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
            if (watched == txbInputFile) txbInputFile_LostFocus();
            else if (watched == txbFolder) txbFolder_LostFocus();
            else if (watched == txbExcludedFilepaths) txbExcludedFilepaths_LostFocus();
            else if (watched == txbVPMT) txbVPMT_LostFocus();
            else if (watched == txbMaxNumKeywordsInMetaTag) txbMaxNumKeywordsInMetaTag_LostFocus();
            else if (watched == txbMaxNumBytesInMetaTag) txbMaxNumBytesInMetaTag_LostFocus();
            keyboardMove_ = outer;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmMain::AnalysisSettingChanged() {
    analyzer_->InvalidateAnalysis();
    // A list changed by the arrow keys keeps the focus, so the user can go
    // on choosing; one changed by the mouse hands it on.
    if (LastInputWasKeyboard() && qobject_cast<QComboBox*>(QApplication::focusWidget())) return;
    SetTheFocus();
}

// After a box is left: a user moving on by Tab or Shift+Tab goes where the
// keyboard sent them; after a click the focus goes to the next sensible button.
void FrmMain::FocusAfterFieldChange() {
    if (!keyboardMove_) SetTheFocus();
}

void FrmMain::cboLanguage_Click() {
    if (blnStartUpCompleted) {
        const int language = cboLanguage->currentIndex();
        if (language >= 0 && commonWords.Count(language) == 0) {
            commonWords.ReportCommonWordsUnavailable(prompter(), language);
            chkIgnoreCommonWords->setChecked(false);
        }
    }
    AnalysisSettingChanged();
}

// ---------------------------------------------------------------- input file

void FrmMain::cmdInputFile_Click() {
    analyzer_->InvalidateAnalysis();
    const QString chosen = services_.picker->PickInputFile(
        this, QStringLiteral("Specify input file"),
        QStringLiteral("HTML files (*.htm, *.html, *.shtm, *.shtml) (*.htm *.html *.shtm *.shtml)"));
    if (chosen.isEmpty()) return;
    settings.InputFile = FromQLine(chosen);
    txbInputFile->setText(chosen);
    txbMetaTag->clear();
    lblNumberOfWords->clear();
    if (IsBAKfile(settings.InputFile)) {
        prompter().Message("This software does not act on '.bak.' files.",
                           FromQLine(cmdInputFile->text()), Icon::Information);
        txbInputFile->clear();
        SetTheFocus();
    } else {
        CheckInputFileSpec(*host_, settings.InputFile);
        SetTheFocus();
    }
}

void FrmMain::txbInputFile_LostFocus() {
    if (!isEnabled()) return;
    const std::string t = Trim(FromQLine(txbInputFile->text()));
    txbInputFile->setText(ToQLine(t));
    if (!t.empty()) CheckInputFileSpec(*host_, t);
    analyzer_->InvalidateAnalysis();
    FocusAfterFieldChange();
}

void FrmMain::cmdClearInputFile_Click() {
    txbInputFile->clear();
    analyzer_->InvalidateAnalysis();
    txbMetaTag->clear();
    lblNumberOfWords->clear();
    if (cmdInputFile->isEnabled()) cmdInputFile->setFocus();
}

// ---------------------------------------------------------------- folder

void FrmMain::cmdFolder_Click() {
    settings.Folder = FromQLine(services_.picker->PickFolder(this, QStringLiteral("Select Folder")));
    if (!settings.Folder.empty()) txbFolder->setText(ToQLine(settings.Folder));
}

void FrmMain::txbFolder_LostFocus() {
    const std::string t = Trim(FromQLine(txbFolder->text()));
    txbFolder->setText(ToQLine(t));
    if (!t.empty() && !FolderExists(t))
        prompter().Message("Folder does not exist.", "Invalid input", Icon::Exclamation);
    analyzer_->InvalidateAnalysis();
    FocusAfterFieldChange();
}

void FrmMain::cmdClearFolder_Click() {
    txbFolder->clear();
    if (cmdFolder->isEnabled()) cmdFolder->setFocus();
}

// ---------------------------------------------------------------- exclusion list

void FrmMain::txbExcludedFilepaths_LostFocus() {
    ExcludedFilepaths = ParseExclusionList(FromQLine(txbExcludedFilepaths->text()));
    txbExcludedFilepaths->setText(ToQLine(JoinExclusionList(ExcludedFilepaths)));
}

// ---------------------------------------------------------------- Clear buttons

void FrmMain::cmdClearExcludedFilepaths_Click() {
    txbExcludedFilepaths->clear();
    analyzer_->InvalidateAnalysis();
    SetTheFocus();
}

void FrmMain::cmdClearVPMT_Click() {
    txbVPMT->clear();
    chkInsertVPMT->setChecked(false);
}

void FrmMain::cmdClearBeginMetaTagWith_Click() {
    txbBeginMetaTagWith->clear();
    analyzer_->InvalidateAnalysis();
    SetTheFocus();
}

void FrmMain::cmdClearOutput_Click() {
    txbMetaTag->clear();
    lblNumberOfWords->clear();
    analyzer_->InvalidateAnalysis();
    SetTheFocus();
}

// ---------------------------------------------------------------- viewport box

void FrmMain::txbVPMT_LostFocus() {
    std::string tag = FromQLine(txbVPMT->text());
    int16_t validity = 0;
    VPMTvalid(tag, validity);
    if (validity == -1) {
        prompter().Message("Viewport meta tag is invalid.", "Invalid entry", Icon::Exclamation);
    } else if (validity == 0) {
        chkInsertVPMT->setChecked(false);
    } else {
        SetActionButtons();
    }
}

// ---------------------------------------------------------------- limit boxes

void FrmMain::KeepInteger(std::string& s, bool allowMinus) {
    bool digit = false, plus = false, minus = false;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        bool keep = false;
        if (c >= '0' && c <= '9') {
            keep = true;
            digit = true;
        } else if (c == '+' && !digit && !plus) {
            keep = true;
            plus = true;
        } else if (c == '-' && allowMinus && !digit && !minus) {
            keep = true;
            minus = true;
        }
        if (keep) ++i;
        else s.erase(i, 1);
    }
}

namespace {
void CaretToEnd(QLineEdit* e) {
    e->setFocus(Qt::OtherFocusReason);
    e->setCursorPosition(static_cast<int>(e->text().size()));
}
}  // namespace

void FrmMain::txbMaxNumKeywordsInMetaTag_LostFocus() {
    std::string t = FromQLine(txbMaxNumKeywordsInMetaTag->text());
    KeepInteger(t, false);
    txbMaxNumKeywordsInMetaTag->setText(ToQLine(t));
    if (t.empty()) {
        txbMaxNumKeywordsInMetaTag->setText(QString::number(kDefaultKeywords));
        return;
    }
    const double n = Val(t);
    if (n < kLeastKeywords) {
        prompter().Message("Minimum number of keywords in the meta tag is" + S(kLeastKeywords) + ".",
                           "Number of keywords", Icon::Information);
        txbMaxNumKeywordsInMetaTag->setText(QString::number(kDefaultKeywords));
        CaretToEnd(txbMaxNumKeywordsInMetaTag);
    } else if (n > kGreatestKeywords) {
        prompter().Message("Maximum number of keywords in the meta tag is" + S(kGreatestKeywords) + ".",
                           "Number of keywords", Icon::Information);
        txbMaxNumKeywordsInMetaTag->setText(QString::number(kGreatestKeywords));
        CaretToEnd(txbMaxNumKeywordsInMetaTag);
    }
}

void FrmMain::txbMaxNumBytesInMetaTag_LostFocus() {
    std::string t = FromQLine(txbMaxNumBytesInMetaTag->text());
    KeepInteger(t, false);
    txbMaxNumBytesInMetaTag->setText(ToQLine(t));
    if (!t.empty() && Val(t) > kGreatestBytes) {
        prompter().Message("Maximum number of bytes in the meta tag is" + S(kGreatestBytes) + ".",
                           globals.ProgramName, Icon::None);
        txbMaxNumBytesInMetaTag->setText(QString::number(kDefaultBytes));
        CaretToEnd(txbMaxNumBytesInMetaTag);
    }
}

}  // namespace zelk
