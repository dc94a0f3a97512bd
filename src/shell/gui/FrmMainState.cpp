// Start-up, the settings record and its controls, the two modes, the state of
// the command buttons, the one-second tick, the focus rule, Quit.
#include <QCheckBox>
#include <QClipboard>
#include <QApplication>
#include <QGuiApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "analysis/Analyzer.h"
#include "analysis/TextFile.h"
#include "batch/gui/FrmParameters.h"
#include "batch/gui/FrmReport.h"
#include "common/StrProc.h"
#include "insertion/Viewport.h"
#include "shell/SettingsFile.h"
#include "shell/gui/FrmMain.h"
#include "shell/gui/MainAnalysisHost.h"
#include "gui/QtText.h"
#include "gui/WindowLook.h"

namespace zelk {

namespace {
constexpr int kDefaultKeywords = 15;

}  // namespace

FrmMain::FrmMain(GuiServices services, std::string programFolder)
    : QWidget(nullptr), services_(services), programFolder_(std::move(programFolder)) {
    host_ = std::make_unique<MainAnalysisHost>(*this);
    analyzer_ = std::make_unique<Analyzer>(settings, commonWords, *host_, reportLog);
    commonWords.SetDataDir(programFolder_);
    reportLog.viewportText = [this] { return settings.VPMT; };
    CreateControls();
    PlaceControls();
    frmParameters_ = new FrmParameters(settings, this);
    frmParameters_->titleSource = [this] { return cmdShowExistingKeywordMetaTag->text(); };
    frmParameters_->keywordsFrameTop = [this] { return fraKWMT->y(); };
    frmParameters_->saveState = [this] { SaveState(); };
    ConnectControls();
}

FrmMain::~FrmMain() {
    Timer1.stop();
    delete frmReport_;
    delete frmParameters_;
}

bool FrmMain::SingleFileMode() const { return optSingleFile->isChecked(); }
bool FrmMain::DocumentAnalysed() const { return analyzer_->DocumentAnalysed; }
void FrmMain::InvalidateAnalysis() { analyzer_->InvalidateAnalysis(); }

void FrmMain::Wait(double seconds) {
    if (services_.desktop) services_.desktop->Wait(seconds);
}

std::string FrmMain::OutputText() const { return FromQ(txbMetaTag->toPlainText()); }
void FrmMain::SetOutputText(const std::string& text) { txbMetaTag->setPlainText(ToQ(text)); }

FrmReport* FrmMain::Report() {
    if (!frmReport_) {
        frmReport_ = new FrmReport(reportLog, this, [this] { return blnAutomaticInsertion; });
        frmReport_->setWindowIcon(windowIcon());
        connect(frmReport_, &QObject::destroyed, this, [this] { frmReport_ = nullptr; });
    }
    return frmReport_;
}

bool FrmMain::ReportVisible() const { return frmReport_ && frmReport_->isVisible(); }

// ---------------------------------------------------------------- start-up

bool FrmMain::Form_Load() {
    blnStartUpCompleted = false;
    strProgramTextFile = "zelk.dat";
    std::string message;
    if (!programText.LoadProgramText(ProgramTextPath(programFolder_, strProgramTextFile), message)) {
        prompter().Message(message, "", Icon::Critical);
        return false;
    }
    globals = SetGlobalValues(programText);

    FillComboBoxes();
    InitializeVariables();
    SetDefaultValues();
    RestoreState();

    move(Px(1000), Px(1000));

    SetBackColorOfControls(this, ColorFromInt(kDefaultBackColor));
    SetFontOfControls(this, FixedFont(), true, false);
    SetFontOfControls(this, SansFont(), false, true);
    PlaceControls();  // the widths follow the fonts just set
    lblPublisher->setText(ToQLine("About " + globals.ProgramName));
    lblPublisher->setAccessibleName(lblPublisher->text());

    txbMaxNumKeywordsInMetaTag->setText(QString::number(kDefaultKeywords));
    show();
    setWindowTitle(ToQLine(globals.ProgramName + " " + globals.VersionString));
    txbMaxNumKeywordsInMetaTag->setText(QString::number(kDefaultKeywords));

    if (optMultipleFiles->isChecked() && !txbInputFile->text().isEmpty()) cmdClearInputFile_Click();
    CheckInputFileSpec(*host_, FromQLine(txbInputFile->text()));

    cmdInsert->hide();
    if (SingleFileMode()) txbInputFile->setText(ToQLine(settings.InputFile));
    else txbFolder->setText(ToQLine(settings.Folder));
    cmdInsert->hide();

    Timer1.start();

    blnStartUpCompleted = true;
    EnableDisableButtons(false);
    cmdListWords->setEnabled(false);
    const bool unavailable = commonWords.ReadAllCommonWords(
        host_.get(), &prompter(), settings.Language, chkIgnoreCommonWords->isChecked(),
        [this] {
            host_->RepaintOutput();
            Wait(0.33);
        });
    if (unavailable) chkIgnoreCommonWords->setChecked(false);
    EnableDisableButtons(true);
    cmdListWords->setEnabled(true);

    repaint();
    txbVPMT_LostFocus();

    if (optMultipleFiles->isChecked() && !txbFolder->text().isEmpty()) {
        frmParameters_->show();
        cmdShowExistingKeywordMetaTag_Click();
        SetActionButtons();
    } else {
        SetActionButtons();
        SetTheFocus();
    }

    cmdCopyMetaTag->setText(ToQLine(programText.GetProgramText(text::CopyButtonCaption)));
    cmdCopyMetaTag->setAccessibleName(cmdCopyMetaTag->text());
    QFont f = cmdCopyMetaTag->font();
    f.setBold(false);
    cmdCopyMetaTag->setFont(f);
    cmdCopyMetaTag->setEnabled(!txbMetaTag->toPlainText().isEmpty());
    txbBeginMetaTagWith->setEnabled(true);
    repaint();
    return true;
}

void FrmMain::FillComboBoxes() {
    for (QComboBox* c : {cboTitleWeight, cboDescriptionWeight, cboExistingKeywordsWeight, cboBoldWeight,
                         cboItalicWeight, cboTableWeight, cboDivWeight, cboSpanWeight,
                         cboShortWordSize, cboThresholdFrequency, cboLanguage}) {
        const QSignalBlocker block(c);
        c->clear();
    }
    for (QComboBox* c : {cboTitleWeight, cboDescriptionWeight, cboExistingKeywordsWeight}) {
        const QSignalBlocker block(c);
        for (int i = 0; i <= 9; ++i) c->addItem(QString::number(i * 10));
    }
    for (QComboBox* c : {cboBoldWeight, cboItalicWeight, cboTableWeight, cboDivWeight, cboSpanWeight}) {
        const QSignalBlocker block(c);
        for (int i = 0; i <= 9; ++i) c->addItem(QString::number(i));
    }
    for (QComboBox* c : {cboShortWordSize, cboThresholdFrequency}) {
        const QSignalBlocker block(c);
        for (int i = 1; i <= 9; ++i) c->addItem(QString::number(i));
    }
    {
        const QSignalBlocker block(cboLanguage);
        for (const char* name : kLanguageNames) cboLanguage->addItem(QString::fromLatin1(name));
    }
    cboLanguage->setCurrentIndex(0);
    settings.Language = 0;
}

void FrmMain::InitializeVariables() {
    analyzer_->KeywordsGenerated = false;
    txbExcludedFilepaths->setText(QStringLiteral("404.htm"));
    strDefaultViewportMetaTag = kDefaultViewportMetaTag;
    chkInsertKWMT->setChecked(false);
    chkInsertVPMT->setChecked(false);
    chkInsertKWMT_Click();  // the keyword controls start hidden with the box unticked
    settings.BackColor = kDefaultBackColor;
    SetStateFilepath();
    analyzer_->DocumentAnalysed = false;
    optSingleFile->setChecked(true);
    txbMetaTag->clear();
    lblNumberOfWords->clear();
    txbInputFile->clear();
    txbFolder->clear();
    strNowProcessing = Analyzer::kNowProcessing;
    strNowGenerating = "Now generating meta tag ...";
    settings.InputFile.clear();
    settings.Folder.clear();
    singleFileOutput_.clear();
    multipleFilesOutput_.clear();
    frmParameters_->chkIncludeAllSubfolders->setChecked(false);
    frmParameters_->chkSaveStateOnQuit->setChecked(true);
    frmParameters_->chkSaveStateOnClose->setChecked(false);
    lblMetaTagInserted->hide();
}

void FrmMain::SetStateFilepath() {
    std::string error;
    StateFilepath = DataFilepath(StateFileName(globals.ProgramShortName), globals.DataFolderName, error);
    if (StateFilepath.empty()) {
        // Said once; the program goes on and simply does not save settings.
        prompter().Message(error.empty() ? std::string("The settings folder cannot be used.") : error,
                           globals.ProgramName, Icon::Exclamation);
    }
}

void FrmMain::SetDefaultValues() {
    zelk::SetDefaultValues(settings);
    analyzer_->InvalidateAnalysis();
    PushAllSettings();
    lblMetaTagInserted->clear();
}

void FrmMain::RestoreState() {
    bool ok = false;
    if (!StateFilepath.empty()) {
        ok = zelk::RestoreState(settings, StateFilepath, FromQLine(txbFolder->text()),
                                [this](int line) { PushSetting(line); });
    }
    if (!ok) SetDefaultValues();
}

// Puts the value of one line of the settings file into its control; setting
// the control raises its change event, as a user's change would.
void FrmMain::PushSetting(int line) {
    auto setText = [](QLineEdit* e, const std::string& v) {
        const QString q = ToQLine(v);
        if (e->text() != q) e->setText(q);
    };
    auto setCombo = [](QComboBox* c, int i) {
        if (i >= 0 && i < c->count()) c->setCurrentIndex(i);
    };
    switch (line) {
        case 1: setText(txbVPMT, settings.VPMT); break;
        case 4: setText(txbBeginMetaTagWith, settings.BeginMetaTagWith); break;
        case 5: setText(txbExcludedFilepaths, settings.ExcludedFilepaths); break;
        case 6: setText(txbMaxNumKeywordsInMetaTag, settings.MaxNumKeywordsInMetaTag); break;
        case 7: setText(txbMaxNumBytesInMetaTag, settings.MaxNumBytesInMetaTag); break;
        case 8: chkForwardSlash->setChecked(settings.ForwardSlash != 0); break;
        case 9: chkInsertKWMT->setChecked(settings.InsertKWMT != 0); break;
        case 10: chkInsertVPMT->setChecked(settings.InsertVPMT != 0); break;
        case 11: setCombo(cboLanguage, settings.Language); break;
        case 12: case 13: case 14: case 15: case 16: case 17:
            frmParameters_->SetFromSettings();
            break;
        case 18: case 20:
            if (settings.SingleFile) optSingleFile->setChecked(true);
            else optMultipleFiles->setChecked(true);
            break;
        default: break;
    }
}

void FrmMain::PushAllSettings() {
    for (int line = 1; line <= 18; ++line) PushSetting(line);
    auto setCombo = [](QComboBox* c, int i) {
        if (i >= 0 && i < c->count()) c->setCurrentIndex(i);
    };
    setCombo(cboTitleWeight, settings.TitleWeight);
    setCombo(cboDescriptionWeight, settings.DescriptionWeight);
    setCombo(cboExistingKeywordsWeight, settings.ExistingKeywordsWeight);
    setCombo(cboBoldWeight, settings.BoldWeight);
    setCombo(cboItalicWeight, settings.ItalicWeight);
    setCombo(cboTableWeight, settings.TableWeight);
    setCombo(cboDivWeight, settings.DivWeight);
    setCombo(cboSpanWeight, settings.SpanWeight);
    setCombo(cboShortWordSize, settings.ShortWordSize);
    setCombo(cboThresholdFrequency, settings.ThresholdFrequency);
    chkPreserveCase->setChecked(settings.PreserveCase != 0);
    chkIgnoreCommonWords->setChecked(settings.IgnoreCommonWords != 0);
    chkIgnoreShortWords->setChecked(settings.IgnoreShortWords != 0);
}

// ---------------------------------------------------------------- saving, quitting

bool FrmMain::SaveState() {
    if (StateFilepath.empty()) return false;  // the folder problem was reported at start-up
    std::string error;
    if (zelk::SaveState(settings, StateFilepath, error)) return true;
    prompter().Message("Error when attempting to save settings: " + error,
                       programText.GetProgramText(text::ListWordsCaption), Icon::Exclamation);
    return false;
}

void FrmMain::cmdQuit_Click() {
    if (quitting_) return;
    quitting_ = true;
    analyzer_->blnStop = true;  // a scan still running ends at its next step
    if (settings.SaveStateOnQuit == 1) SaveState();
    Timer1.stop();
    if (frmReport_) frmReport_->hide();
    frmParameters_->hide();
    hide();
    if (onQuit) onQuit();
}

void FrmMain::closeEvent(QCloseEvent* e) {
    cmdQuit_Click();
    e->accept();
}

// ---------------------------------------------------------------- modes

void FrmMain::optSingleFile_Click() {
    cmdFolder->setEnabled(false);
    txbFolder->setEnabled(false);
    cmdClearFolder->setEnabled(false);
    txbExcludedFilepaths->setEnabled(false);
    lblExcludeFilepathsContaining->setEnabled(false);
    cmdInputFile->setEnabled(true);
    txbInputFile->setEnabled(true);
    cmdClearInputFile->setEnabled(true);
    cmdListWords->setText(QStringLiteral("List words"));
    cmdListWords->setVisible(!txbInputFile->text().isEmpty());
    cmdListWords->setEnabled(true);
    lblMetaTagInserted->hide();
    if (blnStartUpCompleted) {
        txbInputFile->setText(ToQLine(settings.InputFile));
        settings.Folder = FromQLine(txbFolder->text());
        txbFolder->clear();
        multipleFilesOutput_ = OutputText();
        SetOutputText(singleFileOutput_);
    }
    cmdShowExistingKeywordMetaTag->setText(QStringLiteral("Show existing keywords, etc."));
    SetActionButtons();
}

void FrmMain::optMultipleFiles_Click() {
    if (ReportVisible()) {
        frmReport_->show();
        frmReport_->raise();
    }
    cmdListWords->hide();
    cmdInputFile->setEnabled(false);
    txbInputFile->setEnabled(false);
    cmdClearInputFile->setEnabled(false);
    cmdFolder->setEnabled(true);
    txbFolder->setEnabled(true);
    cmdClearFolder->setEnabled(true);
    txbExcludedFilepaths->setEnabled(true);
    lblExcludeFilepathsContaining->setEnabled(true);
    cmdShowExistingKeywordMetaTag->setText(QStringLiteral("Settings for multiple files"));
    lblMetaTagInserted->show();
    cmdInsert->hide();
    if (blnStartUpCompleted) {
        txbFolder->setText(ToQLine(settings.Folder));
        settings.InputFile = FromQLine(txbInputFile->text());
        txbInputFile->clear();
        singleFileOutput_ = OutputText();
        SetOutputText(multipleFilesOutput_);
    }
    lblNumberOfWords->clear();
    SetActionButtons();
    if (!txbFolder->text().isEmpty() && blnStartUpCompleted) cmdShowExistingKeywordMetaTag_Click();
}

// ---------------------------------------------------------------- tag choice and buttons

namespace {
void SetBold(QWidget* w, bool bold) {
    QFont f = w->font();
    if (f.bold() == bold) return;
    f.setBold(bold);
    w->setFont(f);
}
}  // namespace

void FrmMain::chkInsertKWMT_Click() {
    const bool on = chkInsertKWMT->isChecked();
    SetBold(chkInsertKWMT, on);
    fraKWMT->setVisible(on);
    lblLanguageOfText->setVisible(on);
    cboLanguage->setVisible(on);
    cmdListWords->setVisible(on);
    lblNumberOfWords->setVisible(on);
    SetGenerateButton();
    SetActionButtons();
}

void FrmMain::chkInsertVPMT_Click() {
    if (chkInsertVPMT->isChecked()) {
        std::string tag = FromQLine(txbVPMT->text());
        int16_t validity = 0;
        VPMTvalid(tag, validity);
        if (validity != 1) {
            chkInsertVPMT->setChecked(false);  // runs this handler again
            return;
        }
    }
    SetBold(chkInsertVPMT, chkInsertVPMT->isChecked());
    SetActionButtons();
}

void FrmMain::SetActionButtons() {
    if (!blnStartUpCompleted) return;
    cmdGenerateKeywordMetaTag->hide();
    cmdGenerateKeywordMetaTag->setEnabled(false);
    cmdInsert->hide();
    cmdInsert->setEnabled(false);
    const bool K = chkInsertKWMT->isChecked();
    const bool V = chkInsertVPMT->isChecked();
    const bool A = DocumentAnalysed();
    if (SingleFileMode()) {
        cmdListWords->show();
        if (!K && V) {
            cmdInsert->setText(QStringLiteral("Insert viewport meta tag into file"));
            cmdInsert->show();
            cmdInsert->setEnabled(true);
        } else if (K && !V) {
            cmdGenerateKeywordMetaTag->setText(QStringLiteral("Generate/show/edit keywords meta tag"));
            cmdGenerateKeywordMetaTag->show();
            cmdGenerateKeywordMetaTag->setEnabled(A);
            if (A) {
                cmdInsert->setText(QStringLiteral("Insert keywords meta tag into file"));
                cmdInsert->show();
            }
        } else if (K && V && A) {
            cmdGenerateKeywordMetaTag->show();
            cmdGenerateKeywordMetaTag->setEnabled(true);
            cmdInsert->setText(QStringLiteral("Insert both meta tags into file"));
            cmdInsert->show();
        }
    } else {
        cmdListWords->hide();
        if (K) {
            cmdGenerateKeywordMetaTag->setText(QStringLiteral("Show/edit/insert keywords meta tags into files"));
            cmdGenerateKeywordMetaTag->show();
            cmdGenerateKeywordMetaTag->setEnabled(true);
        } else if (V) {
            cmdGenerateKeywordMetaTag->setText(QStringLiteral("Insert viewport meta tag into files"));
            cmdGenerateKeywordMetaTag->show();
            cmdGenerateKeywordMetaTag->setEnabled(true);
        }
    }
    for (QPushButton* b : {cmdGenerateKeywordMetaTag, cmdInsert}) b->setAccessibleName(b->text());
}

void FrmMain::SetGenerateButton() {
    if (!blnStartUpCompleted) return;
    const bool K = chkInsertKWMT->isChecked();
    if (SingleFileMode()) {
        if (K) {
            cmdGenerateKeywordMetaTag->setText(QStringLiteral("Generate and show keywords meta tag"));
            cmdGenerateKeywordMetaTag->show();
            cmdGenerateKeywordMetaTag->setEnabled(DocumentAnalysed());
        } else {
            cmdGenerateKeywordMetaTag->hide();
        }
    } else {
        if (K) {
            cmdGenerateKeywordMetaTag->setText(QStringLiteral("Generate/show/insert keywords meta tag"));
            cmdGenerateKeywordMetaTag->show();
        } else {
            cmdGenerateKeywordMetaTag->hide();
        }
    }
    SetInsertButton();
}

void FrmMain::SetInsertButton() {
    if (!SingleFileMode()) {
        cmdInsert->hide();
        return;
    }
    const bool K = chkInsertKWMT->isChecked();
    const bool V = chkInsertVPMT->isChecked();
    const bool T = !txbMetaTag->toPlainText().isEmpty();
    if (K && V && T) {
        cmdInsert->setText(QStringLiteral("Insert both meta tags into file"));
        cmdInsert->show();
    } else if (K && T) {
        cmdInsert->setText(QStringLiteral("Insert keywords meta tag into file"));
        cmdInsert->show();
    } else if (V) {
        cmdInsert->setText(QStringLiteral("Insert viewport meta tag into file"));
        cmdInsert->show();
    } else {
        cmdInsert->hide();
    }
}

void FrmMain::EnableDisableButtons(bool blnX) {
    if (!blnX) {
        // Disabling the focused button would let the toolkit pass the focus
        // on to the next control, often a text box whose leaving handler
        // would then run at the end of the operation. Park it on the Stop
        // button (or the output box) instead.
        QWidget* f = QApplication::focusWidget();
        if (f && f != cmdListWords && f != txbMetaTag && isAncestorOf(f)) {
            if (!cmdListWords->isHidden()) cmdListWords->setFocus(Qt::OtherFocusReason);
            else txbMetaTag->setFocus(Qt::OtherFocusReason);
        }
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             cmdSave, cmdReset, cmdShowExistingKeywordMetaTag, cmdGenerateKeywordMetaTag,
             cmdClearInputFile, cmdClearBeginMetaTagWith, cmdHelp, cmdClearOutput, cmdCopyMetaTag,
             cmdClearVPMT, cmdClearExcludedFilepaths})
        w->setEnabled(blnX);
    if (!SingleFileMode()) {
        cmdInputFile->setEnabled(false);
        cmdClearInputFile->setEnabled(false);
        cmdFolder->setEnabled(blnX);
        cmdClearFolder->setEnabled(blnX);
        cmdListWords->setText(QStringLiteral("Stop"));
        cmdListWords->setEnabled(!blnX);
    } else {
        cmdInputFile->setEnabled(blnX);
        cmdClearInputFile->setEnabled(blnX);
        cmdFolder->setEnabled(false);
        cmdClearFolder->setEnabled(false);
        cmdListWords->setEnabled(true);
        cmdListWords->setText(blnX ? QStringLiteral("List words") : QStringLiteral("Stop"));
    }
    cmdListWords->setAccessibleName(cmdListWords->text());
    txbMaxNumKeywordsInMetaTag->setEnabled(blnX);
    txbMaxNumBytesInMetaTag->setEnabled(blnX);
    optSingleFile->setVisible(blnX);
    optMultipleFiles->setVisible(blnX);
    txbInputFile->setReadOnly(!blnX);
    txbFolder->setReadOnly(!blnX);
    txbBeginMetaTagWith->setEnabled(blnX);
    repaint();
}

