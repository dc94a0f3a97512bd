// Start-up, Quit, the two modes, the focus rule, the large window and the
// copy button. The settings and their controls are in FrmMainSettings.cpp,
// the button states and the tick in FrmMainButtons.cpp.
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
#include <QElapsedTimer>
#include <QThread>
#include <QWindow>

#include "analysis/Analyzer.h"
#include "analysis/InputFile.h"
#include "batch/gui/FrmParameters.h"
#include "batch/gui/FrmReport.h"
#include "common/StrProc.h"
#include "insertion/Viewport.h"
#include "shell/SettingsFile.h"
#include "gui/Accessibility.h"
#include "shell/gui/FrmMain.h"
#include "shell/gui/MainAnalysisHost.h"
#include "gui/QtText.h"
#include "gui/WindowLook.h"

namespace zelk {

namespace {
constexpr int kDefaultKeywords = 15;
// How long the start-up waits at most for the window to be mapped before it
// goes on loading (a display that never maps it must not hold the program).
constexpr int kExposeTimeoutMs = 300;
}  // namespace

FrmMain::FrmMain(GuiServices services, std::string programFolder)
    : QWidget(nullptr), services_(services), programFolder_(std::move(programFolder)) {
    InstallKeyboardAccess();
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
    cmdCopyMetaTag->setText(ToQLine(programText.GetProgramText(text::CopyButtonCaption)));

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
    // Every control is in place: the window is painted before the lists
    // load, with the Clear and copy buttons as the tick will leave them.
    Timer1_Timer();
    PaintNow();
    const bool unavailable = commonWords.ReadAllCommonWords(
        host_.get(), &prompter(), settings.Language, chkIgnoreCommonWords->isChecked(),
        [this] {
            host_->RepaintOutput();
            if (!quitting_) Wait(0.33);
        });
    if (quitting_) return true;  // Quit was pressed while the lists loaded
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
    QFont f = cmdCopyMetaTag->font();
    f.setBold(false);
    cmdCopyMetaTag->setFont(f);
    cmdCopyMetaTag->setEnabled(!txbMetaTag->toPlainText().isEmpty());
    txbBeginMetaTagWith->setEnabled(true);
    repaint();
    return true;
}

// Shows the window as it stands before the start-up goes on loading: the
// display maps it, and the whole window is painted at once.
void FrmMain::PaintNow() {
    QElapsedTimer waited;
    waited.start();
    QCoreApplication::processEvents();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < kExposeTimeoutMs) {
        QThread::msleep(5);
        QCoreApplication::processEvents();
    }
    repaint();
    QCoreApplication::processEvents();
}

// ---------------------------------------------------------------- saving, quitting

void FrmMain::cmdQuit_Click() {
    if (quitting_) return;
    quitting_ = true;
    analyzer_->blnStop = true;  // a scan still running ends at its next step
    StopRunForQuit();
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
    // The settings window belongs to the other mode.
    frmParameters_->hide();
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
