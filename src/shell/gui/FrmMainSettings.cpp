// The settings record and the controls that hold it: filling the lists, the
// defaults, restoring and saving the settings file.
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

bool FrmMain::SaveState() {
    if (StateFilepath.empty()) return false;  // the folder problem was reported at start-up
    std::string error;
    if (zelk::SaveState(settings, StateFilepath, error)) return true;
    prompter().Message("Error when attempting to save settings: " + error,
                       programText.GetProgramText(text::ListWordsCaption), Icon::Exclamation);
    return false;
}

}  // namespace zelk