void FrmMain::Timer1_Timer() {
    const QString out = txbMetaTag->toPlainText();
    // The output box counts its line ends as CR LF, as the core does.
    const qsizetype outLength = out.size() + out.count(QLatin1Char('\n'));
    if (!cmdShowExistingKeywordMetaTag->isEnabled()) {
        chkLargeWindow->hide();
        cmdClearOutput->setEnabled(false);
    } else {
        chkLargeWindow->setVisible(outLength > 200);
        cmdClearOutput->setEnabled(!out.isEmpty());
    }
    const bool single = SingleFileMode();
    cmdClearInputFile->setEnabled(single && !txbInputFile->text().isEmpty());
    cmdClearFolder->setEnabled(!single && !txbFolder->text().isEmpty());
    cmdClearExcludedFilepaths->setEnabled(!txbExcludedFilepaths->text().isEmpty());
    cmdClearVPMT->setEnabled(!txbVPMT->text().isEmpty());
    cmdClearBeginMetaTagWith->setEnabled(!txbBeginMetaTagWith->text().isEmpty());
    cmdListWords->setVisible(single && !txbInputFile->text().isEmpty());
    if (ReportVisible()) {
        frmReport_->setWindowTitle(blnAutomaticInsertion ? QStringLiteral("Report -- auto mode")
                                                         : QStringLiteral("Report"));
        frmReport_->update();
    }
    cmdCopyMetaTag->setVisible(single && !out.isEmpty());
    cmdClearOutput->setVisible(single && !out.isEmpty());
}

// ---------------------------------------------------------------- focus, large window, copy

namespace {
bool SetFocusIfPossible(QPushButton* b) {
    if (b->isHidden() || !b->isEnabled()) return false;
    b->setFocus(Qt::OtherFocusReason);
    return true;
}
}  // namespace

void FrmMain::SetTheFocus() {
    if (!isVisible()) return;
    if (SingleFileMode() && txbInputFile->text().isEmpty()) {
        SetFocusIfPossible(cmdInputFile);
    } else if (!SingleFileMode() && txbFolder->text().isEmpty()) {
        SetFocusIfPossible(cmdFolder);
    } else if (cmdGenerateKeywordMetaTag->isEnabled()) {
        SetFocusIfPossible(cmdGenerateKeywordMetaTag);
    }
}

void FrmMain::chkLargeWindow_Click() {
    const QScreen* s = screen();
    const int screenHeight = s ? s->geometry().height() : 1024;
    const int allowance = kFrameAllowancePx;
    if (chkLargeWindow->isChecked()) {
        move(x(), Px(300));
        resize(width(), screenHeight * 9 / 10 - allowance);
    } else {
        resize(width(), 7900 / twipsPerPixel_ - allowance);
        move(x(), (screenHeight - (height() + allowance)) / 2);
    }
    ApplyOutputBoxFormula();
    SetTheFocus();
}

void FrmMain::cmdCopyMetaTag_Click() {
    QClipboard* cb = QGuiApplication::clipboard();
    cb->clear();
    cb->setText(txbMetaTag->toPlainText());
}

}  // namespace zelk
